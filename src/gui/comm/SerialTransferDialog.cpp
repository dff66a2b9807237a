#include "gui/comm/SerialTransferDialog.h"

#include "app/common/Workspace.h"
#include "gui/common/DialogFrame.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSessionManager>
#include <QShowEvent>
#include <QThread>

#include <algorithm>

namespace tess::gui {
namespace {

// The read dialog shows only the left column; the write dialog adds the area
// and option groups on the right.
constexpr int ColumnWidth = 240;
constexpr int ReadFormWidth = ColumnWidth + 16;
constexpr int WriteFormWidth = 2 * ColumnWidth + 24;
constexpr int FormHeight = 490;
constexpr int RightColumn = ColumnWidth + 16;
// The progress bar counts per mille of the whole transaction.
constexpr int ProgressSteps = 1000;

// The object names of the form and its controls, by meaning.
namespace objectName {
constexpr const char* window = "SerialForm";
constexpr const char* progressCaption = "Label1";
constexpr const char* progressBar = "ProgressBar1";
constexpr const char* transferStatus = "TransferStatus";
constexpr const char* messagesCaption = "Label2";
constexpr const char* memo = "Memo1";
constexpr const char* port = "TransferPort";
constexpr const char* summary = "TransferSummary";
constexpr const char* execute = "Button1";
constexpr const char* close = "Button2";
constexpr const char* writeAreaGroup = "GroupBox1";
constexpr const char* startAreaLabel = "Label3";
constexpr const char* startArea = "ComboBox1";
constexpr const char* endAreaLabel = "Label4";
constexpr const char* endArea = "ComboBox2";
constexpr const char* optionsGroup = "GroupBox2";
constexpr const char* deadTimeWordsLabel = "Label5";
constexpr const char* analogWordsLabel = "Label6";
constexpr const char* analogWordsNote = "Label7";
constexpr const char* permitWrite = "CheckBox1";
constexpr const char* verifyAfterWrite = "VerifyCheck";
constexpr const char* changedOnly = "ChangedOnlyCheck";
constexpr const char* displayOptionsGroup = "GroupBox3";
constexpr const char* showAreaL = "CheckBox3";
constexpr const char* showAreaN = "CheckBox4";
constexpr const char* showAreaO = "CheckBox5";
constexpr const char* hiddenAreasNote = "Label8";
constexpr const char* forcedTransfer = "CheckBox2";
} // namespace objectName

} // namespace

SerialTransferDialog::SerialTransferDialog(Workspace& ws, Ui& ui, comm::SerialPort& port, Clock& clock,
    comm::TransferKind kind, QWidget* parent, const std::string& workFolder, UserStore* store)
    : QDialog(parent)
    , m_ui(ui, this)
    , m_core(ws, m_ui, port, clock, kind, workFolder, store)
{
    frameDialog(*this, objectName::window, parent);
    build();
    m_core.setChangeListener([this] { showState(); });
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &SerialTransferDialog::onSessionEnding);
    // Told on the transfer's thread: the window shows it in its own time.
    m_core.setStatusListener([this](const comm::TransferStatus& status) {
        QMetaObject::invokeMethod(
            this, [this, status] { showStatus(status); }, Qt::QueuedConnection);
    });
    applyTexts();

    QStringList areas;
    for (const std::string& item : m_core.areaItems())
        areas << fromUtf8(item);
    m_startArea->addItems(areas);
    m_endArea->addItems(areas);
    m_startArea->setCurrentIndex(m_core.startArea());
    m_endArea->setCurrentIndex(m_core.endArea());
    connect(m_startArea, &QComboBox::editTextChanged, this, &SerialTransferDialog::onStartAreaEdited);
    connect(m_endArea, &QComboBox::editTextChanged, this, &SerialTransferDialog::onEndAreaEdited);

    const bool write = m_core.writeGroupsVisible();
    m_writeAreaGroup->setVisible(write);
    m_optionsGroup->setVisible(write);
    m_displayOptionsGroup->setVisible(write);
    m_writeAreaGroup->setEnabled(write);
    m_optionsGroup->setEnabled(write);
    m_verify->setChecked(m_core.verifyAfterWrite());
    m_changedOnly->setChecked(m_core.changedOnly());
    setFixedSize(write ? WriteFormWidth : ReadFormWidth, FormHeight);
    showState();
}

SerialTransferDialog::~SerialTransferDialog()
{
    if (m_worker) {
        // Only when the program goes down under a running transfer: stop it
        // and let its last questions through until it has ended.
        m_core.requestCancel();
        while (!m_worker->wait(10))
            QCoreApplication::processEvents();
        delete m_worker;
        m_worker = nullptr;
    }
    m_core.setChangeListener({});
    m_core.setStatusListener({});
}

void SerialTransferDialog::build()
{
    const auto label = [this](QWidget* parent, const char* name, int x, int y, int w) {
        auto* l = namedControl<QLabel>(name, parent);
        l->setGeometry(x, y, w, 18);
        return l;
    };
    const auto checkBox = [](QWidget* parent, const char* name, int x, int y, int w) {
        auto* c = namedControl<QCheckBox>(name, parent);
        c->setGeometry(x, y, w, 20);
        return c;
    };

    m_progressCaption = label(this, objectName::progressCaption, 8, 8, ColumnWidth);
    m_progressBar = namedControl<QProgressBar>(objectName::progressBar, this);
    m_progressBar->setGeometry(8, 28, ColumnWidth, 18);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_status = label(this, objectName::transferStatus, 8, 48, ColumnWidth);
    m_messagesCaption = label(this, objectName::messagesCaption, 8, 72, ColumnWidth);
    m_memo = namedControl<QPlainTextEdit>(objectName::memo, this);
    m_memo->setGeometry(8, 92, ColumnWidth, 200);
    m_memo->setReadOnly(true);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A long line wraps: the last one, which says how the transfer ended,
    // is read whole without scrolling sideways.
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    m_port = label(this, objectName::port, 8, 296, ColumnWidth);
    m_port->setGeometry(8, 296, ColumnWidth, 32);
    m_port->setWordWrap(true);
    m_summary = namedControl<QPlainTextEdit>(objectName::summary, this);
    m_summary->setGeometry(8, 332, ColumnWidth, 90);
    m_summary->setReadOnly(true);
    m_summary->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    m_forced = checkBox(this, objectName::forcedTransfer, 8, 426, ColumnWidth);
    m_forced->setVisible(false);
    m_forced->setEnabled(false);
    connect(m_forced, &QCheckBox::clicked, this, &SerialTransferDialog::onForcedTransferToggled);

    m_execute = formButton(objectName::execute, this);
    m_execute->setGeometry(8, FormHeight - 35, 96, 25);
    connect(m_execute, &QPushButton::clicked, this, &SerialTransferDialog::onExecute);
    m_close = formButton(objectName::close, this);
    m_close->setGeometry(ColumnWidth + 8 - 96, FormHeight - 35, 96, 25);
    connect(m_close, &QPushButton::clicked, this, &SerialTransferDialog::onClose);

    const int groupWidth = ColumnWidth;
    const auto group = [this](const char* name, int y, int h) {
        auto* g = namedControl<QGroupBox>(name, this);
        g->setGeometry(RightColumn, y, groupWidth, h);
        return g;
    };
    m_writeAreaGroup = group(objectName::writeAreaGroup, 8, 84);
    m_startAreaLabel = label(m_writeAreaGroup, objectName::startAreaLabel, 10, 24, 100);
    m_startArea = namedControl<QComboBox>(objectName::startArea, m_writeAreaGroup);
    m_startArea->setGeometry(116, 22, 110, 24);
    m_endAreaLabel = label(m_writeAreaGroup, objectName::endAreaLabel, 10, 54, 100);
    m_endArea = namedControl<QComboBox>(objectName::endArea, m_writeAreaGroup);
    m_endArea->setGeometry(116, 52, 110, 24);
    for (QComboBox* areas : {m_startArea, m_endArea}) {
        // An area can be typed; typing never adds items to the list.
        areas->setEditable(true);
        areas->setInsertPolicy(QComboBox::NoInsert);
        areas->setMaxVisibleItems(AreaCount);
    }

    m_optionsGroup = group(objectName::optionsGroup, 100, 144);
    m_deadTimeWordsLabel = label(m_optionsGroup, objectName::deadTimeWordsLabel, 10, 22, groupWidth - 20);
    m_analogWordsLabel = label(m_optionsGroup, objectName::analogWordsLabel, 10, 42, groupWidth - 20);
    m_analogWordsNote = label(m_optionsGroup, objectName::analogWordsNote, 10, 60, groupWidth - 20);
    m_permitWrite = checkBox(m_optionsGroup, objectName::permitWrite, 10, 80, groupWidth - 20);
    connect(m_permitWrite, &QCheckBox::clicked, this, [this](bool checked) { m_core.setWritePermitted(checked); });
    m_verify = checkBox(m_optionsGroup, objectName::verifyAfterWrite, 10, 100, groupWidth - 20);
    connect(m_verify, &QCheckBox::clicked, this, [this](bool checked) { m_core.setVerifyAfterWrite(checked); });
    m_changedOnly = checkBox(m_optionsGroup, objectName::changedOnly, 10, 120, groupWidth - 20);
    connect(m_changedOnly, &QCheckBox::clicked, this, [this](bool checked) { m_core.setChangedOnly(checked); });

    m_displayOptionsGroup = group(objectName::displayOptionsGroup, 252, 104);
    m_showL = checkBox(m_displayOptionsGroup, objectName::showAreaL, 10, 20, groupWidth - 20);
    m_showN = checkBox(m_displayOptionsGroup, objectName::showAreaN, 10, 40, groupWidth - 20);
    m_showO = checkBox(m_displayOptionsGroup, objectName::showAreaO, 10, 60, groupWidth - 20);
    m_hiddenAreasNote = label(m_displayOptionsGroup, objectName::hiddenAreasNote, 10, 82, groupWidth - 20);
    connect(m_showL, &QCheckBox::clicked, this, [this](bool checked) { m_core.setShowAreaL(checked); });
    connect(m_showN, &QCheckBox::clicked, this, [this](bool checked) { m_core.setShowAreaN(checked); });
    connect(m_showO, &QCheckBox::clicked, this, &SerialTransferDialog::onShowAreaOToggled);

    // The form sees Ctrl+F9 and Ctrl+F10 before whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void SerialTransferDialog::applyTexts()
{
    const comm::SerialTransferTexts t = m_core.texts();
    setWindowTitle(fromUtf8(t.caption));
    m_progressCaption->setText(fromUtf8(t.progressCaption));
    m_messagesCaption->setText(fromUtf8(t.messagesCaption));
    m_execute->setText(fromUtf8(t.execute));
    m_close->setText(fromUtf8(t.close));
    m_writeAreaGroup->setTitle(fromUtf8(t.writeAreaGroup));
    m_startAreaLabel->setText(fromUtf8(t.startAreaLabel));
    m_endAreaLabel->setText(fromUtf8(t.endAreaLabel));
    m_optionsGroup->setTitle(fromUtf8(t.optionsGroup));
    m_deadTimeWordsLabel->setText(fromUtf8(t.deadTimeWordsLabel));
    m_analogWordsLabel->setText(fromUtf8(t.analogWordsLabel));
    m_analogWordsNote->setText(fromUtf8(t.analogWordsNote));
    m_permitWrite->setText(fromUtf8(t.permitWriteCheck));
    m_verify->setText(fromUtf8(t.verifyCheck));
    m_changedOnly->setText(fromUtf8(t.changedOnlyCheck));
    m_displayOptionsGroup->setTitle(fromUtf8(t.displayOptionsGroup));
    m_showL->setText(fromUtf8(t.showAreaLCheck));
    m_showN->setText(fromUtf8(t.showAreaNCheck));
    m_showO->setText(fromUtf8(t.showAreaOCheck));
    m_hiddenAreasNote->setText(fromUtf8(t.hiddenAreasNote));
    m_forced->setText(fromUtf8(t.forcedTransferCheck));
    m_port->setText(fromUtf8(m_core.portLine()));
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
    QStringList summary;
    for (const std::string& line : m_core.summary())
        summary << fromUtf8(line);
    m_summary->setPlainText(summary.join(QLatin1Char('\n')));
    m_execute->setEnabled(m_core.executeEnabled());
    m_close->setEnabled(m_core.closeEnabled());
    // The choices are the transfer's while it runs: nothing typed or clicked
    // meanwhile may change them under it, nor wait to act after it.
    const bool idle = !m_core.running();
    const bool controls = idle && m_core.writeControlsEnabled();
    for (QWidget* control : {static_cast<QWidget*>(m_startArea), static_cast<QWidget*>(m_endArea),
             static_cast<QWidget*>(m_permitWrite), static_cast<QWidget*>(m_showL), static_cast<QWidget*>(m_showN),
             static_cast<QWidget*>(m_showO), static_cast<QWidget*>(m_changedOnly)})
        control->setEnabled(controls);
    m_verify->setEnabled(idle && m_core.isWriteDialog());
    m_forced->setEnabled(idle && m_core.forcedBoxVisible());
}

void SerialTransferDialog::showStatus(const comm::TransferStatus& status)
{
    if (!m_core.running())
        return;
    m_progressBar->setRange(0, ProgressSteps);
    m_progressBar->setValue(std::clamp(status.permille, 0, ProgressSteps));
    m_status->setText(fromUtf8(status.text));
}

void SerialTransferDialog::prepareResume(const comm::ResumePlan& plan)
{
    m_core.setStartArea(plan.startArea);
    m_core.setEndArea(plan.endArea);
    m_core.setWritePermitted(plan.permitWrite);
    m_core.setVerifyAfterWrite(plan.verify);
    m_core.setChangedOnly(true);
    m_startArea->setCurrentIndex(m_core.startArea());
    m_endArea->setCurrentIndex(m_core.endArea());
    m_permitWrite->setChecked(m_core.writePermitted());
    m_verify->setChecked(m_core.verifyAfterWrite());
    m_changedOnly->setChecked(m_core.changedOnly());
    showState();
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
    if (event->modifiers() != Qt::ControlModifier || (event->key() != Qt::Key_F9 && event->key() != Qt::Key_F10))
        return false;
    // During a transfer the keys are taken and do nothing: the choices are
    // the transfer's until it ends.
    if (m_core.running())
        return true;
    if (event->key() == Qt::Key_F9) {
        m_core.revealForcedBox();
    } else {
        m_core.hideForcedBox();
        m_forced->setChecked(false);
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

void SerialTransferDialog::onStartAreaEdited(const QString& text)
{
    m_core.setStartArea(comm::SerialTransferPresenter::areaIndexOfText(toUtf8(text)));
}

void SerialTransferDialog::onEndAreaEdited(const QString& text)
{
    m_core.setEndArea(comm::SerialTransferPresenter::areaIndexOfText(toUtf8(text)));
}

void SerialTransferDialog::onShowAreaOToggled(bool checked)
{
    m_core.setShowAreaO(checked);
}

void SerialTransferDialog::onForcedTransferToggled(bool checked)
{
    m_core.setForcedTransfer(checked);
    m_forced->setChecked(m_core.forcedTransfer());
}

void SerialTransferDialog::onExecute()
{
    if (m_worker || !m_core.executeEnabled())
        return;
    m_core.beginTransaction();
    m_progressBar->setRange(0, ProgressSteps);
    m_progressBar->setValue(0);
    m_status->clear();
    showState();
    m_worker = QThread::create([this] { m_result = m_core.transfer(); });
    connect(m_worker, &QThread::finished, this, &SerialTransferDialog::onTransferDone);
    m_worker->start();
}

void SerialTransferDialog::onTransferDone()
{
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    m_core.finishTransaction(m_result);
    // A transfer that stopped, on a refusal, a failure or the user's word,
    // leaves its bar at the start: a bar part way would read as a
    // transfer still going on.
    if (m_result == -1)
        m_progressBar->setValue(0);
    if (m_core.cancelRequested())
        m_status->setText(fromUtf8(m_core.texts().cancelled));
    showState();
    emit transferFinished(m_result);
}

void SerialTransferDialog::cancelTransfer()
{
    if (m_core.cancelRequested())
        return;
    if (m_core.confirmCancel())
        m_status->setText(fromUtf8(m_core.texts().cancelling));
}

void SerialTransferDialog::onSessionEnding(QSessionManager& manager)
{
    if (!m_core.running())
        return;
    // The session may end only after the transfer has stopped between two
    // words: the user is asked as Stop asks, and the ending is refused
    // meanwhile.
    if (manager.allowsInteraction()) {
        cancelTransfer();
        manager.release();
    } else {
        m_core.requestCancel();
    }
    manager.cancel();
}

void SerialTransferDialog::onClose()
{
    if (m_core.running()) {
        cancelTransfer();
        return;
    }
    m_core.close();
    accept();
}

void SerialTransferDialog::reject()
{
    // Escape while a transfer runs stops it; the dialog stays until the
    // transfer has ended and says so.
    if (m_core.running()) {
        cancelTransfer();
        return;
    }
    m_core.close();
    QDialog::reject();
}

void SerialTransferDialog::closeEvent(QCloseEvent* event)
{
    if (m_core.running()) {
        event->ignore();
        cancelTransfer();
        return;
    }
    m_core.close();
    QDialog::closeEvent(event);
}

} // namespace tess::gui
