#include "siminverter/SimPty.h"

#include "siminverter/SimInverter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace tess::sim {

SimPty::~SimPty()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool SimPty::open(std::string* error)
{
    const auto fail = [error](const char* step) {
        if (error)
            *error = std::string(step) + ": " + std::strerror(errno);
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return fail("grantpt");
    const char* name = ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_slavePath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");
    // Until the program sets the line, the slave side must neither echo nor
    // hold bytes back by lines.
    termios settings {};
    if (tcgetattr(m_slave, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(m_slave, TCSANOW, &settings);
    }
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    return true;
}

bool SimPty::pump(SimInverter& inverter)
{
    if (m_master < 0)
        return false;
    char buffer[512];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            std::string replies = inverter.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
            std::string_view rest = replies;
            while (!rest.empty()) {
                const ssize_t written = ::write(m_master, rest.data(), rest.size());
                if (written > 0)
                    rest.remove_prefix(static_cast<std::size_t>(written));
                else if (written < 0 && errno != EINTR && errno != EAGAIN)
                    return false;
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // Nothing more queued (or no program on the other side yet).
        return got == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EIO;
    }
}

} // namespace tess::sim
