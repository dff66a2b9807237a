#include "app/mainwindow/DocumentGrid.h"
#include "app/tables/TableLoader.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/GridTexts.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess::tables {
namespace {

using test::AreaTable;
using test::CapacityValues;
using test::Record;
using test::recordLine;
using test::tableBytes;

constexpr int Qm71 = 0;
constexpr int LxRtp = 1;
constexpr int RomQm01A1 = 7; // "01-A1" of QM71

class LoadTable : public ::testing::Test {
protected:
    LoadTable()
    {
        ws.doc.values.fill(-7);
        // The window lays out the table's rows once a load has made them.
        ws.doc.content = GridContent::Table;
    }

    LoadResult load(TableValues values) { return loadParameterTable(ws, ui, values, inst.nextLoadSource()); }
    std::string cell(int slot, int col) const { return gridText(ws, slot + 1, col); }
    std::vector<std::string> rowOf(int slot) const
    {
        const auto& row = test::gridRowTexts(ws, slot + 1);
        return {row.begin(), row.end()};
    }
    int filledRows() const
    {
        int n = 0;
        for (int slot = 0; slot < SlotCount; ++slot)
            n += cell(slot, ColCode).empty() ? 0 : 1;
        return n;
    }

    test::Installation inst;
    Workspace& ws = inst.ws;
    test::FakeUi ui;
};

// A QM71 sensorless table with areas "Fund." (slots 0..3) and "A" (5..6).
std::string basicTable()
{
    return tableBytes({{0, {0, 3}}, {1, {5, 6}}},
        {
            recordLine({.code = "Fund.-0",
                .defaultText = "50.00",
                .decimals = "2",
                .nameJa = "周波数",
                .nameEn = "Frequency",
                .range = "0.00/400.00",
                .figures = "05"}),
            recordLine({.code = "Fund.-1", .defaultText = "1.5", .decimals = "0"}),
            recordLine({.code = "S-2", .defaultText = "0"}),
            recordLine({.code = "Fund.-3", .defaultText = "-12.5", .decimals = "1"}),
            recordLine({.code = "A-0", .defaultText = "7"}),
            recordLine({.code = "A-1", .defaultText = "3", .decimals = "1"}),
        });
}

TEST_F(LoadTable, NewDataSetShowsAndStoresTheDefaults)
{
    const std::string path = inst.writeTable(Qm71, 0, RomQm01A1, basicTable());
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});

    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(gridRowCount(gridSource(ws)), GridRowsWithTable);
    EXPECT_EQ(rowOf(0), (std::vector<std::string> {"Fund.-0", "Frequency", "0.00/400.00", "50.00", "50.00", "2", "5"}));
    EXPECT_EQ(ws.doc.values[0], 5000);
    // With no decimal places the point of a default is dropped: 1.5 is 15.
    EXPECT_EQ(cell(1, ColDefault), "15");
    EXPECT_EQ(ws.doc.values[1], 15);
    // "S-2" shows and stores the capacity index.
    EXPECT_EQ(cell(2, ColDefault), "3");
    EXPECT_EQ(cell(2, ColValue), "3");
    EXPECT_EQ(ws.doc.values[2], 3);
    EXPECT_EQ(ws.doc.values[3], -125);
    EXPECT_EQ(cell(6, ColValue), "3.0");
    EXPECT_EQ(ws.doc.values[6], 30);
    // A slot between two areas belongs to no parameter.
    EXPECT_EQ(cell(4, ColCode), "");
    EXPECT_EQ(ws.doc.values[4], -7);

    const ParameterTable& table = ws.doc.table;
    EXPECT_EQ(table.path, path);
    EXPECT_FALSE(table.substitute);
    EXPECT_EQ(table.capacityFileName, "MSEL_DEF.bkh");
    EXPECT_EQ(table.areaFirst[1], 5);
    EXPECT_EQ(table.areaLast[1], 6);
    EXPECT_GT(table.areaFirst[2], table.areaLast[2]);
    ASSERT_TRUE(table.def(5).has_value());
    EXPECT_EQ(table.def(5)->code, "A-0");
    EXPECT_EQ(table.def(5)->line, 6);
    EXPECT_EQ(table.def(0)->decimals, 2);
    EXPECT_EQ(table.def(0)->nameJapanese, "周波数");
    EXPECT_FALSE(table.def(4).has_value());
}

TEST_F(LoadTable, LanguageSwitchReloadShowsJapaneseNamesAndKeepsValues)
{
    inst.writeTable(Qm71, 0, RomQm01A1, basicTable());
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});
    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    ws.doc.values[0] = 1234;

    ws.settings.language = Language::Japanese;
    ASSERT_EQ(load(TableValues::Stored), LoadResult::Done);
    EXPECT_EQ(cell(0, ColName), "周波数");
    EXPECT_EQ(cell(0, ColValue), "12.34");
    EXPECT_EQ(ws.doc.values[0], 1234);
}

TEST_F(LoadTable, StoredValuesAreReadAsSixteenBitsBySignFlag)
{
    inst.writeTable(Qm71, 0, RomQm01A1,
        tableBytes({{0, {0, 5}}},
            {
                recordLine({.code = "Fund.-0", .sign = "0"}),
                recordLine({.code = "Fund.-1", .sign = "1"}),
                recordLine({.code = "Fund.-2", .decimals = "2", .sign = "0"}),
                recordLine({.code = "Fund.-3", .decimals = "2", .sign = "1"}),
                recordLine({.code = "Fund.-4", .sign = "0"}),
                // A flag whose low 16 bits are 0 is still "unsigned".
                recordLine({.code = "Fund.-5", .sign = "65536"}),
            }));
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});
    ws.doc.values = {65535, 65535, 65535, 65535, 0x10005, -1};

    ASSERT_EQ(load(TableValues::Stored), LoadResult::Done);
    EXPECT_EQ(cell(0, ColValue), "-1");
    EXPECT_EQ(cell(1, ColValue), "65535");
    EXPECT_EQ(cell(2, ColValue), "-0.01");
    EXPECT_EQ(cell(3, ColValue), "655.35");
    EXPECT_EQ(cell(4, ColValue), "5");
    EXPECT_EQ(cell(5, ColValue), "65535");
    EXPECT_EQ(ws.doc.values[4], 0x10005);
}

TEST_F(LoadTable, SignFlagThatIsNoIntegerShowsTheLineAndKeepsThePreviousFlag)
{
    const std::string badLine = recordLine({.code = "Fund.-1", .sign = "u"});
    inst.writeTable(
        Qm71, 0, RomQm01A1, tableBytes({{0, {0, 2}}}, {recordLine({.code = "Fund.-0", .sign = "1"}), badLine}));
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});
    ws.doc.values.fill(65535);

    ASSERT_EQ(load(TableValues::Stored), LoadResult::Done);
    // Line 3 also carries the (empty) area table entry of area 1.
    EXPECT_EQ(ui.englishTexts(), std::vector<std::string> {badLine + ",1,0"});
    EXPECT_EQ(cell(1, ColValue), "65535");
    EXPECT_EQ(cell(2, ColCode), "-");
}

TEST_F(LoadTable, SignFlagMessageOfAMegabyteLineIsShortened)
{
    const std::string hugeSign(2'000'000, 'z');
    inst.writeTable(Qm71, 0, RomQm01A1, tableBytes({{0, {0, 0}}}, {recordLine({.code = "Fund.-0", .sign = hugeSign})}));
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});

    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string& shown = ui.messages[0].text.en;
    EXPECT_LE(shown.size(), 403u);
    EXPECT_EQ(shown.substr(0, 8), "Fund.-0,");
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
}

TEST_F(LoadTable, MegabyteNameIsShownWhole)
{
    const std::string hugeName(1'000'000, 'n');
    inst.writeTable(
        Qm71, 0, RomQm01A1, tableBytes({{0, {0, 0}}}, {recordLine({.code = "Fund.-0", .nameEn = hugeName})}));
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});

    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_EQ(cell(0, ColName), hugeName);
}

// ---- motor groups outside V/F mode

struct GroupCase {
    const char* name;
    int model;
    int controlMode;
    int rom;
    const char* code;
    const char* decimalsShown;
    const char* defaultShown;
};

class MotorGroups : public LoadTable, public ::testing::WithParamInterface<GroupCase> { };

TEST_P(MotorGroups, TakeDecimalPlacesFromTheCapacityFile)
{
    const GroupCase& c = GetParam();
    inst.writeTable(c.model, c.controlMode, c.rom,
        tableBytes({{0, {0, 0}}}, {recordLine({.code = c.code, .defaultText = "2", .decimals = "0"})}));
    inst.writeCapacity("MSEL_DEF.bkh",
        test::capacityBytes({{3, CapacityValues {.decimalsC = 1, .decimalsB = 2, .decimalsD = 3, .decimalsA = 4}}}));
    inst.setDataSet({static_cast<std::int16_t>(c.model), static_cast<std::int16_t>(c.controlMode), 3,
        static_cast<std::int16_t>(c.rom)});

    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(cell(0, ColDecimals), c.decimalsShown);
    EXPECT_EQ(cell(0, ColDefault), c.defaultShown);
    // A default that fits the 16-bit word shows as the value stored.
    EXPECT_EQ(cell(0, ColValue), c.defaultShown);
}

INSTANTIATE_TEST_SUITE_P(Codes, MotorGroups,
    ::testing::Values(GroupCase {"QmGroupA", Qm71, 0, RomQm01A1, "A-2", "4", "2.0000"},
        GroupCase {"QmGroupB", Qm71, 1, RomQm01A1, "L-10", "2", "2.00"},
        GroupCase {"QmGroupC", Qm71, 0, RomQm01A1, "A-20", "1", "2.0"},
        GroupCase {"QmGroupD", Qm71, 0, RomQm01A1, "L-3", "3", "2.000"},
        GroupCase {"LxGroupB", LxRtp, 2, 0, "L-8", "2", "2.00"},
        GroupCase {"LxGroupC", LxRtp, 2, 0, "A-18", "1", "2.0"},
        GroupCase {"LxA20InNoGroup", LxRtp, 2, 0, "A-20", "0", "2"},
        GroupCase {"CodeOfNoGroup", Qm71, 0, RomQm01A1, "A-3", "0", "2"}),
    test::CaseName {});

// ---- V/F mode (QM family, control mode 2)

constexpr CapacityValues vfCapacity {.decimalsC = 1,
    .decimalsB = 2,
    .decimalsD = 3,
    .decimalsA = 1,
    .vfDefaultB = 4567,
    .vfDefaultA = 123,
    .vfDefaultD = 2000,
    .vfDefaultA11 = 300,
    .vfDefaultA10 = 55};

// Area "Fund." holds slots 0..40, so the record of slot s lies on line s + 2.
std::string vfTable()
{
    std::vector<std::string> records;
    for (int slot = 0; slot <= 40; ++slot)
        records.push_back(recordLine({.code = "X-" + std::to_string(slot)}));
    records[1] = recordLine({.code = "A-18", .defaultText = "9"}); // group B by code, before line 30
    records[5] = recordLine({.code = "A-10", .defaultText = "1"});
    records[6] = recordLine({.code = "A-11", .defaultText = "1", .decimals = "1"});
    records[7] = recordLine({.code = "A-4", .defaultText = "1"});
    records[8] = recordLine({.code = "A-3", .defaultText = "200"});
    records[13] = recordLine({.code = "Fund.-13", .defaultText = "1"}); // line 15
    records[14] = recordLine({.code = "A-2", .defaultText = "8", .decimals = "2"});
    records[28] = recordLine({.code = "Fund.-28", .defaultText = "1"}); // line 30
    records[35] = recordLine({.code = "A-17", .defaultText = "1", .decimals = "1"});
    return tableBytes({{0, {0, 40}}}, records);
}

class VfMode : public LoadTable {
protected:
    VfMode()
    {
        inst.writeTable(Qm71, 2, RomQm01A1, vfTable());
        inst.writeCapacity("MSEL_DEF.bkh", test::capacityBytes({{3, vfCapacity}, {15, vfCapacity}, {16, vfCapacity}}));
    }
    void setCapacity(int capacity) { inst.setDataSet({Qm71, 2, static_cast<std::int16_t>(capacity), RomQm01A1}); }
};

TEST_F(VfMode, CapacityFileGivesDefaultsAndDecimalPlaces)
{
    setCapacity(3);
    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_TRUE(ui.messages.empty());
    struct Expect {
        int slot;
        const char* defaultShown;
        const char* decimalsShown;
        std::int32_t stored;
    };
    for (const Expect& e : {
             Expect {1, "9", "0", 9}, // group B by code before any record set its values
             Expect {5, "55", "0", 55}, // "A-10": field 11 with its own places
             Expect {6, "30.0", "1", 300}, // "A-11": field 10 with its own places
             Expect {7, "2.000", "3", 2000}, // group D: field 9, places from field 4
             Expect {8, "200", "0", 200}, // "A-3" below the 400 V class
             Expect {13, "12.3", "1", 123}, // line 15 joins group A: fields 8 and 5
             Expect {14, "8.00", "1", 800}, // group A by code: own places, group A's decimals text
             Expect {28, "45.67", "2", 4567}, // line 30 joins group B: fields 6 and 3
             Expect {35, "456.7", "2", 4567}, // group B by code: group B default, own places
         }) {
        SCOPED_TRACE(e.slot);
        EXPECT_EQ(cell(e.slot, ColDefault), e.defaultShown);
        EXPECT_EQ(cell(e.slot, ColValue), e.defaultShown);
        EXPECT_EQ(cell(e.slot, ColDecimals), e.decimalsShown);
        EXPECT_EQ(ws.doc.values[static_cast<std::size_t>(e.slot)], e.stored);
    }
}

TEST_F(VfMode, FourHundredVoltClassDoublesA3)
{
    setCapacity(16);
    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_EQ(cell(8, ColDefault), "400");
    EXPECT_EQ(ws.doc.values[8], 400);

    setCapacity(15);
    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_EQ(cell(8, ColDefault), "200");
}

TEST_F(VfMode, ShownDataSetReadsGroupBDefaultAsSixteenBits)
{
    CapacityValues big = vfCapacity;
    big.vfDefaultB = 40000;
    inst.writeCapacity("MSEL_DEF.bkh", test::capacityBytes({{3, big}}));

    setCapacity(3);
    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_EQ(cell(28, ColDefault), "400.00");

    setCapacity(3);
    ASSERT_EQ(load(TableValues::Stored), LoadResult::Done);
    EXPECT_EQ(cell(28, ColDefault), "-255.36");
}

// ---- 400 V class "F-0"

struct Class400Case {
    const char* name;
    int rom;
    bool class400;
};

class VoltageClass : public LoadTable, public ::testing::WithParamInterface<Class400Case> { };

TEST_P(VoltageClass, F0OfThe400VClassGetsItsOwnRangeAndDefault)
{
    const Class400Case& c = GetParam();
    inst.writeTable(LxRtp, 2, c.rom,
        tableBytes(
            {{0, {0, 0}}}, {recordLine({.code = "F-0", .defaultText = "340.0", .decimals = "1", .range = "R"})}));
    inst.setDataSet({LxRtp, 2, 11, static_cast<std::int16_t>(c.rom)});

    ASSERT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_EQ(cell(0, ColRange), c.class400 ? "400V:640.0/720.0[V]" : "R");
    EXPECT_EQ(cell(0, ColDefault), c.class400 ? "680.0" : "340.0");
    EXPECT_EQ(ws.doc.values[0], c.class400 ? 6800 : 3400);
}

INSTANTIATE_TEST_SUITE_P(LxRtpCapacity11, VoltageClass,
    ::testing::Values(Class400Case {"EarlyRom", 5, true}, Class400Case {"LaterRom", 20, false}), test::CaseName {});

// ---- choosing the table

TEST_F(LoadTable, UnsupportedModelFillsNoRow)
{
    inst.setDataSet({UnsupportedModel, 0, 0, 0});
    EXPECT_EQ(load(TableValues::Stored), LoadResult::Unsupported);
    ws.settings.fileVersion.specialFunctions = true;
    EXPECT_EQ(load(TableValues::Stored), LoadResult::UnsupportedSpecial);
    EXPECT_EQ(ui.englishTexts(), (std::vector<std::string>(2, "Un support machine.Indicate setting value.")));
    EXPECT_EQ(filledRows(), 0);
    EXPECT_EQ(ws.doc.values[0], -7);
}

TEST_F(LoadTable, UnsupportedRomShowsNewestTableUpToNewVer)
{
    inst.writeTable(Qm71, 0, 2, basicTable());
    const std::string newest = inst.writeTable(Qm71, 0, 4, basicTable()); // "00-C2"
    inst.writeTable(Qm71, 0, 8, basicTable());
    ws.settings.fileVersion.specialFunctions = true;
    ws.settings.fileVersion.of(LimitSection::QM71).newVer = 7;
    inst.setDataSet({Qm71, 0, 3, UnsupportedRomVersion});

    ASSERT_EQ(load(TableValues::Stored), LoadResult::Done);
    EXPECT_EQ(ws.doc.identity.romVersion, 7);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.ja, "未対応のROMﾊﾞｰｼﾞｮﾝです。\n00-C2の項目で表示します。");
    EXPECT_EQ(ui.messages[0].text.en, "Unfound parameter table.Title indicate as00-C2.");
    EXPECT_TRUE(ws.doc.substituteTableShown);
    EXPECT_TRUE(ws.doc.table.substitute);
    EXPECT_EQ(ws.doc.table.path, newest);
    EXPECT_EQ(cell(0, ColCode), "Fund.-0");

    // A reload (language switch) shows the same table again without asking.
    ASSERT_EQ(load(TableValues::Stored), LoadResult::Done);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ws.doc.table.path, newest);
    EXPECT_TRUE(ws.doc.table.substitute);
}

TEST_F(LoadTable, MissingTableOfKnownRomShowsOlderOne)
{
    inst.writeTable(Qm71, 0, 4, basicTable());
    ws.settings.fileVersion.specialFunctions = true;
    inst.setDataSet({Qm71, 0, 3, 5});

    ASSERT_EQ(load(TableValues::Stored), LoadResult::Done);
    EXPECT_EQ(ws.doc.identity.romVersion, 5);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.ja, "ROMﾊﾞｰｼﾞｮﾝに対応したﾊﾟﾗﾒｰﾀﾃｰﾌﾞﾙが見つかりません。\n00-C2の項目で表示します。");
    EXPECT_EQ(filledRows(), 6);
}

TEST_F(LoadTable, NoTableAtAllWithSpecialFunctionsEndsWithFuncset2)
{
    ws.settings.fileVersion.specialFunctions = true;
    inst.setDataSet({Qm71, 0, 3, 5});

    EXPECT_EQ(load(TableValues::Stored), LoadResult::Done);
    EXPECT_EQ(ui.englishTexts(),
        (std::vector<std::string> {"Unfound parameter table.Title indicate as.",
            "Unfound parameter file.Please Tessaline version up.(funcset2 error)"}));
    EXPECT_EQ(filledRows(), 0);
}

TEST_F(LoadTable, NoTableWithoutSpecialFunctionsIsUnsupported)
{
    inst.setDataSet({Qm71, 0, 3, 5});
    EXPECT_EQ(load(TableValues::Stored), LoadResult::Unsupported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
        withCause(message(TextId::TableNotFoundForRom), fileMissingCause(inst.tablePath(Qm71, 0, 5))));
    EXPECT_FALSE(ws.doc.substituteTableShown);
}

TEST_F(LoadTable, WithoutADataSetJustReadUsesTheRecordedTablePath)
{
    const std::string path = inst.writeTable(Qm71, 0, 4, basicTable());
    ws.doc.identity = {Qm71, 0, 3, 4};
    ws.doc.currentTablePath = path;
    EXPECT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_EQ(ws.doc.table.path, path);

    ws.doc.currentTablePath.clear();
    EXPECT_EQ(load(TableValues::Defaults), LoadResult::Done);
    EXPECT_EQ(ui.englishTexts(),
        std::vector<std::string> {"Unfound parameter file.Please Tessaline version up.(funcset2 error)"});
}

TEST_F(LoadTable, UnreadableTableIsReportedAndKeepsThePreviousTable)
{
    ws.doc.table.path = "previous";
    ws.doc.currentTablePath = inst.dir.path(); // a folder cannot be read as a file
    EXPECT_EQ(load(TableValues::Stored), LoadResult::Unreadable);
    EXPECT_EQ(
        ui.englishTexts(), std::vector<std::string> {"Please close BKH files.\n" + inst.dir.path() + ": is a folder"});
    EXPECT_EQ(ws.doc.table.path, "previous");
}

TEST_F(LoadTable, ModelOutsideCatalogueIsAnUnreadableTable)
{
    inst.setDataSet({12, 0, 0, 0});
    EXPECT_EQ(load(TableValues::Stored), LoadResult::Unreadable);
    EXPECT_EQ(ui.englishTexts(), (std::vector<std::string> {"No ROM Version.", "Please close BKH files."}));
}

// ---- damaged tables and capacity files

std::string firstLines(const std::string& bytes, int lines, std::size_t extraBytes)
{
    std::size_t pos = 0;
    for (int i = 0; i < lines; ++i)
        pos = bytes.find("\r\n", pos) + 2;
    return bytes.substr(0, pos + extraBytes);
}

struct BrokenCase {
    const char* name;
    std::string table;
    std::optional<std::string> capacity; // MSEL_DEF.bkh; none written when empty
    // English; "{folder}" stands for the installation, "{table}" for the
    // table file and "{capacity}" for the capacity default file.
    std::vector<std::string> messages;
    LoadResult result;
    int filledRows;

    friend void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }
};

class DamagedFiles : public LoadTable, public ::testing::WithParamInterface<BrokenCase> { };

TEST_P(DamagedFiles, EndWithAClearMessage)
{
    const BrokenCase& c = GetParam();
    inst.writeTable(Qm71, 0, RomQm01A1, c.table);
    if (c.capacity)
        inst.writeCapacity("MSEL_DEF.bkh", *c.capacity);
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});

    EXPECT_EQ(load(TableValues::Defaults), c.result);
    std::vector<std::string> expected;
    for (std::string m : c.messages) {
        for (const auto& [mark, path] : {std::pair<std::string, std::string> {"{folder}", inst.dir.path()},
                 {"{table}", inst.tablePath(Qm71, 0, RomQm01A1)}, {"{capacity}", inst.dir.file("MSEL/MSEL_DEF.bkh")}})
            if (const auto at = m.find(mark); at != std::string::npos)
                m.replace(at, mark.size(), path);
        expected.push_back(m);
    }
    EXPECT_EQ(ui.englishTexts(), expected);
    EXPECT_EQ(filledRows(), c.filledRows);
}

std::vector<std::string> records(std::initializer_list<Record> list)
{
    std::vector<std::string> lines;
    for (const Record& r : list)
        lines.push_back(recordLine(r));
    return lines;
}

// Sixteen records on the area table lines, then one with fields past 8.
std::vector<std::string> withExtraFields()
{
    std::vector<std::string> lines(16, recordLine({"F"}));
    lines.push_back(recordLine({"G"}) + ",9,9,9,extra,\"more\"");
    return lines;
}

const std::string groupTable = tableBytes({{0, {0, 1}}}, records({{.code = "Fund.-0"}, {.code = "A-2"}}));

// A whole table of two records and sixteen lines of them.
const std::string twoRecords = tableBytes({{0, {0, 1}}}, records({{.code = "Fund.-0"}, {.code = "Fund.-1"}}));

std::string withoutLastBytes(const std::string& bytes, std::size_t count)
{
    return bytes.substr(0, bytes.size() - count);
}

// Every CR LF made a LF alone.
std::string withLineFeeds(std::string bytes)
{
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at))
        bytes.erase(at, 1);
    return bytes;
}

// The CR LF of line `line` (from 0) made a LF alone.
std::string lineFeedOnLine(std::string bytes, int line)
{
    std::size_t at = 0;
    for (int i = 0; i <= line; ++i)
        at = bytes.find("\r\n", i == 0 ? 0 : at + 2);
    bytes.erase(at, 1);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFiles,
    ::testing::Values(
        BrokenCase {"EmptyFile", "", {}, {"Area:0No.:0\n{table} ends before line 3"}, LoadResult::Incomplete, 0},
        BrokenCase {"FileEndsInsideArea", tableBytes({{0, {0, 19}}}, {}), {},
            {"Area:0No.:16\n{table} ends before line 19"}, LoadResult::Incomplete, 16},
        BrokenCase {"FileEndsInsideAreaTable", firstLines(tableBytes({{0, {0, 2}}}, {}), 5, 10), {},
            {"Area:3No.:2\n{table}, line 6"}, LoadResult::Incomplete, 3},
        BrokenCase {"RecordMissingFields", tableBytes({{0, {0, 1}}}, {recordLine({.code = "Fund.-0"}), "Fund.-1,a,b"}),
            {}, {"Area:0No.:1\n{table}, line 4"}, LoadResult::Incomplete, 1},
        BrokenCase {"ExtraFieldsIgnored", tableBytes({{0, {0, 16}}}, withExtraFields()), {}, {}, LoadResult::Done, 17},
        BrokenCase {"DecimalsNotInteger", tableBytes({{0, {0, 0}}}, records({{.code = "F", .decimals = "1.0"}})), {},
            {"Area:0No.:0\n{table}, line 3"}, LoadResult::Incomplete, 0},
        BrokenCase {"DecimalsOutOfRange",
            tableBytes({{0, {0, 1}}}, records({{.code = "F"}, {.code = "G", .decimals = "10"}})), {},
            {"Area:0No.:1\n{table}, line 4"}, LoadResult::Incomplete, 1},
        BrokenCase {"FiguresNotInteger", tableBytes({{0, {0, 0}}}, records({{.code = "F", .figures = "five"}})), {},
            {"Area:0No.:0\n{table}, line 3"}, LoadResult::Incomplete, 0},
        BrokenCase {"DefaultNotNumber",
            tableBytes({{0, {0, 0}}}, records({{.code = "F", .defaultText = "1/2", .decimals = "1"}})), {},
            {"Area:0No.:0\n{table}, line 3"}, LoadResult::Incomplete, 0},
        BrokenCase {"DefaultPastInt32",
            tableBytes({{0, {0, 0}}}, records({{.code = "F", .defaultText = "99999999999"}})), {},
            {"Area:0No.:0\n{table}, line 3"}, LoadResult::Incomplete, 0},
        // The area's limits are at fault, so its line is named.
        BrokenCase {"AreaRunsPastLastSlot",
            tableBytes({{0, {660, 670}}}, std::vector<std::string>(11, recordLine({"F"}))), {},
            {"Area:0No.:665\n{table}, line 3"}, LoadResult::Incomplete, 5},
        BrokenCase {"AreaLimitNegative", tableBytes({{0, {0, 0}}, {1, {-1, 3}}}, {}), {},
            {"Area:1No.:0\n{table}, line 4"}, LoadResult::Incomplete, 1},
        BrokenCase {"AreaLimitPast16Bits", tableBytes({{5, {70000, 70001}}}, {}), {}, {"Area:5No.:0\n{table}, line 8"},
            LoadResult::Incomplete, 0},
        BrokenCase {"CapacityNumberNotInteger", tableBytes({{0, {0, 0}}}, {}, "three"), {},
            {"Area:0No.:0\n{table}, line 3"}, LoadResult::Incomplete, 0},
        BrokenCase {"InvalidShiftJisInNames",
            tableBytes({{0, {0, 0}}}, {"Fund.-0,\"\x83\",\"\xFF\xFE\",0/1,0,x,0,5,0"}), {}, {}, LoadResult::Done, 1},
        BrokenCase {"CapacityFileMissing", groupTable, {},
            {"The capacity default file is missing.\n{folder}MSEL/MSEL_DEF.bkh"}, LoadResult::Unreadable, 1},
        BrokenCase {"CapacityNumberOutOfRange",
            tableBytes({{0, {0, 1}}}, records({{.code = "Fund.-0"}, {.code = "A-2"}}), "16"), {},
            {"The parameter table names no capacity default file (its number is not 0 to 15).\n{folder}QM71/"
             "QM71S01-A1.bkh"},
            LoadResult::Unreadable, 1},
        // A capacity file cut short, or a capacity line that is damaged, is
        // the capacity file's fault, not the table's.
        BrokenCase {"CapacityLineMissing", groupTable, test::capacityBytes({{1, {}}}),
            {"Area:0No.:1\n{capacity} ends before line 5"}, LoadResult::Incomplete, 1},
        BrokenCase {"CapacityFileOnlyHeader", groupTable, "Cap,Name,C,B,D,A\r\n",
            {"Area:0No.:1\n{capacity} ends before line 5"}, LoadResult::Incomplete, 1},
        BrokenCase {"CapacityFieldNotInteger", groupTable, "h\r\n0\r\n1\r\n2\r\n3,c,1,2,3,four\r\n",
            {"Area:0No.:1\n{capacity}, line 5"}, LoadResult::Incomplete, 1},
        // Line ends: any one kind throughout is whole; a last line without its
        // end (or with half of it) was cut, and a change of kind lost bytes.
        // The rows are filled all the same, and the message says where.
        BrokenCase {"LineFeedsThroughout", withLineFeeds(twoRecords), {}, {}, LoadResult::Done, 2},
        BrokenCase {"LastLineEndCut", withoutLastBytes(twoRecords, 2), {},
            {"The parameter table's last line is cut short (its line end is missing); the file is damaged.\n"
             "{table}, line 18"},
            LoadResult::Done, 2},
        BrokenCase {"LastLineFeedCut", withoutLastBytes(twoRecords, 1), {},
            {"The parameter table's last line is cut short (its line end is missing); the file is damaged.\n"
             "{table}, line 18"},
            LoadResult::Done, 2},
        BrokenCase {"LineFeedsOnlyLastCut", withoutLastBytes(withLineFeeds(twoRecords), 1), {},
            {"The parameter table's last line is cut short (its line end is missing); the file is damaged.\n"
             "{table}, line 18"},
            LoadResult::Done, 2},
        BrokenCase {"LineFeedAmongCrLf", lineFeedOnLine(twoRecords, 3), {},
            {"The parameter table's line ends change within the file; the file is damaged.\n{table}, line 4"},
            LoadResult::Done, 2}),
    test::CaseName {});

TEST_F(LoadTable, AreasPastADamagedLineHoldNothing)
{
    std::string table = tableBytes({{0, {0, 1}}, {5, {2, 3}}}, {});
    // The first line of an empty area's entry is area 1's.
    const std::string emptyArea = ",x,0,5,0,1,0\r\n";
    table.replace(table.find(emptyArea), emptyArea.size(), ",x,0,5,0,1,oops\r\n");
    inst.writeTable(Qm71, 0, RomQm01A1, table);
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});

    EXPECT_EQ(load(TableValues::Defaults), LoadResult::Incomplete);
    EXPECT_EQ(ui.englishTexts(),
        std::vector<std::string> {"Area:1No.:1\n" + inst.tablePath(Qm71, 0, RomQm01A1) + ", line 4"});
    EXPECT_EQ(ws.doc.table.areaLast[0], 1);
    for (int area = 1; area < AreaCount; ++area)
        EXPECT_GT(ws.doc.table.areaFirst[area], ws.doc.table.areaLast[area]) << area;
}

TEST_F(LoadTable, UnreadableCapacityFileEndsTheLoad)
{
    inst.writeTable(Qm71, 0, RomQm01A1, groupTable);
    test::writeFile(inst.dir.file("MSEL/MSEL_DEF.bkh/inside"), "a folder where the file should be");
    inst.setDataSet({Qm71, 0, 3, RomQm01A1});
    EXPECT_EQ(load(TableValues::Defaults), LoadResult::Unreadable);
    EXPECT_EQ(ui.englishTexts(),
        std::vector<std::string> {"Please close BKH files.\n" + inst.dir.file("MSEL/MSEL_DEF.bkh") + ": is a folder"});
    EXPECT_EQ(filledRows(), 1);
}

} // namespace
} // namespace tess::tables
