#include "siminverter/SimInverter.h"
#include "siminverter/SimOptions.h"
#include "siminverter/SimPty.h"

#include "app/comm/SerialTransferPresenter.h"
#include "app/mainwindow/Commands.h"
#include "domain/comm/FrameCodec.h"
#include "domain/comm/PosixSerialPort.h"
#include "domain/comm/SerialLink.h"
#include "domain/common/Clock.h"
#include "support/CaseName.h"
#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace tess::sim {
namespace {

struct FrameCase {
    const char* name;
    std::string frame;
    std::string reply;
};

class MalformedFrame : public ::testing::TestWithParam<FrameCase> { };

TEST_P(MalformedFrame, IsRefusedWithTheInvertersCode)
{
    SimInverter inverter;
    EXPECT_EQ(inverter.answer(GetParam().frame), GetParam().reply);
    EXPECT_TRUE(inverter.writtenAddresses.empty());
}

const std::string GoodRead = comm::buildRequestFrame(comm::FrameRequest::read(0x510, 10));

std::string withChar(std::string frame, std::size_t at, char c)
{
    frame.at(at) = c;
    return frame;
}

INSTANTIATE_TEST_SUITE_P(Frames, MalformedFrame,
    ::testing::Values(FrameCase {"NotEnq", withChar(GoodRead, 0, 'x'), nakReplyText('z')},
        FrameCase {"NotBlk", withChar(GoodRead, 1, 'x'), nakReplyText('Z')},
        FrameCase {"UnknownCommand", withChar(GoodRead, 2, 'q'), nakReplyText('D')},
        FrameCase {"WriteOfReadLength", withChar(GoodRead, 2, 'w'), nakReplyText('F')},
        FrameCase {"NoHexDigits", withChar(GoodRead, 5, 'G'), nakReplyText('X')},
        FrameCase {"SumHigh", withChar(GoodRead, 13, '7'), nakReplyText('S')},
        FrameCase {"SumLow", withChar(GoodRead, 14, '8'), nakReplyText('s')},
        FrameCase {"Empty", "", nakReplyText('z')}),
    test::CaseName {});

TEST(SimInverter, AnswersFramesSplitAcrossChunks)
{
    SimInverter inverter;
    inverter.put(0x510, "QM71 01-A1");
    const std::string write = comm::buildRequestFrame(comm::FrameRequest::write(0x200000 + 10, 0x0096));
    const std::string both = GoodRead + write;
    EXPECT_EQ(inverter.feed(both.substr(0, 5)), "");
    EXPECT_EQ(
        inverter.feed(both.substr(5, 20)), dataReplyText(0x510, {'Q', 'M', '7', '1', ' ', '0', '1', '-', 'A', '1'}));
    EXPECT_EQ(inverter.feed(both.substr(25)), ackReplyText());
    EXPECT_EQ(inverter.word(0x200000 + 10), 0x0096);
}

const std::uint32_t Word5 = comm::ImageAddress + 10;
const std::string WriteWord5 = comm::buildRequestFrame(comm::FrameRequest::write(Word5, 0x0096));

// Each fault on a write: the acknowledge "\x06 w77\r\n" spoiled as the fault
// says, and whether the inverter still stored the word.
struct FaultTextCase {
    const char* name;
    Fault fault;
    std::optional<std::string> reply;
    int delayMs;
    bool stored;
};

class FaultOnAWrite : public ::testing::TestWithParam<FaultTextCase> { };

TEST_P(FaultOnAWrite, SpoilsTheAcknowledgeAsItSays)
{
    const FaultTextCase& c = GetParam();
    SimInverter inverter;
    inverter.faults[Word5] = c.fault;
    const Response response = inverter.respond(WriteWord5);
    EXPECT_EQ(response.text, c.reply);
    EXPECT_EQ(response.delayMs, c.delayMs);
    EXPECT_FALSE(response.hangUp);
    EXPECT_EQ(inverter.word(Word5), c.stored ? 0x0096 : 0);
}

// 'w' and 695 zeros sum to 0x82C7.
const std::string OverlongAck = "\x06 w" + std::string(695, '0') + "C7\r\n";

INSTANTIATE_TEST_SUITE_P(Kinds, FaultOnAWrite,
    ::testing::Values(FaultTextCase {"Delay", {FaultKind::Delay, 250}, "\x06 w77\r\n", 250, true},
        FaultTextCase {"Refuse", {FaultKind::Refuse, 'E'}, "\x15 E\r\n", 0, false},
        FaultTextCase {"Silent", {FaultKind::Silent}, std::nullopt, 0, false},
        FaultTextCase {"Overlong", {FaultKind::Overlong}, OverlongAck, 0, true},
        FaultTextCase {"WrongFirst", {FaultKind::WrongFirst}, "? w77\r\n", 0, true},
        FaultTextCase {"SumHigh", {FaultKind::SumHigh}, "\x06 w87\r\n", 0, true},
        FaultTextCase {"SumLow", {FaultKind::SumLow}, "\x06 w78\r\n", 0, true},
        FaultTextCase {"Cut", {FaultKind::Cut}, "\x06 w", 0, true},
        FaultTextCase {"StrayXoff", {FaultKind::Stray, 0x13},
            "\x06 w\x13"
            "77\r\n",
            0, true}),
    test::CaseName {});

// Each fault on a full read chunk (a 481-character reply), as the link's
// reply parser sees it.
struct FaultReadCase {
    const char* name;
    FaultKind kind;
    std::size_t length;
    // How the link's parser takes it; nothing for a reply the link never
    // parses, since its LF does not come.
    std::optional<comm::ReplyKind> replyKind;
    comm::ReplyFault replyFault;
};

class FaultOnARead : public ::testing::TestWithParam<FaultReadCase> { };

TEST_P(FaultOnARead, GivesTheReplyTheLinkMustCatch)
{
    const FaultReadCase& c = GetParam();
    SimInverter inverter;
    for (std::uint32_t i = 0; i < comm::ImageChunk; ++i)
        inverter.memory[comm::ImageAddress + i] = static_cast<std::uint8_t>(i);
    const std::string request = comm::buildRequestFrame(comm::FrameRequest::read(comm::ImageAddress, comm::ImageChunk));
    const std::string correct = *inverter.answer(request);
    ASSERT_EQ(correct.size(), 481u);
    inverter.faults[comm::ImageAddress] = Fault {c.kind};

    const std::string reply = inverter.respond(request).text.value_or("");
    EXPECT_EQ(reply.size(), c.length);
    // Only a whole reply ends its line, and only at its end.
    const bool whole = c.kind != FaultKind::Cut;
    EXPECT_EQ(reply.find(comm::FrameLf), whole ? reply.size() - 1 : std::string::npos);
    // The header (but where the fault is in it) and the data digits are kept.
    const std::size_t keptFrom = c.kind == FaultKind::OtherHeader ? 11 : 3;
    EXPECT_EQ(reply.substr(keptFrom, 200), correct.substr(keptFrom, 200));
    if (!c.replyKind)
        return;
    const comm::Reply parsed = comm::parseReply(reply);
    EXPECT_EQ(parsed.kind, *c.replyKind);
    EXPECT_EQ(parsed.fault, c.replyFault);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FaultOnARead,
    ::testing::Values(
        // 685 data digits: the checksum holds, the digits make no whole bytes.
        FaultReadCase {"Overlong", FaultKind::Overlong, 702, comm::ReplyKind::Data, comm::ReplyFault::BadData},
        FaultReadCase {"WrongFirst", FaultKind::WrongFirst, 481, comm::ReplyKind::Invalid, comm::ReplyFault::None},
        FaultReadCase {"SumHigh", FaultKind::SumHigh, 481, comm::ReplyKind::Data, comm::ReplyFault::SumHigh},
        FaultReadCase {"SumLow", FaultKind::SumLow, 481, comm::ReplyKind::Data, comm::ReplyFault::SumLow},
        FaultReadCase {"Cut", FaultKind::Cut, 240, std::nullopt, comm::ReplyFault::None},
        FaultReadCase {"OtherHeader", FaultKind::OtherHeader, 481, comm::ReplyKind::Data, comm::ReplyFault::None}),
    test::CaseName {});

struct RepeatCase {
    const char* name;
    bool once;
    std::string secondReply;
};

class FaultRepeat : public ::testing::TestWithParam<RepeatCase> { };

TEST_P(FaultRepeat, MeetsTheFirstRequestOrEvery)
{
    SimInverter inverter;
    inverter.faults[Word5] = Fault {FaultKind::SumLow, 0, GetParam().once};
    EXPECT_EQ(inverter.answer(WriteWord5), "\x06 w78\r\n");
    EXPECT_EQ(inverter.answer(WriteWord5), GetParam().secondReply);
    // Other addresses never meet it.
    EXPECT_EQ(inverter.answer(comm::buildRequestFrame(comm::FrameRequest::write(Word5 + 2, 1))), ackReplyText());
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultRepeat,
    ::testing::Values(RepeatCase {"Once", true, "\x06 w77\r\n"}, RepeatCase {"EveryTime", false, "\x06 w78\r\n"}),
    test::CaseName {});

TEST(SimInverter, HangsUpAtTheRequestAfterTheLastOneAnswered)
{
    SimInverter inverter;
    inverter.hangUpAfter = 2;
    EXPECT_EQ(inverter.respond(WriteWord5).text, ackReplyText());
    EXPECT_EQ(inverter.respond(WriteWord5).text, ackReplyText());
    const Response third = inverter.respond(WriteWord5);
    EXPECT_TRUE(third.hangUp);
    EXPECT_FALSE(third.text);
    EXPECT_EQ(inverter.writtenAddresses.size(), 2u);
}

struct AddressCase {
    const char* name;
    std::string text;
    std::optional<std::uint32_t> address;
};

class RequestAddressOption : public ::testing::TestWithParam<AddressCase> { };

TEST_P(RequestAddressOption, NamesTheByteAddressOfTheRequest)
{
    EXPECT_EQ(parseRequestAddress(GetParam().text), GetParam().address);
}

INSTANTIATE_TEST_SUITE_P(Forms, RequestAddressOption,
    ::testing::Values(AddressCase {"Hex", "0x200050", 0x200050}, AddressCase {"HexUpperPrefix", "0X510", 0x510},
        AddressCase {"HexLowerDigits", "0x20052e", 0x20052E}, AddressCase {"FirstWord", "word:0", 0x200000},
        AddressCase {"WordFive", "word:5", 0x20000A}, AddressCase {"LastWord", "word:664", 0x200530},
        AddressCase {"WordBeyondImage", "word:665", std::nullopt},
        AddressCase {"NegativeWord", "word:-1", std::nullopt}, AddressCase {"EmptyWord", "word:", std::nullopt},
        AddressCase {"HexWithoutPrefix", "200050", std::nullopt}, AddressCase {"PrefixOnly", "0x", std::nullopt},
        AddressCase {"NoHexDigit", "0x51G", std::nullopt},
        AddressCase {"BeyondThirtyTwoBits", "0x100000000", std::nullopt}),
    test::CaseName {});

struct CommandLineCase {
    const char* name;
    std::vector<std::string> args;
    bool valid;
    std::map<std::uint32_t, Fault> faults = {};
    int baud = 0;
    std::optional<std::size_t> hangUpAfter = std::nullopt;
    bool timing = false;
};

class SimCommandLine : public ::testing::TestWithParam<CommandLineCase> { };

TEST_P(SimCommandLine, SetsTheLineAndItsFaults)
{
    const CommandLineCase& c = GetParam();
    std::string error;
    const std::optional<SimOptions> options = parseSimOptions(c.args, &error);
    ASSERT_EQ(options.has_value(), c.valid) << error;
    EXPECT_EQ(error.empty(), c.valid);
    if (!options)
        return;
    EXPECT_EQ(options->dataSetPath, "held.csl");
    EXPECT_EQ(options->faults, c.faults);
    EXPECT_EQ(options->baud, c.baud);
    EXPECT_EQ(options->hangUpAfter, c.hangUpAfter);
    EXPECT_EQ(options->timing, c.timing);
}

INSTANTIATE_TEST_SUITE_P(Options, SimCommandLine,
    ::testing::Values(CommandLineCase {"DataSetOnly", {"held.csl"}, true, {}},
        CommandLineCase {"PacedAndHungUp", {"--baud", "9600", "--hangup-after", "40", "held.csl"}, true, {}, 9600, 40},
        CommandLineCase {"EveryKind",
            {"--delay", "word:1=1500", "--nak", "0x510=e", "--silent", "word:2", "--overlong", "word:3", "--garbage",
                "word:4", "--sum-high", "word:5", "--sum-low", "word:6", "--cut", "word:7", "held.csl"},
            true,
            {{0x200002, {FaultKind::Delay, 1500}}, {0x510, {FaultKind::Refuse, 'e'}}, {0x200004, {FaultKind::Silent}},
                {0x200006, {FaultKind::Overlong}}, {0x200008, {FaultKind::WrongFirst}},
                {0x20000A, {FaultKind::SumHigh}}, {0x20000C, {FaultKind::SumLow}}, {0x20000E, {FaultKind::Cut}}}},
        CommandLineCase {"OnceForTheFaultsAfterIt",
            {"--cut", "word:1", "--once", "--cut", "word:2", "held.csl", "--nak", "word:3=C"}, true,
            {{0x200002, {FaultKind::Cut}}, {0x200004, {FaultKind::Cut, 0, true}},
                {0x200006, {FaultKind::Refuse, 'C', true}}}},
        CommandLineCase {"StrayByte", {"--stray", "word:1=0xFF", "--flow-control", "held.csl"}, true,
            {{0x200002, {FaultKind::Stray, 0xFF}}}},
        CommandLineCase {"StrayByteOutOfRange", {"--stray", "word:1=0x100", "held.csl"}, false},
        CommandLineCase {"StrayByteNotHex", {"--stray", "word:1=19", "held.csl"}, false},
        CommandLineCase {"LaterFaultReplaces", {"--silent", "word:9", "--garbage", "0x200012", "held.csl"}, true,
            {{0x200012, {FaultKind::WrongFirst}}}},
        CommandLineCase {"Timed", {"held.csl", "--timing"}, true, {}, 0, std::nullopt, true},
        CommandLineCase {"NoDataSet", {"--baud", "9600"}, false},
        CommandLineCase {"TwoDataSets", {"held.csl", "other.csl"}, false},
        CommandLineCase {"UnknownOption", {"--fast", "held.csl"}, false},
        CommandLineCase {"MissingValue", {"held.csl", "--cut"}, false},
        CommandLineCase {"DelayWithoutMs", {"--delay", "word:1", "held.csl"}, false},
        CommandLineCase {"DelayNotANumber", {"--delay", "word:1=soon", "held.csl"}, false},
        CommandLineCase {"NakCodeOfTwo", {"--nak", "word:1=EE", "held.csl"}, false},
        CommandLineCase {"NakWithoutCode", {"--nak", "word:1=", "held.csl"}, false},
        CommandLineCase {"BadAddress", {"--silent", "1234", "held.csl"}, false},
        CommandLineCase {"BaudZero", {"--baud", "0", "held.csl"}, false},
        CommandLineCase {"HangUpNotANumber", {"--hangup-after", "x", "held.csl"}, false}),
    test::CaseName {});

// A request written to the slave side as the program would, and the time its
// whole reply took to come back, the simulator driven between the waits.
struct TimedReply {
    std::string text;
    double seconds = 0;
};

TimedReply timeReply(SimPty& pty, SimInverter& inverter, const std::string& request)
{
    TimedReply result;
    const int slave = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return result;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed
        = [start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    if (::write(slave, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
        while (elapsed() < 10 && (result.text.empty() || result.text.back() != comm::FrameLf)) {
            EXPECT_TRUE(pty.pump(inverter));
            pollfd input {slave, POLLIN, 0};
            const int due = pty.msUntilDue();
            poll(&input, 1, due < 0 ? 20 : due);
            char buffer[600];
            const ssize_t got = ::read(slave, buffer, sizeof buffer);
            if (got > 0)
                result.text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    result.seconds = elapsed();
    ::close(slave);
    return result;
}

struct PacingCase {
    const char* name;
    int baud;
    std::optional<Fault> fault;
    double soonestSeconds;
};

class SimPtyTiming : public ::testing::TestWithParam<PacingCase> { };

TEST_P(SimPtyTiming, ReplyComesNoSoonerThanItsTime)
{
    const PacingCase& c = GetParam();
    SimPty pty;
    std::string error;
    if (!pty.open(&error))
        GTEST_SKIP() << "no pseudo-terminal: " << error;
    pty.setBaud(c.baud);
    SimInverter inverter;
    if (c.fault)
        inverter.faults[comm::ImageAddress] = *c.fault;
    const std::string request = comm::buildRequestFrame(comm::FrameRequest::read(comm::ImageAddress, comm::ImageChunk));

    const TimedReply reply = timeReply(pty, inverter, request);
    EXPECT_EQ(reply.text, dataReplyText(comm::ImageAddress, std::vector<std::uint8_t>(comm::ImageChunk, 0)));
    EXPECT_GE(reply.seconds, c.soonestSeconds);
    EXPECT_LT(reply.seconds, c.soonestSeconds + 5); // generous: the machine may be busy
    // The line's own moments of the exchange lie within the program's.
    const std::vector<SimPty::Exchange> exchanges = pty.takeExchanges();
    ASSERT_EQ(exchanges.size(), 1u);
    const double span = std::chrono::duration<double>(exchanges[0].replyDone - exchanges[0].requestSeen).count();
    EXPECT_GE(span, c.soonestSeconds);
    EXPECT_LE(span, reply.seconds);
    EXPECT_TRUE(pty.takeExchanges().empty());
}

INSTANTIATE_TEST_SUITE_P(Line, SimPtyTiming,
    ::testing::Values(PacingCase {"PacedAt9600", 9600, std::nullopt, 481.0 / 960},
        PacingCase {"Delayed", 0, Fault {FaultKind::Delay, 300}, 0.3},
        PacingCase {"DelayedAndPaced", 9600, Fault {FaultKind::Delay, 300}, 0.3 + 481.0 / 960}),
    test::CaseName {});

TEST(SimPtyHangUp, ClosesTheLineUnderTheProgram)
{
    SimPty pty;
    std::string error;
    if (!pty.open(&error))
        GTEST_SKIP() << "no pseudo-terminal: " << error;
    SimInverter inverter;
    inverter.hangUpAfter = 1;
    EXPECT_EQ(timeReply(pty, inverter, WriteWord5).text, ackReplyText());

    const int slave = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(slave, 0);
    ASSERT_EQ(::write(slave, WriteWord5.data(), WriteWord5.size()), static_cast<ssize_t>(WriteWord5.size()));
    EXPECT_TRUE(pty.pump(inverter));
    EXPECT_TRUE(pty.hungUp());
    pollfd line {slave, POLLIN, 0};
    EXPECT_EQ(poll(&line, 1, 1000), 1);
    EXPECT_TRUE(line.revents & POLLHUP);
    ::close(slave);
}

// The program's own serial port on the slave side of a pseudo-terminal,
// with the simulated inverter on the master side. Each look at the port's
// status first lets the simulator answer what has come: one thread, the
// simulator driven between the link's polls.
class PumpedPort final : public comm::SerialPort {
public:
    PumpedPort(SimPty& pty, SimInverter& inverter)
        : m_pty(pty)
        , m_inverter(inverter)
    {
    }
    comm::PortOpenResult open(const std::string& name) override { return m_real.open(name); }
    void close() override { m_real.close(); }
    bool isOpen() const override { return m_real.isOpen(); }
    bool write(std::string_view bytes) override { return m_real.write(bytes); }
    comm::PortStatus status() override
    {
        EXPECT_TRUE(m_pty.pump(m_inverter));
        return m_real.status();
    }
    std::string read(std::size_t maxBytes) override { return m_real.read(maxBytes); }
    bool waitForInput(int timeoutMs) override
    {
        // The simulator answers only when pumped: look again soon.
        EXPECT_TRUE(m_pty.pump(m_inverter));
        return m_real.waitForInput(std::min(timeoutMs, 5));
    }

private:
    comm::PosixSerialPort m_real;
    SimPty& m_pty;
    SimInverter& m_inverter;
};

TEST(SimInverterOnPty, ReadTransactionThroughTheRealPortFetchesTheDataSet)
{
    SimPty pty;
    std::string error;
    if (!pty.open(&error))
        GTEST_SKIP() << "no pseudo-terminal: " << error;

    test::DemoWorkspace demo;
    ASSERT_TRUE(demo.newDefaultDataSet());
    const InverterIdentity identity = demo.ws.doc.identity;
    ParameterSet values = demo.ws.doc.values;
    values[40] = 1234;
    values[41] = -2;
    closeDocument(demo.ws, demo.ui);

    SimInverter inverter;
    inverter.loadDataSet(identityTextFor(identity.model, identity.romVersion), identity, values);
    PumpedPort port(pty, inverter);
    demo.ws.settings.portName = pty.slavePath();
    demo.ui.messages.clear();

    comm::SerialTransferPresenter read(
        demo.ws, demo.ui, port, systemClock(), comm::TransferKind::Read, demo.dir.path());
    EXPECT_EQ(read.runTransaction(), 0);
    EXPECT_TRUE(demo.ui.messages.empty());
    EXPECT_EQ(read.memo().back(), "Saved as ReadData.csl");
    EXPECT_EQ(demo.ws.doc.identity, identity);
    EXPECT_EQ(demo.ws.doc.identityTexts.model, "QM71");
    EXPECT_EQ(demo.ws.doc.values[40], 1234);
    EXPECT_EQ(demo.ws.doc.values[41], -2);
    EXPECT_FALSE(port.isOpen());
}

// A first transfer with no port stored goes to the port the settings dialog
// shows as chosen then: COM1, here the device its environment variable names.
TEST(SimInverterOnPty, WithNoPortStoredTheReadGoesThroughTheShownPort)
{
    SimPty pty;
    std::string error;
    if (!pty.open(&error))
        GTEST_SKIP() << "no pseudo-terminal: " << error;
    test::DemoWorkspace demo;
    ASSERT_TRUE(demo.newDefaultDataSet());
    const InverterIdentity identity = demo.ws.doc.identity;
    SimInverter inverter;
    inverter.loadDataSet(identityTextFor(identity.model, identity.romVersion), identity, demo.ws.doc.values);
    PumpedPort port(pty, inverter);
    demo.ws.settings.portName.clear();
    ASSERT_EQ(::setenv("TESSALINE_COM1", pty.slavePath().c_str(), 1), 0);
    demo.ui.messages.clear();

    comm::SerialTransferPresenter read(
        demo.ws, demo.ui, port, systemClock(), comm::TransferKind::Read, demo.dir.path());
    EXPECT_EQ(read.portLine(), "Port: COM1 → " + pty.slavePath());
    const int result = read.runTransaction();
    ::unsetenv("TESSALINE_COM1");
    ASSERT_EQ(result, 0);
    EXPECT_TRUE(demo.ui.messages.empty());
    EXPECT_EQ(read.memo().back(), "Saved as ReadData.csl");
}

} // namespace
} // namespace tess::sim
