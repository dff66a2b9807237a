#include "domain/common/WideText.h"

#include <algorithm>
#include <vector>

#include <windows.h>

namespace tess {

std::wstring wideText(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string utf8Text(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

namespace {

// Joins the parts of rest to root, dropping empty and "." parts and
// letting ".." take back the part before it.
std::wstring joinNormalised(std::wstring root, std::wstring_view rest)
{
    std::vector<std::wstring_view> parts;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(L'\\'), rest.size());
        const std::wstring_view part = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (part.empty() || part == L".")
            continue;
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            root += L'\\';
        root += parts[i];
    }
    return root;
}

std::wstring currentFolder()
{
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (n == 0)
            return {};
        if (n < folder.size()) {
            folder.resize(n);
            return folder;
        }
        folder.resize(n);
    }
}

} // namespace

std::wstring widePath(std::string_view utf8)
{
    std::wstring path = wideText(utf8);
    if (path.empty() || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return joinNormalised(L"\\\\?\\" + path.substr(0, 3), std::wstring_view(path).substr(3));
    if (path.starts_with(L"\\\\")) {
        // \\server\share\rest
        const std::size_t server = path.find(L'\\', 2);
        const std::size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        if (share == std::wstring::npos)
            return path;
        return joinNormalised(L"\\\\?\\UNC\\" + path.substr(2, share - 1), std::wstring_view(path).substr(share + 1));
    }
    if (path.size() >= 2 && path[1] == L':')
        return path; // "C:name", in the current folder of drive C: left to the system
    const std::wstring current = currentFolder();
    if (current.size() < 2 || current[1] != L':')
        return path;
    // "\\name" lies at the root of the current drive.
    const std::wstring full = path.front() == L'\\' ? current.substr(0, 2) + path : current + L'\\' + path;
    return widePath(utf8Text(full));
}

std::string systemErrorText(unsigned long error)
{
    wchar_t* buffer = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = ::FormatMessageW(flags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0)
        length = ::FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || !buffer)
        return "system error " + std::to_string(error);
    std::string text = utf8Text(std::wstring_view(buffer, length));
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string lastSystemErrorText()
{
    return systemErrorText(::GetLastError());
}

} // namespace tess
