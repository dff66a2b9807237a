#pragma once

#include "app/comm/InterruptedWrite.h"
#include "app/comm/SerialTransferPresenter.h"
#include "gui/common/MainThreadUi.h"

#include <QDialog>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSessionManager;
class QThread;

namespace tess {
class Clock;
class Ui;
class UserStore;
struct Workspace;
} // namespace tess

namespace tess::comm {
class SerialPort;
}

namespace tess::gui {

// The communication dialog: one read, write or comparison with the
// inverter, of the kind it is made for. The rules
// are the application's SerialTransferPresenter; the form shows its state
// and hands it the user's choices. Execute runs the work on the line on a
// thread of its own: the window keeps painting, progress comes back as
// queued calls, and questions are asked on the window's thread while the
// transfer waits. While it runs, Close (and the title bar's close, and
// Escape) stops it. Controls carry their program names (Label1 .. Label8,
// ProgressBar1, Memo1, Button1, Button2, GroupBox1 .. GroupBox3, ComboBox1,
// ComboBox2, CheckBox1 .. CheckBox5) as object names, set from one table in
// the form's source. Files go to workFolder ("" is the working directory);
// the store keeps the verify box's state.
class SerialTransferDialog : public QDialog {
    Q_OBJECT

public:
    SerialTransferDialog(Workspace& ws, Ui& ui, comm::SerialPort& port, Clock& clock, comm::TransferKind kind,
        QWidget* parent = nullptr, const std::string& workFolder = {}, UserStore* store = nullptr);
    ~SerialTransferDialog() override;

    const comm::SerialTransferPresenter& transfer() const { return m_core; }
    bool transferRunning() const { return m_worker != nullptr; }
    // Stop, or the program asked to quit, while a transfer runs: asks (in a
    // write, the line held meanwhile) and stops it between two words.
    void cancelTransfer();
    // The write that finishes an interrupted one: its areas and choices, as
    // if picked, and changed-only.
    void prepareResume(const comm::ResumePlan& plan);

signals:
    // Execute's work is over and the dialog shows its result.
    void transferFinished(int result);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void applyTexts();
    void showState();
    void showMemo();
    void showStatus(const comm::TransferStatus& status);
    bool handleKey(QKeyEvent* event);
    void onTransferDone();
    void onSessionEnding(QSessionManager& manager);

    void onStartAreaEdited(const QString& text);
    void onEndAreaEdited(const QString& text);
    void onShowAreaOToggled(bool checked);
    void onForcedTransferToggled(bool checked);
    void onExecute();
    void onClose();

    MainThreadUi m_ui;
    comm::SerialTransferPresenter m_core;
    QThread* m_worker = nullptr;
    int m_result = 0;
    bool m_centred = false;

    QLabel* m_progressCaption = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_messagesCaption = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLabel* m_port = nullptr;
    QPlainTextEdit* m_summary = nullptr;
    QPushButton* m_execute = nullptr;
    QPushButton* m_close = nullptr;
    QGroupBox* m_writeAreaGroup = nullptr;
    QLabel* m_startAreaLabel = nullptr;
    QComboBox* m_startArea = nullptr;
    QLabel* m_endAreaLabel = nullptr;
    QComboBox* m_endArea = nullptr;
    QGroupBox* m_optionsGroup = nullptr;
    QLabel* m_deadTimeWordsLabel = nullptr;
    QLabel* m_analogWordsLabel = nullptr;
    QLabel* m_analogWordsNote = nullptr;
    QCheckBox* m_permitWrite = nullptr;
    QCheckBox* m_verify = nullptr;
    QCheckBox* m_changedOnly = nullptr;
    QGroupBox* m_displayOptionsGroup = nullptr;
    QCheckBox* m_showL = nullptr;
    QCheckBox* m_showN = nullptr;
    QCheckBox* m_showO = nullptr;
    QLabel* m_hiddenAreasNote = nullptr;
    QCheckBox* m_forced = nullptr;
};

} // namespace tess::gui
