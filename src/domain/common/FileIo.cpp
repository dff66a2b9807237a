#include "domain/common/FileIo.h"

#include <utility>

namespace tess {

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

} // namespace tess
