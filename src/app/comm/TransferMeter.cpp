#include "app/comm/TransferMeter.h"

#include "domain/comm/SerialLink.h"
#include "domain/common/Clock.h"
#include "domain/text/Texts.h"

#include <algorithm>

namespace tess::comm {
namespace {

// Characters a second at 9600 baud, 8 data bits, no parity, 1 stop bit.
constexpr double CharsPerMs = 0.96;
constexpr int ReadRequestChars = 17;
constexpr int WriteRequestChars = 19;
constexpr int AckChars = 7;
constexpr int DataReplyHeaderChars = 17; // header, checksum, CR LF
constexpr int SleepAfterExchangeMs = 1;
// A phase's pace is taken as settled once this many of its steps, and this
// share of them, are done and this much time has passed in it.
constexpr int PaceMinSteps = 5;
constexpr int PaceMinPermille = 20;
constexpr std::int64_t PaceMinMs = 1500;

std::int64_t readMs(int requests, int bytesEach)
{
    const int chars = requests * (ReadRequestChars + DataReplyHeaderChars + 2 * bytesEach);
    return static_cast<std::int64_t>(chars / CharsPerMs) + requests * SleepAfterExchangeMs;
}

// "1:32": minutes and seconds, rounded up so that the bar never promises
// less than remains.
std::string minutesAndSeconds(std::int64_t ms)
{
    const std::int64_t seconds = (std::max<std::int64_t>(ms, 0) + 999) / 1000;
    const std::int64_t rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

TextId phaseText(TransferPhase phase)
{
    switch (phase) {
    case TransferPhase::Settling:
        return TextId::TransStatusSettling;
    case TransferPhase::Identity:
        return TextId::TransStatusIdentity;
    case TransferPhase::Reading:
        return TextId::TransStatusReading;
    case TransferPhase::ReadingToCompare:
        return TextId::TransStatusReadingToCompare;
    case TransferPhase::Writing:
        return TextId::TransStatusWriting;
    case TransferPhase::Verifying:
        return TextId::TransStatusVerifying;
    }
    return TextId::TransStatusSettling;
}

bool countsWords(TransferPhase phase)
{
    return phase != TransferPhase::Settling && phase != TransferPhase::Identity;
}

} // namespace

namespace transferEstimate {

std::int64_t settleMs()
{
    return 1500; // the clock's next second but one: one to two seconds
}

std::int64_t identityMs()
{
    return readMs(10, 10) + readMs(4, 4);
}

std::int64_t imageReadMs()
{
    const int fullChunks = ImageBytes / ImageChunk;
    return readMs(fullChunks, ImageChunk) + readMs(1, ImageBytes - fullChunks * ImageChunk);
}

std::int64_t writeMs(int words, int writeWaitMs)
{
    const double perWord = (WriteRequestChars + AckChars) / CharsPerMs + SleepAfterExchangeMs + writeWaitMs;
    return static_cast<std::int64_t>(perWord * std::max(words, 0));
}

} // namespace transferEstimate

TransferMeter::TransferMeter(Clock& clock, Language language, Listener listener)
    : m_clock(clock)
    , m_language(language)
    , m_listener(std::move(listener))
{
}

void TransferMeter::clear()
{
    m_phases.clear();
    m_current = 0;
    m_started = false;
    m_status = {};
}

void TransferMeter::addPhase(TransferPhase phase, std::int64_t estimatedMs)
{
    m_phases.push_back({phase, std::max<std::int64_t>(estimatedMs, 1)});
}

void TransferMeter::setEstimate(TransferPhase phase, std::int64_t estimatedMs)
{
    const std::size_t from = m_started ? m_current + 1 : 0;
    for (std::size_t i = from; i < m_phases.size(); ++i) {
        if (m_phases[i].phase == phase) {
            m_phases[i].estimatedMs = std::max<std::int64_t>(estimatedMs, 1);
            return;
        }
    }
}

void TransferMeter::enter(TransferPhase phase)
{
    if (!m_started) {
        m_started = true;
        m_current = 0;
    } else {
        ++m_current;
    }
    m_phaseStartMs = m_clock.milliseconds();
    while (m_current < m_phases.size() && m_phases[m_current].phase != phase)
        ++m_current;
    if (m_current >= m_phases.size()) {
        // A phase that was not planned: it takes no share of the bar.
        m_phases.push_back({phase, 1});
        m_current = m_phases.size() - 1;
    }
    tell(0, 0);
}

void TransferMeter::progressed(const TransferStep& step)
{
    if (!m_started)
        return;
    tell(step.done, step.total);
}

void TransferMeter::tell(int done, int total)
{
    std::int64_t plannedMs = 0;
    std::int64_t doneMs = 0;
    for (std::size_t i = 0; i < m_phases.size(); ++i) {
        plannedMs += m_phases[i].estimatedMs;
        if (i < m_current)
            doneMs += m_phases[i].estimatedMs;
    }
    const Planned& current = m_phases[m_current];
    if (total > 0)
        doneMs += current.estimatedMs * std::clamp(done, 0, total) / total;

    m_status.permille = plannedMs > 0 ? static_cast<int>(doneMs * 1000 / plannedMs) : 0;
    std::string line = countsWords(current.phase)
        ? message(phaseText(current.phase), std::to_string(done), std::to_string(total)).in(m_language)
        : std::string(text(phaseText(current.phase), m_language));
    // The pace of the phase under way says how long its rest takes; the
    // time spent before it says nothing of that (a settle wait or the
    // identity reads cost what they cost, not a share of each word).
    const std::int64_t inPhaseMs = m_clock.milliseconds() - m_phaseStartMs;
    const int steps = std::clamp(done, 0, std::max(total, 0));
    if (total > 0 && steps >= PaceMinSteps && steps * 1000 >= PaceMinPermille * total && inPhaseMs >= PaceMinMs) {
        const double fraction = static_cast<double>(steps) / total;
        const double pace = std::clamp(
            static_cast<double>(inPhaseMs) / (static_cast<double>(current.estimatedMs) * fraction), 0.25, 4.0);
        double leftMs = static_cast<double>(current.estimatedMs) * (1.0 - fraction) * pace;
        for (std::size_t i = m_current + 1; i < m_phases.size(); ++i)
            leftMs += static_cast<double>(m_phases[i].estimatedMs);
        line = message(TextId::TransStatusTimeLeft, line, minutesAndSeconds(static_cast<std::int64_t>(leftMs)))
                   .in(m_language);
    }
    m_status.text = std::move(line);
    if (m_listener)
        m_listener(m_status);
}

} // namespace tess::comm
