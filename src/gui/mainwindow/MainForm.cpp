#include "gui/mainwindow/MainForm.h"

#include "core/app/MainWindowTexts.h"
#include "core/app/Startup.h"
#include "core/app/UserStore.h"
#include "core/common/Ui.h"
#include "gui/common/Fonts.h"
#include "gui/common/QtText.h"
#include "gui/mainwindow/ToolIcons.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
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
constexpr void (TMainForm::*buttonSlots[])() = {
    &TMainForm::New1Click,
    &TMainForm::Open1Click,
    &TMainForm::SaveAs1Click,
    &TMainForm::Close1Click,
    &TMainForm::K2Click,
    &TMainForm::K3Click,
    &TMainForm::K8Click,
    &TMainForm::K9Click,
    &TMainForm::F1Click,
    &TMainForm::Print1Click,
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

TMainForm::TMainForm(Workspace& ws, Ui& ui, UserStore& store, QWidget* parent)
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

    refreshFromCore();
    resize(width(), InitialHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TMainForm::buildMenus()
{
    QMenuBar* bar = menuBar();
    const auto menu = [&](const char* name) {
        QMenu* m = bar->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };

    QMenu* file = menu("File1");
    addItem(file, "New1", &TMainForm::New1Click);
    addItem(file, "Open1", &TMainForm::Open1Click);
    file->addSeparator();
    addItem(file, "Save1", &TMainForm::Save1Click);
    addItem(file, "SaveAs1", &TMainForm::SaveAs1Click);
    addItem(file, "Close1", &TMainForm::Close1Click);
    file->addSeparator();
    addItem(file, "F1", &TMainForm::F1Click);
    file->addSeparator();
    addItem(file, "Print1", &TMainForm::Print1Click);
    file->addSeparator();
    addItem(file, "Exit1", &TMainForm::Exit1Click);

    QMenu* execute = menu("K1");
    addItem(execute, "K2", &TMainForm::K2Click);
    addItem(execute, "K3", &TMainForm::K3Click);

    QMenu* options = menu("K4");
    addItem(options, "K5", &TMainForm::K5Click);
    addItem(options, "K8", &TMainForm::K8Click);
    options->addSeparator();
    addItem(options, "K9", &TMainForm::K9Click);

    QMenu* language = menu("KL1");
    addItem(language, "KJ1", &TMainForm::KJ1Click)->setCheckable(true);
    addItem(language, "KE1", &TMainForm::KE1Click)->setCheckable(true);

    QMenu* help = menu("K6");
    addItem(help, "K7", &TMainForm::K7Click);

    QMenu* rom = menu("ROM1");
    addItem(rom, "N5", &TMainForm::N5Click);
}

QAction* TMainForm::addItem(QMenu* menu, const char* name, void (TMainForm::*slot)())
{
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, slot);
    return action;
}

QWidget* TMainForm::buildTopPanel()
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

QWidget* TMainForm::buildLeftPanel()
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

void TMainForm::buildGrid()
{
    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_gridModel = new QStandardItemModel(0, GridColumnCount, m_grid);
    m_grid->setModel(m_gridModel);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    m_grid->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setWordWrap(false);
}

void TMainForm::refreshFromCore()
{
    setWindowTitle(fromUtf8(mainWindowCaption()));
    applyCommandStates(m_ws.commands);
    applyLanguage(m_ws.language);
    m_edit5->setText(m_ws.doc.state.open ? fromPath(m_ws.doc.state.fileName) : QString());
    m_label6->setText(fromUtf8(m_ws.doc.label6));
    m_label7->setText(fromUtf8(m_ws.doc.label7));
    refreshGrid();
}

void TMainForm::refreshGrid()
{
    const GridRows& rows = m_ws.doc.rows;
    m_gridModel->setRowCount(std::max(0, rows.rowCount() - 1));
    for (int col = 0; col < GridColumnCount; ++col)
        m_gridModel->setHeaderData(col, Qt::Horizontal, fromUtf8(rows.text(0, col)));
    for (int r = 1; r < rows.rowCount(); ++r)
        for (int col = 0; col < GridColumnCount; ++col)
            m_gridModel->setData(m_gridModel->index(r - 1, col), fromUtf8(rows.text(r, col)));
}

void TMainForm::applyCommandStates(const CommandStates& states)
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

void TMainForm::applyLanguage(Language language)
{
    const LanguagePresentation p = languagePresentation(language);
    setFont(formFont(language));
    resize(p.windowWidth, height());
    const auto widths = gridColumnWidths(language);
    for (int col = 0; col < GridColumnCount; ++col)
        m_grid->horizontalHeader()->resizeSection(col, widths[static_cast<std::size_t>(col)]);

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
    findChild<QAction*>(QStringLiteral("KJ1"))->setChecked(language == Language::Japanese);
    findChild<QAction*>(QStringLiteral("KE1"))->setChecked(language == Language::English);

    writeGridTitles(m_ws.doc.rows, language);
    for (int col = 0; col < GridColumnCount; ++col)
        m_gridModel->setHeaderData(col, Qt::Horizontal, fromUtf8(m_ws.doc.rows.text(0, col)));
}

bool TMainForm::MainFormCloseQuery()
{
    if (m_ws.doc.state.saved)
        return true;
    const TextPair& prefix = textPair(TextId::SavePromptPrefix);
    const TextPair& suffix = textPair(TextId::SavePromptSuffix);
    const std::string& name = m_ws.doc.state.fileName;
    const Message prompt {
        std::string(prefix.ja) + name + std::string(suffix.ja), std::string(prefix.en) + name + std::string(suffix.en)};
    switch (m_ui.ask(prompt, message(TextId::SavePromptCaption), Buttons::YesNoCancel, m_ws.language)) {
    case Answer::Cancel:
        return false;
    case Answer::No:
        return true;
    case Answer::Yes:
        SaveAs1Click();
        return m_ws.doc.state.saved;
    }
    return false;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!MainFormCloseQuery()) {
        event->ignore();
        return;
    }
    // The special functions last for one run. A settings file that cannot be
    // written stays as it was; there is nothing more to do about it on exit.
    clearSpecialFunctionOnExit(m_ws);
    event->accept();
}

void TMainForm::Exit1Click()
{
    close();
}

// A click toggles a checkable item by itself; the marks follow the language
// in force.
void TMainForm::KJ1Click()
{
    applyLanguage(m_ws.language);
}
void TMainForm::KE1Click()
{
    applyLanguage(m_ws.language);
}

// The commands below are wired to their menu items and buttons; each calls
// its core command once that exists.
void TMainForm::New1Click() { }
void TMainForm::Open1Click() { }
void TMainForm::Save1Click() { }
void TMainForm::SaveAs1Click() { }
void TMainForm::Close1Click() { }
void TMainForm::F1Click() { }
void TMainForm::Print1Click() { }
void TMainForm::K2Click() { }
void TMainForm::K3Click() { }
void TMainForm::K5Click() { }
void TMainForm::K8Click() { }
void TMainForm::K9Click() { }
void TMainForm::K7Click() { }
void TMainForm::N5Click() { }

} // namespace tess::gui
