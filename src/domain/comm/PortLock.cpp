#include "domain/comm/PortLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tess::comm {

PortLock::~PortLock()
{
    release();
}

std::string PortLock::lockFilePath(const std::string& folder, const std::string& device)
{
    // "/dev/ttyUSB0" becomes "tessaline-port-dev-ttyUSB0.lock".
    std::string name;
    for (const char c : device) {
        if (c == '/') {
            if (!name.empty() && name.back() != '-')
                name += '-';
        } else {
            name += c;
        }
    }
    std::string base = folder;
    if (!base.empty() && base.back() != '/')
        base += '/';
    return base + "tessaline-port-" + name + ".lock";
}

PortLock::Result PortLock::acquire(const std::string& folder, const std::string& device, const std::string& program)
{
    release();
    m_said.clear();
    m_path = lockFilePath(folder, device);
    // The file is kept after use: removing a file another process has just
    // opened would let two hold "the" lock at once.
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        m_said = m_path + ": " + std::strerror(errno);
        return Result::Failed;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            char buffer[256];
            const ssize_t got = ::pread(m_fd, buffer, sizeof buffer - 1, 0);
            std::string said = got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
            while (!said.empty() && (said.back() == '\n' || said.back() == '\0'))
                said.pop_back();
            const std::size_t space = said.find(' ');
            m_said = space == std::string::npos ? said : said.substr(space + 1) + ", process " + said.substr(0, space);
            if (m_said.empty())
                m_said = "?";
        } else {
            m_said = m_path + ": " + std::strerror(error);
        }
        ::close(m_fd);
        m_fd = -1;
        return error == EWOULDBLOCK ? Result::Held : Result::Failed;
    }
    const std::string said = std::to_string(::getpid()) + " " + program + "\n";
    if (::ftruncate(m_fd, 0) != 0 || ::pwrite(m_fd, said.data(), said.size(), 0) < 0) {
        // The lock holds all the same; only its holder goes unnamed.
    }
    return Result::Taken;
}

void PortLock::release()
{
    if (m_fd < 0)
        return;
    if (::ftruncate(m_fd, 0) != 0) {
        // Closing lets the lock go whatever the file says.
    }
    ::close(m_fd);
    m_fd = -1;
}

} // namespace tess::comm
