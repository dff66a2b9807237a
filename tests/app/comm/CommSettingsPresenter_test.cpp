#include "app/comm/CommSettingsPresenter.h"
#include "app/common/Workspace.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

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

TEST_F(CommSettingsPresenterTest, CaptionsFollowTheLanguage)
{
    ws.settings.language = Language::Japanese;
    const comm::CommSetCaptions ja = CommSettingsPresenter(ws, store).captions();
    EXPECT_EQ(ja.title, "通信設定");
    EXPECT_EQ(ja.portFrame, "COMﾎﾟｰﾄ設定");
    EXPECT_EQ(ja.waitLabel, "書込みｳｪｲﾄ時間設定");
    EXPECT_EQ(ja.close, "閉じる");

    ws.settings.language = Language::English;
    const comm::CommSetCaptions en = CommSettingsPresenter(ws, store).captions();
    EXPECT_EQ(en.title, "Communication Set");
    EXPECT_EQ(en.portFrame, "Comm port Set");
    EXPECT_EQ(en.waitLabel, "Writing wait time Set");
    EXPECT_EQ(en.waitUnit, "msec");
    EXPECT_EQ(en.close, "Close");
}

} // namespace
} // namespace tess
