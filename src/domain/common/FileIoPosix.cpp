#include "domain/common/FileIo.h"
#include "domain/common/TemporaryNames.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace tess {
namespace {

constexpr int MaxLinkHops = 40; // as the system's own limit on a path

std::string reasonOf(int error)
{
    return std::strerror(error);
}

std::string systemReason()
{
    return reasonOf(errno);
}

// The folder part of a path, with its trailing '/'; "" for a bare name.
std::string folderPart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Saves of one file by several processes (two windows, a window and a
// script) are kept apart by advisory locks (flock), so that no save removes
// a temporary file another live save is writing, and the files of one save
// change places together:
// - every temporary file is locked by its save from the moment it is made
//   until it is renamed or removed; a save removes only the leftovers it can
//   lock, those whose process is gone (the system drops a dead process's
//   locks);
// - the target's folder is locked while leftovers are removed and the new
//   temporary file is made and locked, so that no save finds another's
//   temporary file between its making and its locking;
// - the folders are locked again while the files of one commit are renamed,
//   so that the renames of two saves of a .csl and its .csv never interleave:
//   the save that commits last wins both files.
// A folder that cannot be opened or locked (no read permission, a network
// file system without locks) is written as it is, without the lock.
class FolderLocks {
public:
    FolderLocks() = default;
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;
    ~FolderLocks()
    {
        for (const Held& held : m_held)
            ::close(held.fd);
    }

    // Locks the folders (each once, in one order for every process, so that
    // two commits never wait for each other), exclusively or shared.
    void lock(const std::vector<std::string>& folders, bool exclusive)
    {
        for (const std::string& folder : folders) {
            const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            struct stat st { };
            if (fd < 0)
                continue;
            if (::fstat(fd, &st) != 0 || std::any_of(m_held.begin(), m_held.end(), [&](const Held& held) {
                    return held.device == st.st_dev && held.inode == st.st_ino;
                })) {
                ::close(fd);
                continue;
            }
            m_held.push_back(Held {fd, st.st_dev, st.st_ino});
        }
        std::sort(m_held.begin(), m_held.end(),
            [](const Held& a, const Held& b) { return std::tie(a.device, a.inode) < std::tie(b.device, b.inode); });
        for (const Held& held : m_held)
            while (::flock(held.fd, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) { }
    }

private:
    struct Held {
        int fd;
        dev_t device;
        ino_t inode;
    };
    std::vector<Held> m_held;
};

// Removes the temporary files that interrupted saves of the target left in
// its folder: regular files with exactly the target's pattern that no live
// save holds locked.
void removeLeftovers(const std::string& folder, const std::string& prefix)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !isTemporarySuffix(name.substr(prefix.size())))
            continue;
        struct stat st { };
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

bool writeAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool flushToDisk(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return flushed;
}

// A file with more than one name (a hard link in a backup folder, say) is
// one file under each: a rename would give the new contents to one name
// only. Its contents are replaced in place instead, as careful editors do,
// from the temporary file once that is complete (and flushed): the space
// is reserved first, so that a full disk leaves the file as it was; the
// write itself is not atomic to a reader at the same moment, and an I/O
// error halfway may leave it partly written (the failure names the file).
// Nothing when the file has one name.
std::optional<bool> overwriteLinkedFile(const std::string& temporary, const std::string& target, bool flush)
{
    struct stat st { };
    if (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink < 2)
        return std::nullopt;
    std::string bytes;
    if (!readFileBytes(temporary, bytes))
        return false;
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const auto size = static_cast<off_t>(bytes.size());
    bool written = size <= st.st_size || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0
        || (errno != ENOSPC && errno != EDQUOT && errno != EFBIG);
    written = written && writeAll(fd, bytes) && ::ftruncate(fd, size) == 0 && (!flush || ::fsync(fd) == 0);
    const int saved = errno;
    if (::close(fd) != 0 && written)
        return false;
    errno = saved;
    if (written)
        ::unlink(temporary.c_str());
    return written;
}

// The file a path leads to: the path itself, or the end of its chain of
// symbolic links (which need not exist yet: a new file is made there).
struct ResolvedTarget {
    std::string path;
    std::optional<struct stat> existing;
};

std::optional<ResolvedTarget> resolveTarget(const std::string& path, std::string& reason)
{
    std::string current = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat st { };
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                reason = systemReason();
                return std::nullopt;
            }
            return ResolvedTarget {current, std::nullopt};
        }
        if (!S_ISLNK(st.st_mode))
            return ResolvedTarget {current, st};
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            reason = systemReason();
            return std::nullopt;
        }
        link.resize(static_cast<std::size_t>(n));
        current = link.starts_with('/') ? link : folderPart(current) + link;
    }
    reason = reasonOf(ELOOP);
    return std::nullopt;
}

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
        std::string reason;
        const std::optional<ResolvedTarget> target = resolveTarget(path, reason);
        if (!target)
            return fail(reason);
        const std::string name = namePart(target->path);
        if (name.empty() || name == "." || name == "..")
            return fail("is a folder");
        if (const auto& st = target->existing) {
            if (S_ISDIR(st->st_mode))
                return fail("is a folder");
            if (!S_ISREG(st->st_mode))
                return fail("is not a regular file");
            // The user made the file read-only (for anyone, so even a
            // process that may write anything leaves it alone).
            if ((st->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
                return fail("is read-only");
            if (::access(target->path.c_str(), W_OK) != 0)
                return fail(systemReason());
        }

        const std::string folder = folderPart(target->path);
        const std::string prefix = temporaryPrefix(name);
        std::string temporary;
        int fd = -1;
        int lock = -1;
        {
            FolderLocks folderLock;
            folderLock.lock({folder}, true);
            removeLeftovers(folder, prefix);
            for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
                temporary = folder + prefix + randomSuffix();
                // A new file gets the permissions any new file of the user gets.
                fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
                if (fd < 0 && errno != EEXIST)
                    return fail(systemReason());
            }
            if (fd < 0)
                return fail(reasonOf(EEXIST));
            // The lock lives with the pending file, on a descriptor of its own.
            lock = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
            if (lock >= 0)
                ::flock(lock, LOCK_EX | LOCK_NB);
        }
        PendingFile pending(path, target->path, temporary, lock);

        bool written = writeAll(fd, bytes);
        if (written && target->existing) {
            // The replacement is the same file to its owner and its readers.
            // Only a privileged process may give a file away; otherwise it
            // belongs to the user who saves it, in the old group where the
            // user is one of it. Neither is a reason to refuse the save.
            const struct stat& st = *target->existing;
            if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0)
                errno = 0;
            written = ::fchmod(fd, st.st_mode & 07777) == 0;
        }
        const int saved = errno;
        if (::close(fd) != 0 && written)
            return fail(systemReason());
        if (!written)
            return fail(reasonOf(saved));
        return pending;
    }

    std::size_t commit(std::span<PendingFile> files, IoError* error) override
    {
        const auto fail = [&](const PendingFile& file, std::size_t inPlace) {
            if (error)
                *error = IoError {file.path(), systemReason()};
            return inPlace;
        };
        if (m_flushToDisk)
            for (const PendingFile& file : files)
                if (!flushToDisk(file.temporary()))
                    return fail(file, 0);
        // From here on every step is a rename: the files change places as
        // close together as the system allows, and no other save's renames
        // come between them.
        std::size_t inPlace = 0;
        {
            std::vector<std::string> folders;
            for (const PendingFile& file : files)
                folders.push_back(folderPart(file.target()));
            FolderLocks folderLocks;
            folderLocks.lock(folders, true);
            for (PendingFile& file : files) {
                const std::optional<bool> overwritten
                    = overwriteLinkedFile(file.temporary(), file.target(), m_flushToDisk);
                if (overwritten ? !*overwritten : ::rename(file.temporary().c_str(), file.target().c_str()) != 0)
                    return fail(file, inPlace);
                file.markInPlace();
                ++inPlace;
            }
        }
        // The renames themselves reach the disk with their folders. A
        // folder that cannot be flushed changes nothing the user could act
        // on: the files are in place.
        if (m_flushToDisk)
            for (const PendingFile& file : files) {
                const std::string folder = folderPart(file.target());
                const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                if (fd >= 0) {
                    ::fsync(fd);
                    ::close(fd);
                }
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
    // Without O_NONBLOCK the open of a FIFO would wait for a writer that may
    // never come; the program's files are regular files, nothing else is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(systemReason());
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const std::string reason = S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file";
        ::close(fd);
        return fail(reason);
    }
    const auto readSome = [&](char* into, std::size_t room) {
        for (;;) {
            const ssize_t n = ::read(fd, into, room);
            if (n >= 0 || errno != EINTR)
                return n;
        }
    };
    const auto failRead = [&] {
        const std::string reason = systemReason();
        ::close(fd);
        bytes.clear();
        return fail(reason);
    };
    // The size known, the bytes go straight into their place.
    std::size_t filled = 0;
    bytes.resize(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)));
    while (filled < bytes.size()) {
        const ssize_t n = readSome(bytes.data() + filled, bytes.size() - filled);
        if (n < 0)
            return failRead();
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    // A file that grew meanwhile is read on to its end.
    char buffer[65536];
    for (;;) {
        const ssize_t n = readSome(buffer, sizeof buffer);
        if (n < 0)
            return failRead();
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool fileExists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool isDirectory(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<FileStamp> fileStamp(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    constexpr std::int64_t nsPerSecond = 1000000000;
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * nsPerSecond + st.st_mtim.tv_nsec;
    stamp.changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * nsPerSecond + st.st_ctim.tv_nsec;
    stamp.regular = S_ISREG(st.st_mode);
    return stamp;
}

void PendingFile::discard()
{
    // Removed before its lock goes, so that no other save finds it unlocked.
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    releaseLock();
}

void PendingFile::releaseLock()
{
    if (m_lock >= 0)
        ::close(static_cast<int>(m_lock));
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
    struct stat first { };
    struct stat second { };
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino && !S_ISDIR(first.st_mode);
}

bool makeFolder(const std::string& path, unsigned mode)
{
    return ::mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0 || errno == EEXIST;
}

bool folderWritable(const std::string& folder)
{
    return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

bool makeFolders(const std::string& folder, unsigned mode, IoError* error)
{
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
            if (error)
                *error = IoError {folder, systemReason()};
            return false;
        }
    }
    return true;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::create(const std::string& path, IoError* error)
{
    close();
    m_path = path;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error)
            *error = IoError {path, systemReason()};
        return false;
    }
    m_handle = fd;
    // The new name must survive a power loss too, not only the lines.
    const std::string folder = folderPart(path);
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool AppendFile::openExisting(const std::string& path, IoError* error)
{
    close();
    m_path = path;
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = IoError {path, systemReason()};
        return false;
    }
    m_handle = fd;
    return true;
}

bool AppendFile::append(std::string_view bytes, IoError* error)
{
    if (m_handle >= 0 && writeAll(static_cast<int>(m_handle), bytes))
        return true;
    if (error)
        *error = IoError {m_path, m_handle >= 0 ? systemReason() : reasonOf(EBADF)};
    return false;
}

bool AppendFile::flush(IoError* error)
{
    if (m_handle >= 0 && ::fdatasync(static_cast<int>(m_handle)) == 0)
        return true;
    if (error)
        *error = IoError {m_path, m_handle >= 0 ? systemReason() : reasonOf(EBADF)};
    return false;
}

void AppendFile::close()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
    m_handle = -1;
}

} // namespace tess

namespace tess {

std::filesystem::path systemPathOf(std::string_view utf8)
{
    return pathOf(utf8);
}

} // namespace tess
