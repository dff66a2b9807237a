#include "domain/grid/DataSetCheck.h"

#include "domain/text/Texts.h"

#include "support/CaseName.h"
#include "support/TypedTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess {
namespace {

using test::TypedTable;

ParameterDef& parameter(
    TypedTable& t, int slot, const std::string& code, const std::string& range, int decimals, std::int16_t signFlag = 0)
{
    ParameterDef& def = t.record(slot, code);
    def.nameEnglish = t.keep("Name of " + code);
    def.nameJapanese = t.keep("名称 " + code);
    def.rangeText = t.keep(range);
    def.decimals = decimals;
    def.signFlag = signFlag;
    return def;
}

// The first parameters whose values the rules between rows read, in a
// consistent state: Fund.-0 = 60.0 within ±A-0 = 120.0, Fund.-1 = 50.0 at
// or above A-1 = 5.0, Fund.-2 = -50.0 at or below -A-1.
struct RuleRows {
    TypedTable table;
    ParameterSet values {};
    RuleRows()
    {
        parameter(table, 0, "Fund.-0", "-400.0/400.0", 1);
        parameter(table, 1, "Fund.-1", "0.0/400.0", 1);
        parameter(table, 2, "Fund.-2", "-400.0/0.0", 1);
        parameter(table, 11, "A-0", "30.0/1470.0", 1);
        parameter(table, 12, "A-1", "0.0/400.0", 1);
        values[0] = 600;
        values[1] = 500;
        values[2] = -500;
        values[11] = 1200;
        values[12] = 50;
    }
};

struct CheckCase {
    const char* name;
    void (*make)(RuleRows& rows); // breaks (or keeps) the data set
    // The failures as lines, in slot order.
    std::vector<std::string> lines;
};

const CheckCase CheckCases[] = {
    {"ConsistentDataSetPasses", [](RuleRows&) {}, {}},
    {"AboveASwitchRange",
        [](RuleRows& r) {
            parameter(r.table, 140, "D-9", "0/1", 0);
            r.values[140] = 8;
        },
        {"D-9 = 8, allowed 0/1"}},
    {"BelowRangeWithDecimals",
        [](RuleRows& r) {
            parameter(r.table, 30, "B-0", "0.50/10.00[Hz]", 2);
            r.values[30] = 49;
        },
        {"B-0 = 0.49, allowed 0.50/10.00[Hz]"}},
    {"RangeEndsAreAllowed",
        [](RuleRows& r) {
            parameter(r.table, 30, "B-0", "0.50/10.00", 2);
            parameter(r.table, 31, "B-1", "0.50/10.00", 2);
            r.values[30] = 50;
            r.values[31] = 1000;
        },
        {}},
    {"UnsignedWordReadAboveSignedTop",
        [](RuleRows& r) {
            parameter(r.table, 40, "C-0", "0/60000", 0, 1);
            r.values[40] = 60001;
        },
        {"C-0 = 60001, allowed 0/60000"}},
    {"SignedWordReadBelowZero",
        [](RuleRows& r) {
            parameter(r.table, 40, "C-0", "0/60000", 0, 0);
            r.values[40] = 60000; // the signed word reads -5536
        },
        {"C-0 = -5536, allowed 0/60000"}},
    {"UnreadableRangeIsNotClaimed",
        [](RuleRows& r) {
            parameter(r.table, 40, "C-0", "see manual", 0);
            r.values[40] = 9999;
        },
        {}},
    {"ReservedSlotIsNotLookedAt",
        [](RuleRows& r) {
            ParameterDef& def = parameter(r.table, 40, "C-0", "0/0", 0);
            def.nameEnglish = r.table.keep("Reserved");
            def.nameJapanese = r.table.keep("予備");
            r.values[40] = 5;
        },
        {}},
    {"CapacityWordIsNotLookedAt",
        [](RuleRows& r) {
            parameter(r.table, 40, "S-2", "0/3", 0).capacityWord = true;
            r.values[40] = 9;
        },
        {}},
    {"Fund0AboveA0", [](RuleRows& r) { r.values[0] = 1300; },
        // Both sides of the rule are told: either may be the damaged one.
        {"Fund.-0 = 130.0: " + message(TextId::MsgCellFund0AboveA0).en,
            "A-0 = 120.0: " + message(TextId::MsgCellA0BelowFund0).en}},
    {"A1NotBelowA0BreaksBothRows",
        [](RuleRows& r) {
            r.values[12] = 1200; // A-1 = A-0, and Fund.-1 below it
        },
        {"Fund.-1 = 50.0: " + message(TextId::MsgCellFund1BelowA1).en,
            "Fund.-2 = -50.0: " + message(TextId::MsgCellFund2AboveA1).en,
            "A-1 = 120.0: " + message(TextId::MsgCellA1NotBelowA0).en}},
    {"A0OutsideTheGridsFixedLimits",
        [](RuleRows& r) {
            parameter(r.table, 11, "A-0", "0.0/2000.0", 1);
            r.values[11] = 14800; // allowed by its row, not by the grid's limit of 1470.0
        },
        {"A-0 = 1480.0: " + message(TextId::MsgCellA0OutOfRange).en}},
    {"DecimalPlacesNoTextCanHave",
        [](RuleRows& r) {
            parameter(r.table, 40, "C-0", "0/9", 12);
            r.values[40] = 1;
        },
        {"C-0 = 0.000000001: " + message(TextId::MsgCellSignificantFigures).en}},
};

class CheckDataSet : public ::testing::TestWithParam<CheckCase> { };

TEST_P(CheckDataSet, ListsEveryValueItsRowWouldNotTake)
{
    RuleRows rows;
    GetParam().make(rows);
    std::vector<std::string> lines;
    for (const ValueFailure& failure : checkDataSet(rows.table.table(), rows.values, 0))
        lines.push_back(describeValueFailure(failure).en);
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckDataSet, ::testing::ValuesIn(CheckCases), test::CaseName {});

TEST(CheckDataSet, NamesTheSlotAndTheRangeApart)
{
    RuleRows rows;
    parameter(rows.table, 140, "D-9", "0/1", 0);
    rows.values[140] = 8;
    const std::vector<ValueFailure> failures = checkDataSet(rows.table.table(), rows.values, 0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].slot, 140);
    EXPECT_EQ(failures[0].fault, ValueFault::OutsideRange);
    EXPECT_EQ(failures[0].valueText, "8");
    EXPECT_EQ(failures[0].allowedText, "0/1");
    EXPECT_EQ(describeValueFailure(failures[0]).ja, "D-9 = 8、設定範囲 0/1");
}

} // namespace
} // namespace tess
