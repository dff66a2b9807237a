#pragma once

#include "app/about/AboutPresenter.h"

#include <QDialog>

class QFont;
class QFrame;
class QLabel;
class QPushButton;

namespace tess {
struct Workspace;
} // namespace tess

namespace tess::gui {

// The About box. What it shows and the hidden spot on its icon are the
// application's AboutPresenter; the form lays the texts out and forwards the mouse over
// ProgramIcon. Controls carry their program names as object names, from one
// table in the form's source.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // mainWindowFont: the dialog takes the main window's current font.
    AboutDialog(const Workspace& ws, const QFont& mainWindowFont, QWidget* parent = nullptr);

    const AboutPresenter& about() const { return m_core; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onIconMouseMove(const QPoint& pos);
    void onIconDoubleClick();
    void build();
    void refresh();

    AboutPresenter m_core;
    QFrame* m_mainPanel = nullptr;
    QLabel* m_icon = nullptr;
    QLabel* m_programName = nullptr;
    QLabel* m_productName = nullptr;
    QLabel* m_comment = nullptr;
    QPushButton* m_ok = nullptr;
    // Right of the normal width: the table file counts, in three columns.
    QFrame* m_countsPanel = nullptr;
    QLabel* m_counts[3] = {};
    bool m_centred = false;
};

} // namespace tess::gui
