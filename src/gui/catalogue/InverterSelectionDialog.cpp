#include "gui/catalogue/InverterSelectionDialog.h"

#include "app/common/Workspace.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/text/Texts.h"
#include "gui/common/DialogFrame.h"
#include "gui/common/Fonts.h"
#include "gui/common/QtText.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include <iterator>
#include <type_traits>

namespace tess::gui {
namespace {

// The object names of the form's controls, by meaning.
namespace objectName {
constexpr const char* window = "ModeForm";
constexpr const char* modelCaption = "Label1";
constexpr const char* controlModeCaption = "Label2";
constexpr const char* capacityCaption = "Label3";
constexpr const char* romVersionCaption = "Label4";
constexpr const char* romText = "Label5";
constexpr const char* diagnostics[] = {"Label6", "Label7", "Label8", "Label9", "Label10"};
constexpr const char* model = "ComboBox1";
constexpr const char* controlMode = "ComboBox2";
constexpr const char* capacity = "ComboBox3";
constexpr const char* romVersion = "ComboBox4";
constexpr const char* romTextPanel = "Panel1";
constexpr const char* pickerButton = "SpeedButton1";
constexpr const char* ok = "Button1";
constexpr const char* cancel = "Button2";
constexpr const char* picker = "PopupMenu1";
} // namespace objectName

constexpr int NarrowWidth = 135; // diagnostics hidden
constexpr int WideWidth = 242; // diagnostics shown
constexpr int FormHeight = 224;

QStringList toStringList(const std::vector<std::string>& texts)
{
    QStringList out;
    out.reserve(qsizetype(texts.size()));
    for (const std::string& text : texts)
        out << fromUtf8(text);
    return out;
}

QStringList itemsOf(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// Shows items and selection without firing the user's change events.
void showList(QComboBox* box, const QStringList& items, int index)
{
    const QSignalBlocker blocker(box);
    if (itemsOf(box) != items) {
        box->clear();
        box->addItems(items);
    }
    box->setCurrentIndex(index);
}

} // namespace

InverterSelectionDialog::InverterSelectionDialog(
    Workspace& ws, Ui& ui, catalogue::SelectionPurpose purpose, QWidget* parent)
    : QDialog(parent)
    , m_ws(ws)
    , m_core(ws, ui)
    , m_purpose(purpose)
{
    setObjectName(QString::fromLatin1(objectName::window));
    // The dialog takes the main window's font name.
    QFont font = formFont(ws.settings.language);
    if (parent)
        font.setFamily(parent->font().family());
    setFont(font);
    build();
}

void InverterSelectionDialog::build()
{
    const auto label = [this](const char* name) {
        auto* l = namedControl<QLabel>(name, this);
        return l;
    };
    m_modelCaption = label(objectName::modelCaption);
    m_controlModeCaption = label(objectName::controlModeCaption);
    m_capacityCaption = label(objectName::capacityCaption);
    m_romVersionCaption = label(objectName::romVersionCaption);
    m_romText = label(objectName::romText);
    static_assert(std::size(objectName::diagnostics) == std::extent_v<decltype(m_diagnostics)>);
    for (std::size_t i = 0; i < std::size(m_diagnostics); ++i)
        m_diagnostics[i] = label(objectName::diagnostics[i]);
    const auto combo = [this](const char* name, int y) {
        auto* box = namedControl<QComboBox>(name, this);
        box->setGeometry(8, y, 120, 22);
        return box;
    };
    m_modelCaption->setGeometry(8, 6, 124, 16);
    m_model = combo(objectName::model, 22);
    m_controlModeCaption->setGeometry(8, 50, 124, 16);
    m_controlMode = combo(objectName::controlMode, 66);
    m_capacityCaption->setGeometry(8, 94, 124, 16);
    m_capacity = combo(objectName::capacity, 110);
    m_capacity->setMaxVisibleItems(20);
    m_romVersion = combo(objectName::romVersion, 110);
    m_romVersion->setVisible(false);
    m_romVersionCaption->setGeometry(8, 138, 124, 16);

    m_romTextPanel = namedControl<QFrame>(objectName::romTextPanel, this);
    m_romTextPanel->setFrameShape(QFrame::StyledPanel);
    m_romTextPanel->setFrameShadow(QFrame::Sunken);
    m_romTextPanel->setGeometry(8, 154, 92, 22);
    m_romText->setParent(m_romTextPanel);
    m_romText->setGeometry(4, 2, 84, 18);
    m_romText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_romText, &QLabel::customContextMenuRequested, this,
        [this](const QPoint& pos) { popUpPicker(m_romText->mapToGlobal(pos)); });

    m_pickerButton = namedControl<QToolButton>(objectName::pickerButton, this);
    m_pickerButton->setGeometry(104, 154, 24, 22);
    connect(m_pickerButton, &QToolButton::clicked, this, [this] { popUpPicker(QCursor::pos()); });

    m_ok = namedControl<QPushButton>(objectName::ok, this);
    m_ok->setGeometry(8, 188, 58, 26);
    m_ok->setEnabled(false);
    // Return presses OK once it is enabled, as in every other dialog;
    // Escape is Cancel (reject).
    m_ok->setDefault(true);
    m_cancel = namedControl<QPushButton>(objectName::cancel, this);
    m_cancel->setGeometry(70, 188, 58, 26);
    m_cancel->installEventFilter(this);

    for (int i = 0; i < int(std::size(m_diagnostics)); ++i) {
        m_diagnostics[i]->setGeometry(NarrowWidth + 4, 22 + i * 22, WideWidth - NarrowWidth - 10, 18);
        m_diagnostics[i]->setVisible(false);
    }

    connect(m_model, &QComboBox::activated, this, &InverterSelectionDialog::onModelChosen);
    connect(m_controlMode, &QComboBox::activated, this, &InverterSelectionDialog::onControlModeChosen);
    connect(m_capacity, &QComboBox::activated, this, &InverterSelectionDialog::onCapacityChosen);
    connect(m_ok, &QPushButton::clicked, this, &InverterSelectionDialog::onOk);
    connect(m_cancel, &QPushButton::clicked, this, &InverterSelectionDialog::reject);

    QStringList models;
    for (const catalogue::Model model : catalogue::allModels)
        models << fromUtf8(catalogue::modelName(model));
    m_model->addItems(models);

    setFixedSize(NarrowWidth, FormHeight);
}

bool InverterSelectionDialog::begin()
{
    m_core.open(m_purpose);
    m_begun = true;
    applyCaptions();
    refresh();
    return m_core.isOpen();
}

int InverterSelectionDialog::exec()
{
    if (!m_begun && !begin())
        return QDialog::Rejected;
    if (!m_core.isOpen())
        return m_core.outcome() == catalogue::SelectionOutcome::Accepted ? QDialog::Accepted : QDialog::Rejected;
    return QDialog::exec();
}

void InverterSelectionDialog::reject()
{
    // Escape and the window's close box count as Cancel.
    m_core.cancel();
    QDialog::reject();
}

void InverterSelectionDialog::applyCaptions()
{
    const Language language = m_ws.settings.language;
    setWindowTitle(textOf(m_core.captionId(), language));
    m_modelCaption->setText(textOf(TextId::SelectLabelMachine, language));
    m_controlModeCaption->setText(textOf(TextId::SelectLabelControlMode, language));
    m_capacityCaption->setText(textOf(TextId::SelectLabelCapVolt, language));
    m_romVersionCaption->setText(textOf(TextId::SelectLabelRomVersion, language));
    m_ok->setText(textOf(TextId::SelectButtonOk, language));
    m_cancel->setText(textOf(TextId::SelectButtonCancel, language));
    m_pickerButton->setText(QStringLiteral("..."));
}

void InverterSelectionDialog::refresh()
{
    {
        const QSignalBlocker blocker(m_model);
        m_model->setCurrentIndex(catalogue::indexOf(m_core.model()));
    }
    m_model->setEnabled(m_core.modelEnabled());
    showList(m_controlMode, toStringList(m_core.controlModes()), m_core.controlMode());
    m_controlMode->setEnabled(m_core.controlModeEnabled());
    showList(m_capacity, toStringList(m_core.capacities()), m_core.capacity());
    showList(m_romVersion, toStringList(m_core.romVersions()), m_core.romVersion());
    m_romText->setText(fromUtf8(m_core.romText()));
    m_ok->setEnabled(m_core.okEnabled());

    const catalogue::MatrixDiagnostics& d = m_core.diagnostics();
    const std::string* diagnostics[] = {&d.rowCode, &d.columnCode, &d.result, &d.rowIndex, &d.columnIndex};
    for (std::size_t i = 0; i < std::size(m_diagnostics); ++i)
        m_diagnostics[i]->setText(fromUtf8(*diagnostics[i]));

    if (!m_core.isOpen() && isVisible())
        done(m_core.outcome() == catalogue::SelectionOutcome::Accepted ? QDialog::Accepted : QDialog::Rejected);
}

void InverterSelectionDialog::onModelChosen(int index)
{
    // The list holds the catalogue's models in index order.
    if (const std::optional<catalogue::Model> model = catalogue::modelOf(index))
        m_core.changeModel(*model);
    refresh();
}

void InverterSelectionDialog::onControlModeChosen(int index)
{
    m_core.changeControlMode(index);
    refresh();
}

void InverterSelectionDialog::onCapacityChosen(int index)
{
    m_core.changeCapacity(index);
    refresh();
}

void InverterSelectionDialog::onOk()
{
    m_core.ok();
    refresh();
}

void InverterSelectionDialog::onRomVersionPicked(const QString& code)
{
    m_core.pickRomVersion(toUtf8(code));
    refresh();
}

void InverterSelectionDialog::rebuildPicker()
{
    // A fresh menu each time: the codes offered follow the model and control
    // mode now shown.
    if (m_picker)
        m_picker->deleteLater();
    m_picker = namedControl<QMenu>(objectName::picker, this);
    const auto addLeaf = [this](QMenu* menu, const catalogue::PickerNode& leaf) {
        const QString code = fromUtf8(leaf.code);
        QAction* action = menu->addAction(fromUtf8(leaf.label));
        action->setToolTip(code);
        action->setStatusTip(code);
        action->setData(code);
        connect(action, &QAction::triggered, this, [this, code] { onRomVersionPicked(code); });
    };
    const auto addMenu = [](QMenu* parent, const catalogue::PickerNode& node) {
        QMenu* menu = parent->addMenu(fromUtf8(node.label));
        menu->setToolTipsVisible(true);
        return menu;
    };
    for (const catalogue::PickerNode& series : m_core.picker()) {
        QMenu* seriesMenu = addMenu(m_picker, series);
        for (const catalogue::PickerNode& child : series.children) {
            if (child.isLeaf()) {
                addLeaf(seriesMenu, child);
                continue;
            }
            QMenu* letterMenu = addMenu(seriesMenu, child);
            for (const catalogue::PickerNode& leaf : child.children)
                addLeaf(letterMenu, leaf);
        }
    }
}

void InverterSelectionDialog::popUpPicker(const QPoint& globalPos)
{
    if (!m_core.isOpen())
        return;
    rebuildPicker();
    m_picker->popup(globalPos);
}

void InverterSelectionDialog::setDiagnosticsVisible(bool visible)
{
    for (QLabel* label : m_diagnostics)
        label->setVisible(visible);
    setFixedSize(visible ? WideWidth : NarrowWidth, FormHeight);
}

void InverterSelectionDialog::contextMenuEvent(QContextMenuEvent* event)
{
    popUpPicker(event->globalPos());
    event->accept();
}

bool InverterSelectionDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cancel && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier && (key->key() == Qt::Key_F9 || key->key() == Qt::Key_F10)) {
            setDiagnosticsVisible(key->key() == Qt::Key_F9);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tess::gui
