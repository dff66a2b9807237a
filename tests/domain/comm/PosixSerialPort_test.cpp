#include "domain/comm/PosixSerialPort.h"

#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace tess::comm {
namespace {

struct PathCase {
    const char* name;
    const char* portName;
    std::optional<std::string> path;
};

class SerialDevicePath : public ::testing::TestWithParam<PathCase> { };

TEST_P(SerialDevicePath, MapsComNamesToDevices)
{
    const std::map<std::string, std::string> environment {{"TESSALINE_COM3", "/dev/ttyUSB0"}, {"TESSALINE_COM4", ""}};
    const EnvLookup env = [&](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(serialDevicePath(GetParam().portName, env), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Names, SerialDevicePath,
    ::testing::Values(PathCase {"Com1IsFirstOnBoardPort", "COM1", "/dev/ttyS0"},
        PathCase {"Com255", "COM255", "/dev/ttyS254"},
        PathCase {"EnvironmentNamesAnotherDevice", "COM3", "/dev/ttyUSB0"},
        PathCase {"EmptyEnvironmentValueIsIgnored", "COM4", "/dev/ttyS3"},
        PathCase {"PathAsItIs", "/dev/ttyACM0", "/dev/ttyACM0"}, PathCase {"Empty", "", std::nullopt},
        PathCase {"Com0", "COM0", std::nullopt}, PathCase {"Com256", "COM256", std::nullopt},
        PathCase {"NoNumber", "COMx", std::nullopt}, PathCase {"LowerCase", "com1", std::nullopt}),
    test::CaseName {});

// A pseudo-terminal: the test plays the inverter on the master side, the
// port opens the slave device by its path.
class PseudoTerminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            GTEST_SKIP() << "no pseudo-terminals here";
        m_slavePath = ptsname(m_master);
    }
    void TearDown() override
    {
        if (m_master >= 0)
            ::close(m_master);
    }

    // Reads what arrives on the master until count bytes came or the time
    // is up.
    std::string readMaster(std::size_t count, std::chrono::milliseconds patience = std::chrono::seconds(5))
    {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + patience;
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd fd {m_master, POLLIN, 0};
            if (poll(&fd, 1, 100) <= 0)
                continue;
            char buffer[64];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    // Waits until the port reports count bytes waiting, or 5 s passed.
    static std::size_t waitForBytes(PosixSerialPort& port, std::size_t count)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        PortStatus status = port.status();
        while (status.ok && status.bytesWaiting < count && std::chrono::steady_clock::now() < end) {
            usleep(1000);
            status = port.status();
        }
        return status.bytesWaiting;
    }

    int m_master = -1;
    std::string m_slavePath;
};

TEST_F(PseudoTerminal, CarriesFramesUnchangedBothWays)
{
    PosixSerialPort port;
    ASSERT_EQ(port.open(m_slavePath), PortOpenResult::Ok);
    EXPECT_EQ(port.status().bytesWaiting, 0u);
    EXPECT_EQ(port.read(100), "");

    // CR LF stays CR LF: no output processing.
    const std::string frame = "\x05\x20r000005100A69\r\n";
    ASSERT_TRUE(port.write(frame));
    EXPECT_EQ(readMaster(frame.size()), frame);

    // Nor input processing: CR is not turned into LF, nothing is echoed.
    const std::string reply = "\x06 w77\r\n";
    ASSERT_EQ(::write(m_master, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
    ASSERT_EQ(waitForBytes(port, reply.size()), reply.size());
    EXPECT_EQ(port.read(3), reply.substr(0, 3));
    EXPECT_EQ(port.read(100), reply.substr(3));
    EXPECT_EQ(readMaster(1, std::chrono::milliseconds(200)), "");
}

// A device may come up with any line settings; the port leaves none that
// would act on a byte of a frame: flow control of either kind (an XOFF in a
// reply would freeze every later request), translation either way, echo,
// lines, signal characters.
TEST_F(PseudoTerminal, OpensTheLineFullyRaw)
{
    const int slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(slave, 0);
    termios cooked {};
    ASSERT_EQ(tcgetattr(slave, &cooked), 0);
    cooked.c_iflag |= IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | IUCLC | IMAXBEL;
    cooked.c_oflag |= OPOST | ONLCR | OCRNL;
    cooked.c_lflag |= ECHO | ECHONL | ICANON | ISIG | IEXTEN;
    cooked.c_cflag |= CRTSCTS | PARENB;
    ASSERT_EQ(tcsetattr(slave, TCSANOW, &cooked), 0);

    PosixSerialPort port;
    ASSERT_EQ(port.open(m_slavePath), PortOpenResult::Ok);
    termios line {};
    ASSERT_EQ(tcgetattr(slave, &line), 0);
    ::close(slave);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | IUCLC | IMAXBEL), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_cflag & (CRTSCTS | PARENB | CSTOPB), 0u);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
}

TEST_F(PseudoTerminal, SecondOpenIsRefusedUntilTheFirstCloses)
{
    PosixSerialPort first;
    PosixSerialPort second;
    ASSERT_EQ(first.open(m_slavePath), PortOpenResult::Ok);
    EXPECT_EQ(second.open(m_slavePath), PortOpenResult::OpenFailed);
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.lastOpenFailure().device, m_slavePath);
    EXPECT_EQ(second.lastOpenFailure().reason, "is in use by another program");
    first.close();
    EXPECT_EQ(second.open(m_slavePath), PortOpenResult::Ok);
}

TEST(PosixSerialPort, DeviceThatIsNoTerminalHasNoReadableSettings)
{
    test::TempDir dir;
    test::writeFile(dir.file("not-a-tty"), "x");
    PosixSerialPort port;
    EXPECT_EQ(port.open(dir.file("not-a-tty")), PortOpenResult::GetStateFailed);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastOpenFailure().device, dir.file("not-a-tty"));
    EXPECT_EQ(port.lastOpenFailure().reason, "is not a terminal");
    EXPECT_EQ(port.open(dir.file("missing")), PortOpenResult::OpenFailed);
    EXPECT_EQ(port.lastOpenFailure().device, dir.file("missing"));
    EXPECT_EQ(port.lastOpenFailure().reason, std::strerror(ENOENT));
    EXPECT_FALSE(port.write("x"));
    EXPECT_FALSE(port.status().ok);
}

} // namespace
} // namespace tess::comm
