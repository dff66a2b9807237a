#include "gui/catalogue/InverterSelectionDialog.h"

#include "core/app/Texts.h"
#include "core/app/Workspace.h"
#include "core/catalogue/ModelCatalogue.h"
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

namespace tess::gui {
namespace {

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

InverterSelectionDialog::InverterSelectionDialog(Workspace& ws, Ui& ui, QWidget* parent)
    : QDialog(parent)
    , m_ws(ws)
    , m_core(ws, ui)
{
    setObjectName(QStringLiteral("ModeForm"));
    // The dialog takes the main window's font name.
    QFont font = formFont(ws.language);
    if (parent)
        font.setFamily(parent->font().family());
    setFont(font);
    build();
}

void InverterSelectionDialog::build()
{
    for (int i = 0; i < 10; ++i) {
        m_labels[i] = new QLabel(this);
        m_labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    }
    const auto combo = [this](const char* name, int y) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(8, y, 120, 22);
        return box;
    };
    m_labels[0]->setGeometry(8, 6, 124, 16);
    m_model = combo("ComboBox1", 22);
    m_labels[1]->setGeometry(8, 50, 124, 16);
    m_controlMode = combo("ComboBox2", 66);
    m_labels[2]->setGeometry(8, 94, 124, 16);
    m_capacity = combo("ComboBox3", 110);
    m_capacity->setMaxVisibleItems(20);
    m_romVersion = combo("ComboBox4", 110);
    m_romVersion->setVisible(false);
    m_labels[3]->setGeometry(8, 138, 124, 16);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameShape(QFrame::StyledPanel);
    m_panel->setFrameShadow(QFrame::Sunken);
    m_panel->setGeometry(8, 154, 92, 22);
    QLabel* romText = m_labels[4];
    romText->setParent(m_panel);
    romText->setGeometry(4, 2, 84, 18);
    romText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(romText, &QLabel::customContextMenuRequested, this,
        [this, romText](const QPoint& pos) { popUpPicker(romText->mapToGlobal(pos)); });

    m_pickerButton = new QToolButton(this);
    m_pickerButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_pickerButton->setGeometry(104, 154, 24, 22);
    connect(m_pickerButton, &QToolButton::clicked, this, [this] { popUpPicker(QCursor::pos()); });

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setGeometry(8, 188, 58, 26);
    m_ok->setEnabled(false);
    // Return presses OK once it is enabled, as in every other dialog;
    // Escape is Cancel (reject).
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Button2"));
    m_cancel->setGeometry(70, 188, 58, 26);
    m_cancel->installEventFilter(this);

    // Label6..Label10: the last conversion-matrix cell looked at.
    for (int i = 5; i < 10; ++i) {
        m_labels[i]->setGeometry(NarrowWidth + 4, 22 + (i - 5) * 22, WideWidth - NarrowWidth - 10, 18);
        m_labels[i]->setVisible(false);
    }

    connect(m_model, &QComboBox::activated, this, &InverterSelectionDialog::ComboBox1Change);
    connect(m_controlMode, &QComboBox::activated, this, &InverterSelectionDialog::ComboBox2Change);
    connect(m_capacity, &QComboBox::activated, this, &InverterSelectionDialog::ComboBox3Change);
    connect(m_ok, &QPushButton::clicked, this, &InverterSelectionDialog::Button1Click);
    connect(m_cancel, &QPushButton::clicked, this, &InverterSelectionDialog::reject);

    QStringList models;
    for (int model = 0; model < catalogue::ModelCount; ++model)
        models << fromUtf8(catalogue::modelName(model));
    m_model->addItems(models);

    setFixedSize(NarrowWidth, FormHeight);
}

bool InverterSelectionDialog::begin()
{
    m_core.open();
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
    const Language language = m_ws.language;
    setWindowTitle(textOf(m_core.captionId(), language));
    m_labels[0]->setText(textOf(TextId::SelectLabelMachine, language));
    m_labels[1]->setText(textOf(TextId::SelectLabelControlMode, language));
    m_labels[2]->setText(textOf(TextId::SelectLabelCapVolt, language));
    m_labels[3]->setText(textOf(TextId::SelectLabelRomVersion, language));
    m_ok->setText(textOf(TextId::SelectButtonOk, language));
    m_cancel->setText(textOf(TextId::SelectButtonCancel, language));
    m_pickerButton->setText(QStringLiteral("..."));
}

void InverterSelectionDialog::refresh()
{
    {
        const QSignalBlocker blocker(m_model);
        m_model->setCurrentIndex(m_core.model());
    }
    m_model->setEnabled(m_core.modelEnabled());
    showList(m_controlMode, toStringList(m_core.controlModes()), m_core.controlMode());
    m_controlMode->setEnabled(m_core.controlModeEnabled());
    showList(m_capacity, toStringList(m_core.capacities()), m_core.capacity());
    showList(m_romVersion, toStringList(m_core.romVersions()), m_core.romVersion());
    m_labels[4]->setText(fromUtf8(m_core.romText()));
    m_ok->setEnabled(m_core.okEnabled());

    const catalogue::MatrixDiagnostics& d = m_core.diagnostics();
    m_labels[5]->setText(fromUtf8(d.rowCode));
    m_labels[6]->setText(fromUtf8(d.columnCode));
    m_labels[7]->setText(fromUtf8(d.result));
    m_labels[8]->setText(fromUtf8(d.rowIndex));
    m_labels[9]->setText(fromUtf8(d.columnIndex));

    if (!m_core.isOpen() && isVisible())
        done(m_core.outcome() == catalogue::SelectionOutcome::Accepted ? QDialog::Accepted : QDialog::Rejected);
}

void InverterSelectionDialog::ComboBox1Change(int index)
{
    m_core.changeModel(index);
    refresh();
}

void InverterSelectionDialog::ComboBox2Change(int index)
{
    m_core.changeControlMode(index);
    refresh();
}

void InverterSelectionDialog::ComboBox3Change(int index)
{
    m_core.changeCapacity(index);
    refresh();
}

void InverterSelectionDialog::Button1Click()
{
    m_core.ok();
    refresh();
}

void InverterSelectionDialog::RomVersionClick(const QString& code)
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
    m_picker = new QMenu(this);
    m_picker->setObjectName(QStringLiteral("PopupMenu1"));
    const auto addLeaf = [this](QMenu* menu, const catalogue::PickerNode& leaf) {
        const QString code = fromUtf8(leaf.code);
        QAction* action = menu->addAction(fromUtf8(leaf.label));
        action->setToolTip(code);
        action->setStatusTip(code);
        action->setData(code);
        connect(action, &QAction::triggered, this, [this, code] { RomVersionClick(code); });
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
    for (int i = 5; i < 10; ++i)
        m_labels[i]->setVisible(visible);
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
