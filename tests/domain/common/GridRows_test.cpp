#include "domain/common/GridRows.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

namespace tess {
namespace {

GridRows filled()
{
    GridRows rows;
    rows.setRowCount(GridRowsWithTable);
    rows.setText(0, ColCode, "Code");
    rows.setText(1, ColCode, "A-0");
    rows.setText(1, ColValue, "12.5");
    rows.setText(2, ColName, "Acceleration time");
    return rows;
}

// Copies share their cells until written; whichever side writes, the other
// keeps what it had.
struct SharingCase {
    const char* name;
    std::function<void(GridRows& original, GridRows& copy)> change;
    std::function<void(const GridRows& original, const GridRows& copy)> check;
};

class GridRowsSharing : public testing::TestWithParam<SharingCase> { };

TEST_P(GridRowsSharing, EachSideKeepsItsOwnCells)
{
    GridRows original = filled();
    GridRows copy = original;
    GetParam().change(original, copy);
    GetParam().check(original, copy);
}

INSTANTIATE_TEST_SUITE_P(Grid, GridRowsSharing,
    testing::Values(SharingCase {"CopyWritten", [](GridRows&, GridRows& copy) { copy.setText(1, ColValue, "99.9"); },
                        [](const GridRows& original, const GridRows& copy) {
                            EXPECT_EQ(original.text(1, ColValue), "12.5");
                            EXPECT_EQ(copy.text(1, ColValue), "99.9");
                            EXPECT_FALSE(original.sharesColumn(copy, ColValue));
                            EXPECT_TRUE(original.sharesColumn(copy, ColCode));
                        }},
        SharingCase {"OriginalWritten", [](GridRows& original, GridRows&) { original.setText(1, ColCode, "B-0"); },
            [](const GridRows& original, const GridRows& copy) {
                EXPECT_EQ(original.text(1, ColCode), "B-0");
                EXPECT_EQ(copy.text(1, ColCode), "A-0");
            }},
        SharingCase {"CopyCleared", [](GridRows&, GridRows& copy) { copy.clearBody(); },
            [](const GridRows& original, const GridRows& copy) {
                EXPECT_EQ(original.text(2, ColName), "Acceleration time");
                EXPECT_EQ(original.rowCount(), GridRowsWithTable);
                EXPECT_EQ(copy.text(2, ColName), "");
                EXPECT_EQ(copy.text(0, ColCode), "Code");
                EXPECT_EQ(copy.rowCount(), GridRowsEmpty);
            }},
        SharingCase {"RowCopiedBeforeWrite",
            [](GridRows& original, GridRows& copy) {
                const auto row = original.row(1);
                copy.setText(1, ColCode, row[ColCode] + "x");
                original.setText(1, ColCode, "");
            },
            [](const GridRows& original, const GridRows& copy) {
                EXPECT_EQ(original.text(1, ColCode), "");
                EXPECT_EQ(copy.text(1, ColCode), "A-0x");
            }}),
    [](const testing::TestParamInfo<SharingCase>& row) { return std::string(row.param.name); });

// A grid moved from, by construction or by assignment, is a new grid: its
// cells read empty and writing them leaves the grid it moved into alone.
TEST(GridRowsMove, LeavesANewGridBehind)
{
    for (const bool assign : {false, true}) {
        SCOPED_TRACE(assign ? "assignment" : "construction");
        GridRows from = filled();
        std::optional<GridRows> to;
        if (assign)
            to.emplace() = std::move(from);
        else
            to.emplace(std::move(from));
        EXPECT_EQ(to->text(1, ColValue), "12.5");
        EXPECT_EQ(to->rowCount(), GridRowsWithTable);
        // NOLINTBEGIN(bugprone-use-after-move): the state after a move is what is tested
        EXPECT_EQ(from.text(1, ColValue), "");
        EXPECT_EQ(from.rowCount(), GridRowsEmpty);
        from.setText(1, ColValue, "1");
        // NOLINTEND(bugprone-use-after-move)
        EXPECT_EQ(to->text(1, ColValue), "12.5");
    }
}

} // namespace
} // namespace tess
