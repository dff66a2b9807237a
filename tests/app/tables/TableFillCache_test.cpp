// A fill given again from the kept one is the fill the table files would
// make now, and is given only while those files are the ones read.
#include "app/mainwindow/DocumentGrid.h"
#include "domain/tables/TableFill.h"
#include "support/CaseName.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

namespace tess::tables {
namespace {

using test::CapacityValues;
using test::recordLine;
using test::tableBytes;

constexpr int Qm71 = 0;
constexpr int RomQm01A1 = 7; // "01-A1" of QM71

// Areas "Fund." (slots 0..3) and "A" (5..6): a record with decimal places,
// one whose sign flag is no number (a notice on every fill), the capacity
// record, a record of motor group A (decimal places from the capacity
// default file) and an unsigned one; slot 4 has no record.
std::string tableWithDefault(const std::string& firstDefault)
{
    return tableBytes({{0, {0, 3}}, {1, {5, 6}}},
        {
            recordLine({.code = "Fund.-0", .defaultText = firstDefault, .decimals = "2", .nameJa = "周波数"}),
            recordLine({.code = "Fund.-1", .defaultText = "15", .sign = "u"}),
            recordLine({.code = "S-2", .defaultText = "0"}),
            recordLine({.code = "Fund.-3", .defaultText = "-12.5", .decimals = "1"}),
            recordLine({.code = "A-0"}),
            recordLine({.code = "A-2", .defaultText = "5"}),
            recordLine({.code = "A-1", .defaultText = "3", .decimals = "1", .sign = "1"}),
        });
}

// A file written again is dated a minute on, as a later write would be: a
// rewrite of the same size within the file system's time step could keep
// the stamp it had.
void dateOn(const std::string& path)
{
    const std::filesystem::path file(path);
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::minutes(1));
}

std::string capacityWithGroupADecimals(int decimals)
{
    return test::capacityBytes({{3, CapacityValues {.decimalsA = decimals}}});
}

// What a case can change between the first fill and the second.
struct FillInputs {
    test::Installation& inst;
    TableFillRequest& request;
    ParameterSet& values;
};

struct CacheCase {
    const char* name;
    bool keepValues;
    std::function<void(FillInputs&)> change;
    bool kept; // the second fill is the kept one
};

auto defFields(const ParameterDef& d)
{
    return std::tie(d.code, d.nameJapanese, d.nameEnglish, d.rangeText, d.defaultText, d.decimals, d.significantFigures,
        d.signFlag, d.slot, d.line, d.defaultUnits, d.decimalsText, d.range400V, d.capacityWord);
}

void expectSameFill(const TableFill& got, const TableFill& made)
{
    EXPECT_EQ(got.outcome, made.outcome);
    EXPECT_EQ(got.tableRead, made.tableRead);
    EXPECT_EQ(got.notices, made.notices);
    EXPECT_EQ(got.capacityPath, made.capacityPath);
    EXPECT_EQ(got.values, made.values);
    EXPECT_EQ(got.table.path, made.table.path);
    EXPECT_EQ(got.table.substitute, made.table.substitute);
    EXPECT_EQ(got.table.areaFirst, made.table.areaFirst);
    EXPECT_EQ(got.table.areaLast, made.table.areaLast);
    EXPECT_EQ(got.table.capacityFileName, made.table.capacityFileName);
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::optional<ParameterDef>& a = got.table.def(slot);
        const std::optional<ParameterDef>& b = made.table.def(slot);
        ASSERT_EQ(a.has_value(), b.has_value()) << "slot " << slot;
        if (a) {
            EXPECT_EQ(defFields(*a), defFields(*b)) << "slot " << slot;
        }
    }
}

class TableFillCacheFills : public ::testing::TestWithParam<CacheCase> {
protected:
    TableFillCacheFills()
    {
        request.applicationFolder = inst.dir.path();
        request.tablePath = inst.writeTable(Qm71, 0, RomQm01A1, tableWithDefault("50.00"));
        capacityPath = inst.writeCapacity("MSEL_DEF.bkh", capacityWithGroupADecimals(2));
        request.identity = InverterIdentity {Qm71, 0, 3, RomQm01A1};
        request.controlModeLetter = 'S';
        request.family = ModelFamily::QM;
        values.fill(-7);
    }

    test::Installation inst;
    TableFillRequest request;
    std::string capacityPath;
    ParameterSet values {};
};

TEST_P(TableFillCacheFills, GiveWhatTheFilesMakeNow)
{
    const CacheCase& c = GetParam();
    request.keepValues = c.keepValues;
    // Taken as settled at once: the file system's time step is not what is
    // tried here.
    TableFillCache cache(std::chrono::nanoseconds(0));

    const TableFill first = cache.fill(request, values);
    ASSERT_EQ(first.outcome, FillOutcome::Done);
    // As the loader does: the next fill is given the values of this one.
    values = first.values;
    FillInputs inputs {inst, request, values};
    c.change(inputs);

    const TableFill second = cache.fill(request, values);
    const TableFill made = fillFromTable(request, values);
    ASSERT_FALSE(made.notices.empty());
    expectSameFill(second, made);
    EXPECT_EQ(second.table.defs == first.table.defs, c.kept);
}

INSTANTIATE_TEST_SUITE_P(, TableFillCacheFills,
    ::testing::Values(CacheCase {"NewAgain", false, [](FillInputs&) {}, true},
        CacheCase {"OpenAgain", true, [](FillInputs&) {}, true},
        // Values of records (signed, unsigned, the capacity record's) and of
        // a slot without one.
        CacheCase {"OpenWithOtherValues", true,
            [](FillInputs& s) {
                s.values[0] = 1234;
                s.values[2] = 99;
                s.values[4] = 5;
                s.values[6] = -1;
            },
            true},
        CacheCase {"NewWithOtherValues", false,
            [](FillInputs& s) {
                s.values[0] = 1234;
                s.values[4] = 5;
            },
            true},
        CacheCase {"TableRewritten", true,
            [](FillInputs& s) { dateOn(s.inst.writeTable(Qm71, 0, RomQm01A1, tableWithDefault("60.00"))); }, false},
        CacheCase {"CapacityFileRewritten", true,
            [](FillInputs& s) { dateOn(s.inst.writeCapacity("MSEL_DEF.bkh", capacityWithGroupADecimals(3))); }, false},
        CacheCase {"CapacityFileRemoved", false,
            [](FillInputs& s) { ASSERT_EQ(std::remove((s.inst.dir.path() + "MSEL/MSEL_DEF.bkh").c_str()), 0); }, false},
        CacheCase {"OtherCapacity", true, [](FillInputs& s) { s.request.identity.capacity = 2; }, false}),
    test::CaseName {});

// A capacity default file that was missing at the first fill and is there now.
TEST_F(TableFillCacheFills, CapacityFileThatAppearsIsRead)
{
    ASSERT_EQ(std::remove(capacityPath.c_str()), 0);
    TableFillCache cache(std::chrono::nanoseconds(0));
    const TableFill first = cache.fill(request, values);
    inst.writeCapacity("MSEL_DEF.bkh", capacityWithGroupADecimals(2));

    const TableFill second = cache.fill(request, values);
    EXPECT_NE(second.notices, first.notices);
    expectSameFill(second, fillFromTable(request, values));
}

// Files just written may change again within the file system's time step
// without a new stamp: such a fill is made again each time.
TEST_F(TableFillCacheFills, FillOfFilesJustWrittenIsNotKept)
{
    TableFillCache cache;
    const TableFill first = cache.fill(request, values);
    const TableFill second = cache.fill(request, values);
    EXPECT_NE(second.table.defs, first.table.defs);
    expectSameFill(second, first);
}

} // namespace
} // namespace tess::tables
