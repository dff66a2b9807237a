#include "domain/comm/SerialDevices.h"

#include "domain/comm/PosixSerialPort.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tess::comm {
namespace {

using Link = std::pair<std::string, std::string>; // link, where it points

struct ListingCase {
    const char* name;
    std::vector<std::string> files; // plain files standing in for devices
    std::vector<Link> links;
    std::set<std::string> answering; // the ttyS that answer
    std::vector<SerialDevice> expected; // paths relative to the fixture's /dev
};

class SerialDeviceListing : public ::testing::TestWithParam<ListingCase> { };

TEST_P(SerialDeviceListing, ListsTheDevicesPresentInNaturalOrder)
{
    const test::TempDir dev;
    for (const std::string& file : GetParam().files)
        test::writeFile(dev.file(file), "");
    for (const auto& [link, target] : GetParam().links) {
        std::filesystem::create_directories(std::filesystem::path(dev.file(link)).parent_path());
        std::filesystem::create_symlink(target, dev.file(link));
    }
    std::vector<std::string> asked;
    const PortAnswers answers = [&](const std::string& path) {
        asked.push_back(path);
        return GetParam().answering.contains(std::filesystem::path(path).filename().string());
    };

    std::vector<SerialDevice> expected;
    for (const SerialDevice& device : GetParam().expected)
        expected.push_back({dev.file(device.path), device.target.empty() ? "" : dev.file(device.target)});
    EXPECT_EQ(listSerialDevices(dev.path(), answers), expected);
    for (const std::string& path : asked)
        EXPECT_TRUE(std::filesystem::path(path).filename().string().starts_with("ttyS")) << path;
}

INSTANTIATE_TEST_SUITE_P(SerialDevices, SerialDeviceListing,
    ::testing::Values(
        ListingCase {"OnlyOnBoardPortsThatAnswer", {"ttyS0", "ttyS1", "ttyS2"}, {}, {"ttyS1"}, {{"ttyS1", ""}}},
        ListingCase {"UsbAndAcmWithoutAsking", {"ttyACM0", "ttyUSB0", "tty0", "ttyprintk", "ttyUSB", "ttyUSBx", "ttyS"},
            {}, {}, {{"ttyACM0", ""}, {"ttyUSB0", ""}}},
        ListingCase {"NumbersCompareAsNumbers", {"ttyS10", "ttyS2", "ttyUSB10", "ttyUSB9", "ttyS1"}, {},
            {"ttyS1", "ttyS2", "ttyS10"},
            {{"ttyS1", ""}, {"ttyS2", ""}, {"ttyS10", ""}, {"ttyUSB9", ""}, {"ttyUSB10", ""}}},
        ListingCase {"ByIdLinksAfterWithTheirDevice", {"ttyUSB0", "ttyUSB1"},
            {{"serial/by-id/usb-FTDI_FT232R_A2-if00-port0", "../../ttyUSB1"},
                {"serial/by-id/usb-FTDI_FT232R_A10-if00-port0", "../../ttyUSB0"},
                {"serial/by-id/usb-Gone-if00-port0", "../../ttyUSB7"}},
            {},
            {{"ttyUSB0", ""}, {"ttyUSB1", ""}, {"serial/by-id/usb-FTDI_FT232R_A2-if00-port0", "ttyUSB1"},
                {"serial/by-id/usb-FTDI_FT232R_A10-if00-port0", "ttyUSB0"}}},
        ListingCase {"NothingPresent", {"null", "tty1"}, {}, {}, {}}),
    test::CaseName {});

TEST(SerialDevices, MissingDevFolderListsNothing)
{
    const test::TempDir dir;
    EXPECT_TRUE(listSerialDevices(dir.file("no-such-dev"), [](const std::string&) { return true; }).empty());
}

TEST(SerialDevices, OnBoardPortAnswersWhenItIsATerminalOrLockedAway)
{
    const test::TempDir dir;
    test::writeFile(dir.file("plain"), "");
    EXPECT_FALSE(onBoardPortAnswers(dir.file("plain")));
    EXPECT_FALSE(onBoardPortAnswers(dir.file("missing")));
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
        EXPECT_TRUE(onBoardPortAnswers(ptsname(master)));
    }
    if (master >= 0)
        close(master);
    if (geteuid() != 0) {
        test::writeFile(dir.file("locked"), "");
        ASSERT_EQ(chmod(dir.file("locked").c_str(), 0), 0);
        EXPECT_TRUE(onBoardPortAnswers(dir.file("locked")));
    }
}

struct PermissionCase {
    const char* name;
    std::optional<DeviceAccess> access;
    const char* reason;
};

class PermissionReason : public ::testing::TestWithParam<PermissionCase> { };

TEST_P(PermissionReason, NamesTheGroupToJoin)
{
    EXPECT_EQ(permissionReason("Permission denied", GetParam().access), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(SerialDevices, PermissionReason,
    ::testing::Values(
        PermissionCase {"NotInTheGroup", DeviceAccess {"dialout", false, false, 0660},
            "Permission denied: add your user to the group dialout (sudo usermod -aG dialout $USER) and log in again"},
        PermissionCase {"InTheGroupAlready", DeviceAccess {"uucp", false, true, 0600},
            "Permission denied: you are in its group uucp already, but its mode 0600 does not let you read and write "
            "it"},
        PermissionCase {"RootsGroupIsNoneToJoin", DeviceAccess {"root", true, false, 0600},
            "Permission denied: it belongs to the group root; ask the administrator for access to it"},
        PermissionCase {"DeviceGoneMeanwhile", std::nullopt, "Permission denied"}),
    test::CaseName {});

TEST(SerialDevices, RefusedOpenNamesTheDevicesGroup)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens any file";
    const test::TempDir dir;
    const std::string device = dir.file("ttyLocked");
    test::writeFile(device, "");
    ASSERT_EQ(chmod(device.c_str(), 0), 0);
    struct stat info { };
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    const group* owner = getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);

    PosixSerialPort port;
    EXPECT_EQ(port.open(device), PortOpenResult::OpenFailed);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastOpenFailure().device, device);
    // The test made the file, so it is in the file's group: the mode is what
    // keeps it out.
    EXPECT_EQ(port.lastOpenFailure().reason,
        std::string(std::strerror(EACCES)) + ": you are in its group " + owner->gr_name
            + " already, but its mode 0000 does not let you read and write it");
}

} // namespace
} // namespace tess::comm
