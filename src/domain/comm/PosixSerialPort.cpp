#include "domain/comm/PosixSerialPort.h"

#include "domain/comm/SerialDevices.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tess::comm {
namespace {

// How long one write may wait for room in the driver's output buffer.
constexpr int WriteRoomTimeoutMs = 1000;

// 9600 baud, 8 data bits, no parity, 1 stop bit, and a raw byte stream
// whatever the device came up with. Every byte of a frame goes through as
// it is: no flow control of either kind (an XOFF byte of line noise in a
// reply would stop every later request for good, a missing CTS would hold
// them back), no translation either way (ICRNL would turn the reply's CR
// into a second LF, IUCLC the hex digits into lower case, ONLCR would send
// CR CR LF), no echo (every reply would go straight back to the inverter),
// no lines (canonical input holds bytes back until a line is complete), no
// signal or editing characters.
void makeLine(termios& settings)
{
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    // CREAD to receive at all; CLOCAL so that a line without modem signals
    // is neither waited for nor hung up.
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_iflag &= ~static_cast<tcflag_t>(
        IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | INPCK | IXON | IXOFF | IXANY | IUCLC | IMAXBEL);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // A read returns at once with what is queued, maybe nothing.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
}

bool lineIsSet(const termios& settings)
{
    return cfgetospeed(&settings) == B9600 && (settings.c_cflag & CSIZE) == CS8
        && (settings.c_cflag & (PARENB | CSTOPB)) == 0 && (settings.c_lflag & ICANON) == 0
        && (settings.c_iflag & (IXON | IXOFF | IXANY)) == 0;
}

} // namespace

bool isDeviceName(std::string_view portName)
{
    return portName.starts_with('/');
}

std::optional<std::string> serialDevicePath(std::string_view portName, const EnvLookup& env)
{
    if (isDeviceName(portName))
        return std::string(portName);
    const std::optional<int> number = comPortNumber(portName);
    if (!number)
        return std::nullopt;
    const std::string variable = "TESSALINE_COM" + std::to_string(*number);
    if (const char* named = env ? env(variable.c_str()) : nullptr; named && *named)
        return std::string(named);
    return "/dev/ttyS" + std::to_string(*number - 1);
}

std::optional<std::string> serialDevicePath(std::string_view portName)
{
    return serialDevicePath(portName, [](const char* name) -> const char* { return std::getenv(name); });
}

PosixSerialPort::~PosixSerialPort()
{
    close();
}

namespace {

constexpr std::string_view InUseReason = "is in use by another program";

} // namespace

PortOpenResult PosixSerialPort::open(const std::string& name)
{
    close();
    m_openFailure = {};
    const std::optional<std::string> path = serialDevicePath(name);
    if (!path) {
        m_openFailure = {name, "names no serial device"};
        return PortOpenResult::OpenFailed;
    }
    const auto failWith = [&](PortOpenResult result, std::string reason) {
        m_openFailure = {*path, std::move(reason)};
        return result;
    };
    // Non-blocking so that a line without carrier cannot hold the open; not
    // the controlling terminal, so the inverter's bytes send no signals.
    const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        // The usual cause: the user is not in the group that owns serial
        // lines. Say which group, so the fix is one command away.
        if (error == EACCES || error == EPERM)
            return failWith(PortOpenResult::OpenFailed, permissionReason(std::strerror(error), deviceAccess(*path)));
        // Another program's TIOCEXCL refuses the open itself (for all but root).
        if (error == EBUSY)
            return failWith(PortOpenResult::OpenFailed, std::string(InUseReason));
        return failWith(PortOpenResult::OpenFailed, std::strerror(error));
    }
    const auto fail = [&](PortOpenResult result, std::string reason) {
        ::close(fd);
        return failWith(result, std::move(reason));
    };
    termios settings {};
    if (!isatty(fd))
        return fail(PortOpenResult::GetStateFailed, "is not a terminal");
    if (tcgetattr(fd, &settings) != 0)
        return fail(PortOpenResult::GetStateFailed, std::strerror(errno));
    // For this program alone: the lock keeps out every other user that asks
    // for it (another Tessaline as well), TIOCEXCL the plain opens of others
    // (not those of root, which the kernel lets through).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(PortOpenResult::OpenFailed,
            errno == EWOULDBLOCK ? std::string(InUseReason) : std::string(std::strerror(errno)));
    if (ioctl(fd, TIOCEXCL) != 0)
        return fail(PortOpenResult::OpenFailed, std::strerror(errno));
    makeLine(settings);
    termios applied {};
    errno = 0;
    if (tcsetattr(fd, TCSANOW, &settings) != 0 || tcgetattr(fd, &applied) != 0 || !lineIsSet(applied)) {
        const std::string reason = errno != 0 ? std::strerror(errno) : "refuses 9600 baud, 8 data bits, no parity";
        ioctl(fd, TIOCNXCL);
        return fail(PortOpenResult::SetStateFailed, reason);
    }
    m_fd = fd;
    return PortOpenResult::Ok;
}

void PosixSerialPort::close()
{
    if (m_fd < 0)
        return;
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

bool PosixSerialPort::write(std::string_view bytes)
{
    if (m_fd < 0)
        return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd room {m_fd, POLLOUT, 0};
            if (poll(&room, 1, WriteRoomTimeoutMs) > 0 && (room.revents & POLLOUT))
                continue;
        }
        return false;
    }
    return true;
}

PortStatus PosixSerialPort::status()
{
    PortStatus status;
    int waiting = 0;
    if (m_fd < 0)
        return status;
    if (ioctl(m_fd, FIONREAD, &waiting) != 0) {
        // A hung-up terminal answers every query with EIO from then on, an
        // unplugged adapter with ENODEV or ENXIO.
        status.closed = errno == EIO || errno == ENODEV || errno == ENXIO;
        return status;
    }
    status.ok = true;
    status.bytesWaiting = waiting > 0 ? static_cast<std::size_t>(waiting) : 0;
    if (status.bytesWaiting == 0) {
        pollfd line {m_fd, POLLIN, 0};
        status.closed = poll(&line, 1, 0) > 0 && (line.revents & POLLHUP) != 0;
    }
    return status;
}

std::string PosixSerialPort::read(std::size_t maxBytes)
{
    std::string bytes(maxBytes, '\0');
    if (m_fd < 0 || maxBytes == 0)
        return {};
    ssize_t got = 0;
    do
        got = ::read(m_fd, bytes.data(), bytes.size());
    while (got < 0 && errno == EINTR);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

bool PosixSerialPort::waitForInput(int timeoutMs)
{
    if (m_fd < 0)
        return false;
    pollfd input {m_fd, POLLIN, 0};
    int ready = 0;
    do
        ready = poll(&input, 1, timeoutMs < 0 ? 0 : timeoutMs);
    while (ready < 0 && errno == EINTR);
    // A hang-up or an error counts as something to look at: the status query
    // that follows tells the link what it was.
    return ready > 0;
}

} // namespace tess::comm
