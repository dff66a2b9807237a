// Feeds arbitrary bytes as an inverter's reply: to the reply classification
// and, through a scripted line, to a whole exchange of the link. Decoded
// data always stands in the reply's digits, a failed exchange leaves at most
// one log line, and nothing reads past the reply.
#include "domain/comm/CommLog.h"
#include "domain/comm/FrameCodec.h"
#include "domain/comm/SerialLink.h"
#include "domain/comm/SerialPort.h"
#include "domain/common/Clock.h"
#include "domain/common/GridColumns.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace tess;
using namespace tess::comm;

namespace {

class StepClock final : public Clock {
public:
    std::int64_t seconds() override { return m_ms / 1000; }
    std::int64_t wallMilliseconds() override { return m_ms; }
    std::int64_t milliseconds() override { return m_ms; }
    void sleepMs(int ms) override { m_ms += ms; }
    void tick() { m_ms += 40; }

private:
    std::int64_t m_ms = 0;
};

// Hands out the reply in pieces of the sizes the input's first byte picks.
class ScriptedPort final : public SerialPort {
public:
    ScriptedPort(StepClock& clock, std::string_view reply, std::size_t piece)
        : m_clock(clock)
        , m_reply(reply)
        , m_piece(piece)
    {
    }
    PortOpenResult open(const std::string&) override { return PortOpenResult::Ok; }
    void close() override { }
    bool isOpen() const override { return true; }
    bool write(std::string_view) override
    {
        m_written = true;
        return true;
    }
    PortStatus status() override
    {
        m_clock.tick();
        if (m_written && m_arrived < m_reply.size())
            m_arrived = std::min(m_reply.size(), m_arrived + m_piece);
        return {true, 0, m_arrived - m_taken};
    }
    bool waitForInput(int timeoutMs) override
    {
        if (m_written && m_arrived < m_reply.size())
            return true;
        m_clock.sleepMs(timeoutMs);
        return false;
    }
    std::string read(std::size_t maxBytes) override
    {
        const std::size_t n = std::min(maxBytes, m_arrived - m_taken);
        std::string bytes(m_reply.substr(m_taken, n));
        m_taken += n;
        return bytes;
    }

private:
    StepClock& m_clock;
    std::string_view m_reply;
    std::size_t m_piece;
    bool m_written = false;
    std::size_t m_arrived = 0;
    std::size_t m_taken = 0;
};

int hexDigit(char c)
{
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper <= '9' ? upper - '0' : upper - 'A' + 10;
}

void checkParse(std::string_view text)
{
    const Reply reply = parseReply(text);
    if (!reply.data.empty() && (reply.kind != ReplyKind::Data || reply.fault != ReplyFault::None))
        std::abort();
    if (reply.kind != ReplyKind::Nak && reply.nakCode != 0)
        std::abort();
    if (reply.kind == ReplyKind::Data && reply.fault == ReplyFault::None) {
        if (17 + 2 * reply.data.size() != text.size())
            std::abort();
        for (std::size_t i = 0; i < reply.data.size(); ++i)
            if (reply.data[i] != hexDigit(text[13 + 2 * i]) * 16 + hexDigit(text[14 + 2 * i]))
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view reply(reinterpret_cast<const char*>(data + 1), size - 1);
    checkParse(reply);

    // The read's count and the size of the pieces come from the first byte.
    const auto count = static_cast<std::uint8_t>(data[0] % 16);
    const std::size_t piece = 1 + data[0] % 64;
    StepClock clock;
    ScriptedPort port(clock, reply, piece);
    static const LinkSettings settings;
    static const ParameterSet values {};
    LinkState state;
    state.commDirection = data[0] & 0x80 ? CommandWrite : CommandRead;
    state.transferPosition = static_cast<std::int16_t>(data[0] * 3 - 100);
    CommLog log;
    SerialLink link(port, clock, settings, {values, GridSource {}}, state, log);
    const FrameRequest request
        = data[0] & 0x40 ? FrameRequest::write(ImageAddress, 0x1234) : FrameRequest::read(IdentityAddress, count);
    const int result = link.exchangeFrame(request);
    if (log.size() > 1 || (result != 0 && result != -1))
        std::abort();
    if (result == 0 && request.command == CommandRead && link.replyData().size() != count)
        std::abort();
    return 0;
}
