#include "domain/settings/UserStore.h"

#include "domain/common/WideText.h"

#include <windows.h>

// After windows.h, which it needs.
#include <shlobj.h>

namespace tess {
namespace {

// The user's roaming application data folder: %APPDATA% as the user's
// session sets it, or where the system keeps it when that is not set.
std::string roamingAppDataFolder()
{
    wchar_t value[32768] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", value, sizeof value / sizeof value[0]);
    if (length > 0 && length < sizeof value / sizeof value[0])
        return utf8Text(std::wstring_view(value, length));
    wchar_t* known = nullptr;
    std::string folder;
    if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known) == S_OK && known)
        folder = utf8Text(known);
    ::CoTaskMemFree(known);
    return folder;
}

// The program's folder among the user's application data, with no
// separator at its end; empty when the system names none.
std::string tessalineAppDataFolder()
{
    std::string base = roamingAppDataFolder();
    if (base.empty())
        return {};
    while (!base.empty() && (base.back() == '\\' || base.back() == '/'))
        base.pop_back();
    return base + "\\Tessaline";
}

} // namespace

// The same file, of the same format, as on Linux, in the place Windows
// programs keep their users' settings.
std::string defaultUserStorePath()
{
    const std::string folder = tessalineAppDataFolder();
    return folder.empty() ? folder : folder + "\\CON.conf";
}

// The user's own tables, beside the settings.
std::string defaultUserDataFolder()
{
    const std::string folder = tessalineAppDataFolder();
    return folder.empty() ? folder : folder + "\\";
}

} // namespace tess
