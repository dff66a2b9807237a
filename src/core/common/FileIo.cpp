#include "core/common/FileIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tess {
namespace {

std::string systemReason()
{
    return std::strerror(errno);
}

class SystemFileWriter final : public FileWriter {
public:
    explicit SystemFileWriter(bool flushToDisk)
        : m_flushToDisk(flushToDisk)
    {
    }

    bool replaceFile(const std::string& path, std::string_view bytes, IoError* error) override
    {
        const auto fail = [&](std::string detail) {
            if (error)
                *error = IoError {path, std::move(detail)};
            return false;
        };
        if (isDirectory(path))
            return fail("is a folder");
        std::string tmp = path + ".XXXXXX";
        const int fd = mkstemp(tmp.data());
        if (fd < 0)
            return fail(systemReason());
        const char* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, p, left);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                const std::string reason = systemReason();
                ::close(fd);
                ::unlink(tmp.c_str());
                return fail(reason);
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        // mkstemp makes the file private; data files are ordinary user files.
        ::fchmod(fd, 0644);
        if ((m_flushToDisk && ::fsync(fd) != 0) || ::close(fd) != 0) {
            const std::string reason = systemReason();
            ::unlink(tmp.c_str());
            return fail(reason);
        }
        if (::rename(tmp.c_str(), path.c_str()) != 0) {
            const std::string reason = systemReason();
            ::unlink(tmp.c_str());
            return fail(reason);
        }
        return true;
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
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(systemReason());
    struct stat st { };
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail("is a folder");
    }
    if (st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const std::string reason = systemReason();
            ::close(fd);
            return fail(reason);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
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
