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
    void progressed(const TransferStep&) override { }
};

// Words of the Fund. area; their refusals go right after "start !!" because
// the write by ranges sends that area last.
constexpr int LastFundWord = 10;

// Stale input is read away in at most this many passes, so a line that never
// stops talking cannot hold the request back.
constexpr int MaxDrainPasses = 16;

// Waits for input are cut into slices of at most this long, so that a stop
// asked for meanwhile is seen soon.
constexpr int PollSliceMs = 250;
// How often a held transfer looks whether it may go on.
constexpr int PauseSliceMs = 20;
// A wait that wakes without bytes to read (a line that hung up) pauses this
// long before the next look, instead of spinning.
constexpr int SpinGuardMs = 5;

} // namespace

std::string wordLogName(const GridSource& grid, int word)
{
    if (word + 1 >= 1 && word + 1 < GridRowsWithTable) {
        std::string code = cellText(grid, word + 1, ColCode);
        if (!code.empty())
            return code;
    }
    return std::to_string(word);
}

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
            m_lineClosed = false;
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
    const Outcome outcome = exchange(request);
    return outcome == Outcome::Failed || outcome == Outcome::NotSent ? -1 : 0;
}

void SerialLink::logLine(TextId id)
{
    m_log.append(std::string(text(id, m_settings.language)));
}

void SerialLink::drainStaleInput()
{
    // Bytes queued before a request belong to no request: a reply that came
    // too late, or the rest of one beyond the collection limit.
    for (int pass = 0; pass < MaxDrainPasses; ++pass) {
        const PortStatus status = m_port.status();
        if (!status.ok || status.bytesWaiting == 0)
            return;
        if (m_port.read(status.bytesWaiting).empty())
            return;
    }
}

bool SerialLink::resynchronise()
{
    // The failed exchange's reply may still be on its way: taken for the
    // next request's reply it would put every later exchange out of step, a
    // refused word would pass for a written one. Read the line empty until it
    // has been quiet for a longest reply's time and the late reply's window
    // has passed.
    const std::int64_t start = m_clock.milliseconds();
    const std::int64_t windowEnd = m_failedSentAtMs + LateReplyWindowMs;
    std::int64_t lastInput = start;
    for (;;) {
        const PortStatus status = m_port.status();
        bool got = false;
        if (status.ok && status.bytesWaiting > 0)
            got = !m_port.read(status.bytesWaiting).empty();
        const std::int64_t now = m_clock.milliseconds();
        if (got)
            lastInput = now;
        const std::int64_t quietUntil = std::max(windowEnd, lastInput + QuietLineMs);
        if (now >= quietUntil)
            return true;
        if (now - start >= LongestResyncMs)
            return false;
        if (stopRequested())
            return false;
        const std::int64_t wait = std::min<std::int64_t>(quietUntil - now, PollSliceMs);
        if (m_port.waitForInput(static_cast<int>(wait)) && !got)
            m_clock.sleepMs(SpinGuardMs);
    }
}

bool SerialLink::collectReply(std::string& reply, std::int64_t deadline)
{
    for (;;) {
        const PortStatus status = m_port.status();
        bool got = false;
        if (status.closed) {
            // Nothing more can come: whatever arrived is no reply.
            m_lineClosed = true;
            return false;
        }
        if (!status.ok) {
            // A status query that fails once something has arrived ends the
            // collection; before that the device may still answer.
            if (!reply.empty())
                return true;
        } else if ((status.errors & ~std::uint32_t {PortErrorOverrun}) == 0 && status.bytesWaiting > 0) {
            // Line errors other than overrun only postpone reading by a pass.
            const std::size_t room = MaxReplyChars - reply.size();
            const std::string bytes = m_port.read(std::min(status.bytesWaiting, room));
            got = !bytes.empty();
            reply += bytes;
            if (got && bytes.back() == FrameLf)
                return true;
            // Cut at the limit; the rest is read away before the next request.
            if (reply.size() >= MaxReplyChars)
                return true;
        } else if (status.bytesWaiting > 0) {
            got = true; // flagged: read on the next pass
        }
        if (m_clock.seconds() > deadline)
            return false;
        // Sleep until input comes or the seconds clock passes the deadline,
        // so that waiting costs no processor time. A line that keeps waking
        // the wait without giving bytes (a hang-up) is looked at again after
        // a short pause instead of in a tight loop.
        const std::int64_t untilDeadline = (deadline + 1) * 1000 - m_clock.wallMilliseconds();
        const int wait = static_cast<int>(std::clamp<std::int64_t>(untilDeadline, 0, PollSliceMs));
        if (m_port.waitForInput(wait) && !got)
            m_clock.sleepMs(SpinGuardMs);
    }
}

SerialLink::Outcome SerialLink::exchange(const FrameRequest& request)
{
    m_replyData.assign(request.command == CommandRead ? request.count : 0, 0);
    if (m_outOfStep) {
        if (!resynchronise()) {
            if (m_state.stop == TransferStop::None) {
                m_state.stop = TransferStop::LineLost;
                logLine(TextId::LinkLineNotQuiet);
            }
            return Outcome::NotSent;
        }
        m_outOfStep = false;
    }
    drainStaleInput();

    // The deadline is the second after the one the request goes out in: the
    // reply has one to two seconds.
    const std::int64_t deadline = m_clock.seconds() + 1;
    const std::int64_t sentAt = m_clock.milliseconds();
    const Outcome outcome = sendAndCheck(request, deadline);
    if (outcome == Outcome::Failed) {
        m_outOfStep = true;
        m_failedSentAtMs = sentAt;
    }
    if (m_lineClosed && m_state.stop == TransferStop::None) {
        // A closed line ends the transfer: said once, and no later request
        // waits its time out for an answer that cannot come.
        m_state.stop = TransferStop::LineLost;
        logLine(TextId::LinkLineClosed);
    }
    return outcome;
}

SerialLink::Outcome SerialLink::sendAndCheck(const FrameRequest& request, std::int64_t deadline)
{
    if (!m_port.write(buildRequestFrame(request))) {
        m_lineClosed = m_port.status().closed;
        return Outcome::Failed;
    }
    std::string reply;
    if (!collectReply(reply, deadline))
        return Outcome::Failed;

    const Reply parsed = parseReply(reply);
    const ReplyKind expected = request.command == CommandRead ? ReplyKind::Data : ReplyKind::Ack;
    if (parsed.kind == ReplyKind::Nak) {
        m_refusalCode = parsed.nakCode;
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
    // Positions count words while words are written; while the image is
    // read they count bytes, as in a read dialog.
    const bool wordPosition = m_state.commDirection == CommandWrite && !m_readingImage;

    const std::string_view said = text(nakMessage(code), m_settings.language);
    // The identity block is no parameter: its refusals name it.
    if (m_readingIdentity) {
        m_log.append(std::string(text(TextId::LinkIdentityReadPrefix, m_settings.language)) + std::string(said));
        m_state.logInsertCounter = 0;
        return;
    }
    // Grid row k + 1 shows word k; outside the grid the number stands in.
    std::string prefix = std::to_string(position);
    if (wordPosition && position + 1 >= 1 && position + 1 < GridRowsWithTable)
        prefix = cellText(m_dataSet.grid, position + 1, ColCode);
    std::string line = prefix + "  " + std::string(said);

    if (wordPosition && m_state.writeRanges.size() > 1 && position <= LastFundWord) {
        m_log.insert(static_cast<std::size_t>(m_state.logInsertCounter + 1), std::move(line));
        ++m_state.logInsertCounter;
        return;
    }
    // The area options belong to the write dialog; in a read the position
    // counts bytes, which the areas' word numbers do not describe.
    if (wordPosition
        && ((m_state.areaL.contains(position) && !m_state.showAreaL)
            || (m_state.areaN.contains(position) && !m_state.showAreaN)
            || (m_state.areaO.contains(position) && !m_state.showAreaO)))
        return;
    m_log.append(std::move(line));
    m_state.logInsertCounter = 0;
}

void SerialLink::logNotSent(int first, int last)
{
    if (first <= last && m_state.stop == TransferStop::None)
        m_log.append(
            message(TextId::LinkRangeNotSent, wordLogName(m_dataSet.grid, first), wordLogName(m_dataSet.grid, last))
                .in(m_settings.language));
}

bool SerialLink::stopRequested()
{
    if (m_state.stop != TransferStop::None)
        return true;
    holdWhilePaused();
    if (m_state.cancelRequested && m_state.cancelRequested->load()) {
        m_state.stop = TransferStop::Cancelled;
        return true;
    }
    return false;
}

void SerialLink::holdWhilePaused()
{
    const auto paused = [this] { return m_state.pauseRequested && m_state.pauseRequested->load(); };
    const auto cancelled = [this] { return m_state.cancelRequested && m_state.cancelRequested->load(); };
    if (!paused() || cancelled())
        return;
    // Held here, the word before is complete and the next not begun: whether
    // the transfer goes on is the user's to say. The record tells where the
    // write stood while the user was asked, and what the answer was.
    if (m_state.journal) {
        const std::string after
            = m_lastSettledWord < 0 ? std::string() : wordLogName(m_dataSet.grid, m_lastSettledWord);
        m_state.journal->pauseBegan(m_lastSettledWord, after, m_clock.wallMilliseconds());
    }
    while (paused() && !cancelled())
        m_clock.sleepMs(PauseSliceMs);
    if (m_state.journal)
        m_state.journal->pauseEnded(cancelled() ? PauseEnd::Stopped : PauseEnd::WentOn, m_clock.wallMilliseconds());
}

void SerialLink::pauseUntil(std::int64_t atMs)
{
    while (!stopRequested()) {
        const std::int64_t left = atMs - m_clock.milliseconds();
        if (left <= 0)
            return;
        m_clock.sleepMs(static_cast<int>(std::min<std::int64_t>(left, PollSliceMs)));
    }
}

void SerialLink::settle(int word, WordOutcome outcome)
{
    if (outcome != WordOutcome::NotSent)
        m_lastSettledWord = word;
    if (!m_state.journal)
        return;
    const std::string code = wordLogName(m_dataSet.grid, word);
    const std::string refusal = outcome == WordOutcome::Refused
        ? std::string(text(nakMessage(m_refusalCode), m_settings.language))
        : std::string();
    m_state.journal->wordSettled(word, code, outcome, refusal);
}

int SerialLink::readIdentityBlock(std::uint32_t base, int n)
{
    if (n < 1 || n > MaxReadCount)
        return -1;
    for (int i = 0; i < n; ++i) {
        if (stopRequested())
            return -1;
        m_readingIdentity = true;
        const Outcome outcome
            = exchange(FrameRequest::read(base + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(n)));
        m_readingIdentity = false;
        m_clock.sleepMs(1);
        if (outcome != Outcome::Done)
            return -1;
        // Bytes beyond the buffer's end are not kept.
        const int fill = std::clamp(m_state.identityFill, 0, static_cast<int>(IdentityBufferBytes));
        const std::size_t room = IdentityBufferBytes - static_cast<std::size_t>(fill);
        std::copy_n(m_replyData.begin(), std::min(m_replyData.size(), room), m_state.identity.begin() + fill);
        ++m_state.identityFill;
        progress().progressed({TransferStage::Identity, m_state.identityFill, IdentityRequests});
    }
    return 0;
}

int SerialLink::transferParameterImage()
{
    if (m_state.commDirection == CommandRead)
        return readParameterImage();
    m_state.writtenWords.clear();
    m_state.refusedWords.clear();
    m_state.refusalCodes.clear();
    m_state.failedWords.clear();
    m_state.skippedAsEqual = 0;
    m_nextWriteAtMs = 0;
    const int result = m_state.writeWholeImage ? writeWholeImage() : writeRanges();
    // The drive's pause after the last word, before anything reads it back.
    pauseUntil(m_nextWriteAtMs);
    return result;
}

int SerialLink::readParameterImage()
{
    constexpr int Words = ImageBytes / 2;
    m_readingImage = true;
    int result = 0;
    int position = 0;
    while (position < ImageBytes) {
        if (stopRequested()) {
            result = -1;
            break;
        }
        const int chunk = position + ImageChunk >= ImageBytes ? ImageBytes - position : ImageChunk;
        m_state.transferPosition = static_cast<std::int16_t>(position);
        const Outcome outcome = exchange(
            FrameRequest::read(ImageAddress + static_cast<std::uint32_t>(position), static_cast<std::uint8_t>(chunk)));
        m_clock.sleepMs(1);
        if (outcome != Outcome::Done) {
            result = -1;
            break;
        }
        std::copy_n(m_replyData.begin(), chunk, m_state.image.begin() + position);
        position += chunk;
        progress().progressed({TransferStage::Reading, position / 2, Words});
    }
    m_readingImage = false;
    m_state.transferPosition = static_cast<std::int16_t>(position);
    return result;
}

bool SerialLink::skipped(int word) const
{
    const auto index = static_cast<std::size_t>(word);
    return index < m_state.equalWords.size() && m_state.equalWords[index];
}

std::vector<int> SerialLink::plannedWords() const
{
    std::vector<int> words;
    if (m_state.writeWholeImage) {
        for (int word = 0; word < SlotCount; ++word)
            if (!skipped(word))
                words.push_back(word);
        return words;
    }
    for (const WordSpan& range : m_state.writeRanges) {
        for (int word = std::max(range.first, 0); word <= std::min(range.last, SlotCount - 1); ++word) {
            if (m_state.writeFilter && m_state.writeFilter(word))
                continue;
            if (!skipped(word))
                words.push_back(word);
        }
    }
    return words;
}

bool SerialLink::writeWord(int word)
{
    m_state.transferPosition = static_cast<std::int16_t>(word);
    const auto value = static_cast<std::uint16_t>(m_dataSet.values[static_cast<std::size_t>(word)] & 0xFFFF);
    // On record before the request goes out. Done inside the drive's pause
    // after the word before, the record costs the write no time.
    if (m_state.journal)
        m_state.journal->wordAnnounced(word, wordLogName(m_dataSet.grid, word), value);
    pauseUntil(m_nextWriteAtMs);
    if (stopRequested()) {
        settle(word, WordOutcome::NotSent);
        return false;
    }
    const Outcome outcome = exchange(FrameRequest::write(ImageAddress + 2 * static_cast<std::uint32_t>(word), value));
    if (outcome == Outcome::NotSent) {
        settle(word, WordOutcome::NotSent);
        return false;
    }
    if (outcome == Outcome::Failed) {
        settle(word, WordOutcome::NoAnswer);
        m_state.failedWords.push_back(word);
        m_log.append(std::string(text(TextId::LinkFailedWordPrefix, m_settings.language)) + std::to_string(word));
        m_log.append(std::string(text(TextId::LinkFailedValuePrefix, m_settings.language))
            + std::to_string(static_cast<std::int16_t>(value)));
        // The number alone makes the reader count rows: the code follows.
        if (const std::string named = wordLogName(m_dataSet.grid, word); named != std::to_string(word))
            m_log.append(message(TextId::LinkFailedWordCode, std::to_string(word), named).in(m_settings.language));
        return false;
    }
    if (outcome == Outcome::Refused) {
        m_state.refusedWords.push_back(word);
        m_state.refusalCodes.push_back(m_refusalCode);
        settle(word, WordOutcome::Refused);
    } else {
        m_state.writtenWords.push_back(word);
        settle(word, WordOutcome::Taken);
    }
    m_clock.sleepMs(1);
    return true;
}

void SerialLink::reportWritten(int total)
{
    const auto done = static_cast<int>(m_state.writtenWords.size() + m_state.refusedWords.size());
    progress().progressed({TransferStage::Writing, done, total});
}

SerialLink::SpanEnd SerialLink::writeSpan(int first, int last, bool filtered, int total)
{
    for (int word = first; word <= last; ++word) {
        if (filtered && m_state.writeFilter) {
            if (std::optional<std::string> heldBack = m_state.writeFilter(word)) {
                m_log.append(std::move(*heldBack));
                continue;
            }
        }
        if (skipped(word)) {
            ++m_state.skippedAsEqual;
            continue;
        }
        if (stopRequested())
            return SpanEnd::Stopped;
        if (!writeWord(word)) {
            // The log names what the span leaves unsent after the word that failed.
            logNotSent(word + 1, last);
            return m_state.stop == TransferStop::None ? SpanEnd::Failed : SpanEnd::Stopped;
        }
        reportWritten(total);
        m_nextWriteAtMs = m_clock.milliseconds() + m_state.writeWaitMs;
    }
    return m_state.stop == TransferStop::None ? SpanEnd::Done : SpanEnd::Stopped;
}

int SerialLink::writeWholeImage()
{
    // The first failure ends the whole image.
    const auto total = static_cast<int>(plannedWords().size());
    return writeSpan(0, SlotCount - 1, false, total) == SpanEnd::Done ? 0 : -1;
}

int SerialLink::writeRanges()
{
    const auto total = static_cast<int>(plannedWords().size());
    // A failure ends its range only; the whole transfer reports it, whatever
    // the later ranges did.
    bool failed = false;
    for (const WordSpan& range : m_state.writeRanges) {
        const SpanEnd end = writeSpan(std::max(range.first, 0), std::min(range.last, SlotCount - 1), true, total);
        if (end == SpanEnd::Stopped)
            return -1;
        failed = failed || end == SpanEnd::Failed;
    }
    return failed ? -1 : 0;
}

} // namespace tess::comm
