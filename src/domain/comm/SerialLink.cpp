#include "domain/comm/SerialLink.h"

#include "domain/comm/CommLog.h"
#include "domain/comm/SerialPort.h"
#include "domain/common/Clock.h"
#include "domain/text/Texts.h"

#include <algorithm>

namespace tess::comm {
namespace {

class NoProgress final : public ProgressSink {
public:
    void setPosition(int) override { }
    void setMaximum(int) override { }
    void step(int) override { }
};

// Words of the Fund. area; their refusals go right after "start !!" because
// the write by ranges sends that area last.
constexpr int LastFundWord = 10;

// Stale input is read away in at most this many passes, so a line that never
// stops talking cannot hold the request back.
constexpr int MaxDrainPasses = 16;

} // namespace

SerialLink::SerialLink(
    SerialPort& port, Clock& clock, const LinkSettings& settings, LinkDataSet dataSet, LinkState& state, CommLog& log)
    : m_port(port)
    , m_clock(clock)
    , m_settings(settings)
    , m_dataSet(dataSet)
    , m_state(state)
    , m_log(log)
{
}

ProgressSink& SerialLink::progress()
{
    static NoProgress none;
    return m_state.progress ? *m_state.progress : none;
}

std::optional<Message> SerialLink::openCommPort()
{
    if (m_port.isOpen())
        m_port.close();
    TextId failure = TextId::LinkPortSelectError;
    if (!m_settings.portName.empty()) {
        switch (m_port.open(m_settings.portName)) {
        case PortOpenResult::Ok:
            return std::nullopt;
        case PortOpenResult::OpenFailed:
            break;
        case PortOpenResult::GetStateFailed:
            failure = TextId::LinkGetCommStateError;
            break;
        case PortOpenResult::SetStateFailed:
            failure = TextId::LinkSetCommStateError;
            break;
        }
    }
    const PortFailure cause = m_port.lastOpenFailure();
    if (cause.device.empty())
        return message(failure);
    return withCause(message(failure), fileReasonCause(cause.device, cause.reason));
}

void SerialLink::closeCommPort()
{
    if (m_port.isOpen())
        m_port.close();
}

void SerialLink::calibrateWriteWait()
{
    m_state.writeWaitMs = std::max(0, m_settings.writeWaitMs);
}

int SerialLink::exchangeFrame(const FrameRequest& request)
{
    return exchange(request) == Outcome::Failed ? -1 : 0;
}

void SerialLink::logLine(TextId id)
{
    m_log.append(std::string(text(id, m_settings.language)));
}

void SerialLink::drainStaleInput()
{
    // The tail of a reply that came too late, or beyond the collection limit,
    // would otherwise be taken for the start of the next reply and put every
    // later exchange out of step.
    for (int pass = 0; pass < MaxDrainPasses; ++pass) {
        const PortStatus status = m_port.status();
        if (!status.ok || status.bytesWaiting == 0)
            return;
        if (m_port.read(status.bytesWaiting).empty())
            return;
    }
}

bool SerialLink::collectReply(std::string& reply, std::int64_t deadline)
{
    for (;;) {
        const PortStatus status = m_port.status();
        if (!status.ok) {
            // A status query that fails once something has arrived ends the
            // collection; before that the device may still answer.
            if (!reply.empty())
                return true;
        } else if ((status.errors & ~std::uint32_t {PortErrorOverrun}) == 0 && status.bytesWaiting > 0) {
            // Line errors other than overrun only postpone reading by a pass.
            const std::size_t room = MaxReplyChars - reply.size();
            const std::string got = m_port.read(std::min(status.bytesWaiting, room));
            reply += got;
            if (!got.empty() && got.back() == FrameLf)
                return true;
            // Cut at the limit; the rest is read away before the next request.
            if (reply.size() >= MaxReplyChars)
                return true;
        }
        if (m_clock.seconds() > deadline)
            return false;
    }
}

SerialLink::Outcome SerialLink::exchange(const FrameRequest& request)
{
    m_replyData.assign(request.command == CommandRead ? request.count : 0, 0);
    drainStaleInput();

    // The deadline is the second after the one the request goes out in: the
    // reply has one to two seconds.
    const std::int64_t deadline = m_clock.seconds() + 1;
    if (!m_port.write(buildRequestFrame(request)))
        return Outcome::Failed;
    std::string reply;
    if (!collectReply(reply, deadline))
        return Outcome::Failed;

    const Reply parsed = parseReply(reply);
    const ReplyKind expected = request.command == CommandRead ? ReplyKind::Data : ReplyKind::Ack;
    if (parsed.kind == ReplyKind::Nak) {
        logRefusal(parsed.nakCode);
        return Outcome::Refused;
    }
    // A data reply to a write or an acknowledge of a read carries nothing the
    // request can use: it counts as a wrong first character.
    if (parsed.kind != expected) {
        logLine(TextId::LinkTopWordError);
        return Outcome::Failed;
    }
    switch (parsed.fault) {
    case ReplyFault::None:
        break;
    case ReplyFault::SumHigh:
        logLine(TextId::LinkSumHighError);
        return Outcome::Failed;
    case ReplyFault::SumLow:
        logLine(TextId::LinkSumLowError);
        return Outcome::Failed;
    case ReplyFault::BadData:
        logLine(TextId::LinkReplyLengthError);
        return Outcome::Failed;
    }
    if (parsed.kind == ReplyKind::Data) {
        // Fewer bytes than asked for would leave zeros where the inverter's
        // values belong, more would belong to no request.
        if (parsed.data.size() != m_replyData.size()) {
            logLine(TextId::LinkReplyLengthError);
            return Outcome::Failed;
        }
        m_replyData = parsed.data;
    }
    return Outcome::Done;
}

void SerialLink::logRefusal(char code)
{
    const int position = m_state.transferPosition;
    const bool writeDialog = m_state.commDirection == CommandWrite;

    // Grid row k + 1 shows word k; outside the grid the number stands in.
    std::string prefix = std::to_string(position);
    if (writeDialog && position + 1 >= 1 && position + 1 < GridRowsWithTable)
        prefix = m_dataSet.rows.text(position + 1, ColCode);
    std::string line = prefix + "  " + std::string(text(nakMessage(code), m_settings.language));

    if (writeDialog && m_state.writeRanges.size() > 1 && position <= LastFundWord) {
        m_log.insert(static_cast<std::size_t>(m_state.logInsertCounter + 1), std::move(line));
        ++m_state.logInsertCounter;
        return;
    }
    // The area options belong to the write dialog; in a read the position
    // counts bytes, which the areas' word numbers do not describe.
    if (writeDialog
        && ((m_state.areaL.contains(position) && !m_state.showAreaL)
            || (m_state.areaN.contains(position) && !m_state.showAreaN)
            || (m_state.areaO.contains(position) && !m_state.showAreaO)))
        return;
    m_log.append(std::move(line));
    m_state.logInsertCounter = 0;
}

int SerialLink::readIdentityBlock(std::uint32_t base, int n)
{
    progress().setPosition(0);
    if (n < 1 || n > MaxReadCount)
        return -1;
    for (int i = 0; i < n; ++i) {
        const Outcome outcome
            = exchange(FrameRequest::read(base + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(n)));
        m_clock.sleepMs(1);
        if (outcome != Outcome::Done)
            return -1;
        // Bytes beyond the buffer's end are not kept.
        const int fill = std::clamp(m_state.identityFill, 0, static_cast<int>(IdentityBufferBytes));
        const std::size_t room = IdentityBufferBytes - static_cast<std::size_t>(fill);
        std::copy_n(m_replyData.begin(), std::min(m_replyData.size(), room), m_state.identity.begin() + fill);
        ++m_state.identityFill;
        progress().setMaximum(n);
        progress().step(1);
    }
    return 0;
}

int SerialLink::transferParameterImage()
{
    if (m_state.commDirection == CommandRead)
        return readImage();
    return m_state.writeWholeImage ? writeWholeImage() : writeRanges();
}

int SerialLink::readImage()
{
    progress().setPosition(0);
    int position = 0;
    while (position < ImageBytes) {
        const int chunk = position + ImageChunk >= ImageBytes ? ImageBytes - position : ImageChunk;
        m_state.transferPosition = static_cast<std::int16_t>(position);
        const Outcome outcome = exchange(
            FrameRequest::read(ImageAddress + static_cast<std::uint32_t>(position), static_cast<std::uint8_t>(chunk)));
        m_clock.sleepMs(1);
        if (outcome != Outcome::Done)
            return -1;
        std::copy_n(m_replyData.begin(), chunk, m_state.image.begin() + position);
        progress().setMaximum(ImageBytes);
        progress().step(chunk);
        position += chunk;
    }
    m_state.transferPosition = static_cast<std::int16_t>(position);
    return 0;
}

bool SerialLink::writeWord(int word)
{
    m_state.transferPosition = static_cast<std::int16_t>(word);
    const auto value = static_cast<std::uint16_t>(m_dataSet.values[static_cast<std::size_t>(word)] & 0xFFFF);
    const Outcome outcome = exchange(FrameRequest::write(ImageAddress + 2 * static_cast<std::uint32_t>(word), value));
    if (outcome == Outcome::Failed) {
        m_log.append(std::string(text(TextId::LinkFailedWordPrefix, m_settings.language)) + std::to_string(word));
        m_log.append(std::string(text(TextId::LinkFailedValuePrefix, m_settings.language))
            + std::to_string(static_cast<std::int16_t>(value)));
        return false;
    }
    m_clock.sleepMs(1);
    return true;
}

int SerialLink::writeWholeImage()
{
    constexpr int LastWord = SlotCount - 1;
    progress().setPosition(0);
    for (int word = 0; word <= LastWord; ++word) {
        if (!writeWord(word))
            return -1;
        progress().setMaximum(LastWord);
        progress().step(1);
        m_clock.sleepMs(m_state.writeWaitMs);
    }
    return 0;
}

int SerialLink::writeRanges()
{
    // A range that failed leaves words unwritten, whatever the later ranges
    // did: the whole transfer reports the failure.
    bool failed = false;
    for (const WordSpan& range : m_state.writeRanges) {
        progress().setPosition(0);
        const int first = std::max(range.first, 0);
        const int last = std::min(range.last, SlotCount - 1);
        for (int word = first; word <= last; ++word) {
            if (m_state.writeFilter) {
                if (std::optional<std::string> heldBack = m_state.writeFilter(word)) {
                    m_log.append(std::move(*heldBack));
                    continue;
                }
            }
            if (!writeWord(word)) {
                failed = true;
                break;
            }
            progress().setMaximum(range.last - range.first);
            progress().step(1);
            m_clock.sleepMs(m_state.writeWaitMs);
        }
    }
    return failed ? -1 : 0;
}

} // namespace tess::comm
