#include "domain/common/FileIo.h"
#include "domain/common/FileIoSystem.h"
#include "domain/common/TemporaryNames.h"
#include "domain/common/WideText.h"

#include <algorithm>
#include <utility>

#include <windows.h>

namespace tess {
namespace {

// Windows takes both separators in a path.
bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

HANDLE toHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t fromHandle(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

// Opens path to look at it, not to read it: a folder as well as a file, and
// whatever other programs do with it meanwhile.
HANDLE openForInformation(const std::string& path)
{
    return ::CreateFileW(widePath(path).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
        nullptr);
}

std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(const std::string& path)
{
    const HANDLE handle = openForInformation(path);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info {};
    const bool got = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    return got ? std::optional(info) : std::nullopt;
}

std::int64_t nsSinceEpoch(std::int64_t fileTime)
{
    // FILETIME counts 100 ns steps from 1601-01-01.
    constexpr std::int64_t epochIn100ns = 116444736000000000;
    return (fileTime - epochIn100ns) * 100;
}

std::int64_t nsSinceEpoch(const FILETIME& time)
{
    return nsSinceEpoch(
        static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}

// Saves of one folder by several processes change their files in turn: a
// named mutex per folder (the session's, named after the folder's full
// path) is held while the files of one commit are renamed, so that the
// renames of two saves of a .csl and its .csv never interleave and the save
// that commits last wins both files. A temporary file needs no such care:
// it is made and held open in one step (see createNew).
class FolderLocks {
public:
    FolderLocks() = default;
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;
    ~FolderLocks()
    {
        for (const HANDLE mutex : m_held) {
            ::ReleaseMutex(mutex);
            ::CloseHandle(mutex);
        }
    }

    // Locks each folder once, in one order for every process, so that two
    // commits never wait for each other.
    void lock(const std::vector<std::string>& folders)
    {
        std::vector<std::string> names;
        for (const std::string& folder : folders)
            names.push_back("Local\\tessaline-folder-" + nameDigest(fullKey(folder)));
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        for (const std::string& name : names) {
            const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, wideText(name).c_str());
            if (!mutex)
                continue;
            // A mutex its holder left by ending is handed on: that save is gone.
            const DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
            if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
                ::CloseHandle(mutex);
                continue;
            }
            m_held.push_back(mutex);
        }
    }

private:
    // The folder as every process names it: its full path in capitals (the
    // file system ignores case), with one kind of separator.
    static std::string fullKey(const std::string& folder)
    {
        std::wstring full = widePath(folder.empty() ? "." : folder);
        while (full.size() > 3 && full.back() == L'\\')
            full.pop_back();
        ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
        return utf8Text(full);
    }

    std::vector<HANDLE> m_held;
};

// The attributes a replacement keeps from the file it replaces.
constexpr DWORD KeptAttributes
    = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

namespace fileio {

std::string lastReason()
{
    return lastSystemErrorText();
}

std::string notOpenReason()
{
    return systemErrorText(ERROR_INVALID_HANDLE);
}

std::string folderPart(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos)
        return path.substr(0, slash + 1);
    // "C:name" lies in the current folder of drive C.
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
}

std::string namePart(const std::string& path)
{
    return path.substr(folderPart(path).size());
}

void closeFile(Handle file)
{
    ::CloseHandle(toHandle(file));
}

void removeFile(const std::string& path)
{
    ::DeleteFileW(widePath(path).c_str());
}

bool writeAll(Handle file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(toHandle(file), bytes.data(), piece, &written, nullptr))
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool flushFile(Handle file)
{
    return ::FlushFileBuffers(toHandle(file)) != 0;
}

bool flushToDisk(const std::string& path)
{
    const HANDLE handle = ::CreateFileW(widePath(path).c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = ::FlushFileBuffers(handle) != 0;
    const DWORD saved = ::GetLastError();
    ::CloseHandle(handle);
    ::SetLastError(saved);
    return flushed;
}

// Nothing to do: the files that need it are made (createForAppending) and
// renamed (putInPlace) with write-through, on disk when the call returns.
void flushFolder(const std::string&) { }

Handle openForReading(const std::string& path, std::size_t& size, std::string& reason)
{
    const HANDLE handle
        = ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        reason = lastReason();
        return NoHandle;
    }
    BY_HANDLE_FILE_INFORMATION info {};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || ::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        reason = known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? "is a folder"
                                                                                  : "is not a regular file";
        return NoHandle;
    }
    size = (static_cast<std::size_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return fromHandle(handle);
}

std::ptrdiff_t readSome(Handle file, char* into, std::size_t room)
{
    DWORD got = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30));
    if (!::ReadFile(toHandle(file), into, piece, &got, nullptr))
        return -1;
    return static_cast<std::ptrdiff_t>(got);
}

// Others may read and add to the file while it is open, as on Linux.
// The records live in the user's own profile, whose access rules already
// keep other users out; the file takes them.
Handle createForAppending(const std::string& path)
{
    return fromHandle(
        ::CreateFileW(widePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
}

Handle openForAppending(const std::string& path)
{
    return fromHandle(
        ::CreateFileW(widePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A save on Windows replaces the path itself. Whatever is there is looked
// at by refusalOf alone: a replacement keeps nothing of it but its
// attributes, which putInPlace takes over.
std::optional<SaveTarget> findSaveTarget(const std::string& path, std::string&)
{
    return SaveTarget {path};
}

std::optional<std::string> refusalOf(const SaveTarget& target)
{
    const std::wstring wide = widePath(target.path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD missing = ::GetLastError();
        if (missing != ERROR_FILE_NOT_FOUND && missing != ERROR_PATH_NOT_FOUND)
            return systemErrorText(missing);
        return std::nullopt;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return "is a folder";
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return "is read-only";
    // A file another program holds without letting others write to it or
    // rename it (a spreadsheet with the .csv open) could not be replaced at
    // the end; it is refused before anything is written.
    const HANDLE existing = ::CreateFileW(wide.c_str(), GENERIC_WRITE | DELETE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
        const DWORD refused = ::GetLastError();
        if (refused == ERROR_SHARING_VIOLATION || refused == ERROR_LOCK_VIOLATION)
            return "is in use by another program";
        return systemErrorText(refused);
    }
    const DWORD type = ::GetFileType(existing);
    ::CloseHandle(existing);
    if (type != FILE_TYPE_DISK)
        return "is not a regular file";
    return std::nullopt;
}

// The temporary file is its own lock (see createNew): making it takes no
// lock of its folder.
void whileMakingTemporary(const std::string&, const std::function<void()>& make)
{
    make();
}

// A live save keeps its temporary file open until it is in place, so a
// file that opens for this process alone, removed when it is closed, is a
// leftover.
void removeLeftovers(const std::string& folder, const std::string& prefix)
{
    WIN32_FIND_DATAW found {};
    const HANDLE search = ::FindFirstFileW(widePath(folder + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = utf8Text(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !name.starts_with(prefix)
            || !isTemporarySuffix(std::string_view(name).substr(prefix.size())))
            continue;
        const HANDLE handle = ::CreateFileW(widePath(folder + name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// The temporary file is made and held open in one step, and stays open
// until it is in place or removed: that is its lock. Others may read, write
// and rename it (so that a library can write it by name, and it can be
// renamed while open), but not take it alone.
Handle createNew(const std::string& path)
{
    return fromHandle(::CreateFileW(widePath(path).c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool nameTaken()
{
    return ::GetLastError() == ERROR_FILE_EXISTS;
}

std::string nameTakenReason()
{
    return systemErrorText(ERROR_FILE_EXISTS);
}

Handle lockOf(Handle temporary)
{
    return temporary;
}

bool fillTemporary(Handle temporary, std::string_view bytes, const SaveTarget&, std::string& reason)
{
    if (writeAll(temporary, bytes))
        return true;
    reason = lastReason();
    return false;
}

void whileRenaming(const std::vector<std::string>& folders, const std::function<void()>& rename)
{
    FolderLocks folderLocks;
    folderLocks.lock(folders);
    rename();
}

bool putInPlace(const std::string& temporary, const std::string& target, bool flush)
{
    const std::wstring wideTarget = widePath(target);
    const DWORD before = ::GetFileAttributesW(wideTarget.c_str());
    // With write-through the rename is on disk when the call returns.
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (flush ? MOVEFILE_WRITE_THROUGH : 0);
    if (!::MoveFileExW(widePath(temporary).c_str(), wideTarget.c_str(), flags))
        return false;
    if (before != INVALID_FILE_ATTRIBUTES && (before & KeptAttributes) != FILE_ATTRIBUTE_ARCHIVE) {
        const DWORD kept = before & KeptAttributes;
        ::SetFileAttributesW(wideTarget.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    return true;
}

} // namespace fileio

using namespace fileio;

bool fileExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool isDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<FileStamp> fileStamp(const std::string& path)
{
    const HANDLE handle = openForInformation(path);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info {};
    FILE_BASIC_INFO basic {};
    const bool got = ::GetFileInformationByHandle(handle, &info) != 0;
    const bool gotBasic = got && ::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) != 0;
    const bool disk = ::GetFileType(handle) == FILE_TYPE_DISK;
    ::CloseHandle(handle);
    if (!got)
        return std::nullopt;
    FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    stamp.modifiedNs = nsSinceEpoch(info.ftLastWriteTime);
    // The change time covers renames and attribute changes as a Linux
    // inode's does; a file system without one has only the write time.
    stamp.changedNs
        = gotBasic && basic.ChangeTime.QuadPart != 0 ? nsSinceEpoch(basic.ChangeTime.QuadPart) : stamp.modifiedNs;
    stamp.regular = disk && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return stamp;
}

bool sameFile(const std::string& a, const std::string& b)
{
    const std::optional<BY_HANDLE_FILE_INFORMATION> first = informationOf(a);
    const std::optional<BY_HANDLE_FILE_INFORMATION> second = informationOf(b);
    return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber
        && first->nFileIndexHigh == second->nFileIndexHigh && first->nFileIndexLow == second->nFileIndexLow
        && (first->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool makeFolder(const std::string& path, unsigned)
{
    return ::CreateDirectoryW(widePath(path).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

// The access rules of a folder are not read by asking: a file made and
// dropped at once is the answer the system itself gives.
bool folderWritable(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::string probe = folder;
    if (probe.back() != '\\' && probe.back() != '/')
        probe += '\\';
    probe += ".tessaline-write-probe-" + std::to_string(::GetCurrentProcessId());
    const HANDLE file = ::CreateFileW(widePath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

bool makeFolders(const std::string& folder, unsigned, IoError* error)
{
    // "C:\", "\\server\share\" and "\\?\C:\" are there or not; what
    // follows them is made.
    std::size_t start = 0;
    if (folder.starts_with("\\\\") || folder.starts_with("//")) {
        start = 2;
        for (int skip = 0; skip < 2 && start < folder.size(); ++skip) {
            const std::size_t next = folder.find_first_of("/\\", start);
            start = next == std::string::npos ? folder.size() : next + 1;
        }
    } else if (folder.size() >= 2 && folder[1] == ':') {
        start = 2;
    }
    for (std::size_t at = start + 1; at <= folder.size(); ++at) {
        if (at < folder.size() && !isSeparator(folder[at]))
            continue;
        const std::string part = folder.substr(0, at);
        if (!::CreateDirectoryW(widePath(part).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return failWith(error, folder, lastReason());
    }
    return true;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    const std::string pattern = folder.empty() || isSeparator(folder.back()) ? folder + "*" : folder + "\\*";
    WIN32_FIND_DATAW found {};
    const HANDLE search = ::FindFirstFileW(widePath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = utf8Text(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::filesystem::path systemPathOf(std::string_view utf8)
{
    return std::filesystem::path(widePath(utf8));
}

bool sameFileName(std::string_view a, std::string_view b)
{
    // The file system's own folding: ordinal, case-insensitive, as NTFS
    // finds names.
    const std::wstring wideA = widePath(a);
    const std::wstring wideB = widePath(b);
    return CompareStringOrdinal(
               wideA.data(), static_cast<int>(wideA.size()), wideB.data(), static_cast<int>(wideB.size()), TRUE)
        == CSTR_EQUAL;
}

} // namespace tess
