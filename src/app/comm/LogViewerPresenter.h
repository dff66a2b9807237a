#pragma once

#include "domain/comm/CommLog.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

namespace tess::comm {

// Memo1's text from lines and back: the lines joined by '\n'; an empty text
// holds no lines. The two are exact inverses for the lines a file gives, so
// an untouched memo hands back what it was given.
std::string memoText(const std::vector<std::string>& lines);
std::vector<std::string> memoLines(std::string_view text);

// Writes the lines to "writelog.txt" in folder, as the viewer and the
// communication dialog both do: through ws.writer behind the hourglass, then
// shows what the save has to tell, with lost added as its last line when the
// file could not be written. True when the file holds the lines.
bool saveCommLogTelling(Workspace& ws, Ui& ui, const std::vector<std::string>& lines, const std::string& folder = {},
    const std::optional<Message>& lost = {});

// The rules of the communication log viewer (`LogViewerDialog`) without a window:
// it marks itself open while it lives, loads "writelog.txt" when shown and
// writes the lines back when closed, if the user changed them.
class LogViewerPresenter {
public:
    // folder: where "writelog.txt" lives; empty for the working directory.
    LogViewerPresenter(Workspace& ws, Ui& ui, std::string folder = {});
    ~LogViewerPresenter();
    LogViewerPresenter(const LogViewerPresenter&) = delete;
    LogViewerPresenter& operator=(const LogViewerPresenter&) = delete;

    // The caption in the current language; asked again after a language switch.
    std::string caption() const;

    // Showing: the lines for Memo1, read afresh from the file. A missing file
    // gives none; a file that cannot be read, or only in part, is reported.
    std::vector<std::string> show();

    // The log command chosen again while the viewer is open, with Memo1's
    // lines: a transaction may have written a new log since, so the file is
    // shown afresh. Changes the user has not written yet would be lost: the
    // user is asked first, and nothing comes back when they are kept.
    std::optional<std::vector<std::string>> showAgain(const std::vector<std::string>& memoLines);

    // Closing, with Memo1's lines: writes them back when they differ from
    // what was last shown, and clears the open mark. Unchanged lines are not
    // written: by now the file may hold the log of a later transaction, or
    // bytes the viewer could not show, and either would be lost. When the
    // write fails, the user is asked whether to close all the same.
    // True when the window may close.
    bool close(const std::vector<std::string>& memoLines);

    bool isClosed() const { return m_closed; }

private:
    Workspace& m_ws;
    Ui& m_ui;
    std::string m_folder;
    std::vector<std::string> m_shown;
    bool m_closed = false;
};

} // namespace tess::comm
