#include "domain/comm/PortLock.h"

#include "domain/common/OwnProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tess::comm {

PortLock::Result PortLock::acquire(const std::string& folder, const std::string& device, const std::string& program)
{
    release();
    m_said.clear();
    m_path = lockFilePath(folder, device);
    // The file is kept after use: removing a file another process has just
    // opened would let two hold "the" lock at once.
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_said = m_path + ": " + std::strerror(errno);
        return Result::Failed;
    }
    m_fd = fd;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            char buffer[256];
            const ssize_t got = ::pread(fd, buffer, sizeof buffer - 1, 0);
            m_said = holderOf(got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string());
        } else {
            m_said = m_path + ": " + std::strerror(error);
        }
        ::close(fd);
        m_fd = -1;
        return error == EWOULDBLOCK ? Result::Held : Result::Failed;
    }
    const std::string said = std::to_string(ownProcessId()) + " " + program + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, said.data(), said.size(), 0) < 0) {
        // The lock holds all the same; only its holder goes unnamed.
    }
    return Result::Taken;
}

void PortLock::release()
{
    if (m_fd < 0)
        return;
    const int fd = static_cast<int>(m_fd);
    if (::ftruncate(fd, 0) != 0) {
        // Closing lets the lock go whatever the file says.
    }
    ::close(fd);
    m_fd = -1;
}

} // namespace tess::comm
