#include "siminverter/SimPty.h"

#include "siminverter/SimInverter.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <termios.h>
#include <unistd.h>

namespace tess::sim {
namespace {

// Start bit, eight data bits, stop bit.
constexpr int BitsPerChar = 10;
// How soon a write that found no room is tried again.
constexpr int BlockedRetryMs = 5;

} // namespace

SimPty::~SimPty()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool SimPty::open(std::string* error, bool flowControl)
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
        if (flowControl) {
            settings.c_iflag |= IXON | IXOFF;
            settings.c_cflag |= CRTSCTS;
        }
        tcsetattr(m_slave, TCSANOW, &settings);
    }
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    return true;
}

void SimPty::setBaud(int baud)
{
    m_charsPerSecond = std::max(baud, 0) / BitsPerChar;
}

SimPty::Clock::duration SimPty::wireTime(std::size_t chars) const
{
    if (m_charsPerSecond <= 0)
        return Clock::duration::zero();
    // Rounded up, so that a character is never taken for sent before its time.
    const std::int64_t nanoseconds
        = (static_cast<std::int64_t>(chars) * 1'000'000'000 + m_charsPerSecond - 1) / m_charsPerSecond;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(nanoseconds));
}

void SimPty::hangUp()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
    m_schedule.clear();
    m_hungUp = true;
}

void SimPty::schedule(std::string text, Clock::time_point due, Clock::time_point requestSeen)
{
    // One reply after the other on the line.
    if (m_schedule.empty())
        due = std::max(due, m_replyLeft);
    m_schedule.push_back(Outgoing {std::move(text), due, requestSeen});
}

std::vector<SimPty::Exchange> SimPty::takeExchanges()
{
    std::vector<Exchange> taken;
    taken.swap(m_exchanges);
    return taken;
}

bool SimPty::pump(SimInverter& inverter)
{
    if (m_master < 0)
        return m_hungUp;
    char buffer[512];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            const Clock::time_point now = Clock::now();
            // Each frame ends at an LF: a piece up to one has arrived when its
            // characters would have, and its reply is due from then on.
            std::string_view rest(buffer, static_cast<std::size_t>(got));
            while (!rest.empty()) {
                const std::size_t lf = rest.find('\n');
                const std::string_view piece = rest.substr(0, lf == std::string_view::npos ? rest.size() : lf + 1);
                rest.remove_prefix(piece.size());
                if (!m_requestBegan)
                    m_requestBegan = now;
                const Clock::time_point requestSeen = *m_requestBegan;
                if (piece.back() == '\n')
                    m_requestBegan.reset();
                m_requestArrived = std::max(m_requestArrived, now) + wireTime(piece.size());
                for (Response& response : inverter.receive(piece)) {
                    if (response.hangUp) {
                        hangUp();
                        return true;
                    }
                    if (response.text)
                        schedule(std::move(*response.text),
                            m_requestArrived + std::chrono::milliseconds(response.delayMs), requestSeen);
                }
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // Nothing more queued (or no program on the other side yet).
        if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EIO)
            return false;
        break;
    }
    return writeDue(Clock::now());
}

bool SimPty::writeDue(Clock::time_point now)
{
    m_outputBlocked = false;
    while (!m_schedule.empty()) {
        Outgoing& head = m_schedule.front();
        if (now < head.due)
            return true;
        // Paced, a character may go once it has had its time on the wire.
        std::size_t allowed = head.text.size();
        if (m_charsPerSecond > 0) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - head.due).count();
            allowed
                = std::min<std::size_t>(allowed, static_cast<std::size_t>(elapsed * m_charsPerSecond / 1'000'000'000));
        }
        while (head.sent < allowed) {
            const ssize_t written = ::write(m_master, head.text.data() + head.sent, allowed - head.sent);
            if (written > 0) {
                head.sent += static_cast<std::size_t>(written);
            } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                m_outputBlocked = true;
                return true;
            } else if (written < 0 && errno != EINTR) {
                return false;
            }
        }
        if (head.sent < head.text.size())
            return true;
        m_exchanges.push_back(Exchange {head.requestSeen, now});
        m_replyLeft = head.due + wireTime(head.text.size());
        m_schedule.pop_front();
        if (!m_schedule.empty())
            m_schedule.front().due = std::max(m_schedule.front().due, m_replyLeft);
    }
    return true;
}

int SimPty::msUntilDue() const
{
    if (m_schedule.empty())
        return -1;
    if (m_outputBlocked)
        return BlockedRetryMs;
    const Outgoing& head = m_schedule.front();
    const Clock::time_point next = head.due + wireTime(m_charsPerSecond > 0 ? head.sent + 1 : 0);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::max<std::int64_t>(wait, 0));
}

} // namespace tess::sim
