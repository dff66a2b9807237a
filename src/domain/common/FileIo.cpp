#include "domain/common/FileIo.h"
#include "domain/common/FileIoSystem.h"
#include "domain/common/TemporaryNames.h"

#include <utility>

namespace tess {

namespace fileio {

bool failWith(IoError* error, const std::string& path, std::string detail)
{
    if (error)
        *error = IoError {path, std::move(detail)};
    return false;
}

} // namespace fileio

using namespace fileio;

namespace {

class SystemFileWriter final : public FileWriter {
public:
    explicit SystemFileWriter(bool flushToDisk)
        : m_flushToDisk(flushToDisk)
    {
    }

    std::optional<PendingFile> prepare(const std::string& path, std::string_view bytes, IoError* error) override
    {
        const auto fail = [&](std::string reason) -> std::optional<PendingFile> {
            failWith(error, path, std::move(reason));
            return std::nullopt;
        };
        std::string reason;
        const std::optional<SaveTarget> target = findSaveTarget(path, reason);
        if (!target)
            return fail(reason);
        const std::string name = namePart(target->path);
        if (name.empty() || name == "." || name == "..")
            return fail("is a folder");
        if (std::optional<std::string> refusal = refusalOf(*target))
            return fail(std::move(*refusal));

        const std::string folder = folderPart(target->path);
        const std::string prefix = temporaryPrefix(name);
        std::string temporary;
        Handle file = NoHandle;
        Handle lock = NoHandle;
        whileMakingTemporary(folder, [&] {
            removeLeftovers(folder, prefix);
            for (int attempt = 0; attempt < 100 && file == NoHandle; ++attempt) {
                temporary = folder + prefix + randomSuffix();
                file = createNew(temporary);
                if (file == NoHandle && !nameTaken()) {
                    reason = lastReason();
                    return;
                }
            }
            if (file == NoHandle) {
                reason = nameTakenReason();
                return;
            }
            lock = lockOf(file);
        });
        if (file == NoHandle)
            return fail(reason);
        PendingFile pending(path, target->path, temporary, lock);
        if (!fillTemporary(file, bytes, *target, reason))
            return fail(reason);
        return pending;
    }

    std::size_t commit(std::span<PendingFile> files, IoError* error) override
    {
        const auto fail = [&](const PendingFile& file, std::string reason, std::size_t inPlace) {
            failWith(error, file.path(), std::move(reason));
            return inPlace;
        };
        if (m_flushToDisk)
            for (const PendingFile& file : files)
                if (!flushToDisk(file.temporary()))
                    return fail(file, lastReason(), 0);
        // From here on every step is a rename: the files change places as
        // close together as the system allows, and no other save's renames
        // come between them.
        std::vector<std::string> folders;
        for (const PendingFile& file : files)
            folders.push_back(folderPart(file.target()));
        std::size_t inPlace = 0;
        const PendingFile* failed = nullptr;
        std::string reason;
        whileRenaming(folders, [&] {
            for (PendingFile& file : files) {
                if (!putInPlace(file.temporary(), file.target(), m_flushToDisk)) {
                    failed = &file;
                    reason = lastReason();
                    return;
                }
                file.markInPlace();
                ++inPlace;
            }
        });
        if (failed)
            return fail(*failed, std::move(reason), inPlace);
        // The renames themselves reach the disk with their folders. A
        // folder that cannot be flushed changes nothing the user could act
        // on: the files are in place.
        if (m_flushToDisk)
            for (const PendingFile& file : files)
                flushFolder(folderPart(file.target()));
        return inPlace;
    }

private:
    bool m_flushToDisk;
};

} // namespace

bool readFileBytes(const std::string& path, std::string& bytes, IoError* error)
{
    bytes.clear();
    std::size_t size = 0;
    std::string reason;
    const Handle file = openForReading(path, size, reason);
    if (file == NoHandle)
        return failWith(error, path, std::move(reason));
    const auto failRead = [&] {
        std::string why = lastReason();
        closeFile(file);
        bytes.clear();
        return failWith(error, path, std::move(why));
    };
    // The size known, the bytes go straight into their place.
    std::size_t filled = 0;
    bytes.resize(size);
    while (filled < bytes.size()) {
        const std::ptrdiff_t n = readSome(file, bytes.data() + filled, bytes.size() - filled);
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
        const std::ptrdiff_t n = readSome(file, buffer, sizeof buffer);
        if (n < 0)
            return failRead();
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    closeFile(file);
    return true;
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

std::filesystem::path pathOf(std::string_view utf8)
{
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string utf8Of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::int64_t settledMoment(std::chrono::nanoseconds settled)
{
    using std::chrono::nanoseconds;
    const auto now = std::chrono::duration_cast<nanoseconds>(std::chrono::system_clock::now().time_since_epoch());
    return (now - settled).count();
}

bool settledBy(const FileStamp& stamp, std::int64_t moment)
{
    return stamp.regular && stamp.modifiedNs < moment && stamp.changedNs < moment;
}

PendingFile::PendingFile(std::string path, std::string target, std::string temporary, std::intptr_t lock)
    : m_path(std::move(path))
    , m_target(std::move(target))
    , m_temporary(std::move(temporary))
    , m_lock(lock)
{
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : m_path(std::move(other.m_path))
    , m_target(std::move(other.m_target))
    , m_temporary(std::exchange(other.m_temporary, {}))
    , m_lock(std::exchange(other.m_lock, -1))
{
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept
{
    if (this != &other) {
        discard();
        m_path = std::move(other.m_path);
        m_target = std::move(other.m_target);
        m_temporary = std::exchange(other.m_temporary, {});
        m_lock = std::exchange(other.m_lock, -1);
    }
    return *this;
}

PendingFile::~PendingFile()
{
    discard();
}

void PendingFile::markInPlace()
{
    m_temporary.clear();
    releaseLock();
}

void PendingFile::discard()
{
    // Removed while its lock is still held, so that no other save takes it
    // for a leftover in between (on Windows the name goes only when the
    // handle is closed).
    if (!m_temporary.empty())
        removeFile(m_temporary);
    m_temporary.clear();
    releaseLock();
}

void PendingFile::releaseLock()
{
    if (m_lock != NoHandle)
        closeFile(m_lock);
    m_lock = NoHandle;
}

bool FileWriter::replaceFile(const std::string& path, std::string_view bytes, IoError* error)
{
    const FileReplacement file {path, bytes};
    return replaceFiles(std::span(&file, 1), error) == 1;
}

std::size_t FileWriter::replaceFiles(std::span<const FileReplacement> files, IoError* error)
{
    std::vector<PendingFile> pending;
    pending.reserve(files.size());
    for (const FileReplacement& file : files) {
        std::optional<PendingFile> prepared = prepare(file.path, file.bytes, error);
        if (!prepared)
            return 0; // the files prepared so far go with `pending`
        pending.push_back(std::move(*prepared));
    }
    return commit(pending, error);
}

bool replaceFileMadeBy(FileWriter& writer, const std::string& path,
    const std::function<bool(const std::string& temporary)>& write, IoError* error)
{
    std::optional<PendingFile> pending = writer.prepare(path, {}, error);
    if (!pending)
        return false;
    if (!write(pending->temporary())) {
        if (error)
            *error = IoError {};
        return false;
    }
    return writer.commit(std::span(&*pending, 1), error) == 1;
}

bool copyFileSafely(const std::string& from, const std::string& to, FileWriter& writer, IoError* error)
{
    // Copying a file onto itself through a temporary file would be harmless,
    // but it would still rewrite the file; there is nothing to copy.
    if (sameFile(from, to))
        return true;
    std::string bytes;
    if (!readFileBytes(from, bytes, error))
        return false;
    return writer.replaceFile(to, bytes, error);
}

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::create(const std::string& path, IoError* error)
{
    close();
    m_path = path;
    m_handle = createForAppending(path);
    if (m_handle == NoHandle)
        return failWith(error, path, lastReason());
    // The new name must survive a power loss too, not only the lines.
    flushFolder(folderPart(path));
    return true;
}

bool AppendFile::openExisting(const std::string& path, IoError* error)
{
    close();
    m_path = path;
    m_handle = openForAppending(path);
    if (m_handle == NoHandle)
        return failWith(error, path, lastReason());
    return true;
}

bool AppendFile::append(std::string_view bytes, IoError* error)
{
    if (m_handle != NoHandle && writeAll(m_handle, bytes))
        return true;
    return failWith(error, m_path, m_handle != NoHandle ? lastReason() : notOpenReason());
}

bool AppendFile::flush(IoError* error)
{
    if (m_handle != NoHandle && flushFile(m_handle))
        return true;
    return failWith(error, m_path, m_handle != NoHandle ? lastReason() : notOpenReason());
}

void AppendFile::close()
{
    if (m_handle != NoHandle)
        closeFile(m_handle);
    m_handle = NoHandle;
}

} // namespace tess
