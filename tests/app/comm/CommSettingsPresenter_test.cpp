#include "app/comm/CommSettingsPresenter.h"
#include "app/common/Workspace.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tess {
namespace {

using comm::CommSettingsPresenter;

// A store that remembers every write, and can refuse them.
class RecordingStore : public UserStore {
public:
    std::string readString(std::string_view name) override { return m_values.readString(name); }
    bool writeString(std::string_view name, std::string_view value) override
    {
        writes.emplace_back(std::string(name), std::string(value));
        return !refuse && m_values.writeString(name, value);
    }

    std::vector<std::pair<std::string, std::string>> writes;
    bool refuse = false;

private:
    MemoryUserStore m_values;
};

class CommSettingsPresenterTest : public ::testing::Test {
protected:
    // The dialog opened with a port stored, as the main window would have
    // read it at start-up.
    void storePort(const std::string& port)
    {
        store.writeString(UserValueCom, port);
        store.writes.clear();
        ws.settings.portName = port;
    }

    Workspace ws;
    RecordingStore store;
};

// A machine with one on-board port, one USB adapter known also by its
// by-id link, and COM3 pointed at the adapter through the environment.
class DeviceChoiceTest : public CommSettingsPresenterTest {
protected:
    CommSettingsPresenter open() { return CommSettingsPresenter(ws, store, machine); }

    std::map<std::string, std::string> environment {{"TESSALINE_COM3", "/dev/ttyUSB0"}};
    comm::DeviceLookup machine {
        [this](const char* name) -> const char* {
            const auto it = environment.find(name);
            return it == environment.end() ? nullptr : it->second.c_str();
        },
        [] {
            return std::vector<comm::SerialDevice> {
                {"/dev/ttyS0", ""}, {"/dev/ttyUSB0", ""}, {"/dev/serial/by-id/usb-FTDI-port0", "/dev/ttyUSB0"}};
        },
    };
};

TEST_F(CommSettingsPresenterTest, PortListHoldsCom1ToCom255InOrder)
{
    const CommSettingsPresenter dialog(ws, store);
    const auto& items = dialog.portItems();
    ASSERT_EQ(items.size(), 255u);
    for (std::size_t i = 0; i < items.size(); ++i)
        ASSERT_EQ(items[i], "COM" + std::to_string(i + 1));
}

struct StoredCase {
    const char* name;
    const char* stored;
    int item;
};

class StoredPortTest : public CommSettingsPresenterTest, public ::testing::WithParamInterface<StoredCase> { };

TEST_P(StoredPortTest, OpeningSelectsTheStoredPortOrTheFirst)
{
    storePort(GetParam().stored);
    const CommSettingsPresenter dialog(ws, store);
    EXPECT_EQ(dialog.selectedPort(), GetParam().item);
    EXPECT_TRUE(store.writes.empty());
}

INSTANTIATE_TEST_SUITE_P(CommSettingsPresenter, StoredPortTest,
    ::testing::Values(StoredCase {"Com3", "COM3", 2}, StoredCase {"Com1", "COM1", 0},
        StoredCase {"Com255", "COM255", 254}, StoredCase {"NothingStored", "", 0},
        StoredCase {"LetterForNumber", "COMX", 0}, StoredCase {"Zero", "COM0", 0},
        StoredCase {"PastTheList", "COM256", 0}, StoredCase {"LowerCasePrefix", "com3", 0},
        StoredCase {"PrefixOnly", "COM", 0}, StoredCase {"LeadingZero", "COM03", 0}, StoredCase {"Sign", "COM+3", 0},
        StoredCase {"TrailingSpace", "COM3 ", 0}, StoredCase {"DeviceName", "/dev/ttyS0", 0},
        StoredCase {"NumberTooLongForInt", "COM99999999999999999999", 0}),
    test::CaseName());

struct TypedCase {
    const char* name;
    const char* typed;
    int item;
};

class TypedPortTest : public ::testing::TestWithParam<TypedCase> { };

TEST_P(TypedPortTest, TypedTextNamesAnItemOrNone)
{
    EXPECT_EQ(comm::portIndexOfTyped(GetParam().typed), GetParam().item);
}

INSTANTIATE_TEST_SUITE_P(CommSettingsPresenter, TypedPortTest,
    ::testing::Values(TypedCase {"ItemText", "COM5", 4}, TypedCase {"LowerCaseAndSpaces", " com5 ", 4},
        TypedCase {"Empty", "", -1}, TypedCase {"PrefixOnly", "COM", -1}, TypedCase {"LeadingZero", "COM05", -1},
        TypedCase {"PastTheList", "COM256", -1}, TypedCase {"OtherName", "PORT5", -1}),
    test::CaseName());

TEST_F(CommSettingsPresenterTest, OpeningStartsTheWaitAtTheCurrentWriteWait)
{
    ws.settings.writeWaitMs = 150;
    CommSettingsPresenter dialog(ws, store);
    EXPECT_EQ(dialog.writeWaitMs(), 150);
    dialog.setWriteWaitMs(119);
    EXPECT_EQ(dialog.writeWaitMs(), 120);
    dialog.setWriteWaitMs(1001);
    EXPECT_EQ(dialog.writeWaitMs(), 1000);
}

TEST_F(CommSettingsPresenterTest, CloseTakesThePortAndTheWaitAndStoresOnlyThePort)
{
    storePort("COM3");
    CommSettingsPresenter dialog(ws, store);
    dialog.selectPort(4);
    dialog.setWriteWaitMs(300);
    EXPECT_TRUE(dialog.close());

    EXPECT_EQ(ws.settings.portName, "COM5");
    EXPECT_EQ(ws.settings.writeWaitMs, 300);
    using Write = std::pair<std::string, std::string>;
    EXPECT_EQ(store.writes, std::vector<Write> {Write("COM", "COM5")});
}

TEST_F(CommSettingsPresenterTest, ClosingByTheTitleBarTakesNeitherSetting)
{
    storePort("COM3");
    {
        CommSettingsPresenter dialog(ws, store);
        dialog.selectPort(4);
        dialog.setWriteWaitMs(300);
    }
    EXPECT_EQ(ws.settings.portName, "COM3");
    EXPECT_EQ(ws.settings.writeWaitMs, 150);
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(CommSettingsPresenterTest, CloseWithNoItemShownKeepsThePortButTakesTheWait)
{
    storePort("COM3");
    CommSettingsPresenter dialog(ws, store);
    dialog.selectPort(comm::portIndexOfTyped("COM999"));
    dialog.setWriteWaitMs(500);
    dialog.close();

    EXPECT_EQ(ws.settings.portName, "COM3");
    EXPECT_EQ(ws.settings.writeWaitMs, 500);
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(CommSettingsPresenterTest, PortIsTakenForThisRunWhenTheStoreRefusesIt)
{
    store.refuse = true;
    CommSettingsPresenter dialog(ws, store);
    dialog.selectPort(1);
    EXPECT_FALSE(dialog.close());
    EXPECT_EQ(ws.settings.portName, "COM2");
}

struct PortDeviceCase {
    const char* name;
    int port;
    bool environmentSet;
    const char* device;
};

class PortDeviceTest : public DeviceChoiceTest, public ::testing::WithParamInterface<PortDeviceCase> { };

TEST_P(PortDeviceTest, ShowsTheDeviceTheComOpensHere)
{
    if (!GetParam().environmentSet)
        environment.clear();
    CommSettingsPresenter dialog = open();
    dialog.selectPort(GetParam().port);
    EXPECT_EQ(dialog.portDevice(), GetParam().device);
}

// What a COMk opens differs by system: on Linux the kernel's ttyS{k-1} or
// the device the environment names; on Windows the device \\.\COMk, the
// environment playing no part.
std::vector<PortDeviceCase> portDeviceCases()
{
#ifdef _WIN32
    return {{"OnBoardPort", 1, true, "→ \\\\.\\COM2"}, {"EnvironmentPlaysNoPart", 2, true, "→ \\\\.\\COM3"},
        {"EnvironmentUnset", 2, false, "→ \\\\.\\COM3"}, {"LastPort", 254, true, "→ \\\\.\\COM255"},
        {"NoItemShown", -1, true, ""}};
#else
    return {{"OnBoardPort", 1, true, "→ /dev/ttyS1"}, {"NamedByTheEnvironment", 2, true, "→ /dev/ttyUSB0"},
        {"EnvironmentUnset", 2, false, "→ /dev/ttyS2"}, {"LastPort", 254, true, "→ /dev/ttyS254"},
        {"NoItemShown", -1, true, ""}};
#endif
}

INSTANTIATE_TEST_SUITE_P(
    CommSettingsPresenter, PortDeviceTest, ::testing::ValuesIn(portDeviceCases()), test::CaseName());

TEST_F(DeviceChoiceTest, DeviceListOffersTheDevicesPresentAfterTheCom)
{
    const CommSettingsPresenter dialog = open();
    EXPECT_EQ(dialog.deviceItems(),
        (std::vector<std::string> {
            "(COM port)", "/dev/ttyS0", "/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI-port0 → /dev/ttyUSB0"}));
    EXPECT_EQ(dialog.selectedDevice(), 0);
}

struct PickCase {
    const char* name;
    int device; // picked first
    std::optional<int> portAfter; // then a COM item chosen
    std::optional<int> deviceAfter; // or another device item
    const char* stored;
};

class DevicePickTest : public DeviceChoiceTest, public ::testing::WithParamInterface<PickCase> { };

TEST_P(DevicePickTest, CloseStoresThePortLastChosen)
{
    storePort("COM3");
    CommSettingsPresenter dialog = open();
    dialog.selectDevice(GetParam().device);
    if (GetParam().portAfter)
        dialog.selectPort(*GetParam().portAfter);
    if (GetParam().deviceAfter)
        dialog.selectDevice(*GetParam().deviceAfter);
    EXPECT_TRUE(dialog.close());

    EXPECT_EQ(ws.settings.portName, GetParam().stored);
    using Write = std::pair<std::string, std::string>;
    EXPECT_EQ(store.writes, std::vector<Write> {Write("COM", GetParam().stored)});
}

INSTANTIATE_TEST_SUITE_P(CommSettingsPresenter, DevicePickTest,
    ::testing::Values(PickCase {"DeviceByItsPath", 2, std::nullopt, std::nullopt, "/dev/ttyUSB0"},
        PickCase {"LinkByItsPath", 3, std::nullopt, std::nullopt, "/dev/serial/by-id/usb-FTDI-port0"},
        PickCase {"OtherComChosenAfter", 2, 4, std::nullopt, "COM5"},
        PickCase {"SameComChosenAgain", 2, 2, std::nullopt, "COM3"},
        PickCase {"NoDeviceItemPickedAfter", 2, std::nullopt, 0, "COM3"},
        PickCase {"OtherDevicePickedAfter", 2, std::nullopt, 1, "/dev/ttyS0"}),
    test::CaseName());

struct StoredDeviceCase {
    const char* name;
    std::vector<comm::SerialDevice> present;
    const char* stored;
    int device;
    const char* item;
};

class StoredDeviceTest : public DeviceChoiceTest, public ::testing::WithParamInterface<StoredDeviceCase> { };

TEST_P(StoredDeviceTest, ReopeningShowsTheStoredDeviceAndKeepsIt)
{
    machine.list = [] { return GetParam().present; };
    storePort(GetParam().stored);
    CommSettingsPresenter dialog = open();
    EXPECT_EQ(dialog.selectedPort(), 0);
    ASSERT_EQ(dialog.selectedDevice(), GetParam().device);
    EXPECT_EQ(dialog.deviceItems().at(static_cast<std::size_t>(GetParam().device)), GetParam().item);

    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(ws.settings.portName, GetParam().stored);
    EXPECT_EQ(store.readString(UserValueCom), GetParam().stored);
}

// A device is stored by the name the system gives it: a path on Linux, a
// device name on Windows (a port such as com0com's CNCA0, which no COMk
// reaches).
std::vector<StoredDeviceCase> storedDeviceCases()
{
#ifdef _WIN32
    const std::vector<comm::SerialDevice> present {{"COM1", ""}, {"\\\\.\\CNCA0", "com0com - serial port emulator"}};
    return {{"Present", present, "\\\\.\\CNCA0", 2, "\\\\.\\CNCA0 → com0com - serial port emulator"},
        {"AbsentNowMarkedSo", present, "\\\\.\\CNCA5", 3, "\\\\.\\CNCA5 (absent)"}};
#else
    const std::vector<comm::SerialDevice> present {
        {"/dev/ttyS0", ""}, {"/dev/ttyUSB0", ""}, {"/dev/serial/by-id/usb-FTDI-port0", "/dev/ttyUSB0"}};
    return {{"Present", present, "/dev/ttyUSB0", 2, "/dev/ttyUSB0"},
        {"PresentLink", present, "/dev/serial/by-id/usb-FTDI-port0", 3,
            "/dev/serial/by-id/usb-FTDI-port0 → /dev/ttyUSB0"},
        {"AbsentNowMarkedSo", present, "/dev/ttyUSB5", 4, "/dev/ttyUSB5 (absent)"}};
#endif
}

INSTANTIATE_TEST_SUITE_P(
    CommSettingsPresenter, StoredDeviceTest, ::testing::ValuesIn(storedDeviceCases()), test::CaseName());

TEST_F(CommSettingsPresenterTest, CaptionsFollowTheLanguage)
{
    ws.settings.language = Language::Japanese;
    const comm::CommSetCaptions ja = CommSettingsPresenter(ws, store).captions();
    EXPECT_EQ(ja.title, "通信設定");
    EXPECT_EQ(ja.portFrame, "COMﾎﾟｰﾄ設定");
    EXPECT_EQ(ja.waitLabel, "書込みｳｪｲﾄ時間設定");
    EXPECT_EQ(ja.close, "閉じる");
    EXPECT_EQ(ja.deviceLabel, "ﾃﾞﾊﾞｲｽ");

    ws.settings.language = Language::English;
    const comm::CommSetCaptions en = CommSettingsPresenter(ws, store).captions();
    EXPECT_EQ(en.title, "Communication Set");
    EXPECT_EQ(en.portFrame, "Comm port Set");
    EXPECT_EQ(en.waitLabel, "Writing wait time Set");
    EXPECT_EQ(en.waitUnit, "msec");
    EXPECT_EQ(en.close, "Close");
    EXPECT_EQ(en.deviceLabel, "Device");
}

} // namespace
} // namespace tess
