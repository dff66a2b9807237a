#include "app/mainwindow/RecentFiles.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "domain/common/FileIo.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <filesystem>

namespace tess {
namespace {

// The same file however it was named: "./a.csl" and "/home/u/a.csl" from
// /home/u are one entry.
std::string absolutePath(std::string_view path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(pathOf(path), ec);
    if (ec)
        return std::string(path);
    return utf8Of(absolute.lexically_normal());
}

// Takes off the entries that name path, however either was written
// ("sub/../a.csl" and "/home/u/a.csl"; on Windows "C:/sets/a.csl" and
// "c:\Sets\A.csl" too). True when one was there.
bool eraseEntriesOf(std::vector<std::string>& paths, std::string_view path)
{
    const std::string absolute = absolutePath(path);
    return std::erase_if(paths, [&](const std::string& entry) { return sameFileName(absolutePath(entry), absolute); })
        > 0;
}

// Only the values that change are written: each write replaces the store's file.
void writeRecentFiles(UserStore& store, const std::vector<std::string>& paths)
{
    for (std::size_t i = 0; i < RecentFileLimit; ++i) {
        const std::string name = recentFileValueName(i);
        const std::string_view path = i < paths.size() ? std::string_view(paths[i]) : std::string_view();
        if (store.readString(name) != path)
            store.writeString(name, path);
    }
}

} // namespace

std::string recentFileValueName(std::size_t index)
{
    return "RecentFile" + std::to_string(index + 1);
}

std::vector<std::string> recentFiles(UserStore& store)
{
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < RecentFileLimit; ++i) {
        std::string path = store.readString(recentFileValueName(i));
        const auto listed = [&](const std::string& entry) { return sameFileName(entry, path); };
        if (!path.empty() && std::none_of(paths.begin(), paths.end(), listed))
            paths.push_back(std::move(path));
    }
    return paths;
}

void addRecentFile(UserStore& store, std::string_view path)
{
    if (path.empty() || path.find_first_of("\r\n") != std::string_view::npos)
        return;
    std::vector<std::string> paths = recentFiles(store);
    eraseEntriesOf(paths, path);
    paths.insert(paths.begin(), absolutePath(path));
    if (paths.size() > RecentFileLimit)
        paths.resize(RecentFileLimit);
    writeRecentFiles(store, paths);
}

void removeRecentFile(UserStore& store, std::string_view path)
{
    std::vector<std::string> paths = recentFiles(store);
    if (eraseEntriesOf(paths, path))
        writeRecentFiles(store, paths);
}

void showRecentFilesCommand(Workspace& ws, UserStore& store)
{
    ws.view.commands.recentFilesMenu = !recentFiles(store).empty();
}

void rememberUsedFiles(Workspace& ws, UserStore& store)
{
    if (ws.doc.usedFiles.empty())
        return;
    std::vector<std::string> used;
    used.swap(ws.doc.usedFiles);
    for (const std::string& path : used)
        addRecentFile(store, path);
    showRecentFilesCommand(ws, store);
}

bool openRecentFile(Workspace& ws, Ui& ui, UserStore& store, const std::string& path)
{
    if (!fileExists(path)) {
        removeRecentFile(store, path);
        showRecentFilesCommand(ws, store);
        ui.showMessage(message(TextId::MsgRecentFileMissing, path), ws.settings.language);
        return false;
    }
    const bool opened = openDocumentAt(ws, ui, path);
    rememberUsedFiles(ws, store);
    return opened;
}

} // namespace tess
