#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tess::sim {

class SimInverter;

// The simulated inverter on the master side of a pseudo-terminal; the
// program opens the slave side as its serial device. POSIX only.
//
// Replies wait in an output schedule until they are due. With a baud rate
// set the line is paced as a real one: a request counts as arrived when its
// characters would have come at that rate from the moment its first one was
// seen, and the reply's characters leave at that rate, one reply after the
// other. Without one, replies go out as soon as they are due.
class SimPty {
public:
    using Clock = std::chrono::steady_clock;
    // One request and its reply as the line saw them: when the request's
    // first character was read, and when the reply's last one was written.
    struct Exchange {
        Clock::time_point requestSeen;
        Clock::time_point replyDone;
    };

    SimPty() = default;
    ~SimPty();
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    // Opens the pair; false with a reason on failure. With flowControl the
    // slave comes up as many serial devices do, with XON/XOFF (IXON, IXOFF)
    // and RTS/CTS on, so that a program which leaves them on is
    // stopped by an XOFF byte in a reply.
    bool open(std::string* error, bool flowControl = false);
    const std::string& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Bits per second of the paced line (ten bits a character: start, eight
    // data bits, stop); 0 for no pacing.
    void setBaud(int baud);

    // Reads what the program sent so far, schedules the replies and writes
    // what is due. False when the master side failed.
    bool pump(SimInverter& inverter);

    // Milliseconds until the next reply character is due (0: now), -1 when
    // nothing waits to be sent: how long to sleep before the next pump when
    // the program sends nothing.
    int msUntilDue() const;

    // Closes the line on both sides, the way a cable is pulled: the program
    // sees a hang-up. Nothing is sent afterwards.
    void hangUp();
    bool hungUp() const { return m_hungUp; }

    // The exchanges whose reply has gone out since the last call, oldest
    // first.
    std::vector<Exchange> takeExchanges();

private:
    struct Outgoing {
        std::string text;
        Clock::time_point due; // paced: when its first character starts
        Clock::time_point requestSeen;
        std::size_t sent = 0;
    };

    Clock::duration wireTime(std::size_t chars) const;
    void schedule(std::string text, Clock::time_point due, Clock::time_point requestSeen);
    bool writeDue(Clock::time_point now);

    int m_master = -1;
    // Held open so that the master does not see a hang-up while the program
    // has the device closed between its transfers.
    int m_slave = -1;
    std::string m_slavePath;
    int m_charsPerSecond = 0;
    bool m_hungUp = false;
    // The program did not read fast enough: the rest waits for room.
    bool m_outputBlocked = false;
    std::deque<Outgoing> m_schedule;
    // When the request characters seen so far have arrived on the paced line.
    Clock::time_point m_requestArrived {};
    // When the last reply sent has left the paced line.
    Clock::time_point m_replyLeft {};
    // When the first character of the request being read came, if one is.
    std::optional<Clock::time_point> m_requestBegan;
    std::vector<Exchange> m_exchanges;
};

} // namespace tess::sim
