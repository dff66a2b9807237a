#include "app/mainwindow/Document.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/GridFilter.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess {
namespace {

// One row of the hand-made grid: the table record and the stored value.
struct Row {
    const char* code; // "" for a row without parameter
    const char* ja;
    const char* en;
    std::int64_t defaultUnits;
    int decimals;
    std::int32_t value;
};

// Grid rows 1 to 11. B-15 and A-3 are changed from default; D-1 stores its
// default -1 as the unsigned word 65535; D-2 stores 1.50, its default.
const std::vector<Row>& rowsOfTheGrid()
{
    static const std::vector<Row> rows {
        {"Fund.-0", "正転上限周波数", "Forward limit frequency", 6000, 2, 6000},
        {"B-14", "多段速周波数1", "Multi-speed frequency 1", 1000, 2, 1000},
        {"B-15", "多段速周波数2", "Multi-speed frequency 2", 2000, 2, 2500},
        {"A-2", "ﾓｰﾀ定格電流", "Motor rated current", 350, 2, 350},
        {"A-3", "モータ定格電圧", "Motor rated voltage", 200, 0, 220},
        {"C-1", "ﾌﾞﾚｰｷ選択", "Brake selection", 0, 0, 0},
        {"C-2", "予備", "Reserved", 0, 0, 0},
        {"C-3", "ﾖﾋﾞ 2", "Reserved 2", 0, 0, 0},
        {"", "", "", 0, 0, 0},
        {"D-1", "逆転制限", "Reverse limit", -1, 0, 65535},
        {"D-2", "ゲイン", "Gain", 150, 2, 150},
    };
    return rows;
}

Document makeDocument()
{
    Document doc;
    doc.state.open = true;
    doc.content = GridContent::Table;
    const std::vector<Row>& rows = rowsOfTheGrid();
    auto defs = std::make_shared<ParameterDefs>();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        doc.values[i] = r.value;
        if (std::string(r.code).empty())
            continue;
        ParameterDef def;
        def.code = r.code;
        def.nameJapanese = r.ja;
        def.nameEnglish = r.en;
        def.defaultUnits = r.defaultUnits;
        def.decimals = r.decimals;
        def.slot = static_cast<int>(i);
        (*defs)[i] = def;
    }
    doc.table.defs = defs;
    return doc;
}

// A comparison with a file of the same table whose B-14 and D-1 differ.
void compareWithDifferences(Document& doc)
{
    doc.state.compareMode = true;
    tables::Comparison& comparison = doc.comparison.emplace();
    for (const std::optional<ParameterDef>& def : *doc.table.defs) {
        if (!def)
            continue;
        tables::ComparedRow& row = comparison.rows[static_cast<std::size_t>(def->slot)].emplace();
        row.code = def->code;
        row.nameJapanese = def->nameJapanese;
        row.nameEnglish = def->nameEnglish;
    }
    comparison.differs[1] = true; // B-14
    comparison.differs[9] = true; // D-1
}

// The codes of the hand-made rows shown, "" for a row without parameter
// (the table's blank rows after them left out).
std::vector<std::string> shownCodes(const Document& doc, const GridFilterResult& result)
{
    std::vector<std::string> codes;
    for (const int row : result.rows)
        if (row <= static_cast<int>(rowsOfTheGrid().size()))
            codes.push_back(cellText(gridSource(doc, Language::English), row, ColCode));
    return codes;
}

const std::vector<std::string> EveryRow {
    "Fund.-0", "B-14", "B-15", "A-2", "A-3", "C-1", "C-2", "C-3", "", "D-1", "D-2"};

struct FilterCase {
    const char* name;
    GridFilterSettings settings;
    bool comparing = false;
    std::vector<std::string> shown;
};

class GridFilterRows : public ::testing::TestWithParam<FilterCase> { };

TEST_P(GridFilterRows, ShowsTheMatchingRowsInOrder)
{
    const FilterCase& c = GetParam();
    Document doc = makeDocument();
    if (c.comparing)
        compareWithDifferences(doc);
    const GridFilterResult result = filterGridRows(doc, c.settings);
    EXPECT_EQ(shownCodes(doc, result), c.shown);
}

GridFilterSettings search(const char* text)
{
    GridFilterSettings settings;
    settings.searchText = text;
    return settings;
}

GridFilterSettings changedOnly(const char* text = "")
{
    GridFilterSettings settings = search(text);
    settings.changedOnly = true;
    return settings;
}

GridFilterSettings hideReserved()
{
    GridFilterSettings settings;
    settings.hideReserved = true;
    return settings;
}

GridFilterSettings differencesOnly()
{
    GridFilterSettings settings;
    settings.differencesOnly = true;
    return settings;
}

INSTANTIATE_TEST_SUITE_P(GridFilter, GridFilterRows,
    ::testing::Values(FilterCase {"NoFilterShowsEveryRow", {}, false, EveryRow},
        FilterCase {"BlanksAloneShowEveryRow", search(" \u3000 "), false, EveryRow},
        FilterCase {"Code", search("B-14"), false, {"B-14"}},
        FilterCase {"CodePrefix", search("B-1"), false, {"B-14", "B-15"}},
        FilterCase {"EnglishNameAnyCase", search("MULTI-speed"), false, {"B-14", "B-15"}},
        FilterCase {"JapaneseNameWhileEnglishIsShown", search("多段速"), false, {"B-14", "B-15"}},
        FilterCase {"FullWidthKanaFindsHalfWidth", search("モータ"), false, {"A-2", "A-3"}},
        FilterCase {"HalfWidthKanaFindsFullWidth", search("ﾓｰﾀ"), false, {"A-2", "A-3"}},
        FilterCase {"HiraganaFindsKatakana", search("もーた"), false, {"A-2", "A-3"}},
        FilterCase {"VoicedKanaJoinItsMark", search("ブレーキ"), false, {"C-1"}},
        FilterCase {"HalfWidthKanaAsTyped", search("ﾌ"), false, {"C-1"}},
        FilterCase {"FullWidthLettersAndDigits", search("Ｂ－１４"), false, {"B-14"}},
        FilterCase {"EveryWordInSomeField", search("B- 2"), false, {"B-15"}},
        FilterCase {"NothingMatches", search("xyz"), false, {}},
        FilterCase {"ChangedFromDefaultAsNumbers", changedOnly(), false, {"B-15", "A-3"}},
        FilterCase {"ChangedAndSearch", changedOnly("B-"), false, {"B-15"}},
        FilterCase {"HideReservedAndRowsWithoutParameter", hideReserved(), false,
            {"Fund.-0", "B-14", "B-15", "A-2", "A-3", "C-1", "D-1", "D-2"}},
        FilterCase {"DifferencesOnlyOutsideAComparisonShowsAll", differencesOnly(), false, EveryRow},
        FilterCase {"DifferencesOnlyWhileComparing", differencesOnly(), true, {"B-14", "D-1"}}),
    test::CaseName {});

TEST(GridFilter, ADataSetWithoutItsTableHasNoDefaultsToDifferFrom)
{
    Document doc = makeDocument();
    // The table stays from an earlier data set; the raw rows show the
    // values as their defaults.
    doc.content = GridContent::Raw;
    doc.values[2] = 1;
    const GridFilterResult result = filterGridRows(doc, changedOnly());
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(result.changedCount, 0);
}

TEST(GridFilter, CountsAreOfTheWholeDataSetBesideTheRowsShown)
{
    Document doc = makeDocument();
    compareWithDifferences(doc);
    doc.comparison->differs[9] = false;
    const GridFilterResult result = filterGridRows(doc, search("B-"));
    EXPECT_EQ(result.shownParameters, 2);
    EXPECT_EQ(result.changedCount, 2);
    EXPECT_EQ(result.differenceCount, 1);
    EXPECT_TRUE(result.changed[3]);
    EXPECT_FALSE(result.changed[2]);
    EXPECT_TRUE(result.differs[2]);
    EXPECT_EQ(gridCountsText(result, true).en, "2 rows, 2 changed from default, 1 difference");
    EXPECT_EQ(gridCountsText(result, false).ja, "2 行、ﾃﾞﾌｫﾙﾄ値から変更 2");

    // Every row shown counts only the rows that hold a parameter.
    EXPECT_EQ(filterGridRows(doc, {}).shownParameters, 10);
}

struct StepCase {
    const char* name;
    std::optional<std::size_t> from;
    bool forward;
    std::optional<std::size_t> to;
};

class DifferenceStep : public ::testing::TestWithParam<StepCase> { };

// Positions 0 to 5 shown; positions 1 and 4 differ.
TEST_P(DifferenceStep, MovesToTheNextDifferenceShown)
{
    const StepCase& c = GetParam();
    GridFilterResult result;
    result.rows = {3, 5, 8, 9, 12, 20};
    result.differs[5] = true;
    result.differs[12] = true;
    result.differs[4] = true; // differs but not shown
    EXPECT_EQ(stepToDifference(result, c.from, c.forward), c.to);
}

INSTANTIATE_TEST_SUITE_P(GridFilter, DifferenceStep,
    ::testing::Values(StepCase {"ForwardFromTheTop", std::nullopt, true, 1},
        StepCase {"BackwardFromTheBottom", std::nullopt, false, 4}, StepCase {"ForwardFromADifference", 1, true, 4},
        StepCase {"ForwardBetween", 2, true, 4}, StepCase {"ForwardFromTheLastGoesRound", 4, true, 1},
        StepCase {"BackwardFromTheFirstGoesRound", 1, false, 4}, StepCase {"BackwardBetween", 3, false, 1}),
    test::CaseName {});

TEST(GridFilter, NoDifferenceShownGivesNoStep)
{
    GridFilterResult result;
    result.rows = {3, 5};
    result.differs[4] = true;
    EXPECT_EQ(stepToDifference(result, 0, true), std::nullopt);
    EXPECT_EQ(stepToDifference(GridFilterResult {}, std::nullopt, false), std::nullopt);
}

} // namespace
} // namespace tess
