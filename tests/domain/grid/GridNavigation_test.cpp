#include "domain/grid/GridNavigation.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tess
