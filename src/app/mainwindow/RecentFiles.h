#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

class Ui;
class UserStore;
struct Workspace;

// The data set files opened or saved last, newest first, kept in the
// per-user store as the values "RecentFile1" to "RecentFile10", one path
// each. The list is read from the store each time, so that two windows (or
// two runs at once) on the same store do not lose each other's files.
constexpr std::size_t RecentFileLimit = 10;

std::string recentFileValueName(std::size_t index); // "RecentFile1" for index 0

// The paths in the store, newest first: no empty or repeated entries.
std::vector<std::string> recentFiles(UserStore& store);
// path goes to the front (as an absolute path), once; the oldest beyond
// the limit drop out. A path the store cannot hold (one with a line end) is
// not kept.
void addRecentFile(UserStore& store, std::string_view path);
void removeRecentFile(UserStore& store, std::string_view path);

// The Recent Files submenu offers itself while the list holds a file.
void showRecentFilesCommand(Workspace& ws, UserStore& store);

// The files the commands opened or saved since the last call
// (Document::usedFiles) join the recent files, the last one in front.
void rememberUsedFiles(Workspace& ws, UserStore& store);

// An entry of the Recent Files menu chosen: the file is opened by Open's
// rules (openDocumentAt) and moves to the front. A file that is gone is
// taken off the list and the user told so; the open data set stays. True
// when the file's data set is open afterwards.
bool openRecentFile(Workspace& ws, Ui& ui, UserStore& store, const std::string& path);

} // namespace tess
