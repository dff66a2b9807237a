#pragma once

#include "core/comm/SerialTransferPresenter.h"

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
// write, anything else read). The rules are the core's SerialTransferPresenter; the
// form shows its state, hands it the user's choices and drives the progress
// bar for the link. Controls carry their program names (Label1 .. Label8,
// ProgressBar1, Memo1, Button1, Button2, GroupBox1 .. GroupBox3, ComboBox1,
// ComboBox2, CheckBox1 .. CheckBox5) as object names. Files go to workFolder
// ("" is the working directory).
class SerialTransferDialog : public QDialog {
    Q_OBJECT

public:
    SerialTransferDialog(Workspace& ws, Ui& ui, comm::SerialPort& port, Clock& clock, QWidget* parent = nullptr,
        const std::string& workFolder = {});
    ~SerialTransferDialog() override;

    const comm::SerialTransferPresenter& dialog() const { return m_core; }

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

    void ComboBox1Change(const QString& text);
    void ComboBox2Change(const QString& text);
    void CheckBox5Click(bool checked);
    void CheckBox2Click(bool checked);
    void Button1Click();
    void Button2Click();

    comm::SerialTransferPresenter m_core;
    std::unique_ptr<Progress> m_progress;
    bool m_centred = false;

    QLabel* m_label1 = nullptr;
    QProgressBar* m_progressBar = nullptr; // ProgressBar1
    QLabel* m_label2 = nullptr;
    QPlainTextEdit* m_memo = nullptr; // Memo1
    QPushButton* m_execute = nullptr; // Button1
    QPushButton* m_close = nullptr; // Button2
    QGroupBox* m_group1 = nullptr;
    QLabel* m_label3 = nullptr;
    QComboBox* m_startArea = nullptr; // ComboBox1
    QLabel* m_label4 = nullptr;
    QComboBox* m_endArea = nullptr; // ComboBox2
    QGroupBox* m_group2 = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_label6 = nullptr;
    QLabel* m_label7 = nullptr;
    QCheckBox* m_writeEnable = nullptr; // CheckBox1
    QGroupBox* m_group3 = nullptr;
    QCheckBox* m_showL = nullptr; // CheckBox3
    QCheckBox* m_showN = nullptr; // CheckBox4
    QCheckBox* m_showO = nullptr; // CheckBox5
    QLabel* m_label8 = nullptr;
    QCheckBox* m_forced = nullptr; // CheckBox2
};

} // namespace tess::gui
