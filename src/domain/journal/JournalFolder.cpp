#include "domain/journal/JournalFolder.h"

#include "domain/common/FileIo.h"
#include "domain/common/OwnProcess.h"

#include <algorithm>
#include <string_view>

namespace tess::journal {
namespace {

constexpr std::string_view JournalSuffix = ".jsonl";

} // namespace

std::string journalFolder(const char* xdgStateHome, const char* home)
{
    // The base directory rules: a relative value is to be ignored.
    if (xdgStateHome && xdgStateHome[0] == '/')
        return std::string(xdgStateHome) + "/tessaline/journal";
    if (home && home[0] != '\0')
        return std::string(home) + "/.local/state/tessaline/journal";
    return {};
}

std::string runtimeFolder(const char* xdgRuntimeDir)
{
    return xdgRuntimeDir && xdgRuntimeDir[0] == '/' ? std::string(xdgRuntimeDir) : std::string("/tmp");
}

std::vector<std::string> journalFiles(const std::string& folder)
{
    std::vector<std::string> names;
    for (std::string& name : folderEntries(folder))
        if (name.size() > JournalSuffix.size() && name.ends_with(JournalSuffix) && name.front() != '.')
            names.push_back(std::move(name));
    std::sort(names.begin(), names.end(), std::greater<>());
    const std::string prefix
        = folder.empty() || PathSeparators.find(folder.back()) != std::string_view::npos ? folder : folder + "/";
    for (std::string& name : names)
        name = prefix + name;
    return names;
}

std::string journalFileName(const std::string& utcStamp, const std::string& transaction, int processId)
{
    return utcStamp + "-" + transaction + "-" + std::to_string(processId) + std::string(JournalSuffix);
}

} // namespace tess::journal
