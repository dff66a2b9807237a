#pragma once

#include "app/mainwindow/ConversionReportPresenter.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

namespace tess::gui {

// The report of what an Inverter change or a data read converted: one line
// per word whose situation changed, a filter box that narrows them as the
// grid's search does, the counts, "Save report…" and Close. The rules are
// the application's ConversionReportPresenter; the form only shows them.
// Controls take their object names from one table in the form's source.
class ConversionReportDialog : public QDialog {
    Q_OBJECT

public:
    ConversionReportDialog(Workspace& ws, Ui& ui, QWidget* parent = nullptr);

    const ConversionReportPresenter& report() const { return m_core; }

private:
    void build();
    void showRows();
    void onFilterEdited(const QString& text);

    ConversionReportPresenter m_core;
    QLabel* m_filterCaption = nullptr;
    QLineEdit* m_filter = nullptr;
    QTableWidget* m_rows = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_shown = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace tess::gui
