#include "domain/grid/GridNavigation.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <vector>

namespace tess {
namespace {

// Area a starts at slot 10a (row 10a + 1), except that "A" starts late, as
// tables with blank rows between areas do: rows 1, 21, 31, ..., 151.
constexpr AreaStarts Starts {0, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160};

struct JumpCase {
    const char* name;
    bool forward;
    int topRow;
    std::optional<int> newTop;
};

class AreaJump : public ::testing::TestWithParam<JumpCase> { };

TEST_P(AreaJump, MovesTheTopRow)
{
    const JumpCase& c = GetParam();
    EXPECT_EQ(c.forward ? nextAreaTop(Starts, c.topRow) : previousAreaTop(Starts, c.topRow), c.newTop);
}

INSTANTIATE_TEST_SUITE_P(GridNavigation, AreaJump,
    ::testing::Values(JumpCase {"BackAtRowOneStays", false, 1, std::nullopt},
        JumpCase {"BackInsideFundGoesToRowOne", false, 7, 1}, JumpCase {"BackFromAStartGoesToRowOne", false, 21, 1},
        JumpCase {"BackInsideAreaGoesToItsStart", false, 35, 31},
        JumpCase {"BackFromAreaStartGoesToAreaBefore", false, 41, 31}, JumpCase {"BackFromLastStart", false, 161, 151},
        JumpCase {"BackInsideLastArea", false, 170, 161}, JumpCase {"OnFromRowOne", true, 1, 21},
        JumpCase {"OnFromAreaStart", true, 21, 31}, JumpCase {"OnFromInsideN", true, 135, 141},
        JumpCase {"OnFromInsideO", true, 145, 151}, JumpCase {"OnFromLastStartStays", true, 161, std::nullopt},
        JumpCase {"OnInsideLastAreaStays", true, 170, std::nullopt}),
    test::CaseName {});

// A filtered grid: some rows of "Fund." (1 to 5), of "A" (25), of "B" (33,
// 36), of "D" (55) and of "S" (161, 170); "C" shows none.
constexpr int Shown[] = {1, 2, 3, 4, 5, 25, 33, 36, 55, 161, 170};

struct ShownJumpCase {
    const char* name;
    bool forward;
    std::size_t topPosition;
    std::optional<std::size_t> newTop;
};

class ShownAreaJump : public ::testing::TestWithParam<ShownJumpCase> { };

TEST_P(ShownAreaJump, MovesToTheAreaStartShown)
{
    const ShownJumpCase& c = GetParam();
    EXPECT_EQ(c.forward ? nextAreaTop(Starts, Shown, c.topPosition) : previousAreaTop(Starts, Shown, c.topPosition),
        c.newTop);
}

INSTANTIATE_TEST_SUITE_P(GridNavigation, ShownAreaJump,
    ::testing::Values(ShownJumpCase {"OnFromFundToTheRowOfA", true, 0, 5}, ShownJumpCase {"OnFromAToB", true, 5, 6},
        ShownJumpCase {"OnPassesAnAreaWithoutRows", true, 6, 8},
        ShownJumpCase {"OnInsideTheLastAreaStays", true, 9, std::nullopt},
        ShownJumpCase {"BackInsideAreaGoesToItsFirstRowShown", false, 7, 6},
        ShownJumpCase {"BackFromTheFirstRowShownGoesToTheAreaBefore", false, 6, 5},
        ShownJumpCase {"BackPassesAnAreaWithoutRows", false, 8, 6}, ShownJumpCase {"BackFromAToRowOne", false, 5, 0},
        ShownJumpCase {"BackAtTheTopStays", false, 0, std::nullopt}),
    test::CaseName {});

TEST(GridNavigation, WithEveryRowShownTheJumpsAreTheGridRowsOwn)
{
    std::vector<int> every;
    for (int row = 1; row <= SlotCount; ++row)
        every.push_back(row);
    for (int top = 1; top <= SlotCount; ++top) {
        const auto position = static_cast<std::size_t>(top - 1);
        const auto row = [&](std::optional<std::size_t> p) { return p ? std::optional<int>(every[*p]) : std::nullopt; };
        EXPECT_EQ(row(nextAreaTop(Starts, every, position)), nextAreaTop(Starts, top)) << top;
        EXPECT_EQ(row(previousAreaTop(Starts, every, position)), previousAreaTop(Starts, top)) << top;
    }
}

} // namespace
} // namespace tess
