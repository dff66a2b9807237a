#include "domain/comm/SerialLink.h"

#include "domain/comm/CommLog.h"
#include "support/CaseName.h"
#include "support/FakeSerialPort.h"
#include "support/TypedTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace tess::comm {
namespace {

using Lines = std::vector<std::string>;

class RecordingProgress : public ProgressSink {
public:
    void progressed(const TransferStep& step) override { steps.push_back(step); }
    std::vector<int> done() const
    {
        std::vector<int> done;
        for (const TransferStep& step : steps)
            done.push_back(step.done);
        return done;
    }
    std::vector<TransferStep> steps;
};

class Link : public ::testing::Test {
protected:
    Link()
    {
        settings.portName = "COM1";
        settings.language = Language::English;
        port.respond = [this](const std::string& frame) { return inverter(frame); };
        state.progress = &progress;
        log.append("start !!");
    }

    // The frames written so far, without ENQ BLK and CR LF.
    Lines sentChars() const
    {
        Lines chars;
        for (const std::string& frame : port.written)
            chars.push_back(frame.substr(2, frame.size() - 4));
        return chars;
    }

    void openPort() { ASSERT_EQ(link.openCommPort(), std::nullopt); }

    static std::uint32_t wordAddress(int word) { return ImageAddress + 2 * static_cast<std::uint32_t>(word); }

    // A write dialog sending words; grid row k + 1 names word k.
    void startWrite(std::vector<WordSpan> ranges)
    {
        state.commDirection = CommandWrite;
        state.commPhase = CommandWrite;
        state.writeRanges = std::move(ranges);
        codes.record(0, "Fund.-0");
        codes.record(3, "Fund.-3");
        codes.record(7, "Fund.-7");
        codes.record(12, "A-1");
        codes.record(123, "G-5");
        openPort();
    }

    LinkSettings settings;
    ParameterSet values {};
    test::TypedTable codes;
    test::FakeClock clock;
    test::FakeSerialPort port {clock};
    test::FakeInverter inverter;
    RecordingProgress progress;
    LinkState state;
    CommLog log;
    SerialLink link {port, clock, settings, {values, codes.grid(values)}, state, log};
};

struct OpenCase {
    const char* name;
    const char* portName;
    PortOpenResult result;
    const char* message;
    PortFailure failure {}; // what the port says of the failure
};

class OpenCommPort : public Link, public ::testing::WithParamInterface<OpenCase> { };

TEST_P(OpenCommPort, FailureGivesAnEnglishOnlyMessage)
{
    settings.portName = GetParam().portName;
    port.openResult = GetParam().result;
    port.openFailure = GetParam().failure;
    const std::optional<Message> failure = link.openCommPort();
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(failure->in(Language::Japanese), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Failures, OpenCommPort,
    ::testing::Values(OpenCase {"NoPortChosen", "", PortOpenResult::Ok, "Port select Error!"},
        OpenCase {"DeviceMissing", "COM3", PortOpenResult::OpenFailed, "Port select Error!"},
        OpenCase {"DeviceNamedWithItsReason", "COM1", PortOpenResult::OpenFailed,
            "Port select Error!\n/dev/ttyUSB0: Permission denied", {"/dev/ttyUSB0", "Permission denied"}},
        OpenCase {"SettingsUnreadable", "COM3", PortOpenResult::GetStateFailed, "GetCommState Error!"},
        OpenCase {"SettingsRefused", "COM3", PortOpenResult::SetStateFailed, "SetCommState Error!"}),
    test::CaseName {});

TEST_F(Link, OpensTheSettingsPortAndClosesIt)
{
    settings.portName = "COM7";
    EXPECT_EQ(link.openCommPort(), std::nullopt);
    EXPECT_EQ(port.openedNames, Lines {"COM7"});
    link.closeCommPort();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Link, IdentityBlocksFillTheBufferOneAddressFurtherPerRequest)
{
    openPort();
    inverter.put(IdentityAddress, "QM71S 00-A8 and more");
    inverter.putWord(ModeCapacityAddress, 0x0102);
    inverter.putWord(ModeCapacityAddress + 2, 0x0A0B);

    ASSERT_EQ(link.readIdentityBlock(IdentityAddress, 10), 0);
    ASSERT_EQ(link.readIdentityBlock(ModeCapacityAddress, 4), 0);

    const Lines sent = sentChars();
    ASSERT_EQ(sent.size(), 14u);
    EXPECT_EQ(sent[0], "r000005100A69");
    EXPECT_EQ(sent[9].substr(0, 11), "r000005190A");
    EXPECT_EQ(sent[13].substr(0, 11), "r0020053104");
    const std::string text(state.identity.begin(), state.identity.begin() + 10);
    EXPECT_EQ(text, "QM71S 00-A");
    EXPECT_EQ(std::vector<int>(state.identity.begin() + 10, state.identity.begin() + 14),
        (std::vector<int> {0x01, 0x02, 0x0A, 0x0B}));
    EXPECT_EQ(state.identityFill, 14);
    EXPECT_TRUE(log.lines() == Lines {"start !!"});
}

TEST_F(Link, ImageReadTakesFiveChunksOf232AndOneOf170)
{
    openPort();
    for (int word = 0; word < SlotCount; ++word)
        inverter.putWord(wordAddress(word), static_cast<std::uint16_t>(word * 7));

    ASSERT_EQ(link.transferParameterImage(), 0);

    const Lines sent = sentChars();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[0].substr(0, 11), "r00200000E8");
    EXPECT_EQ(sent[5], "r00200488AA8A");
    EXPECT_EQ(progress.done(), (std::vector<int> {116, 232, 348, 464, 580, 665}));
    EXPECT_EQ(progress.steps.back().total, SlotCount);
    for (int word : {0, 115, 116, 664})
        EXPECT_EQ(state.image[2 * word] << 8 | state.image[2 * word + 1], word * 7) << "word " << word;
}

TEST_F(Link, ImageReadFailsWhenTheInverterRefusesAChunk)
{
    // No bytes came for the chunk: saving zeros as the inverter's values
    // would pass them off as read.
    openPort();
    inverter.nakAt[ImageAddress + 232] = 'C';
    EXPECT_EQ(link.transferParameterImage(), -1);
    EXPECT_EQ(port.written.size(), 2u);
    EXPECT_TRUE(log.lines() == (Lines {"start !!", "232  Address error"}));
}

TEST_F(Link, WholeImageWriteSendsEveryWordsLow16Bits)
{
    state.writeWholeImage = true;
    values[0] = 150;
    values[5] = -1;
    values[6] = 0x12345;
    startWrite({});

    ASSERT_EQ(link.transferParameterImage(), 0);

    const Lines sent = sentChars();
    ASSERT_EQ(sent.size(), static_cast<std::size_t>(SlotCount));
    EXPECT_EQ(sent[0], "w002000000096C8");
    EXPECT_EQ(sent[5].substr(0, 13), "w0020000AFFFF");
    EXPECT_EQ(sent[6].substr(0, 13), "w0020000C2345");
    EXPECT_EQ(progress.steps.back().done, SlotCount);
    EXPECT_EQ(progress.steps.back().total, SlotCount);
    EXPECT_TRUE(log.lines() == Lines {"start !!"});
}

TEST_F(Link, WritePausesForTheWaitAfterEachWord)
{
    settings.writeWaitMs = 300;
    link.calibrateWriteWait();
    startWrite({{20, 21}});
    const std::int64_t before = clock.milliseconds();
    ASSERT_EQ(link.transferParameterImage(), 0);
    EXPECT_GE(clock.milliseconds() - before, 2 * 300);
}

TEST_F(Link, RefusedWordIsLoggedUnderItsGridCodeAndTheWriteGoesOn)
{
    inverter.nakAt[wordAddress(123)] = 'E';
    startWrite({{120, 126}});

    EXPECT_EQ(link.transferParameterImage(), 0);
    EXPECT_TRUE(log.lines() == (Lines {"start !!", "G-5  Upper limit error"}));
    EXPECT_EQ(inverter.writtenAddresses.back(), wordAddress(126));
    EXPECT_EQ(port.written.size(), 7u);
}

struct UnknownCodeCase {
    const char* name;
    Language language;
    const char* line;
};

class UnknownNakCode : public Link, public ::testing::WithParamInterface<UnknownCodeCase> { };

TEST_P(UnknownNakCode, IsTheInvertersError)
{
    settings.language = GetParam().language;
    inverter.nakAt[wordAddress(3)] = 'a';
    startWrite({{3, 3}});
    EXPECT_EQ(link.transferParameterImage(), 0);
    EXPECT_EQ(log.lines().back(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Languages, UnknownNakCode,
    ::testing::Values(UnknownCodeCase {"English", Language::English, "Fund.-3  QMN71 error"},
        UnknownCodeCase {"Japanese", Language::Japanese, "Fund.-3  本体側のｴﾗｰ"}),
    test::CaseName {});

TEST_F(Link, FundRefusalsOfAMultiRangeWriteGoRightAfterStart)
{
    inverter.nakAt[wordAddress(12)] = 'E';
    inverter.nakAt[wordAddress(3)] = 'e';
    inverter.nakAt[wordAddress(7)] = 'C';
    startWrite({{11, 12}, {0, 10}});

    EXPECT_EQ(link.transferParameterImage(), 0);
    EXPECT_TRUE(log.lines()
        == (Lines {"start !!", "Fund.-3  Lower limit error", "Fund.-7  Address error", "A-1  Upper limit error"}));
    EXPECT_EQ(state.logInsertCounter, 2);
}

struct AreaCase {
    const char* name;
    bool showAreaO;
    Lines log;
};

class RefusalInAreaO : public Link, public ::testing::WithParamInterface<AreaCase> { };

TEST_P(RefusalInAreaO, IsLoggedOnlyWhenTheAreaIsShown)
{
    state.areaO = {123, 130};
    state.showAreaO = GetParam().showAreaO;
    inverter.nakAt[wordAddress(123)] = 'E';
    startWrite({{123, 124}});
    codes.record(123, "O-0");
    EXPECT_EQ(link.transferParameterImage(), 0);
    EXPECT_TRUE(log.lines() == GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(Options, RefusalInAreaO,
    ::testing::Values(
        AreaCase {"Hidden", false, {"start !!"}}, AreaCase {"Shown", true, {"start !!", "O-0  Upper limit error"}}),
    test::CaseName {});

TEST_F(Link, FailedWordEndsItsRangeOnlyAndTheTransferReportsIt)
{
    values[21] = -2;
    inverter.silentAt.insert(wordAddress(21));
    startWrite({{20, 22}, {30, 31}});

    EXPECT_EQ(link.transferParameterImage(), -1);
    // The rest of the range is named as not sent.
    EXPECT_TRUE(log.lines() == (Lines {"start !!", "off = 21", "num = -2", "22 to 22 not sent."}));
    EXPECT_EQ(
        inverter.writtenAddresses, (std::vector<std::uint32_t> {wordAddress(20), wordAddress(30), wordAddress(31)}));
}

// "off =" gives the word's number; the line after its value names it as
// the grid does, so that the log reads without a table at hand.
TEST_F(Link, FailedWordIsNamedByItsCodeInALineOfItsOwn)
{
    inverter.silentAt.insert(wordAddress(12));
    startWrite({{12, 12}});

    EXPECT_EQ(link.transferParameterImage(), -1);
    EXPECT_TRUE(log.lines() == (Lines {"start !!", "off = 12", "num = 0", "word 12 is A-1: no valid answer"}));
}

// Records what the link tells of each word, with the frames written and
// the time at that moment; its announcement takes as long as a slow disk.
class RecordingJournal : public WordJournal {
public:
    RecordingJournal(const test::FakeSerialPort& port, test::FakeClock& clock)
        : m_port(port)
        , m_clock(clock)
    {
    }
    void wordAnnounced(int, std::string_view code, std::uint16_t value) override
    {
        events.push_back("send " + std::string(code) + "=" + std::to_string(value) + " after "
            + std::to_string(m_port.written.size()) + " frames");
        m_clock.advanceMs(syncMs);
        if (onAnnounce)
            onAnnounce();
    }
    void wordSettled(int, std::string_view code, WordOutcome outcome, std::string_view refusal) override
    {
        static constexpr const char* names[] = {"taken", "refused", "no answer", "not sent"};
        events.push_back(std::string(code) + " " + names[static_cast<int>(outcome)]
            + (refusal.empty() ? "" : ": " + std::string(refusal)));
    }
    void pauseBegan(int, std::string_view afterCode, std::int64_t) override
    {
        events.push_back("held after " + std::string(afterCode));
    }
    void pauseEnded(PauseEnd end, std::int64_t) override
    {
        events.push_back(end == PauseEnd::WentOn ? "went on" : "stopped");
    }
    std::vector<std::string> events;
    int syncMs = 0;
    std::function<void()> onAnnounce;

private:
    const test::FakeSerialPort& m_port;
    test::FakeClock& m_clock;
};

TEST_F(Link, JournalHearsOfEachWordBeforeItsRequestAndOfItsOutcomeAfter)
{
    RecordingJournal journal(port, clock);
    state.journal = &journal;
    values[3] = 7;
    inverter.nakAt[wordAddress(7)] = 'E';
    inverter.silentAt.insert(wordAddress(12));
    startWrite({{3, 3}, {7, 7}, {12, 12}});

    EXPECT_EQ(link.transferParameterImage(), -1);
    EXPECT_EQ(journal.events,
        (Lines {"send Fund.-3=7 after 0 frames", "Fund.-3 taken", "send Fund.-7=0 after 1 frames",
            "Fund.-7 refused: Upper limit error", "send A-1=0 after 2 frames", "A-1 no answer"}));
}

// The record of the next word is made inside the drive's pause after the
// one before: however long the disk takes (up to the pause), the words go
// out no slower.
TEST_F(Link, JournalTimeIsSpentInsideTheWaitBetweenTwoWords)
{
    settings.writeWaitMs = 300;
    link.calibrateWriteWait();
    RecordingJournal journal(port, clock);
    journal.syncMs = 120;
    state.journal = &journal;
    std::vector<std::int64_t> sentAt;
    port.respond = [&](const std::string& frame) {
        sentAt.push_back(clock.milliseconds());
        return inverter(frame);
    };
    startWrite({{20, 22}});
    ASSERT_EQ(link.transferParameterImage(), 0);
    ASSERT_EQ(sentAt.size(), 3u);
    EXPECT_LT(sentAt[2] - sentAt[1], 300 + 120);
    EXPECT_GE(sentAt[2] - sentAt[1], 300);
}

// A stop during the pause leaves the word announced but never sent, and
// the record says so.
TEST_F(Link, StopDuringTheWaitRecordsTheAnnouncedWordAsNotSent)
{
    settings.writeWaitMs = 300;
    link.calibrateWriteWait();
    RecordingJournal journal(port, clock);
    state.journal = &journal;
    std::atomic<bool> cancel {false};
    state.cancelRequested = &cancel;
    // Asked once the second word is on record, while the pause runs.
    journal.onAnnounce = [&] { cancel = port.written.size() == 1; };
    startWrite({{20, 22}});
    EXPECT_EQ(link.transferParameterImage(), -1);
    EXPECT_EQ(port.written.size(), 1u);
    EXPECT_EQ(
        journal.events, (Lines {"send 20=0 after 0 frames", "20 taken", "send 21=0 after 1 frames", "21 not sent"}));
}

TEST_F(Link, HeldBackWordIsLoggedAndNotSent)
{
    state.writeFilter = [](int word) -> std::optional<std::string> {
        if (word == 41)
            return "A-11 data is not writed.";
        return std::nullopt;
    };
    startWrite({{40, 42}});

    EXPECT_EQ(link.transferParameterImage(), 0);
    EXPECT_TRUE(log.lines() == (Lines {"start !!", "A-11 data is not writed."}));
    EXPECT_EQ(inverter.writtenAddresses, (std::vector<std::uint32_t> {wordAddress(40), wordAddress(42)}));
    // The bar counts the words that go out: the held-back one is not planned.
    EXPECT_EQ(progress.done(), (std::vector<int> {1, 2}));
    EXPECT_EQ(progress.steps.back().total, 2);
}

// Exchanges of a read of two bytes at 0x510 whose reply is scripted.
struct ExchangeCase {
    const char* name;
    test::FakeSerialPort::Script reply;
    int result;
    Lines logged;
};

std::string twoBytes()
{
    return test::dataReplyText(IdentityAddress, {0x51, 0x4D});
}

class Exchange : public Link, public ::testing::WithParamInterface<ExchangeCase> { };

TEST_P(Exchange, ClassifiesTheCollectedReply)
{
    port.respond = [reply = GetParam().reply](const std::string&) { return reply; };
    openPort();
    EXPECT_EQ(link.exchangeFrame(FrameRequest::read(IdentityAddress, 2)), GetParam().result);
    Lines expected {"start !!"};
    expected.insert(expected.end(), GetParam().logged.begin(), GetParam().logged.end());
    EXPECT_TRUE(log.lines() == expected);
    if (GetParam().result == 0) {
        EXPECT_EQ(link.replyData(), (std::vector<std::uint8_t> {0x51, 0x4D}));
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, Exchange,
    ::testing::Values(ExchangeCase {"WholeReply", {{twoBytes()}}, 0, {}},
        ExchangeCase {"InPieces", {{twoBytes().substr(0, 5)}, {}, {twoBytes().substr(5)}}, 0, {}},
        // A line error postpones reading by one pass; an overrun is no error.
        ExchangeCase {"ParityFlagDelaysReading",
            {{twoBytes().substr(0, 9), PortErrorParity}, {twoBytes().substr(9), PortErrorOverrun}}, 0, {}},
        ExchangeCase {"WrongFirstCharacter", {{"?" + twoBytes().substr(1)}}, -1, {"Top word error!!"}},
        ExchangeCase {"AcknowledgeOfARead", {{test::ackReplyText()}}, -1, {"Top word error!!"}},
        ExchangeCase {"SumHighDigitOnly", {{twoBytes().replace(17, 2, "00")}}, -1, {"SUM High Error! "}},
        ExchangeCase {"SumLowDigit", {{twoBytes().replace(18, 1, "0")}}, -1, {"SUM Low Error! "}},
        ExchangeCase {
            "FewerBytesThanAsked", {{test::dataReplyText(IdentityAddress, {0x51})}}, -1, {"Reply length error!!"}},
        // The status query failing after part of a reply ends the collection.
        ExchangeCase {"StatusFailsMidReply", {{twoBytes().substr(0, 12)}, {"", 0, true}}, -1, {"SUM High Error! "}},
        ExchangeCase {"Silence", {}, -1, {}},
        // The header is not examined: a drive may echo another address there.
        ExchangeCase {"HeaderNamingAnotherAddress", {{test::dataReplyText(IdentityAddress + 1, {0x51, 0x4D})}}, 0, {}}),
    test::CaseName {});

TEST_F(Link, ReplyWithoutLineFeedFailsAfterTheDeadlineWithNothingLogged)
{
    port.respond = [](const std::string&) { return test::FakeSerialPort::Script {{twoBytes().substr(0, 20)}}; };
    openPort();
    const std::int64_t t0 = clock.seconds();
    EXPECT_EQ(link.exchangeFrame(FrameRequest::read(IdentityAddress, 2)), -1);
    EXPECT_TRUE(log.lines() == Lines {"start !!"});
    EXPECT_GT(clock.seconds(), t0 + 1);
    EXPECT_LE(clock.seconds(), t0 + 2);
}

TEST_F(Link, OverlongReplyIsCutAndItsRestDoesNotSpoilTheNextExchange)
{
    openPort();
    port.respond = [](const std::string&) { return test::FakeSerialPort::Script {{std::string(700, '\x02')}}; };
    EXPECT_EQ(link.exchangeFrame(FrameRequest::read(IdentityAddress, 2)), -1);

    port.respond = [this](const std::string& frame) { return inverter(frame); };
    inverter.put(IdentityAddress, "QM");
    EXPECT_EQ(link.exchangeFrame(FrameRequest::read(IdentityAddress, 2)), 0);
    EXPECT_EQ(link.replyData(), (std::vector<std::uint8_t> {'Q', 'M'}));
}

TEST_F(Link, LateReplyOfAFailedExchangeIsNotTakenForTheNextOne)
{
    openPort();
    port.queueNow(test::nakReplyText('X'));
    inverter.put(IdentityAddress, "QM");
    EXPECT_EQ(link.exchangeFrame(FrameRequest::read(IdentityAddress, 2)), 0);
    EXPECT_EQ(link.replyData(), (std::vector<std::uint8_t> {'Q', 'M'}));
    EXPECT_TRUE(log.lines() == Lines {"start !!"});
}

TEST_F(Link, ReplyComingAfterTheDeadlineIsReadAwayBeforeTheNextRequest)
{
    // Word 21 is answered 2.5 s late: after its deadline, when the next
    // range's first request would already be waiting for its own reply.
    inverter.faults[wordAddress(21)] = sim::Fault {sim::FaultKind::Delay, 2500, false};
    inverter.nakAt[wordAddress(31)] = 'E';
    codes.record(31, "B-1");
    startWrite({{20, 22}, {30, 32}});

    EXPECT_EQ(link.transferParameterImage(), -1);
    EXPECT_TRUE(
        log.lines() == (Lines {"start !!", "off = 21", "num = 0", "22 to 22 not sent.", "B-1  Upper limit error"}));
    EXPECT_EQ(state.writtenWords, (std::vector<int> {20, 30, 32}));
    EXPECT_EQ(state.refusedWords, (std::vector<int> {31}));
    EXPECT_EQ(state.failedWords, (std::vector<int> {21}));
}

TEST_F(Link, LineThatNeverGoesQuietStopsTheTransfer)
{
    port.respond = [this](const std::string& frame) {
        if (frame.find("w00200028") == std::string::npos)
            return inverter(frame);
        // Word 20 gets no reply, only noise every 100 ms for a minute.
        test::FakeSerialPort::Script noise;
        for (int ms = 100; ms <= 60000; ms += 100)
            noise.push_back({"?", 0, false, ms});
        return noise;
    };
    startWrite({{20, 20}, {30, 31}});

    EXPECT_EQ(link.transferParameterImage(), -1);
    EXPECT_EQ(state.stop, TransferStop::LineLost);
    EXPECT_TRUE(inverter.writtenAddresses.empty());
    EXPECT_TRUE(log.lines()
        == (Lines {"start !!", "off = 20", "num = 0", "The line does not go quiet; the transfer stopped."}));
}

} // namespace
} // namespace tess::comm
