#include "cli/TextTable.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tess::cli {
namespace {

struct WidthCase {
    const char* name;
    std::string text;
    int width;
};

class DisplayWidth : public ::testing::TestWithParam<WidthCase> { };

TEST_P(DisplayWidth, CountsTerminalColumns)
{
    EXPECT_EQ(displayWidth(GetParam().text), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(Cases, DisplayWidth,
    ::testing::Values(WidthCase {"Ascii", "Fund.-0", 7}, WidthCase {"Empty", "", 0},
        WidthCase {"KanjiAndKana", "正転上限周波数", 14}, WidthCase {"HalfWidthKatakana", "ﾀｲﾄﾙ", 4},
        WidthCase {"FullWidthColon", "機種：", 6}, WidthCase {"Mixed", "加速時間1", 9},
        WidthCase {"IdeographicSpace", "\u3000", 2}, WidthCase {"InvalidBytesCountOneEach", "\xff\x81", 2},
        WidthCase {"TruncatedSequence", "\xe6\xad", 2}),
    test::CaseName {});

TEST(TextTable, AlignsColumnsByDisplayWidth)
{
    std::ostringstream out;
    writeAligned(out, {{"Fund.-0", "正転上限周波数", "60.00"}, {"A-0", "Max", "1"}});
    EXPECT_EQ(out.str(),
        "Fund.-0  正転上限周波数  60.00\n"
        "A-0      Max             1\n");
}

TEST(TextTable, LeavesNoTrailingSpaceForEmptyLastCells)
{
    std::ostringstream out;
    writeAligned(out, {{"a", "b"}, {"long", ""}});
    EXPECT_EQ(out.str(), "a     b\nlong\n");
}

TEST(TextTable, TabSeparatedRowsStayOneLineEach)
{
    std::ostringstream out;
    writeTabSeparated(out, {{"A-0", "two\tparts", "line\r\nend"}, {"", "x", ""}});
    EXPECT_EQ(out.str(), "A-0\ttwo parts\tline  end\n\tx\t\n");
}

} // namespace
} // namespace tess::cli
