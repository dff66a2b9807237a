#include "app/mainwindow/DocumentGrid.h"
#include "app/tables/FileCompareCommand.h"
#include "app/tables/TableLoader.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/GridTexts.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tess::tables {
namespace {

using test::AreaTable;
using test::CapacityValues;
using test::recordLine;
using test::tableBytes;

constexpr int Qm71 = 0;
constexpr int LxRtp = 1;
constexpr std::int16_t RomQm01A1 = 7; // "01-A1" of QM71

class CompareTable : public ::testing::Test {
protected:
    // The open data set of identity with values, shown as Open shows it.
    void open(InverterIdentity identity, std::vector<std::int32_t> values)
    {
        std::copy(values.begin(), values.end(), ws.doc.values.begin());
        inst.setDataSet(identity);
        ASSERT_EQ(loadParameterTable(ws, ui, TableValues::Stored, inst.nextLoadSource()), LoadResult::Done);
        ws.doc.content = GridContent::Table;
        ui.messages.clear();
    }
    CompareResult compare(InverterIdentity identity, std::vector<std::int32_t> values)
    {
        ComparedDataSet compared;
        compared.identity = identity;
        std::copy(values.begin(), values.end(), compared.values.begin());
        // As the window does: the comparing state first, then the comparison.
        ws.doc.state.compareMode = true;
        return compareParameterTable(ws, ui, compared);
    }
    std::string cell(int slot, int col) const { return gridText(ws, slot + 1, col); }

    test::Installation inst;
    Workspace& ws = inst.ws;
    test::FakeUi ui;
};

TEST_F(CompareTable, ComparesStoredNumbersWithEachSidesDecimalPlaces)
{
    inst.writeTable(Qm71, 0, RomQm01A1,
        tableBytes({{0, {0, 4}}},
            {
                recordLine({.code = "Fund.-0", .defaultText = "1.00", .decimals = "2", .nameEn = "Frequency"}),
                recordLine({.code = "A-2", .defaultText = "1"}), // motor group A
                recordLine({.code = "S-2"}),
                recordLine({.code = "P-1", .sign = "1"}),
                recordLine({.code = "P-2", .defaultText = "1.00", .decimals = "2", .sign = "1"}),
            }));
    inst.writeCapacity("MSEL_DEF.bkh",
        test::capacityBytes({{3, CapacityValues {.decimalsA = 1}}, {4, CapacityValues {.decimalsA = 2}}}));
    open({Qm71, 0, 3, RomQm01A1}, {1234, 50, 3, 65535, 65535});
    const ParameterSet openValues = ws.doc.values;
    const std::string tablePath = ws.doc.currentTablePath;

    ASSERT_EQ(compare({Qm71, 0, 4, RomQm01A1}, {1234, 50, 4, -1, 65535}), CompareResult::Done);
    EXPECT_EQ(ui.englishTexts(), std::vector<std::string> {"Capacity does not accord."});
    struct Expect {
        int slot;
        const char* value; // column 4, the open data set's
        const char* compared; // column 5
        const char* marker; // column 6
    };
    for (const Expect& e : {
             Expect {0, "12.34", "12.34", ""},
             Expect {1, "5.0", "0.50", ""}, // each capacity's places, the same stored number
             Expect {2, "3", "4", "@"}, // the capacity indices
             Expect {3, "65535", "-1", ""}, // the sign flag does not count
             Expect {4, "655.35", "-0.01", ""},
         }) {
        SCOPED_TRACE(e.slot);
        EXPECT_EQ(cell(e.slot, ColValue), e.value);
        EXPECT_EQ(cell(e.slot, ColDecimals), e.compared);
        EXPECT_EQ(cell(e.slot, ColFigures), e.marker);
    }
    EXPECT_EQ(cell(0, ColName), "Frequency");
    EXPECT_EQ(cell(0, ColDefault), "1.00");
    ASSERT_TRUE(ws.doc.comparison);
    EXPECT_EQ(ws.doc.comparison->areaLast[0], 4);
    EXPECT_GT(ws.doc.comparison->areaFirst[1], ws.doc.comparison->areaLast[1]);
    // The open data set is left as it was.
    EXPECT_EQ(ws.doc.values, openValues);
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {Qm71, 0, 3, RomQm01A1}));
    EXPECT_EQ(ws.doc.currentTablePath, tablePath);
}

TEST_F(CompareTable, FourHundredVoltClassShowsItsRangeWithAWideTilde)
{
    inst.writeTable(LxRtp, 2, 5,
        tableBytes(
            {{0, {0, 0}}}, {recordLine({.code = "F-0", .defaultText = "340.0", .decimals = "1", .range = "R"})}));
    open({LxRtp, 2, 11, 5}, {6800});
    ASSERT_EQ(compare({LxRtp, 2, 11, 5}, {6800}), CompareResult::Done);
    EXPECT_EQ(cell(0, ColRange), "400V:640.0～720.0[V]");
    EXPECT_EQ(cell(0, ColDecimals), "680.0");
    EXPECT_EQ(cell(0, ColFigures), "");
}

// V/F mode: the records on lines 15 and 30 take group A's and B's decimal
// places; the V/F defaults play no part, so a capacity line without them
// serves.
TEST_F(CompareTable, VfModeTakesDecimalPlacesOnly)
{
    std::vector<std::string> records;
    for (int slot = 0; slot <= 28; ++slot)
        records.push_back(recordLine({.code = "X-" + std::to_string(slot)}));
    records[5] = recordLine({.code = "A-10"});
    records[13] = recordLine({.code = "Fund.-13"}); // line 15
    records[28] = recordLine({.code = "Fund.-28"}); // line 30
    inst.writeTable(Qm71, 2, RomQm01A1, tableBytes({{0, {0, 28}}}, records));
    test::writeFile(inst.dir.file("MSEL/MSEL_DEF.bkh"), "Cap,Name,C,B,D,A\r\n0,cap,0,0,0,0\r\n1,cap,1,2,3,1\r\n");
    ws.doc.identity = {Qm71, 2, 1, RomQm01A1};
    // A data set shown without records of its own in these rows.
    ws.doc.content = GridContent::Table;
    ws.doc.values[13] = 123;
    ws.doc.values[28] = 1234;

    std::vector<std::int32_t> values(29, 0);
    values[13] = 123;
    values[28] = 1235;
    ASSERT_EQ(compare({Qm71, 2, 1, RomQm01A1}, values), CompareResult::Done);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(cell(13, ColDecimals), "12.3");
    EXPECT_EQ(cell(13, ColFigures), "");
    EXPECT_EQ(cell(28, ColDecimals), "12.35");
    EXPECT_EQ(cell(28, ColFigures), "@");
}

struct FailureCase {
    const char* name;
    const char* table; // "good", "badRecord" or "none"
    bool capacityUnreadable;
    std::vector<std::string> messages; // English; "{table}" and "{capacity}" stand for the files' paths
};

class CompareFailure : public CompareTable, public ::testing::WithParamInterface<FailureCase> { };

TEST_P(CompareFailure, LeavesTheGridAsTheOpenDataSetShowedIt)
{
    const FailureCase& c = GetParam();
    inst.writeTable(
        Qm71, 0, RomQm01A1, tableBytes({{0, {0, 1}}}, {recordLine({.code = "Fund.-0"}), recordLine({.code = "A-4"})}));
    inst.writeCapacity("MSEL_DEF.bkh", test::capacityBytes({{3, CapacityValues {}}}));
    open({Qm71, 0, 3, RomQm01A1}, {1, 2});
    // A comparison shown before stays.
    ws.doc.state.compareMode = true;
    ws.doc.comparison.emplace().areaLast.fill(7);
    const auto before = test::gridTexts(ws);

    const std::string path = inst.tablePath(Qm71, 0, RomQm01A1);
    if (std::string(c.table) == "badRecord")
        test::writeFile(path,
            tableBytes({{0, {0, 1}}}, {recordLine({.code = "Fund.-0"}), recordLine({.code = "A-4", .decimals = "x"})}));
    else if (std::string(c.table) == "none")
        std::remove(path.c_str());
    if (c.capacityUnreadable) {
        std::remove(inst.dir.file("MSEL/MSEL_DEF.bkh").c_str());
        test::writeFile(inst.dir.file("MSEL/MSEL_DEF.bkh/inside"), "a folder where the file should be");
    }

    EXPECT_EQ(compare({Qm71, 0, 3, RomQm01A1}, {5, 6}), CompareResult::Failed);
    std::vector<std::string> expected;
    for (std::string m : c.messages) {
        for (const auto& [mark, file] :
            {std::pair<std::string, std::string> {"{table}", path}, {"{capacity}", inst.dir.file("MSEL/MSEL_DEF.bkh")}})
            if (const auto at = m.find(mark); at != std::string::npos)
                m.replace(at, mark.size(), file);
        expected.push_back(m);
    }
    EXPECT_EQ(ui.englishTexts(), expected);
    for (int row = 0; row < GridRowsWithTable; ++row)
        ASSERT_EQ(test::gridRowTexts(ws, row), before[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(ws.doc.comparison->areaLast[0], 7);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareFailure,
    ::testing::Values(FailureCase {"FieldThatIsNoNumber", "badRecord", false, {"Area:0No.:1\n{table}, line 4"}},
        FailureCase {"UnreadableCapacityFile", "good", true, {"Please close CSV files.\n{capacity}: is a folder"}},
        FailureCase {"NoTable", "none", false,
            {"File is not found.\nPlease parameter-file updata.\n{table} does not exist",
                "Not support Version.Indicating a setting value only."}}),
    test::CaseName {});

} // namespace
} // namespace tess::tables
