#pragma once

#include "app/print/PrintPresenter.h"

#include <QDialog>
#include <QPrinter>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::gui {

// The print dialog. The rules are the application's PrintPresenter; the form shows its
// state and prints through a QtPrintCanvas on its own QPrinter. A printer
// set to PDF output without a file (the case on a machine with no printer)
// asks for the file through the Ui before each job. Controls carry their
// program names (Label1, Edit1, Label2, Edit2, GroupBox2, CheckBox1 ..
// CheckBox16, CheckBox20, Button1, Button2, Button3) as object names, from
// one table in the form's source.
class PrintDialog : public QDialog {
    Q_OBJECT

public:
    PrintDialog(Workspace& ws, Ui& ui, QWidget* parent = nullptr);

    // The printer the next job goes to; the printer setup button sets it up.
    QPrinter& printer() { return m_printer; }
    const print::PrintPresenter& presenter() const { return m_presenter; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void onPrint();
    void onClose();
    void onPrinterSetup();
    void onAllAreas();
    void onArea(int area, bool checked);
    void showChecks();
    void setButtonsEnabled(bool enabled);
    // One print job; a file is made beside its target and then put in place.
    void printJob();
    // A file for PDF output when the printer has none; false when the
    // user cancels.
    bool choosePdfFile();

    Workspace& m_ws;
    Ui& m_ui;
    print::PrintPresenter m_presenter;
    QPrinter m_printer;

    QLabel* m_numberLabel = nullptr;
    QLineEdit* m_number = nullptr;
    QLabel* m_customerLabel = nullptr;
    QLineEdit* m_customer = nullptr;
    QGroupBox* m_areaFrame = nullptr;
    std::array<QCheckBox*, AreaCount> m_areas {}; // one per area, in area order
    QCheckBox* m_allCheck = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_printerSet = nullptr;
    bool m_centred = false;
};

} // namespace tess::gui
