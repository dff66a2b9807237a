#pragma once

#include "domain/comm/FrameCodec.h"
#include "domain/comm/ProgressSink.h"
#include "domain/comm/WordJournal.h"
#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"
#include "domain/grid/CellText.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tess {
class Clock;
} // namespace tess

namespace tess::comm {

class CommLog;
class SerialPort;

// The inverter's address space as the program uses it.
constexpr std::uint32_t IdentityAddress = 0x510; // 10 characters, ROM version last
constexpr std::uint32_t ModeCapacityAddress = 0x20052E; // words 663 and 664
constexpr std::uint32_t ImageAddress = 0x200000; // word k at ImageAddress + 2k
constexpr int ImageBytes = 1330; // 665 big-endian words
constexpr int ImageChunk = 232; // bytes per read request: a 481-character reply

// A reply is collected up to this many characters.
constexpr std::size_t MaxReplyChars = 600;

// The identity takes ten requests of ten bytes and four of four.
constexpr int IdentityRequests = 14;

// After a failed exchange the line is read empty before the next request:
// until it has been quiet for as long as the longest reply takes at 9600
// baud (600 characters at 960 a second), and no sooner than this long after
// the failed request went out, so that a reply coming after the deadline is
// read away instead of being taken for the next one's.
constexpr int QuietLineMs = 625;
constexpr int LateReplyWindowMs = 3000;
// A line that does not go quiet within this long is lost: the transfer stops.
constexpr int LongestResyncMs = 10000;

constexpr std::size_t IdentityBufferBytes = 32;
constexpr std::size_t ImageBufferBytes = 2000;

// The first and last word of a stretch of the parameter image, inclusive.
// The default one is empty.
struct WordSpan {
    int first = 0;
    int last = -1;
    bool contains(int word) const { return word >= first && word <= last; }
};

// How the log names word k where it reports what became of it (not sent,
// written last, read back otherwise): the code grid row k + 1 shows, or the
// word's number where that row names none.
std::string wordLogName(const GridSource& grid, int word);

// Asked for each word of a write by ranges: the log line when the word is
// held back, nothing when it may be sent.
using WriteFilter = std::function<std::optional<std::string>(int word)>;

// What the link takes from the program's settings.
struct LinkSettings {
    std::string portName; // empty when none was chosen
    Language language = Language::English; // of the log lines
    int writeWaitMs = 0; // the pause asked for after each written word
};

// The data set a write sends: each word's value, and the grid whose code
// column names a refused word in the log (row k + 1 shows word k).
struct LinkDataSet {
    const ParameterSet& values;
    GridSource grid;
};

// Why a transfer loop stopped before its end, beyond a failed exchange.
enum class TransferStop {
    None,
    Cancelled, // asked to stop; it stopped between two exchanges
    LineLost, // the line was closed, or did not go quiet after a failure: nothing more can be trusted
};

// What one read or write transaction keeps while the link works for it. The
// transaction fills it in; the link reads the settings and fills the buffers.
struct LinkState {
    char commDirection = CommandRead; // 'r' read dialog, 'w' write dialog
    // In a write: 'r' while the identity is read, 'w' while words are
    // written. Each request carries its own length (5 data bytes for a read,
    // 6 for a write), so the link itself does not need it.
    char commPhase = CommandRead;
    std::int16_t transferPosition = 0; // byte offset of a read, word of a write

    // A write sends either every word in order or the ranges in list order,
    // passing each word of a range through the filter first.
    bool writeWholeImage = false;
    std::vector<WordSpan> writeRanges;
    WriteFilter writeFilter;

    // Refusals of words in areas L, N and O reach the log only when shown.
    bool showAreaL = false;
    bool showAreaN = false;
    bool showAreaO = false;
    WordSpan areaL;
    WordSpan areaN;
    WordSpan areaO;

    // How many refusals of Fund. words went in right after "start !!".
    int logInsertCounter = 0;
    // The pause after each written word, set by calibrateWriteWait().
    int writeWaitMs = 0;

    std::array<std::uint8_t, IdentityBufferBytes> identity {};
    int identityFill = 0; // where readIdentityBlock() stores its next bytes
    std::array<std::uint8_t, ImageBufferBytes> image {};

    ProgressSink* progress = nullptr; // none: progress goes nowhere
    // Told of each word a write sends, before and after; none: no record.
    WordJournal* journal = nullptr;
    // Set from another thread to stop between two exchanges; none: no stop.
    const std::atomic<bool>* cancelRequested = nullptr;
    // Set from another thread to hold the line between two exchanges until it
    // is cleared or a stop is asked for: nothing goes out meanwhile.
    const std::atomic<bool>* pauseRequested = nullptr;

    // In a write: words whose value the inverter already holds (indexed by
    // word, empty when every word is sent). They are left out silently.
    std::vector<bool> equalWords;

    // What the last transfer loop did.
    TransferStop stop = TransferStop::None;
    std::vector<int> writtenWords; // acknowledged
    std::vector<int> refusedWords; // answered with a refusal
    std::vector<char> refusalCodes; // the code of each refusal, in the order of refusedWords
    std::vector<int> failedWords; // no valid answer: maybe stored, maybe not
    int skippedAsEqual = 0;

    // Word k of the image buffer, high byte first.
    std::uint16_t imageWord(int word) const
    {
        const auto at = static_cast<std::size_t>(2 * word);
        return static_cast<std::uint16_t>(image[at] << 8 | image[at + 1]);
    }
};

// The link to one inverter: the port, the frames and the transfer loops of a
// transaction. Each request waits for its reply before the next goes out;
// failures are told through the result and the log, never retried here.
class SerialLink {
public:
    // The settings are read when they are needed, so they must outlive the link.
    SerialLink(SerialPort& port, Clock& clock, const LinkSettings& settings, LinkDataSet dataSet, LinkState& state,
        CommLog& log);

    // opens the settings' port; nothing when it is open,
    // else the English-only message to show ("Port select Error!",
    // "GetCommState Error!", "SetCommState Error!").
    std::optional<Message> openCommPort();
    // Closes the port if it is open.
    void closeCommPort();

    // sends the request and waits at most until the seconds
    // clock passes the second after the start. 0 for a checked data reply or
    // acknowledge and for a refusal (logged, the caller goes on); -1 for no
    // complete reply in time, a wrong first character, a checksum mismatch or
    // data of the wrong length.
    int exchangeFrame(const FrameRequest& request);
    // The bytes of the last data reply, as many as were asked for; zeros
    // after anything but a data reply.
    const std::vector<std::uint8_t>& replyData() const { return m_replyData; }

    // n requests of n bytes at base, base+1, ...; request
    // i stores its bytes at the fill position, which moves on by one. A
    // refusal fails the block: it has no bytes to store. 0 or -1.
    int readIdentityBlock(std::uint32_t base, int n);

    // in a read dialog the whole image in chunks
    // of 232 bytes (the last one 170); in a write dialog the words of the
    // data set's values, the whole image or by ranges. 0, or -1 when a read
    // failed or was refused, or any write failed.
    int transferParameterImage();

    // The whole image into the state's image buffer, in either dialog (a
    // write reads it to compare before and after): 0 or -1.
    int readParameterImage();

    // The words a write will send, in sending order: the whole image or the
    // ranges, without the words held back or equal.
    std::vector<int> plannedWords() const;

    // takes the settings' write wait as the pause after
    // each written word.
    void calibrateWriteWait();

private:
    // NotSent: the line was lost before the request could go out.
    enum class Outcome { Done, Refused, Failed, NotSent };

    Outcome exchange(const FrameRequest& request);
    Outcome sendAndCheck(const FrameRequest& request, std::int64_t deadline);
    void drainStaleInput();
    bool resynchronise();
    bool collectReply(std::string& reply, std::int64_t deadline);
    void logRefusal(char code);
    void logLine(TextId id);
    enum class SpanEnd { Done, Failed, Stopped };
    SpanEnd writeSpan(int first, int last, bool filtered, int total);
    int writeWholeImage();
    int writeRanges();
    bool writeWord(int word);
    bool skipped(int word) const;
    bool stopRequested();
    void holdWhilePaused();
    void pauseUntil(std::int64_t atMs);
    void settle(int word, WordOutcome outcome);
    void reportWritten(int total);
    void logNotSent(int first, int last);
    ProgressSink& progress();

    SerialPort& m_port;
    Clock& m_clock;
    const LinkSettings& m_settings;
    LinkDataSet m_dataSet;
    LinkState& m_state;
    CommLog& m_log;
    std::vector<std::uint8_t> m_replyData;
    // Set by a failed exchange: its reply may still be on its way.
    bool m_outOfStep = false;
    std::int64_t m_failedSentAtMs = 0;
    // While the image is read, positions count bytes even in a write dialog.
    bool m_readingImage = false;
    // While the identity is read, a refusal names no word.
    bool m_readingIdentity = false;
    // The line was hung up: no request can go out any more.
    bool m_lineClosed = false;
    // The code of the last refusal.
    char m_refusalCode = 0;
    // The next word may go out at this time (monotonic): the drive's pause
    // after the word before it.
    std::int64_t m_nextWriteAtMs = 0;
    // The last word whose exchange ended, for the record of a hold; -1
    // before the first.
    int m_lastSettledWord = -1;
};

} // namespace tess::comm
