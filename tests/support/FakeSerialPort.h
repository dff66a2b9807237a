#pragma once

#include "domain/comm/SerialPort.h"
#include "siminverter/SimInverter.h"
#include "support/Fakes.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tess::test {

// A serial line whose replies are scripted per written frame. Every status
// query moves the fake clock on by msPerQuery, so a reply that never ends
// runs into the link's deadline without anyone waiting.
class FakeSerialPort : public comm::SerialPort {
public:
    // What one status query meets: bytes that have arrived by then, line
    // error flags, or a failing query.
    struct Arrival {
        std::string bytes;
        std::uint32_t errors = 0;
        bool statusFails = false;
        // More than 0: the bytes arrive this long after the frame went out,
        // whatever else happens meanwhile (a reply that comes late).
        int afterMs = 0;
    };
    // The reply to one frame, piece by piece; empty for silence.
    using Script = std::vector<Arrival>;

    explicit FakeSerialPort(FakeClock& clock)
        : m_clock(clock)
    {
    }

    comm::PortOpenResult open(const std::string& name) override;
    comm::PortFailure lastOpenFailure() const override { return openFailure; }
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(std::string_view bytes) override;
    comm::PortStatus status() override;
    std::string read(std::size_t maxBytes) override;
    // Moves the fake clock on to the next arrival, or by the whole time-out
    // when none comes within it.
    bool waitForInput(int timeoutMs) override;

    // Answers each written frame; unset: silence.
    std::function<Script(const std::string& frame)> respond;
    comm::PortOpenResult openResult = comm::PortOpenResult::Ok;
    comm::PortFailure openFailure; // what a failed open says about itself
    bool writeFails = false;
    int msPerQuery = 1;

    std::vector<std::string> openedNames;
    int closeCount = 0;
    std::vector<std::string> written;

    // Bytes that are queued before the next frame goes out (a late reply).
    void queueNow(const std::string& bytes) { m_queue += bytes; }

private:
    FakeClock& m_clock;
    bool m_open = false;
    void takeDueArrivals();

    std::deque<Arrival> m_pending;
    std::multimap<std::int64_t, std::string> m_timed; // arrival time -> bytes
    std::string m_queue;
};

// Correct reply texts, checksum and all.
using sim::ackReplyText;
using sim::dataReplyText;
using sim::nakReplyText;

// An inverter behind a FakeSerialPort: the simulated inverter, its replies
// arriving in one piece (a delayed one that long after its request). Reads
// come from its memory (zeros where nothing was put), writes are stored and
// acknowledged; chosen addresses meet the simulator's faults.
struct FakeInverter : sim::SimInverter {
    FakeSerialPort::Script operator()(const std::string& frame);
};

} // namespace tess::test
