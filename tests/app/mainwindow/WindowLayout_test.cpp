#include "app/mainwindow/WindowLayout.h"
#include "domain/settings/UserStore.h"

#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <vector>

namespace tess {
namespace {

struct ScreenCase {
    const char* name;
    ScreenRect window;
    std::vector<ScreenRect> screens;
    ScreenRect expected;
};

class KeepOnScreen : public ::testing::TestWithParam<ScreenCase> { };

TEST_P(KeepOnScreen, PutsTheWindowWhereItCanBeSeen)
{
    EXPECT_EQ(keepOnScreen(GetParam().window, GetParam().screens), GetParam().expected);
}

const ScreenRect Primary {0, 0, 1920, 1050};
const ScreenRect RightOfIt {1920, 0, 1280, 1000};

INSTANTIATE_TEST_SUITE_P(WindowLayout, KeepOnScreen,
    ::testing::Values(ScreenCase {"InsideStaysAsItIs", {100, 80, 870, 640}, {Primary}, {100, 80, 870, 640}},
        ScreenCase {"OnTheSecondScreenStaysThere", {2000, 100, 870, 640}, {Primary, RightOfIt}, {2000, 100, 870, 640}},
        ScreenCase {"HangingOverTheEdgeMovesIn", {1500, 900, 870, 640}, {Primary}, {1050, 410, 870, 640}},
        ScreenCase {"AboveOrLeftOfTheScreenMovesIn", {-300, -50, 870, 640}, {Primary}, {0, 0, 870, 640}},
        ScreenCase {
            "MostlyOnTheSecondGoesWhollyOntoIt", {1800, 100, 870, 640}, {Primary, RightOfIt}, {1920, 100, 870, 640}},
        ScreenCase {"OnAScreenUnpluggedSinceGoesToThePrimary", {3500, 200, 870, 640}, {Primary}, {1050, 200, 870, 640}},
        ScreenCase {"LargerThanTheScreenShrinksToIt", {-10, -10, 2500, 1400}, {Primary}, {0, 0, 1920, 1050}},
        ScreenCase {"WithoutScreensNothingChanges", {5000, 5000, 870, 640}, {}, {5000, 5000, 870, 640}}),
    test::CaseName {});

TEST(WindowLayout, WrittenAndReadBackThroughTheStoreFile)
{
    test::TempDir dir;
    WindowLayout layout;
    layout.geometry = ScreenRect {-20, 35, 1000, 700};
    layout.maximized = true;
    layout.rangeColumnWidth = 300;
    {
        FileUserStore store(dir.file("user.conf"));
        store.writeInteger(UserValueNameColumnWidth, 250); // from an earlier run: emptied
        writeWindowLayout(store, layout);
    }
    FileUserStore nextRun(dir.file("user.conf"));
    EXPECT_EQ(readWindowLayout(nextRun), layout);
    EXPECT_EQ(nextRun.readString(UserValueWindowGeometry), "-20,35,1000,700");
}

struct DamagedCase {
    const char* name;
    const char* geometry;
    const char* width;
};

class DamagedLayout : public ::testing::TestWithParam<DamagedCase> { };

TEST_P(DamagedLayout, CountsAsAbsent)
{
    MemoryUserStore store;
    store.writeString(UserValueWindowGeometry, GetParam().geometry);
    store.writeString(UserValueRangeColumnWidth, GetParam().width);
    store.writeString(UserValueWindowMaximized, "yes");
    EXPECT_EQ(readWindowLayout(store), WindowLayout {});
}

INSTANTIATE_TEST_SUITE_P(WindowLayout, DamagedLayout,
    ::testing::Values(DamagedCase {"Empty", "", ""}, DamagedCase {"ThreeNumbers", "1,2,300", "abc"},
        DamagedCase {"FiveNumbers", "1,2,300,400,5", "-5"}, DamagedCase {"NotANumber", "1,2,wide,400", "0"},
        DamagedCase {"TooSmall", "1,2,30,400", "5"}, DamagedCase {"Huge", "1,2,300,4000000", "99999999"},
        DamagedCase {"TrailingComma", "1,2,300,400,", "+40"}),
    test::CaseName {});

TEST(WindowLayout, OnlyWidthsTheUserChangedAreKept)
{
    struct {
        const char* name;
        Language language;
        int nameWidth;
        int rangeWidth;
        std::optional<int> keptName;
        std::optional<int> keptRange;
    } const cases[] = {
        {"StartWidthsJapanese", Language::Japanese, 222, 222, std::nullopt, std::nullopt},
        {"StartWidthsEnglish", Language::English, 148, 222, std::nullopt, std::nullopt},
        {"JapaneseNameWidthInEnglishIsTheUsers", Language::English, 222, 222, 222, std::nullopt},
        {"WidenedRange", Language::Japanese, 222, 300, std::nullopt, 300},
        {"NarrowedName", Language::English, 100, 222, 100, std::nullopt},
    };
    for (const auto& c : cases) {
        WindowLayout layout;
        layout.nameColumnWidth = layout.rangeColumnWidth = 1;
        keepColumnWidths(layout, c.nameWidth, c.rangeWidth, c.language);
        EXPECT_EQ(layout.nameColumnWidth, c.keptName) << c.name;
        EXPECT_EQ(layout.rangeColumnWidth, c.keptRange) << c.name;
    }
}

} // namespace
} // namespace tess
