#include "domain/journal/JournalFolder.h"

#include "domain/common/WideText.h"

#include <windows.h>

// After windows.h, which it needs.
#include <shlobj.h>

namespace tess::journal {

std::string defaultJournalFolder()
{
    wchar_t* known = nullptr;
    std::string folder;
    if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known) == S_OK && known)
        folder = utf8Text(known) + "\\Tessaline\\journal";
    ::CoTaskMemFree(known);
    return folder;
}

// The user's own temporary folder: every process of the user finds the
// port locks there.
std::string defaultRuntimeFolder()
{
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return {};
    std::string path = utf8Text(std::wstring_view(folder, length));
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

} // namespace tess::journal
