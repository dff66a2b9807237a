#include "gui/mainwindow/MainWindow.h"

#include "core/app/MainWindowTexts.h"
#include "core/app/Startup.h"
#include "core/app/UserStore.h"
#include "core/comm/PosixSerialPort.h"
#include "core/common/Clock.h"
#include "core/common/Ui.h"
#include "core/mainwindow/CompareCommand.h"
#include "gui/app/AboutDialog.h"
#include "gui/catalogue/AddRomFilesDialog.h"
#include "gui/catalogue/InverterSelectionDialog.h"
#include "gui/comm/CommSettingsDialog.h"
#include "gui/comm/LogViewerDialog.h"
#include "gui/comm/SerialTransferDialog.h"
#include "gui/common/Fonts.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"
#include "gui/common/QtTranslations.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ParameterGridView.h"
#include "gui/mainwindow/ToolIcons.h"
#include "gui/print/PrintDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tess::gui {
namespace {

constexpr int InitialHeight = 640;
constexpr int TopPanelHeight = 36;
constexpr int LeftPanelWidth = 90;
constexpr int FileNameBoxWidth = 549;
constexpr int ToolButtonSize = 25;

// The slot each tool button shares with its menu item.
constexpr void (MainWindow::*buttonSlots[])() = {
    &MainWindow::New1Click,
    &MainWindow::Open1Click,
    &MainWindow::SaveAs1Click,
    &MainWindow::Close1Click,
    &MainWindow::K2Click,
    &MainWindow::K3Click,
    &MainWindow::K8Click,
    &MainWindow::K9Click,
    &MainWindow::F1Click,
    &MainWindow::Print1Click,
};

QLineEdit* identityBox(const char* name)
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
    setObjectName(QStringLiteral("MainForm"));
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
    body->addWidget(m_grid, 1);
    outer->addLayout(body, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar;
    status->setObjectName(QStringLiteral("StatusBar1"));
    m_statusText = new QLabel;
    m_statusText->setObjectName(QStringLiteral("StatusBar1Panel"));
    status->addWidget(m_statusText, 1);
    setStatusBar(status);
    // The status bar takes clicks on its text as well as beside it.
    status->installEventFilter(this);
    m_statusText->installEventFilter(this);

    refreshFromCore();
    resize(width(), InitialHeight);
    centreOnScreen(this);
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    const auto menu = [&](const char* name) {
        QMenu* m = bar->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };

    QMenu* file = menu("File1");
    addItem(file, "New1", &MainWindow::New1Click);
    addItem(file, "Open1", &MainWindow::Open1Click);
    file->addSeparator();
    addItem(file, "Save1", &MainWindow::Save1Click);
    addItem(file, "SaveAs1", &MainWindow::SaveAs1Click);
    addItem(file, "Close1", &MainWindow::Close1Click);
    file->addSeparator();
    addItem(file, "F1", &MainWindow::F1Click);
    file->addSeparator();
    addItem(file, "Print1", &MainWindow::Print1Click);
    file->addSeparator();
    addItem(file, "Exit1", &MainWindow::Exit1Click);

    QMenu* execute = menu("K1");
    addItem(execute, "K2", &MainWindow::K2Click);
    addItem(execute, "K3", &MainWindow::K3Click);

    QMenu* options = menu("K4");
    addItem(options, "K5", &MainWindow::K5Click);
    addItem(options, "K8", &MainWindow::K8Click);
    options->addSeparator();
    addItem(options, "K9", &MainWindow::K9Click);

    QMenu* language = menu("KL1");
    addItem(language, "KJ1", &MainWindow::KJ1Click)->setCheckable(true);
    addItem(language, "KE1", &MainWindow::KE1Click)->setCheckable(true);

    QMenu* help = menu("K6");
    addItem(help, "K7", &MainWindow::K7Click);

    QMenu* rom = menu("ROM1");
    addItem(rom, "N5", &MainWindow::N5Click);
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, void (MainWindow::*slot)())
{
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, slot);
    return action;
}

QWidget* MainWindow::buildTopPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(TopPanelHeight);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(8, 4, 8, 4);
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("Label5"));
    m_edit5 = identityBox("Edit5");
    m_edit5->setFixedWidth(FileNameBoxWidth);
    label->setBuddy(m_edit5);
    layout->addWidget(label);
    layout->addWidget(m_edit5);
    layout->addStretch(1);
    return panel;
}

QWidget* MainWindow::buildLeftPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setFixedWidth(LeftPanelWidth);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(3, 4, 3, 4);
    layout->setSpacing(2);
    const char* labels[] = {"Label1", "Label2", "Label3", "Label4"};
    const char* edits[] = {"Edit1", "Edit2", "Edit3", "Edit4"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel;
        label->setObjectName(QString::fromLatin1(labels[i]));
        QLineEdit* edit = identityBox(edits[i]);
        m_identity[i] = edit;
        label->setBuddy(edit);
        layout->addWidget(label);
        layout->addWidget(edit);
    }
    m_label6 = hiddenBoldLabel("Label6", Qt::white);
    m_label7 = hiddenBoldLabel("Label7", QColor(0, 255, 255));
    layout->addWidget(m_label6);
    layout->addWidget(m_label7);
    layout->addSpacing(8);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    for (int i = 0; i < 10; ++i) {
        auto* button = new QToolButton;
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        button->setFixedSize(ToolButtonSize, ToolButtonSize);
        button->setIcon(toolButtonIcon(i + 1));
        button->setIconSize(QSize(20, 20));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, buttonSlots[i]);
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
        applyCommandStates(m_ws.commands);
        m_statusText->setText(fromUtf8(m_ws.doc.edit.statusText));
    };
    m_grid->setEditCallbacks(m_editing.get());
}

void MainWindow::refreshFromCore()
{
    // New, Open and a data read open a document; the keyboard then works in
    // the grid at once.
    const bool opened = m_ws.doc.state.open && !m_gridModel->documentOpen();
    setWindowTitle(fromUtf8(mainWindowCaption()));
    applyCommandStates(m_ws.commands);
    // Font, width and captions change only with the language: a command must
    // not undo the width the user gave the window.
    if (m_shownLanguage != m_ws.language)
        applyLanguage(m_ws.language);
    else
        showLanguageMarks(m_ws.language);
    m_edit5->setText(fromPath(fileNameBoxText(m_ws.doc)));
    showIdentityBoxes();
    m_label6->setText(fromUtf8(m_ws.doc.label6));
    m_label7->setText(fromUtf8(m_ws.doc.label7));
    m_statusText->setText(fromUtf8(m_ws.doc.edit.statusText));
    m_gridModel->refresh();
    if (!m_ws.doc.state.open)
        m_grid->setTopGridRow(1);
    if (opened)
        m_grid->startAtFirstParameter();
}

void MainWindow::showIdentityBoxes()
{
    for (std::size_t i = 0; i < 4; ++i)
        m_identity[i]->setText(fromUtf8(m_ws.doc.identityTexts[i]));
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
    if (auto* rom = findChild<QMenu*>(QStringLiteral("ROM1")))
        rom->menuAction()->setVisible(states.rom1Visible);
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

    for (const ControlText& t : mainWindowLabelTexts())
        if (auto* label = findChild<QLabel*>(fromUtf8(t.control)))
            label->setText(textOf(t.text, language));
    for (const ControlText& t : mainWindowMenuTexts()) {
        const QString name = fromUtf8(t.control);
        if (auto* menu = findChild<QMenu*>(name))
            menu->setTitle(textOf(t.text, language));
        else if (auto* action = findChild<QAction*>(name))
            action->setText(textOf(t.text, language));
    }
    for (const ControlText& t : mainWindowHintTexts())
        if (auto* button = findChild<QToolButton*>(fromUtf8(t.control)))
            button->setToolTip(textOf(t.text, language));
    showLanguageMarks(language);
    m_shownLanguage = language;
    m_gridModel->refresh();
}

// A click toggles a checkable item by itself; the marks follow the language
// in force.
void MainWindow::showLanguageMarks(Language language)
{
    findChild<QAction*>(QStringLiteral("KJ1"))->setChecked(language == Language::Japanese);
    findChild<QAction*>(QStringLiteral("KE1"))->setChecked(language == Language::English);
}

bool MainWindow::MainFormCloseQuery()
{
    const bool mayClose = mainFormCloseQuery(m_ws, m_ui);
    refreshFromCore();
    return mayClose;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The log viewer writes its edits back as it closes; when that fails and
    // the user keeps it open, the program stays open too.
    if (m_logForm && !m_logForm->close()) {
        event->ignore();
        return;
    }
    if (!MainFormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && (watched == statusBar() || watched == m_statusText)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        statusBarMouseDown(m_ws, mouse->button() == Qt::LeftButton, mouse->modifiers().testFlag(Qt::ControlModifier));
        applyCommandStates(m_ws.commands);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::runSelectionDialog(Workspace& ws, Ui& ui)
{
    InverterSelectionDialog form(ws, ui, this);
    if (form.begin())
        form.exec();
}

void MainWindow::New1Click()
{
    newDocument(m_ws, m_ui, *this);
    refreshFromCore();
}

void MainWindow::Open1Click()
{
    openDocument(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::Save1Click()
{
    saveDocument(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::SaveAs1Click()
{
    saveDocumentAs(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::Close1Click()
{
    closeDocument(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::Exit1Click()
{
    close();
}

void MainWindow::K9Click()
{
    changeInverter(m_ws, m_ui, *this);
    refreshFromCore();
}

void MainWindow::KJ1Click()
{
    switchLanguage(m_ws, m_ui, m_store, Language::Japanese);
    if (m_logForm)
        m_logForm->applyLanguage();
    refreshFromCore();
}

void MainWindow::KE1Click()
{
    switchLanguage(m_ws, m_ui, m_store, Language::English);
    if (m_logForm)
        m_logForm->applyLanguage();
    refreshFromCore();
}

void MainWindow::F1Click()
{
    compareFiles(m_ws, m_ui);
    refreshFromCore();
}

void MainWindow::Print1Click()
{
    if (!m_ws.doc.state.open)
        return;
    PrintDialog dialog(m_ws, m_ui, this);
    dialog.exec();
}

void MainWindow::K2Click()
{
    runCommunication('r');
}

void MainWindow::K3Click()
{
    runCommunication('w');
}

// The communication dialog on the real serial device; a read replaces the
// window's data set, so everything is shown again afterwards.
void MainWindow::runCommunication(char direction)
{
    m_ws.doc.state.commDirection = direction;
    comm::PosixSerialPort port;
    SerialTransferDialog dialog(m_ws, m_ui, port, systemClock(), this);
    dialog.exec();
    refreshFromCore();
}

void MainWindow::K5Click()
{
    CommSettingsDialog dialog(m_ws, m_store, this);
    dialog.exec();
}

// The viewer is modeless; choosing the command again brings the open one
// forward rather than a second window over the same file, and shows the file
// afresh: a transaction may have written a new log meanwhile.
void MainWindow::K8Click()
{
    if (!m_logForm) {
        m_logForm = new LogViewerDialog(m_ws, m_ui, font(), this);
        m_logForm->show();
    } else {
        m_logForm->showLogAgain();
    }
    m_logForm->raise();
    m_logForm->activateWindow();
}

void MainWindow::K7Click()
{
    AboutDialog box(m_ws, font(), this);
    box.exec();
}

void MainWindow::N5Click()
{
    AddRomFilesDialog dialog(m_ws, m_ui, this);
    dialog.exec();
    // Leaving with Close hides the ROM menu again.
    applyCommandStates(m_ws.commands);
}

} // namespace tess::gui
