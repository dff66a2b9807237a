#pragma once

#include "app/comm/LogViewerPresenter.h"

#include <QWidget>

#include <string>

class QFont;
class QPlainTextEdit;

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

namespace tess::gui {

// The communication log viewer: a modeless window above the program's other
// windows that shows "writelog.txt" in Memo1 for editing and writes the
// edited text back when closed. It deletes itself on close. The rules are the application's
// LogViewerPresenter; messages and questions go through the Ui.
class LogViewerDialog : public QWidget {
    Q_OBJECT

public:
    // mainWindowFont: the window takes the main window's current font.
    // logFolder: where "writelog.txt" lives; empty for the working directory.
    LogViewerDialog(Workspace& ws, Ui& ui, const QFont& mainWindowFont, QWidget* parent = nullptr,
        const std::string& logFolder = {});

    // Sets the caption in the current language; called after a language switch.
    void applyLanguage();

    // The log command chosen again while the window is open: Memo1 shows the
    // file afresh (the user is asked first when it holds unwritten changes).
    void showLogAgain();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Memo1 shows the file as it is now.
    void showLogFile();

    comm::LogViewerPresenter m_core;
    QPlainTextEdit* m_memo = nullptr;
    bool m_centred = false;
};

} // namespace tess::gui
