#include "gui/mainwindow/MainWindow.h"

#include "app/comm/InterruptedWrite.h"
#include "app/common/Ui.h"
#include "app/mainwindow/CompareCommand.h"
#include "app/mainwindow/EditHistory.h"
#include "app/mainwindow/MainWindowTexts.h"
#include "app/mainwindow/RecentFiles.h"
#include "app/mainwindow/WindowLayout.h"
#include "app/startup/Startup.h"
#include "domain/comm/SystemSerialPort.h"
#include "domain/common/Clock.h"
#include "domain/settings/UserStore.h"
#include "gui/app/AboutDialog.h"
#include "gui/catalogue/AddRomFilesDialog.h"
#include "gui/catalogue/InverterSelectionDialog.h"
#include "gui/comm/CommSettingsDialog.h"
#include "gui/comm/LogViewerDialog.h"
#include "gui/comm/SerialTransferDialog.h"
#include "gui/comm/TransferHistoryDialog.h"
#include "gui/common/Fonts.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"
#include "gui/common/QtTranslations.h"
#include "gui/mainwindow/ConversionReportDialog.h"
#include "gui/mainwindow/GridSearchBar.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ParameterGridView.h"
#include "gui/mainwindow/ToolIcons.h"
#include "gui/print/CommissioningReportDialog.h"
#include "gui/print/PrintDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <optional>
#include <type_traits>
#include <utility>

namespace tess::gui {
namespace {

constexpr int InitialHeight = 640;
constexpr int TopPanelHeight = 36;
constexpr int LeftPanelWidth = 90;
constexpr int FileNameBoxWidth = 549;
constexpr int ToolButtonSize = 25;

// A hidden index label: its prefix and the index, or nothing.
QString indexLabelText(const char* prefix, std::optional<int> index)
{
    return index ? QString::fromLatin1(prefix) + QString::number(*index) : QString();
}

// The object names of the controls that switch no command, by meaning; the
// menus, menu items and tool buttons take theirs from commandControls().
namespace objectName {
constexpr const char* window = "MainForm";
constexpr const char* topPanel = "Panel1";
constexpr const char* fileNameCaption = "Label5";
constexpr const char* fileNameBox = "Edit5";
constexpr const char* leftPanel = "Panel2";
constexpr const char* romIndexLabel = "Label6";
constexpr const char* capacityIndexLabel = "Label7";
constexpr const char* statusBar = "StatusBar1";
constexpr const char* statusText = "StatusBar1Panel";
} // namespace objectName

// The identity boxes left of the grid, top to bottom: the object names of
// the caption and the box, the caption and what the box shows.
struct IdentityBox {
    const char* captionName;
    const char* boxName;
    TextId caption;
    std::string IdentityTexts::*text;
};
constexpr IdentityBox identityBoxes[] = {
    {"Label1", "Edit1", TextId::LabelMachine, &IdentityTexts::model},
    {"Label2", "Edit2", TextId::LabelControlMode, &IdentityTexts::controlMode},
    {"Label3", "Edit3", TextId::LabelCapVolt, &IdentityTexts::capacity},
    {"Label4", "Edit4", TextId::LabelRomVersion, &IdentityTexts::romVersion},
};

// The tool buttons, two to a row, each with the slot it shares with its
// menu item.
struct ToolButton {
    bool CommandStates::*command;
    ToolPicture picture;
    void (MainWindow::*slot)();
};
constexpr ToolButton toolButtons[] = {
    {&CommandStates::newButton, ToolPicture::New, &MainWindow::onNew},
    {&CommandStates::openButton, ToolPicture::Open, &MainWindow::onOpen},
    {&CommandStates::saveAsButton, ToolPicture::SaveAs, &MainWindow::onSaveAs},
    {&CommandStates::closeButton, ToolPicture::Close, &MainWindow::onClose},
    {&CommandStates::dataReadButton, ToolPicture::DataRead, &MainWindow::onDataRead},
    {&CommandStates::dataWriteButton, ToolPicture::DataWrite, &MainWindow::onDataWrite},
    {&CommandStates::commLogButton, ToolPicture::Log, &MainWindow::onShowLog},
    {&CommandStates::inverterChangeButton, ToolPicture::InverterChange, &MainWindow::onInverterChange},
    {&CommandStates::compareButton, ToolPicture::Compare, &MainWindow::onCompareFiles},
    {&CommandStates::printButton, ToolPicture::Print, &MainWindow::onPrint},
};

QString controlName(bool CommandStates::*command)
{
    return fromUtf8(commandControlName(command));
}

QLineEdit* readOnlyBox(const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

QLabel* hiddenBoldLabel(const char* name, const QColor& background)
{
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
    label->hide();
    return label;
}

} // namespace

MainWindow::MainWindow(Workspace& ws, Ui& ui, UserStore& store, QWidget* parent)
    : QMainWindow(parent)
    , m_ws(ws)
    , m_ui(ui)
    , m_store(store)
{
    setObjectName(QString::fromLatin1(objectName::window));
    buildMenus();

    auto* central = new QWidget;
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(buildTopPanel());
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(buildLeftPanel());
    buildGrid();
    // Find and filter sit above the grid.
    m_searchBar = new GridSearchBar(m_ws, m_gridModel, m_grid);
    auto* gridColumn = new QVBoxLayout;
    gridColumn->setContentsMargins(0, 0, 0, 0);
    gridColumn->setSpacing(0);
    gridColumn->addWidget(m_searchBar);
    gridColumn->addWidget(m_grid, 1);
    body->addLayout(gridColumn, 1);
    outer->addLayout(body, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar;
    status->setObjectName(QString::fromLatin1(objectName::statusBar));
    m_statusText = new QLabel;
    m_statusText->setObjectName(QString::fromLatin1(objectName::statusText));
    status->addWidget(m_statusText, 1);
    status->addPermanentWidget(m_searchBar->countsLabel());
    setStatusBar(status);
    // The status bar takes clicks on its text as well as beside it.
    status->installEventFilter(this);
    m_statusText->installEventFilter(this);

    setAcceptDrops(true);
    showRecentFilesCommand(m_ws, m_store);
    refreshFromCore();
    resize(width(), InitialHeight);
    centreOnScreen(this);
    restoreLayout();
}

void MainWindow::buildMenus()
{
    using C = CommandStates;
    QMenu* file = addMenu(&C::fileMenu);
    addItem(file, &C::newItem, &MainWindow::onNew);
    addItem(file, &C::openItem, &MainWindow::onOpen);
    m_recentFilesMenu = addSubmenu(file, &C::recentFilesMenu);
    connect(m_recentFilesMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentFilesMenu);
    file->addSeparator();
    addItem(file, &C::saveItem, &MainWindow::onSave);
    addItem(file, &C::saveAsItem, &MainWindow::onSaveAs);
    addItem(file, &C::closeItem, &MainWindow::onClose);
    addItem(file, &C::endComparisonItem, &MainWindow::onEndComparison);
    file->addSeparator();
    addItem(file, &C::compareItem, &MainWindow::onCompareFiles);
    addItem(file, &C::compareDriveItem, &MainWindow::onCompareWithDrive);
    addItem(file, &C::transferHistoryItem, &MainWindow::onTransferHistory);
    file->addSeparator();
    addItem(file, &C::printItem, &MainWindow::onPrint);
    addItem(file, &C::commissioningReportItem, &MainWindow::onCommissioningReport);
    file->addSeparator();
    addItem(file, &C::exitItem, &MainWindow::onExit);

    // Beside the described menus: the edit history and the search box.
    QMenu* edit = addMenu(&C::editMenu);
    addItem(edit, &C::undoItem, &MainWindow::onUndo);
    addItem(edit, &C::redoItem, &MainWindow::onRedo);
    edit->addSeparator();
    addItem(edit, &C::findItem, &MainWindow::onFind);

    QMenu* execute = addMenu(&C::executeMenu);
    addItem(execute, &C::dataReadItem, &MainWindow::onDataRead);
    addItem(execute, &C::dataWriteItem, &MainWindow::onDataWrite);

    QMenu* options = addMenu(&C::optionsMenu);
    addItem(options, &C::commSettingsItem, &MainWindow::onCommSettings);
    addItem(options, &C::commLogItem, &MainWindow::onShowLog);
    options->addSeparator();
    addItem(options, &C::inverterChangeItem, &MainWindow::onInverterChange);
    addItem(options, &C::conversionReportItem, &MainWindow::onConversionReport);

    QMenu* language = addMenu(&C::languageMenu);
    m_japaneseItem = addItem(language, &C::japaneseItem, &MainWindow::onJapanese);
    m_japaneseItem->setCheckable(true);
    m_englishItem = addItem(language, &C::englishItem, &MainWindow::onEnglish);
    m_englishItem->setCheckable(true);

    QMenu* help = addMenu(&C::helpMenu);
    addItem(help, &C::aboutItem, &MainWindow::onAbout);

    m_romMenu = addMenu(&C::romMenu);
    addItem(m_romMenu, &C::addRomFilesItem, &MainWindow::onAddRomFiles);
}

// A menu and its entry in the menu bar carry the same name.
QMenu* MainWindow::addMenu(bool CommandStates::*command)
{
    QMenu* menu = menuBar()->addMenu(QString());
    menu->setObjectName(controlName(command));
    menu->menuAction()->setObjectName(controlName(command));
    return menu;
}

// A submenu and its entry in the menu above carry the same name.
QMenu* MainWindow::addSubmenu(QMenu* menu, bool CommandStates::*command)
{
    QMenu* submenu = menu->addMenu(QString());
    submenu->setObjectName(controlName(command));
    submenu->menuAction()->setObjectName(controlName(command));
    return submenu;
}

QAction* MainWindow::addItem(QMenu* menu, bool CommandStates::*command, void (MainWindow::*slot)())
{
    QAction* action = menu->addAction(QString());
    action->setObjectName(controlName(command));
    connect(action, &QAction::triggered, this, slot);
    return action;
}

QWidget* MainWindow::buildTopPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QString::fromLatin1(objectName::topPanel));
    panel->setFixedHeight(TopPanelHeight);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(8, 4, 8, 4);
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(objectName::fileNameCaption));
    m_fileNameBox = readOnlyBox(objectName::fileNameBox);
    m_fileNameBox->setFixedWidth(FileNameBoxWidth);
    label->setBuddy(m_fileNameBox);
    layout->addWidget(label);
    layout->addWidget(m_fileNameBox);
    layout->addStretch(1);
    return panel;
}

QWidget* MainWindow::buildLeftPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QString::fromLatin1(objectName::leftPanel));
    panel->setFixedWidth(LeftPanelWidth);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(3, 4, 3, 4);
    layout->setSpacing(2);
    static_assert(std::size(identityBoxes) == std::extent_v<decltype(m_identityBoxes)>);
    for (std::size_t i = 0; i < std::size(identityBoxes); ++i) {
        auto* label = new QLabel;
        label->setObjectName(QString::fromLatin1(identityBoxes[i].captionName));
        QLineEdit* box = readOnlyBox(identityBoxes[i].boxName);
        m_identityBoxes[i] = box;
        label->setBuddy(box);
        layout->addWidget(label);
        layout->addWidget(box);
    }
    m_romIndexLabel = hiddenBoldLabel(objectName::romIndexLabel, Qt::white);
    m_capacityIndexLabel = hiddenBoldLabel(objectName::capacityIndexLabel, QColor(0, 255, 255));
    layout->addWidget(m_romIndexLabel);
    layout->addWidget(m_capacityIndexLabel);
    layout->addSpacing(8);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    for (int i = 0; i < int(std::size(toolButtons)); ++i) {
        const ToolButton& tool = toolButtons[i];
        auto* button = new QToolButton;
        button->setObjectName(controlName(tool.command));
        button->setFixedSize(ToolButtonSize, ToolButtonSize);
        button->setIcon(toolButtonIcon(tool.picture));
        button->setIconSize(QSize(20, 20));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, tool.slot);
        buttons->addWidget(button, i / 2, i % 2);
    }
    layout->addLayout(buttons);
    layout->addStretch(1);
    return panel;
}

MainWindow::~MainWindow() = default;

void MainWindow::buildGrid()
{
    m_grid = new ParameterGridView;
    m_gridModel = new ParameterGridModel(m_ws, this);
    m_grid->setGridModel(m_gridModel);
    m_editing = std::make_unique<WorkspaceGridEditing>(m_ws, m_ui);
    m_editing->committed = [this](const CellCommitResult&) {
        applyCommandStates(m_ws.view.commands);
        m_statusText->setText(fromUtf8(m_ws.doc.edit.statusText));
    };
    m_grid->setEditCallbacks(m_editing.get());
}

void MainWindow::refreshFromCore()
{
    // New, Open and a data read open a document; the keyboard then works in
    // the grid at once.
    const bool opened = m_ws.doc.state.open && !m_gridModel->documentOpen();
    rememberUsedFiles(m_ws, m_store);
    setWindowTitle(fromUtf8(mainWindowCaption()));
    applyCommandStates(m_ws.view.commands);
    // Font, width and captions change only with the language: a command must
    // not undo the width the user gave the window.
    if (m_shownLanguage != m_ws.settings.language)
        applyLanguage(m_ws.settings.language);
    else
        showLanguageMarks(m_ws.settings.language);
    m_fileNameBox->setText(fromPath(fileNameBoxText(m_ws.doc)));
    showIdentityBoxes();
    m_romIndexLabel->setText(indexLabelText("ROM:", m_ws.doc.romIndexShown));
    m_capacityIndexLabel->setText(indexLabelText("Cap:", m_ws.doc.capacityIndexShown));
    m_statusText->setText(fromUtf8(m_ws.doc.edit.statusText));
    m_gridModel->refresh();
    if (!m_ws.doc.state.open)
        m_grid->setTopGridRow(1);
    if (opened)
        m_grid->startAtFirstParameter();
}

void MainWindow::showIdentityBoxes()
{
    for (std::size_t i = 0; i < std::size(identityBoxes); ++i)
        m_identityBoxes[i]->setText(fromUtf8(m_ws.doc.identityTexts.*identityBoxes[i].text));
}

void MainWindow::applyCommandStates(const CommandStates& states)
{
    for (const CommandControl& control : commandControls()) {
        const QString name = fromUtf8(control.name);
        const bool enabled = states.*control.enabled;
        if (auto* menu = findChild<QMenu*>(name))
            menu->menuAction()->setEnabled(enabled);
        else if (auto* action = findChild<QAction*>(name))
            action->setEnabled(enabled);
        else if (auto* button = findChild<QToolButton*>(name))
            button->setEnabled(enabled);
    }
    m_romMenu->menuAction()->setVisible(states.romMenuVisible);
    applyShortcuts(states);
    showEditHistoryTexts();
}

void MainWindow::applyLanguage(Language language)
{
    const LanguagePresentation p = languagePresentation(language);
    useQtTranslations(language);
    setFont(formFont(language));
    resize(p.windowWidth, height());
    // A switch sets the name column only: widths the user dragged stay.
    if (m_shownLanguage)
        m_grid->applyNameColumnWidth(language);
    else
        m_grid->applyColumnWidths(language);

    for (const IdentityBox& box : identityBoxes)
        if (auto* label = findChild<QLabel*>(QString::fromLatin1(box.captionName)))
            label->setText(textOf(box.caption, language));
    if (auto* label = findChild<QLabel*>(QString::fromLatin1(objectName::fileNameCaption)))
        label->setText(textOf(TextId::LabelFileName, language));
    for (const CommandText& t : mainWindowMenuTexts()) {
        const QString name = controlName(t.command);
        if (auto* menu = findChild<QMenu*>(name))
            menu->setTitle(textOf(t.text, language));
        else if (auto* action = findChild<QAction*>(name))
            action->setText(textOf(t.text, language));
    }
    for (const CommandText& t : mainWindowHintTexts())
        if (auto* button = findChild<QToolButton*>(controlName(t.command)))
            button->setToolTip(textOf(t.text, language));
    m_searchBar->applyLanguage(language);
    showLanguageMarks(language);
    m_shownLanguage = language;
    showEditHistoryTexts();
    m_gridModel->refresh();
}

// A click toggles a checkable item by itself; the marks follow the language
// in force.
void MainWindow::showLanguageMarks(Language language)
{
    m_japaneseItem->setChecked(language == Language::Japanese);
    m_englishItem->setChecked(language == Language::English);
}

bool MainWindow::mayClose()
{
    const bool allowed = mayCloseMainWindow(m_ws, m_ui, m_store);
    refreshFromCore();
    return allowed;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Asked to quit while a transfer runs: the transfer stops between two
    // words first, as its Stop does, and the window stays until it has.
    if (m_transfer && m_transfer->transferRunning()) {
        event->ignore();
        m_transfer->cancelTransfer();
        return;
    }
    // The log viewer writes its edits back as it closes; when that fails and
    // the user keeps it open, the program stays open too.
    if (m_logViewer && !m_logViewer->close()) {
        event->ignore();
        return;
    }
    if (!mayClose()) {
        event->ignore();
        return;
    }
    keepLayout();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && (watched == statusBar() || watched == m_statusText)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        statusBarMouseDown(m_ws, mouse->button() == Qt::LeftButton, mouse->modifiers().testFlag(Qt::ControlModifier));
        applyCommandStates(m_ws.view.commands);
    }
    return QMainWindow::eventFilter(watched, event);
}

catalogue::SelectionOutcome MainWindow::runSelectionDialog(Workspace& ws, Ui& ui, catalogue::SelectionPurpose purpose)
{
    InverterSelectionDialog form(ws, ui, purpose, this);
    if (form.begin())
        form.exec();
    return form.selection().outcome();
}

void MainWindow::onNew()
{
    newDocument(m_ws, m_ui, *this);
    refreshFromCore();
}

void MainWindow::onOpen()
{
    openDocument(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::onSave()
{
    saveDocument(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::onSaveAs()
{
    saveDocumentAs(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::onClose()
{
    closeDocument(m_ws, m_ui);
    refreshFromCore();
}

// The data set compared stays open as it was, saved or not: nothing to ask.
void MainWindow::onEndComparison()
{
    endComparison(m_ws);
    refreshFromCore();
}

void MainWindow::onExit()
{
    close();
}

// A change that moved nothing has nothing to tell at once; its report
// ("665 words kept unchanged") stays under Options all the same.
void MainWindow::onInverterChange()
{
    const bool changed = changeInverter(m_ws, m_ui, *this);
    refreshFromCore();
    if (changed && m_ws.doc.conversionReport && !m_ws.doc.conversionReport->rows.empty())
        onConversionReport();
}

void MainWindow::onConversionReport()
{
    if (!m_ws.doc.conversionReport)
        return;
    ConversionReportDialog dialog(m_ws, m_ui, this);
    dialog.exec();
}

void MainWindow::onJapanese()
{
    switchLanguage(m_ws, m_ui, m_store, Language::Japanese);
    if (m_logViewer)
        m_logViewer->applyLanguage();
    refreshFromCore();
}

void MainWindow::onEnglish()
{
    switchLanguage(m_ws, m_ui, m_store, Language::English);
    if (m_logViewer)
        m_logViewer->applyLanguage();
    refreshFromCore();
}

void MainWindow::onCompareFiles()
{
    compareFiles(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::onPrint()
{
    if (!m_ws.doc.state.open)
        return;
    PrintDialog dialog(m_ws, m_ui, this);
    dialog.exec();
}

void MainWindow::onCommissioningReport()
{
    if (!m_ws.doc.state.open)
        return;
    CommissioningReportDialog dialog(m_ws, m_ui, m_store, this);
    dialog.exec();
}

void MainWindow::onUndo()
{
    showEditStep(undoValueEntry(m_ws));
}

void MainWindow::onRedo()
{
    showEditStep(redoValueEntry(m_ws));
}

void MainWindow::onFind()
{
    m_searchBar->focusSearch();
}

void MainWindow::onCompareWithDrive()
{
    runCommunication(comm::TransferKind::CompareWithDrive);
}

// The dialog may have opened a data set: everything is shown again. Its
// Compare with drive leaves the comparison to run here, once it is closed.
void MainWindow::onTransferHistory()
{
    std::optional<comm::DriveComparison> comparison;
    {
        TransferHistoryDialog dialog(m_ws, m_ui, this);
        dialog.exec();
        comparison = dialog.driveComparison();
    }
    refreshFromCore();
    if (comparison)
        runCommunication(comm::TransferKind::CompareWithDrive, comparison->port);
}

void MainWindow::onDataRead()
{
    runCommunication(comm::TransferKind::Read);
}

void MainWindow::onDataWrite()
{
    runCommunication(comm::TransferKind::Write);
}

// The communication dialog on the real serial device; a read replaces the
// window's data set, so everything is shown again afterwards.
void MainWindow::runCommunication(comm::TransferKind kind, const std::string& portName)
{
    // A port named for this transfer alone; the one chosen in the settings
    // is the user's again afterwards.
    const std::string chosenPort = m_ws.settings.portName;
    if (!portName.empty())
        m_ws.settings.portName = portName;
    comm::SystemSerialPort port;
    SerialTransferDialog dialog(m_ws, m_ui, port, systemClock(), kind, this, {}, &m_store);
    m_transfer = &dialog;
    dialog.exec();
    m_transfer = nullptr;
    m_ws.settings.portName = chosenPort;
    refreshFromCore();
}

void MainWindow::offerInterruptedWrite()
{
    const std::optional<comm::ResumePlan> plan = comm::offerInterruptedWrite(m_ws, m_ui, m_store);
    if (!plan)
        return;
    const bool opened = openDocumentAt(m_ws, m_ui, plan->dataFile);
    refreshFromCore();
    if (!opened)
        return;
    // The write goes to the port the interrupted one used; the port chosen
    // in the settings is the user's again afterwards.
    const std::string chosenPort = std::exchange(m_ws.settings.portName, plan->port);
    comm::SystemSerialPort port;
    SerialTransferDialog dialog(m_ws, m_ui, port, systemClock(), comm::TransferKind::Write, this, {}, &m_store);
    dialog.prepareResume(*plan);
    std::optional<int> result;
    connect(&dialog, &SerialTransferDialog::transferFinished, this, [&result](int finished) { result = finished; });
    m_transfer = &dialog;
    dialog.exec();
    m_transfer = nullptr;
    m_ws.settings.portName = chosenPort;
    if (result)
        comm::markWriteResumed(*plan, *result, dialog.transfer().journalPath());
    refreshFromCore();
}

void MainWindow::onCommSettings()
{
    CommSettingsDialog dialog(m_ws, m_store, this);
    dialog.exec();
}

// The viewer is modeless; choosing the command again brings the open one
// forward rather than a second window over the same file, and shows the file
// afresh: a transaction may have written a new log meanwhile.
void MainWindow::onShowLog()
{
    if (!m_logViewer) {
        m_logViewer = new LogViewerDialog(m_ws, m_ui, font(), this);
        m_logViewer->show();
    } else {
        m_logViewer->showLogAgain();
    }
    m_logViewer->raise();
    m_logViewer->activateWindow();
}

void MainWindow::onAbout()
{
    AboutDialog box(m_ws, font(), this);
    box.exec();
}

void MainWindow::onAddRomFiles()
{
    AddRomFilesDialog dialog(m_ws, m_ui, this);
    dialog.exec();
    // Leaving with Close hides the ROM menu again.
    applyCommandStates(m_ws.view.commands);
}

// ---- edit history, recent files, shortcuts, drops and the kept layout

// After Undo or Redo: the value put back is shown, and its cell becomes the
// current one (which scrolls it into view).
void MainWindow::showEditStep(int gridRow)
{
    refreshFromCore();
    if (gridRow == 0)
        return;
    if (const QModelIndex cell = m_gridModel->indexOfGridRow(gridRow, ColValue); cell.isValid())
        m_grid->setCurrentIndex(cell);
}

// Undo and Redo tell why they are off when a language switch or an
// Inverter change emptied the history.
void MainWindow::showEditHistoryTexts()
{
    const Language language = m_ws.settings.language;
    if (auto* undo = findChild<QAction*>(controlName(&CommandStates::undoItem)))
        undo->setText(textOf(undoCommandText(m_ws), language));
    if (auto* redo = findChild<QAction*>(controlName(&CommandStates::redoItem)))
        redo->setText(textOf(redoCommandText(m_ws), language));
}

// Filled each time it opens, from the store: another window may have added
// a file meanwhile.
void MainWindow::fillRecentFilesMenu()
{
    m_recentFilesMenu->clear();
    const std::vector<std::string> paths = recentFiles(m_store);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QString shown = fromPath(paths[i]);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = m_recentFilesMenu->addAction(number + QLatin1Char(' ') + shown);
        item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path = paths[i]] {
            openRecentFile(m_ws, m_ui, m_store, path);
            refreshFromCore();
        });
    }
}

// Each key on the one item that holds it in this state: a key two enabled
// items held would trigger neither.
void MainWindow::applyShortcuts(const CommandStates& states)
{
    for (const CommandShortcut& shortcut : mainWindowShortcuts())
        if (auto* action = findChild<QAction*>(controlName(shortcut.command)))
            action->setShortcut(commandOfKeys(shortcut.keys, states) == shortcut.command
                    ? QKeySequence(fromUtf8(shortcut.keys), QKeySequence::PortableText)
                    : QKeySequence());
}

void MainWindow::openFileByPath(const std::string& path)
{
    openDocumentAt(m_ws, m_ui, path);
    refreshFromCore();
}

namespace {

// The one local .csl file a drag brings; nothing for anything else.
std::optional<std::string> droppedDataSetFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    std::string path = toPath(urls.front().toLocalFile());
    if (!isConsoleDataPath(path))
        return std::nullopt;
    return path;
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedDataSetFile(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const std::optional<std::string> path = droppedDataSetFile(event->mimeData());
    if (!path)
        return;
    event->acceptProposedAction();
    // The drag is over before any question is asked: the program the file
    // came from waits until the drop returns.
    QTimer::singleShot(0, this, [this, file = *path] { openFileByPath(file); });
}

// The stored layout over the start-up one: the window kept on a screen
// that is there now.
void MainWindow::restoreLayout()
{
    const WindowLayout layout = readWindowLayout(m_store);
    if (layout.nameColumnWidth)
        m_grid->setColumnWidth(ColName, *layout.nameColumnWidth);
    if (layout.rangeColumnWidth)
        m_grid->setColumnWidth(ColRange, *layout.rangeColumnWidth);
    if (layout.geometry) {
        std::vector<ScreenRect> screens;
        QList<QScreen*> all = QGuiApplication::screens();
        all.removeOne(QGuiApplication::primaryScreen());
        all.prepend(QGuiApplication::primaryScreen());
        for (const QScreen* screen : all) {
            if (!screen)
                continue;
            const QRect area = screen->availableGeometry();
            screens.push_back({area.x(), area.y(), area.width(), area.height()});
        }
        const ScreenRect placed = keepOnScreen(*layout.geometry, screens);
        resize(placed.width, placed.height);
        move(placed.x, placed.y);
    }
    if (layout.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::keepLayout()
{
    WindowLayout layout;
    layout.maximized = isMaximized();
    const QRect normal = layout.maximized ? normalGeometry() : QRect(pos(), size());
    if (normal.isValid())
        layout.geometry = ScreenRect {normal.x(), normal.y(), normal.width(), normal.height()};
    keepColumnWidths(layout, m_grid->columnWidth(ColName), m_grid->columnWidth(ColRange), m_ws.settings.language);
    writeWindowLayout(m_store, layout);
}

} // namespace tess::gui
