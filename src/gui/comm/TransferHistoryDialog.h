#pragma once

#include "app/comm/TransferHistoryPresenter.h"

#include <QDialog>

#include <optional>

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

namespace tess::gui {

// File > Transfer History: the transfers with the drive, newest first, in a
// table; the chosen one's words and outcomes below it. "Open data set"
// opens the chosen transfer's file in the main window and closes the
// dialog; "Compare with drive" does the same and leaves the comparison with
// the drive for the window to run. Controls carry object names from one table in the form's source;
// the rules are the application's TransferHistoryPresenter.
class TransferHistoryDialog : public QDialog {
    Q_OBJECT

public:
    TransferHistoryDialog(Workspace& ws, Ui& ui, QWidget* parent = nullptr);

    // What Compare with drive asked for; none after any other way out.
    const std::optional<comm::DriveComparison>& driveComparison() const { return m_comparison; }

private:
    void onRowChosen();
    void onOpenDataSet();
    void onCompareWithDrive();

    comm::TransferHistoryPresenter m_core;
    QTableWidget* m_transfers = nullptr;
    QPlainTextEdit* m_details = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_close = nullptr;
    std::optional<comm::DriveComparison> m_comparison;
};

} // namespace tess::gui
