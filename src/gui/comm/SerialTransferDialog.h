#pragma once

#include "app/comm/SerialTransferPresenter.h"

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

namespace tess {
class Clock;
class Ui;
struct Workspace;
} // namespace tess

namespace tess::comm {
class SerialPort;
}

namespace tess::gui {

// The communication dialog: one read or write transaction with the inverter.
// The direction is the document's commDirection when the form is made ('w'
// write, anything else read). The rules are the application's SerialTransferPresenter; the
// form shows its state, hands it the user's choices and drives the progress
// bar for the link. Controls carry their program names (Label1 .. Label8,
// ProgressBar1, Memo1, Button1, Button2, GroupBox1 .. GroupBox3, ComboBox1,
// ComboBox2, CheckBox1 .. CheckBox5) as object names, set from one table in
// the form's source. Files go to workFolder ("" is the working directory).
class SerialTransferDialog : public QDialog {
    Q_OBJECT

public:
    SerialTransferDialog(Workspace& ws, Ui& ui, comm::SerialPort& port, Clock& clock, QWidget* parent = nullptr,
        const std::string& workFolder = {});
    ~SerialTransferDialog() override;

    const comm::SerialTransferPresenter& transfer() const { return m_core; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Progress;

    void build();
    void applyTexts();
    void showState();
    void showMemo();
    bool handleKey(QKeyEvent* event);

    void onStartAreaEdited(const QString& text);
    void onEndAreaEdited(const QString& text);
    void onShowAreaOToggled(bool checked);
    void onForcedTransferToggled(bool checked);
    void onExecute();
    void onClose();

    comm::SerialTransferPresenter m_core;
    std::unique_ptr<Progress> m_progress;
    bool m_centred = false;

    QLabel* m_progressCaption = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_messagesCaption = nullptr;
    QPlainTextEdit* m_memo = nullptr;
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
    QGroupBox* m_displayOptionsGroup = nullptr;
    QCheckBox* m_showL = nullptr;
    QCheckBox* m_showN = nullptr;
    QCheckBox* m_showO = nullptr;
    QLabel* m_hiddenAreasNote = nullptr;
    QCheckBox* m_forced = nullptr;
};

} // namespace tess::gui
