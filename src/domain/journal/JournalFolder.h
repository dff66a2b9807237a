#pragma once

#include <string>
#include <vector>

namespace tess::journal {

// The per-user folder of transfer journals: $XDG_STATE_HOME/tessaline/journal,
// or ~/.local/state/tessaline/journal when that is not set (either value
// may be null); "" when neither is known.
std::string journalFolder(const char* xdgStateHome, const char* home);

// Where the lock files of the ports in use go: $XDG_RUNTIME_DIR, or /tmp
// without one (every process of the user finds them there too).
std::string runtimeFolder(const char* xdgRuntimeDir);

// The same two for this process: from its environment on Linux; on
// Windows the user's local application data folder
// (%LOCALAPPDATA%\Tessaline\journal) and temporary folder.
std::string defaultJournalFolder();
std::string defaultRuntimeFolder();

// The journal files in folder (full paths), newest first: their names begin
// with the UTC time they were made.
std::vector<std::string> journalFiles(const std::string& folder);

// A new journal's file name: the UTC time to the millisecond, the
// transaction and the process, so two transfers never share one.
std::string journalFileName(const std::string& utcStamp, const std::string& transaction, int processId);

} // namespace tess::journal
