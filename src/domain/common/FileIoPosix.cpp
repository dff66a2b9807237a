#include "domain/common/FileIo.h"
#include "domain/common/FileIoSystem.h"
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

    // Locks the folders exclusively, each once, in one order for every
    // process, so that two commits never wait for each other.
    void lock(const std::vector<std::string>& folders)
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
            while (::flock(held.fd, LOCK_EX) != 0 && errno == EINTR) { }
    }

private:
    struct Held {
        int fd;
        dev_t device;
        ino_t inode;
    };
    std::vector<Held> m_held;
};

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
    written = written && fileio::writeAll(fd, bytes) && ::ftruncate(fd, size) == 0 && (!flush || ::fsync(fd) == 0);
    const int saved = errno;
    if (::close(fd) != 0 && written)
        return false;
    errno = saved;
    if (written)
        ::unlink(temporary.c_str());
    return written;
}

} // namespace

namespace fileio {

std::string lastReason()
{
    return reasonOf(errno);
}

std::string notOpenReason()
{
    return reasonOf(EBADF);
}

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

void closeFile(Handle file)
{
    ::close(static_cast<int>(file));
}

void removeFile(const std::string& path)
{
    ::unlink(path.c_str());
}

bool writeAll(Handle file, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(static_cast<int>(file), p, left);
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

bool flushFile(Handle file)
{
    return ::fdatasync(static_cast<int>(file)) == 0;
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

void flushFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Without O_NONBLOCK the open of a FIFO would wait for a writer that may
// never come; the program's files are regular files, nothing else is read.
Handle openForReading(const std::string& path, std::size_t& size, std::string& reason)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = lastReason();
        return NoHandle;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file";
        ::close(fd);
        return NoHandle;
    }
    size = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
    return fd;
}

std::ptrdiff_t readSome(Handle file, char* into, std::size_t room)
{
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(file), into, room);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

Handle createForAppending(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
}

Handle openForAppending(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
}

std::optional<SaveTarget> findSaveTarget(const std::string& path, std::string& reason)
{
    std::string current = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat st { };
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                reason = lastReason();
                return std::nullopt;
            }
            return SaveTarget {current};
        }
        if (!S_ISLNK(st.st_mode))
            return SaveTarget {current, true, st.st_mode, st.st_uid, st.st_gid};
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            reason = lastReason();
            return std::nullopt;
        }
        link.resize(static_cast<std::size_t>(n));
        current = link.starts_with('/') ? link : folderPart(current) + link;
    }
    reason = reasonOf(ELOOP);
    return std::nullopt;
}

std::optional<std::string> refusalOf(const SaveTarget& target)
{
    if (!target.existing)
        return std::nullopt;
    if (S_ISDIR(target.mode))
        return "is a folder";
    if (!S_ISREG(target.mode))
        return "is not a regular file";
    // The user made the file read-only (for anyone, so even a process that
    // may write anything leaves it alone).
    if ((target.mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return "is read-only";
    if (::access(target.path.c_str(), W_OK) != 0)
        return lastReason();
    return std::nullopt;
}

void whileMakingTemporary(const std::string& folder, const std::function<void()>& make)
{
    FolderLocks folderLock;
    folderLock.lock({folder});
    make();
}

// Regular files only, and only those this save can lock: no live save
// holds them.
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

Handle createNew(const std::string& path)
{
    // A new file gets the permissions any new file of the user gets.
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
}

bool nameTaken()
{
    return errno == EEXIST;
}

std::string nameTakenReason()
{
    return reasonOf(EEXIST);
}

// The lock lives with the pending file, on a descriptor of its own.
Handle lockOf(Handle temporary)
{
    const int lock = ::fcntl(static_cast<int>(temporary), F_DUPFD_CLOEXEC, 0);
    if (lock >= 0)
        ::flock(lock, LOCK_EX | LOCK_NB);
    return lock;
}

bool fillTemporary(Handle temporary, std::string_view bytes, const SaveTarget& target, std::string& reason)
{
    const int fd = static_cast<int>(temporary);
    bool written = writeAll(fd, bytes);
    if (written && target.existing) {
        // The replacement is the same file to its owner and its readers.
        // Only a privileged process may give a file away; otherwise it
        // belongs to the user who saves it, in the old group where the
        // user is one of it. Neither is a reason to refuse the save.
        if (::fchown(fd, target.owner, target.group) != 0 && ::fchown(fd, static_cast<uid_t>(-1), target.group) != 0)
            errno = 0;
        written = ::fchmod(fd, target.mode & 07777) == 0;
    }
    const int saved = errno;
    if (::close(fd) != 0 && written) {
        reason = lastReason();
        return false;
    }
    if (!written) {
        reason = reasonOf(saved);
        return false;
    }
    return true;
}

void whileRenaming(const std::vector<std::string>& folders, const std::function<void()>& rename)
{
    FolderLocks folderLocks;
    folderLocks.lock(folders);
    rename();
}

bool putInPlace(const std::string& temporary, const std::string& target, bool flush)
{
    const std::optional<bool> overwritten = overwriteLinkedFile(temporary, target, flush);
    return overwritten ? *overwritten : ::rename(temporary.c_str(), target.c_str()) == 0;
}

} // namespace fileio

using namespace fileio;

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
        if (::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return failWith(error, folder, lastReason());
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

std::filesystem::path systemPathOf(std::string_view utf8)
{
    return pathOf(utf8);
}

bool sameFileName(std::string_view a, std::string_view b)
{
    return a == b;
}

} // namespace tess
