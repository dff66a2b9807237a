#include "siminverter/SimInverter.h"
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
    demo.ws.doc.state.commDirection = comm::CommandRead;
    demo.ui.messages.clear();

    comm::SerialTransferPresenter read(demo.ws, demo.ui, port, systemClock(), demo.dir.path());
    EXPECT_EQ(read.runTransaction(), 0);
    EXPECT_TRUE(demo.ui.messages.empty());
    EXPECT_EQ(read.memo().back(), "Saved as ReadData.csl");
    EXPECT_EQ(demo.ws.doc.identity, identity);
    EXPECT_EQ(demo.ws.doc.identityTexts.model, "QM71");
    EXPECT_EQ(demo.ws.doc.values[40], 1234);
    EXPECT_EQ(demo.ws.doc.values[41], -2);
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace tess::sim
