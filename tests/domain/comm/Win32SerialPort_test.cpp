// The Windows serial port where no port is needed: the names it opens and
// the reasons it gives. The line itself is tried end to end under wine
// (tests/windows/drive-e2e.sh).
#ifdef _WIN32

#include "domain/comm/Win32SerialPort.h"
#include "domain/comm/Win32Text.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <windows.h>

namespace tess::comm {
namespace {

struct PathCase {
    const char* name;
    const char* portName;
    std::optional<std::string> path;
};

class Win32DevicePath : public ::testing::TestWithParam<PathCase> { };

TEST_P(Win32DevicePath, MapsComNamesToDevices)
{
    // The environment names no device here, as it does on Linux.
    const EnvLookup env = [](const char*) -> const char* { return "/dev/ttyUSB0"; };
    EXPECT_EQ(serialDevicePath(GetParam().portName, env), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Names, Win32DevicePath,
    ::testing::Values(PathCase {"Com1", "COM1", "\\\\.\\COM1"}, PathCase {"Com255", "COM255", "\\\\.\\COM255"},
        PathCase {"DeviceNameAsItIs", "\\\\.\\CNCA0", "\\\\.\\CNCA0"},
        PathCase {"BarePrefixNamesNothing", "\\\\.\\", std::nullopt}, PathCase {"Empty", "", std::nullopt},
        PathCase {"Com0", "COM0", std::nullopt}, PathCase {"Com256", "COM256", std::nullopt},
        PathCase {"NoNumber", "COMx", std::nullopt}, PathCase {"LowerCase", "com1", std::nullopt},
        PathCase {"LinuxPath", "/dev/ttyS0", std::nullopt}),
    test::CaseName {});

TEST(Win32SerialPort, AbsentPortFailsWithTheSystemsReason)
{
    Win32SerialPort port;
    EXPECT_EQ(port.open("COM254"), PortOpenResult::OpenFailed);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastOpenFailure().device, "\\\\.\\COM254");
    EXPECT_EQ(port.lastOpenFailure().reason, win32ErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(port.write("x"));
    EXPECT_FALSE(port.status().ok);
    EXPECT_EQ(port.read(10), "");
}

TEST(Win32SerialPort, FileIsNoSerialDevice)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "tessaline-not-a-port.txt";
    std::ofstream(file) << "x";
    Win32SerialPort port;
    const std::string device = "\\\\?\\" + utf8Text(file.wstring());
    EXPECT_EQ(port.open(device), PortOpenResult::GetStateFailed);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastOpenFailure().device, device);
    EXPECT_EQ(port.lastOpenFailure().reason, "is not a serial device");
    std::filesystem::remove(file);
}

struct ErrorTextCase {
    const char* name;
    unsigned long error;
};

class Win32ErrorText : public ::testing::TestWithParam<ErrorTextCase> { };

// One line, as the other platforms' reasons are: no line break and no
// full stop to follow the device's name.
TEST_P(Win32ErrorText, IsOneLineWithoutFullStop)
{
    const std::string text = win32ErrorText(GetParam().error);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
}

INSTANTIATE_TEST_SUITE_P(Errors, Win32ErrorText,
    ::testing::Values(ErrorTextCase {"AccessDenied", ERROR_ACCESS_DENIED},
        ErrorTextCase {"FileNotFound", ERROR_FILE_NOT_FOUND}, ErrorTextCase {"NoSuchCode", 0x2FFFFFFF}),
    test::CaseName {});

TEST(Win32Text, CodeWithoutTextIsShownInHex)
{
    EXPECT_EQ(win32ErrorText(0x2FFFFFFF), "error 0x2FFFFFFF");
}

TEST(Win32Text, JapaneseRoundTripsThroughWide)
{
    const std::string name = "ポート設定.csl";
    EXPECT_EQ(wideText(name), L"ポート設定.csl");
    EXPECT_EQ(utf8Text(wideText(name)), name);
    EXPECT_EQ(wideText(""), L"");
}

} // namespace
} // namespace tess::comm

#endif
