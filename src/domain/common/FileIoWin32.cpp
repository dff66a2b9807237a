#include "domain/common/FileIo.h"
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

// The folder part of a path, with its trailing separator; "" for a bare name.
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

bool writeAll(HANDLE handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), piece, &written, nullptr))
            return false;
        bytes.remove_prefix(written);
    }
    return true;
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

// Saves of one folder by several processes change their files in turn: a
// named mutex per folder (the session's, named after the folder's full
// path) is held while the files of one commit are renamed, so that the
// renames of two saves of a .csl and its .csv never interleave and the save
// that commits last wins both files. A temporary file needs no such care:
// it is made and held open in one step (see SystemFileWriter::prepare).
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

// Removes the temporary files that interrupted saves of the target left in
// its folder: files with exactly the target's pattern that no live save
// holds open. A live save keeps its temporary file open until it is in
// place, so a file that opens for this process alone, removed when it is
// closed, is a leftover.
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

// The attributes a replacement keeps from the file it replaces.
constexpr DWORD KeptAttributes
    = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class SystemFileWriter final : public FileWriter {
public:
    explicit SystemFileWriter(bool flushToDisk)
        : m_flushToDisk(flushToDisk)
    {
    }

    std::optional<PendingFile> prepare(const std::string& path, std::string_view bytes, IoError* error) override
    {
        const auto fail = [&](std::string reason) -> std::optional<PendingFile> {
            if (error)
                *error = IoError {path, std::move(reason)};
            return std::nullopt;
        };
        const std::string name = namePart(path);
        if (name.empty() || name == "." || name == "..")
            return fail("is a folder");
        const std::wstring wide = widePath(path);
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD missing = ::GetLastError();
            if (missing != ERROR_FILE_NOT_FOUND && missing != ERROR_PATH_NOT_FOUND)
                return fail(systemErrorText(missing));
        } else {
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                return fail("is a folder");
            if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
                return fail("is read-only");
            // A file another program holds without letting others write to
            // it or rename it (a spreadsheet with the .csv open) could not
            // be replaced at the end; it is refused before anything is
            // written.
            const HANDLE existing = ::CreateFileW(wide.c_str(), GENERIC_WRITE | DELETE,
                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                nullptr);
            if (existing == INVALID_HANDLE_VALUE) {
                const DWORD refused = ::GetLastError();
                if (refused == ERROR_SHARING_VIOLATION || refused == ERROR_LOCK_VIOLATION)
                    return fail("is in use by another program");
                return fail(systemErrorText(refused));
            }
            const DWORD type = ::GetFileType(existing);
            ::CloseHandle(existing);
            if (type != FILE_TYPE_DISK)
                return fail("is not a regular file");
        }

        const std::string folder = folderPart(path);
        const std::string prefix = temporaryPrefix(name);
        removeLeftovers(folder, prefix);
        // The temporary file is made and held open in one step, and stays
        // open until it is in place or removed: that is its lock. Others
        // may read, write and rename it (so that a library can write it by
        // name, and it can be renamed while open), but not take it alone.
        std::string temporary;
        HANDLE handle = INVALID_HANDLE_VALUE;
        for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
            temporary = folder + prefix + randomSuffix();
            handle = ::CreateFileW(widePath(temporary).c_str(), GENERIC_WRITE,
                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                nullptr);
            if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
                return fail(lastSystemErrorText());
        }
        if (handle == INVALID_HANDLE_VALUE)
            return fail(systemErrorText(ERROR_FILE_EXISTS));
        PendingFile pending(path, path, temporary, fromHandle(handle));
        if (!writeAll(handle, bytes))
            return fail(lastSystemErrorText());
        return pending;
    }

    std::size_t commit(std::span<PendingFile> files, IoError* error) override
    {
        const auto fail = [&](const PendingFile& file, std::size_t inPlace) {
            if (error)
                *error = IoError {file.path(), lastSystemErrorText()};
            return inPlace;
        };
        if (m_flushToDisk)
            for (const PendingFile& file : files)
                if (!flushToDisk(file.temporary()))
                    return fail(file, 0);
        std::vector<std::string> folders;
        for (const PendingFile& file : files)
            folders.push_back(folderPart(file.target()));
        FolderLocks folderLocks;
        folderLocks.lock(folders);
        std::size_t inPlace = 0;
        for (PendingFile& file : files) {
            const std::wstring target = widePath(file.target());
            const DWORD before = ::GetFileAttributesW(target.c_str());
            // With write-through the rename is on disk when the call returns.
            const DWORD flags = MOVEFILE_REPLACE_EXISTING | (m_flushToDisk ? MOVEFILE_WRITE_THROUGH : 0);
            if (!::MoveFileExW(widePath(file.temporary()).c_str(), target.c_str(), flags))
                return fail(file, inPlace);
            if (before != INVALID_FILE_ATTRIBUTES && (before & KeptAttributes) != FILE_ATTRIBUTE_ARCHIVE) {
                const DWORD kept = before & KeptAttributes;
                ::SetFileAttributesW(target.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
            }
            file.markInPlace();
            ++inPlace;
        }
        return inPlace;
    }

private:
    bool m_flushToDisk;
};

} // namespace

bool readFileBytes(const std::string& path, std::string& bytes, IoError* error)
{
    bytes.clear();
    const auto fail = [&](std::string detail) {
        if (error)
            *error = IoError {path, std::move(detail)};
        return false;
    };
    const HANDLE handle
        = ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return fail(lastSystemErrorText());
    BY_HANDLE_FILE_INFORMATION info {};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || ::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        return fail(
            known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? "is a folder" : "is not a regular file");
    }
    bytes.reserve((static_cast<std::size_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    // A file that grows meanwhile is read on to its end.
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handle, buffer, sizeof buffer, &got, nullptr)) {
            const std::string reason = lastSystemErrorText();
            ::CloseHandle(handle);
            bytes.clear();
            return fail(reason);
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    ::CloseHandle(handle);
    return true;
}

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

void PendingFile::discard()
{
    // Removed while still held open, so that no other save takes it for a
    // leftover in between; it goes when the handle is closed.
    if (!m_temporary.empty())
        ::DeleteFileW(widePath(m_temporary).c_str());
    m_temporary.clear();
    releaseLock();
}

void PendingFile::releaseLock()
{
    if (m_lock != -1)
        ::CloseHandle(toHandle(m_lock));
    m_lock = -1;
}

FileWriter& systemFileWriter()
{
    static SystemFileWriter writer(true);
    return writer;
}

FileWriter& unflushedFileWriter()
{
    static SystemFileWriter writer(false);
    return writer;
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
        if (!::CreateDirectoryW(widePath(part).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
            if (error)
                *error = IoError {folder, lastSystemErrorText()};
            return false;
        }
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

AppendFile::~AppendFile()
{
    close();
}

// Others may read and add to the file while it is open, as on Linux.
// The records live in the user's own profile, whose access rules already
// keep other users out; the file takes them.
bool AppendFile::create(const std::string& path, IoError* error)
{
    close();
    m_path = path;
    const HANDLE handle = ::CreateFileW(widePath(path).c_str(), FILE_APPEND_DATA,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (error)
            *error = IoError {path, lastSystemErrorText()};
        return false;
    }
    m_handle = fromHandle(handle);
    return true;
}

bool AppendFile::openExisting(const std::string& path, IoError* error)
{
    close();
    m_path = path;
    const HANDLE handle = ::CreateFileW(widePath(path).c_str(), FILE_APPEND_DATA,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (error)
            *error = IoError {path, lastSystemErrorText()};
        return false;
    }
    m_handle = fromHandle(handle);
    return true;
}

bool AppendFile::append(std::string_view bytes, IoError* error)
{
    if (m_handle != -1 && writeAll(toHandle(m_handle), bytes))
        return true;
    if (error)
        *error = IoError {m_path, m_handle != -1 ? lastSystemErrorText() : systemErrorText(ERROR_INVALID_HANDLE)};
    return false;
}

bool AppendFile::flush(IoError* error)
{
    if (m_handle != -1 && ::FlushFileBuffers(toHandle(m_handle)))
        return true;
    if (error)
        *error = IoError {m_path, m_handle != -1 ? lastSystemErrorText() : systemErrorText(ERROR_INVALID_HANDLE)};
    return false;
}

void AppendFile::close()
{
    if (m_handle != -1)
        ::CloseHandle(toHandle(m_handle));
    m_handle = -1;
}

} // namespace tess

namespace tess {

std::filesystem::path systemPathOf(std::string_view utf8)
{
    return std::filesystem::path(widePath(utf8));
}

} // namespace tess
