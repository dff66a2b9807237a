#include "gui/comm/SerialTransferDialog.h"

#include "core/app/Workspace.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>

#include <algorithm>

namespace tess::gui {
namespace {

// The read dialog shows only the left column; the write dialog adds the area
// and option groups on the right.
constexpr int ColumnWidth = 240;
constexpr int ReadFormWidth = ColumnWidth + 16;
constexpr int WriteFormWidth = 2 * ColumnWidth + 24;
constexpr int FormHeight = 360;
constexpr int RightColumn = ColumnWidth + 16;

} // namespace

// The progress bar as the link drives it. A transfer runs without the event
// loop, so each change is painted at once.
class SerialTransferDialog::Progress final : public comm::ProgressSink {
public:
    explicit Progress(QProgressBar* bar)
        : m_bar(bar)
    {
    }
    void setPosition(int position) override
    {
        m_bar->setValue(std::clamp(position, m_bar->minimum(), m_bar->maximum()));
        m_bar->repaint();
    }
    void setMaximum(int maximum) override
    {
        // A range of one word has no width: it counts as a range of one step.
        m_bar->setMaximum(std::max(maximum, 1));
    }
    void step(int by) override { setPosition(m_bar->value() + by); }

private:
    QProgressBar* m_bar;
};

SerialTransferDialog::SerialTransferDialog(
    Workspace& ws, Ui& ui, comm::SerialPort& port, Clock& clock, QWidget* parent, const std::string& workFolder)
    : QDialog(parent)
    , m_core(ws, ui, port, clock, workFolder)
{
    setObjectName(QStringLiteral("SerialForm"));
    if (parent)
        setFont(parent->font());
    build();
    m_progress = std::make_unique<Progress>(m_progressBar);
    m_core.setProgressSink(m_progress.get());
    m_core.setChangeListener([this] { showState(); });
    applyTexts();

    QStringList areas;
    for (const std::string& item : m_core.areaItems())
        areas << fromUtf8(item);
    m_startArea->addItems(areas);
    m_endArea->addItems(areas);
    m_startArea->setCurrentIndex(m_core.startArea());
    m_endArea->setCurrentIndex(m_core.endArea());
    connect(m_startArea, &QComboBox::editTextChanged, this, &SerialTransferDialog::ComboBox1Change);
    connect(m_endArea, &QComboBox::editTextChanged, this, &SerialTransferDialog::ComboBox2Change);

    const bool write = m_core.writeGroupsVisible();
    m_group1->setVisible(write);
    m_group2->setVisible(write);
    m_group3->setVisible(write);
    m_group1->setEnabled(write);
    m_group2->setEnabled(write);
    const bool controls = m_core.writeControlsEnabled();
    for (QWidget* control :
        {static_cast<QWidget*>(m_startArea), static_cast<QWidget*>(m_endArea), static_cast<QWidget*>(m_writeEnable),
            static_cast<QWidget*>(m_showL), static_cast<QWidget*>(m_showN), static_cast<QWidget*>(m_showO)})
        control->setEnabled(write && controls);
    setFixedSize(write ? WriteFormWidth : ReadFormWidth, FormHeight);
    showState();
}

SerialTransferDialog::~SerialTransferDialog()
{
    m_core.setChangeListener({});
    m_core.setProgressSink(nullptr);
}

void SerialTransferDialog::build()
{
    const auto label = [this](QWidget* parent, const char* name, int x, int y, int w) {
        auto* l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(x, y, w, 18);
        return l;
    };
    const auto checkBox = [](QWidget* parent, const char* name, int x, int y, int w) {
        auto* c = new QCheckBox(parent);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(x, y, w, 20);
        return c;
    };

    m_label1 = label(this, "Label1", 8, 8, ColumnWidth);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setGeometry(8, 28, ColumnWidth, 18);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_label2 = label(this, "Label2", 8, 54, ColumnWidth);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setGeometry(8, 74, ColumnWidth, 200);
    m_memo->setReadOnly(true);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_forced = checkBox(this, "CheckBox2", 8, 282, ColumnWidth);
    m_forced->setVisible(false);
    m_forced->setEnabled(false);
    connect(m_forced, &QCheckBox::clicked, this, &SerialTransferDialog::CheckBox2Click);

    m_execute = new QPushButton(this);
    m_execute->setObjectName(QStringLiteral("Button1"));
    m_execute->setGeometry(8, FormHeight - 35, 96, 25);
    m_execute->setAutoDefault(false);
    connect(m_execute, &QPushButton::clicked, this, &SerialTransferDialog::Button1Click);
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("Button2"));
    m_close->setGeometry(ColumnWidth + 8 - 96, FormHeight - 35, 96, 25);
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &SerialTransferDialog::Button2Click);

    const int groupWidth = ColumnWidth;
    m_group1 = new QGroupBox(this);
    m_group1->setObjectName(QStringLiteral("GroupBox1"));
    m_group1->setGeometry(RightColumn, 8, groupWidth, 84);
    m_label3 = label(m_group1, "Label3", 10, 24, 100);
    m_startArea = new QComboBox(m_group1);
    m_startArea->setObjectName(QStringLiteral("ComboBox1"));
    m_startArea->setGeometry(116, 22, 110, 24);
    m_label4 = label(m_group1, "Label4", 10, 54, 100);
    m_endArea = new QComboBox(m_group1);
    m_endArea->setObjectName(QStringLiteral("ComboBox2"));
    m_endArea->setGeometry(116, 52, 110, 24);
    for (QComboBox* areas : {m_startArea, m_endArea}) {
        // An area can be typed; typing never adds items to the list.
        areas->setEditable(true);
        areas->setInsertPolicy(QComboBox::NoInsert);
        areas->setMaxVisibleItems(AreaCount);
    }

    m_group2 = new QGroupBox(this);
    m_group2->setObjectName(QStringLiteral("GroupBox2"));
    m_group2->setGeometry(RightColumn, 100, groupWidth, 104);
    m_label5 = label(m_group2, "Label5", 10, 22, groupWidth - 20);
    m_label6 = label(m_group2, "Label6", 10, 42, groupWidth - 20);
    m_label7 = label(m_group2, "Label7", 10, 60, groupWidth - 20);
    m_writeEnable = checkBox(m_group2, "CheckBox1", 10, 80, groupWidth - 20);
    connect(m_writeEnable, &QCheckBox::clicked, this, [this](bool checked) { m_core.setWriteEnable(checked); });

    m_group3 = new QGroupBox(this);
    m_group3->setObjectName(QStringLiteral("GroupBox3"));
    m_group3->setGeometry(RightColumn, 212, groupWidth, 104);
    m_showL = checkBox(m_group3, "CheckBox3", 10, 20, groupWidth - 20);
    m_showN = checkBox(m_group3, "CheckBox4", 10, 40, groupWidth - 20);
    m_showO = checkBox(m_group3, "CheckBox5", 10, 60, groupWidth - 20);
    m_label8 = label(m_group3, "Label8", 10, 82, groupWidth - 20);
    connect(m_showL, &QCheckBox::clicked, this, [this](bool checked) { m_core.setShowAreaL(checked); });
    connect(m_showN, &QCheckBox::clicked, this, [this](bool checked) { m_core.setShowAreaN(checked); });
    connect(m_showO, &QCheckBox::clicked, this, &SerialTransferDialog::CheckBox5Click);

    // The form sees Ctrl+F9 and Ctrl+F10 before whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void SerialTransferDialog::applyTexts()
{
    const comm::SerialTransferTexts t = m_core.texts();
    setWindowTitle(fromUtf8(t.caption));
    m_label1->setText(fromUtf8(t.label1));
    m_label2->setText(fromUtf8(t.label2));
    m_execute->setText(fromUtf8(t.execute));
    m_close->setText(fromUtf8(t.close));
    m_group1->setTitle(fromUtf8(t.groupBox1));
    m_label3->setText(fromUtf8(t.label3));
    m_label4->setText(fromUtf8(t.label4));
    m_group2->setTitle(fromUtf8(t.groupBox2));
    m_label5->setText(fromUtf8(t.label5));
    m_label6->setText(fromUtf8(t.label6));
    m_label7->setText(fromUtf8(t.label7));
    m_writeEnable->setText(fromUtf8(t.checkBox1));
    m_group3->setTitle(fromUtf8(t.groupBox3));
    m_showL->setText(fromUtf8(t.checkBox3));
    m_showN->setText(fromUtf8(t.checkBox4));
    m_showO->setText(fromUtf8(t.checkBox5));
    m_label8->setText(fromUtf8(t.label8));
    m_forced->setText(fromUtf8(t.checkBox2));
}

void SerialTransferDialog::showMemo()
{
    QStringList lines;
    for (const std::string& line : m_core.memo())
        lines << fromUtf8(line);
    m_memo->setPlainText(lines.join(QLatin1Char('\n')));
    m_memo->verticalScrollBar()->setValue(m_memo->verticalScrollBar()->maximum());
}

void SerialTransferDialog::showState()
{
    showMemo();
    m_execute->setEnabled(m_core.executeEnabled());
    m_close->setEnabled(m_core.closeEnabled());
    // The transaction runs without the event loop: show the change now.
    if (isVisible())
        repaint();
}

void SerialTransferDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    centreOnScreen(this);
}

bool SerialTransferDialog::handleKey(QKeyEvent* event)
{
    if (event->modifiers() != Qt::ControlModifier)
        return false;
    if (event->key() == Qt::Key_F9) {
        m_core.revealForcedBox();
    } else if (event->key() == Qt::Key_F10) {
        m_core.hideForcedBox();
        m_forced->setChecked(false);
    } else {
        return false;
    }
    m_forced->setVisible(m_core.forcedBoxVisible());
    m_forced->setEnabled(m_core.forcedBoxVisible());
    return true;
}

bool SerialTransferDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void SerialTransferDialog::ComboBox1Change(const QString& text)
{
    m_core.setStartArea(comm::SerialTransferPresenter::areaIndexOfText(toUtf8(text)));
}

void SerialTransferDialog::ComboBox2Change(const QString& text)
{
    m_core.setEndArea(comm::SerialTransferPresenter::areaIndexOfText(toUtf8(text)));
}

void SerialTransferDialog::CheckBox5Click(bool checked)
{
    m_core.setShowAreaO(checked);
}

void SerialTransferDialog::CheckBox2Click(bool checked)
{
    m_core.setForcedTransfer(checked);
    m_forced->setChecked(m_core.forcedTransfer());
}

void SerialTransferDialog::Button1Click()
{
    m_core.RunTransaction();
    showState();
}

void SerialTransferDialog::Button2Click()
{
    m_core.close();
    accept();
}

void SerialTransferDialog::reject()
{
    // Escape while a transaction runs (its waits let events through) must
    // not close the dialog under it.
    if (!m_core.closeEnabled())
        return;
    m_core.close();
    QDialog::reject();
}

void SerialTransferDialog::closeEvent(QCloseEvent* event)
{
    if (!m_core.closeEnabled()) {
        event->ignore();
        return;
    }
    m_core.close();
    QDialog::closeEvent(event);
}

} // namespace tess::gui
