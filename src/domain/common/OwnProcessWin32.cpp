#include "domain/common/OwnProcess.h"
#include "domain/common/WideText.h"

#include <windows.h>

namespace tess {

std::string ownExecutablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        // A path that does not fit is cut to the buffer's size.
        if (n < buffer.size()) {
            buffer.resize(n);
            return utf8Text(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ownProgramName()
{
    std::string name = ownExecutablePath();
    name.erase(0, name.find_last_of(PathSeparators) + 1);
    if (name.size() > 4 && (name.ends_with(".exe") || name.ends_with(".EXE")))
        name.resize(name.size() - 4);
    return name;
}

int ownProcessId()
{
    return static_cast<int>(::GetCurrentProcessId());
}

std::string ownUserName()
{
    wchar_t name[256] = {};
    DWORD size = sizeof name / sizeof name[0];
    return ::GetUserNameW(name, &size) && size > 0 ? utf8Text(std::wstring_view(name, size - 1)) : std::string();
}

std::string ownHostName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name / sizeof name[0];
    return ::GetComputerNameW(name, &size) ? utf8Text(std::wstring_view(name, size)) : std::string();
}

} // namespace tess
