#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// An I/O failure: what failed and the system's reason, for logs and tests.
// Messages to the user are chosen by the caller from its own texts.
struct IoError {
    std::string path;
    std::string detail;
};

// Reads a whole file as bytes. Returns false (with the reason) when the file
// cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes, IoError* error = nullptr);

// Splits text into lines at CR LF, LF or CR; the line ends are dropped. A final
// line end does not start another (empty) line.
std::vector<std::string_view> splitLines(std::string_view text);

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);

// What tells one state of a file on disk from another without reading it.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // since the epoch
    std::int64_t changedNs = 0; // the inode's change time, since the epoch
    bool regular = false; // a regular file (not a folder, FIFO or device)

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file a path leads to; nothing when there is none.
std::optional<FileStamp> fileStamp(const std::string& path);

// A second change of a file within the file system's time step may leave
// its stamp as it was, so only what was read of a file unchanged for a while
// may be kept and trusted by its stamp later. settledMoment is the moment
// (ns since the epoch) before which such a file last changed, taken now;
// settledBy tells whether a regular file's stamp lies before it.
std::int64_t settledMoment(std::chrono::nanoseconds settled);
bool settledBy(const FileStamp& stamp, std::int64_t moment);

// New contents written completely beside the file they are to replace,
// waiting to be put in its place by FileWriter::commit. One that is dropped
// before that is removed again: a save that fails before its renames leaves
// no temporary file behind.
class PendingFile {
public:
    PendingFile() = default;
    // lock: the system's handle of the temporary file holding its lock (see
    // the marker below; a descriptor on Linux, a HANDLE on Windows), closed
    // with it; -1 for none.
    PendingFile(std::string path, std::string target, std::string temporary, std::intptr_t lock = -1);
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    // The path as the caller named it, for messages.
    const std::string& path() const { return m_path; }
    // The file that is replaced: the path itself, or the file its symbolic
    // link leads to.
    const std::string& target() const { return m_target; }
    // Where the new contents wait: ".NAME.tessaline-tmp-XXXXXX" in the
    // target's folder. Empty once it is in place.
    const std::string& temporary() const { return m_temporary; }
    // Called by the writer once the temporary is renamed over the target.
    void markInPlace();

private:
    void discard();
    void releaseLock();

    std::string m_path;
    std::string m_target;
    std::string m_temporary;
    std::intptr_t m_lock = -1;
};

// The marker in the name of a temporary file, ".NAME" + marker + six
// letters or digits (a NAME too long for that is cut and followed by a digest
// of the whole name). A save holds an advisory lock (flock) on its temporary
// file while the file exists; a later save of NAME removes the leftovers that
// no process holds, those of a save that was interrupted.
constexpr std::string_view TemporaryFileMarker = ".tessaline-tmp-";

// One file of a replacement: its path and its new contents.
struct FileReplacement {
    std::string path;
    std::string_view bytes;
};

// Replaces files so that a reader never sees a half-written one, and so that
// only the file the user named changes: its permission bits (and owner and
// group where the process may set them) are kept, a symbolic link is
// followed (the file it leads to is replaced, the link stays), a file with
// more than one name is overwritten in place from the complete temporary
// file (so that every name shows the new contents), and a path
// that is not a regular file, or a regular file that is read-only, is
// refused.
class FileWriter {
public:
    virtual ~FileWriter() = default;

    // The first step: checks path, removes leftovers of interrupted saves of
    // the same file (never a temporary file of a live save), and writes bytes
    // to a temporary file beside the target.
    // Nothing (with the path and the reason in error) when that fails; no
    // file is changed or left behind then.
    virtual std::optional<PendingFile> prepare(const std::string& path, std::string_view bytes, IoError* error) = 0;
    // The second step: flushes every pending file to disk, renames them over
    // their targets in order (no other save's renames in the same folders
    // come between them), then flushes their folders. Returns how many
    // are in place (the first ones); when fewer than all, error names the
    // file that failed and the reason. When a flush fails none is renamed.
    virtual std::size_t commit(std::span<PendingFile> files, IoError* error) = 0;

    // Both steps for one file: it is replaced completely or not at all.
    bool replaceFile(const std::string& path, std::string_view bytes, IoError* error);
    // Both steps for files that belong together: every file is written
    // before the first is renamed, so a failure while writing changes none
    // of them. Returns how many are in place, as commit does.
    std::size_t replaceFiles(std::span<const FileReplacement> files, IoError* error);
};

// The real file system: a temporary file in the target's folder, flushed to
// disk, then renamed over the target.
FileWriter& systemFileWriter();
// The same without the flushes to disk: for files that can always be made
// again, where thousands of flushes would only cost time.
FileWriter& unflushedFileWriter();

// Replaces path with a file that write makes under another name (for a
// library that writes only to a file it is given by name, such as a PDF
// printer): write gets the temporary file's path and returns whether it
// made the file completely. False when write failed (it has said why;
// error is left empty) or the writer failed (error says why); the target is
// then as it was.
bool replaceFileMadeBy(FileWriter& writer, const std::string& path,
    const std::function<bool(const std::string& temporary)>& write, IoError* error);

// Two names of one existing file (not a folder): the same path, a link, or
// another path to the same file on disk.
bool sameFile(const std::string& a, const std::string& b);

// Copies the file from into to (replacing it) through writer, so that a copy
// that fails leaves to as it was and no half-written file behind. When to
// already is from (the same path, or another name of the same file) the copy
// is done as it stands and nothing is written. Files are read whole: this is
// for the program's own tables and settings, not for large data.
bool copyFileSafely(const std::string& from, const std::string& to, FileWriter& writer, IoError* error = nullptr);

// Paths are UTF-8 strings throughout the program; std::filesystem takes a
// plain string in the system's code page on Windows, so it is given and
// gives paths through these.
std::filesystem::path pathOf(std::string_view utf8);
std::string utf8Of(const std::filesystem::path& path);

// Whether two paths, written alike (both absolute and normalised), name
// one file as the system compares names: byte for byte on Linux, without
// regard to case on Windows, whose file systems keep a name's case but
// find a file by any.
bool sameFileName(std::string_view a, std::string_view b);
// The path as the system's file calls take it, for opening a file through
// the standard library: on Windows its full long form, in which a name
// such as CON.conf is a file's and not the console's.
std::filesystem::path systemPathOf(std::string_view utf8);

// Makes the folder path (its parent must be there) with the permission
// bits mode, less the user's mask; on Windows it takes its parent's access
// rules. True when it was made or something is already there.
bool makeFolder(const std::string& path, unsigned mode = 0755);

// Whether this user may make files in the folder as it is now (a folder
// that is not there is not writable).
bool folderWritable(const std::string& folder);

// Makes folder and each missing parent with mode. False (with folder and
// the reason in error) when one cannot be made.
bool makeFolders(const std::string& folder, unsigned mode, IoError* error);

// The names of the entries of a folder (not "." and ".."), in no order;
// none when it cannot be read.
std::vector<std::string> folderEntries(const std::string& folder);

// A file only ever added to at its end, for records that must show after a
// crash how far the work got: each flush reaches the disk.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Makes the file, which must not be there yet, readable by its user
    // only, and flushes its name to disk with its folder.
    bool create(const std::string& path, IoError* error);
    // Opens a file that is there, to add to it.
    bool openExisting(const std::string& path, IoError* error);
    bool append(std::string_view bytes, IoError* error);
    // The bytes appended so far to disk.
    bool flush(IoError* error);
    bool isOpen() const { return m_handle != -1; }
    void close();

private:
    std::intptr_t m_handle = -1; // a descriptor on Linux, a HANDLE on Windows
    std::string m_path;
};

} // namespace tess
