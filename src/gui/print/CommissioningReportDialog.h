#pragma once

#include "app/print/CommissioningReportPresenter.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tess {
class Ui;
class UserStore;
struct Workspace;
} // namespace tess

namespace tess::gui {

// File > Commissioning Report: the site, drive tag and engineer (as the user
// typed them last), the choice to list every parameter and the PDF file.
// Save PDF writes the file and closes the form; Print sends the report to a
// printer chosen in the system's print dialog. The rules are the
// application's CommissioningReportPresenter.
class CommissioningReportDialog : public QDialog {
    Q_OBJECT

public:
    CommissioningReportDialog(Workspace& ws, Ui& ui, UserStore& store, QWidget* parent = nullptr);

    const print::CommissioningReportPresenter& presenter() const { return m_presenter; }
    // What writes the PDF; tests give their own.
    void setPdfCanvasMaker(print::PdfCanvasMaker maker) { m_makeCanvas = std::move(maker); }

private:
    void build();
    void onBrowse();
    void onSave();
    void onPrint();

    Workspace& m_ws;
    Ui& m_ui;
    print::CommissioningReportPresenter m_presenter;
    print::PdfCanvasMaker m_makeCanvas;

    QLineEdit* m_site = nullptr;
    QLineEdit* m_tag = nullptr;
    QLineEdit* m_engineer = nullptr;
    QCheckBox* m_listAll = nullptr;
    QLineEdit* m_output = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace tess::gui
