#include "app/common/Workspace.h"
#include "app/print/PrintPresenter.h"
#include "domain/print/PrintLayout.h"

#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/RecordingCanvas.h"
#include "support/TypedTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace tess::print {
namespace {

using test::RecordingCanvas;

// 10 pixels to the logical unit both ways, so expected pixels read as units.
constexpr PageGeometry TenPortrait {1010, 2200, Orientation::Portrait};
constexpr PageGeometry TenLandscape {1010, 2200, Orientation::Landscape};

// A workspace with a shown data set: grid row w + 1 holds code "X-w",
// name "name w", range "r w", default w and value 1000 + w. Area a covers
// words 40a .. 40a + size(a) - 1.
class PrintFixture {
public:
    explicit PrintFixture(Language language = Language::English, std::vector<int> areaSizes = {})
    {
        ws.settings.language = language;
        Document& doc = ws.doc;
        doc.state.open = true;
        doc.identityTexts = {"QM71", "Sensorless", "5.5kW-200V", "Q0100"};
        for (int w = 0; w < SlotCount; ++w) {
            const std::string n = std::to_string(w);
            ParameterDef& def = table.record(w, "X-" + n);
            def.nameEnglish = def.nameJapanese = table.keep("name " + n);
            def.rangeText = table.keep("r " + n);
            def.defaultUnits = w;
            doc.values[static_cast<std::size_t>(w)] = 1000 + w;
        }
        doc.table = table.table();
        doc.content = GridContent::Table;
        doc.table.areaFirst.fill(1);
        doc.table.areaLast.fill(0);
        for (std::size_t a = 0; a < areaSizes.size(); ++a) {
            // An empty area has its first word after its last.
            const int first = 40 * static_cast<int>(a) + (areaSizes[a] == 0 ? 1 : 0);
            doc.table.areaFirst[a] = static_cast<std::uint16_t>(first);
            doc.table.areaLast[a]
                = static_cast<std::uint16_t>(40 * static_cast<int>(a) + std::max(areaSizes[a], 1) - 1);
        }
    }

    test::TypedTable table;
    Workspace ws;
    test::FakeUi ui;
};

// The data texts of one column of a page, top to bottom (the header lines
// and headings left out).
std::vector<std::string> dataColumn(const RecordingCanvas& canvas, int page, double x, const PageLayout& layout)
{
    std::vector<std::string> found;
    for (const RecordingCanvas::Text& t : canvas.texts)
        if (t.page == page && std::abs(t.x - x) < 0.01 && t.y >= layout.firstRowY * 10.0)
            found.push_back(t.text);
    return found;
}

std::vector<std::string> codes(int from, int to)
{
    std::vector<std::string> result;
    for (int w = from; w <= to; ++w)
        result.push_back("X-" + std::to_string(w));
    return result;
}

// ---- coordinate mapping

struct MappingCase {
    const char* name;
    PageGeometry page;
    int logicalX, logicalY;
    int frameX, frameY;
    double textX, textY;
};

class Mapping : public ::testing::TestWithParam<MappingCase> { };

TEST_P(Mapping, FramesTruncateAndTextKeepsTheFraction)
{
    const MappingCase& c = GetParam();
    const PageMapper map(c.page);
    EXPECT_EQ(map.frameX(c.logicalX), c.frameX);
    EXPECT_EQ(map.frameY(c.logicalY), c.frameY);
    EXPECT_DOUBLE_EQ(map.textX(c.logicalX), c.textX);
    EXPECT_DOUBLE_EQ(map.textY(c.logicalY), c.textY);
}

INSTANTIATE_TEST_SUITE_P(PrintLayout, Mapping,
    ::testing::Values(MappingCase {"A4PortraitRightFrame", {2480, 3508, Orientation::Portrait}, 97, 210, 2381, 3348,
                          2480.0 * 97 / 101, 3508.0 * 210 / 220},
        MappingCase {"A4LandscapeRightFrame", {3508, 2480, Orientation::Landscape}, 93, 214, 3230, 2412,
            3508.0 * 93 / 101, 2480.0 * 214 / 220},
        MappingCase {"PageOrigin", {2480, 3508, Orientation::Portrait}, 0, 0, 0, 0, 0.0, 0.0},
        MappingCase {"FullPage", {4961, 7016, Orientation::Portrait}, 101, 220, 4961, 7016, 4961.0, 7016.0}),
    test::CaseName {});

// ---- rows per page and page breaks

struct PagingCase {
    const char* name;
    PageGeometry page;
    Language language;
    std::vector<int> areaSizes; // words of the areas, all checked
    int pages;
    int rowsOnLastPage;
};

class Paging : public ::testing::TestWithParam<PagingCase> { };

TEST_P(Paging, FullPagesBreakOnlyWhenAnotherRowFollows)
{
    const PagingCase& c = GetParam();
    PrintFixture f(c.language, c.areaSizes);
    PrintPresenter dialog(f.ws);
    for (std::size_t a = 0; a < c.areaSizes.size(); ++a)
        dialog.clickArea(static_cast<int>(a), true);
    RecordingCanvas canvas(c.page);

    ASSERT_EQ(dialog.print(canvas, f.ui), PrintResult::Printed);
    EXPECT_TRUE(canvas.ended);
    ASSERT_EQ(canvas.pages, c.pages);
    const PageLayout layout = pageLayout(c.page.orientation, c.language);
    const double codeX = layout.columnTextX[0] * 10.0;
    for (int page = 1; page < c.pages; ++page)
        EXPECT_EQ(dataColumn(canvas, page, codeX, layout).size(), std::size_t(layout.rowsPerPage)) << page;
    EXPECT_EQ(dataColumn(canvas, c.pages, codeX, layout).size(), std::size_t(c.rowsOnLastPage));
    EXPECT_TRUE(f.ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(PrintLayout, Paging,
    ::testing::Values(PagingCase {"PortraitExactly36RowsIsOnePage", TenPortrait, Language::English, {36}, 1, 36},
        PagingCase {"Portrait37RowsBreakAfter36", TenPortrait, Language::English, {37}, 2, 1},
        PagingCase {"PortraitJapanese72RowsTwoFullPages", TenPortrait, Language::Japanese, {36, 36}, 2, 36},
        PagingCase {"LandscapeExactly30RowsIsOnePage", TenLandscape, Language::English, {30}, 1, 30},
        PagingCase {"LandscapeBreakInsideTheSecondArea", TenLandscape, Language::Japanese, {20, 25}, 2, 15},
        PagingCase {"EmptyAreaPrintsFrameAndHeadingsOnly", TenPortrait, Language::English, {0}, 1, 0}),
    test::CaseName {});

TEST(PrintLayout, FundAndCAreasFollowEachOtherWithHeaderAndPageNumberOnEveryPage)
{
    PrintFixture f(Language::English, {20, 5, 5, 30});
    PrintPresenter dialog(f.ws);
    dialog.clickArea(0, true);
    dialog.clickArea(3, true);
    RecordingCanvas canvas(TenPortrait);
    ASSERT_EQ(dialog.print(canvas, f.ui), PrintResult::Printed);

    ASSERT_EQ(canvas.pages, 2);
    const PageLayout layout = pageLayout(Orientation::Portrait, Language::English);
    std::vector<std::string> page1 = codes(0, 19);
    const std::vector<std::string> cFirst = codes(120, 135);
    page1.insert(page1.end(), cFirst.begin(), cFirst.end());
    EXPECT_EQ(dataColumn(canvas, 1, 90, layout), page1);
    EXPECT_EQ(dataColumn(canvas, 2, 90, layout), codes(136, 149));
    // The first row of each page sits at p = 0, the last of a full page at 175.
    EXPECT_EQ(canvas.textAt(1, 90, 310), "X-0");
    EXPECT_EQ(canvas.textAt(1, 90, 2060), "X-135");
    EXPECT_EQ(canvas.textAt(2, 90, 310), "X-136");
    for (int page : {1, 2}) {
        EXPECT_EQ(canvas.textAt(page, 90, 260), "Area") << page;
        EXPECT_EQ(canvas.textAt(page, 180, 260), "Setting contents") << page;
        EXPECT_EQ(canvas.rectsOn(page).size(), std::size_t(5 + 37 * 5)) << page;
    }
    EXPECT_EQ(canvas.textAt(1, 760, 160), "PAGE :    1");
    EXPECT_EQ(canvas.textAt(2, 760, 160), "PAGE :    2");
    EXPECT_EQ(canvas.calls.front(), "begin");
    EXPECT_EQ(canvas.calls.back(), "end");
}

// ---- frame, header and columns of each layout

struct LayoutCase {
    const char* name;
    PageGeometry page;
    Language language;
    std::vector<RecordingCanvas::Rect> headerBoxes; // in pixels, 10 to the unit
    std::vector<int> columnBounds;
    int tableTop, tableBottom;
    std::vector<double> textX; // data columns 1 to 5
    double headerX, headerY1, headerY2, headingY, firstRowY;
    std::vector<std::string> headerTexts; // machine, capacity, page, number, customer
    std::vector<std::string> headings;
    const char* font;
};

class Layouts : public ::testing::TestWithParam<LayoutCase> { };

TEST_P(Layouts, FrameHeaderAndColumnsAtTheirPositions)
{
    const LayoutCase& c = GetParam();
    PrintFixture f(c.language, {3});
    PrintPresenter dialog(f.ws);
    dialog.setCustomer("Kelvaro Works");
    dialog.clickArea(0, true);
    RecordingCanvas canvas(c.page);
    ASSERT_EQ(dialog.print(canvas, f.ui), PrintResult::Printed);

    EXPECT_EQ(canvas.title, "71Series Tessaline");
    ASSERT_EQ(canvas.fonts.size(), 1u);
    EXPECT_EQ(canvas.fonts[0].family, c.font);
    EXPECT_TRUE(canvas.fonts[0].fixedPitch);
    EXPECT_GT(canvas.fonts[0].pixelHeight, 0);
    EXPECT_EQ(canvas.pens, std::vector<int> {3});

    const std::vector<RecordingCanvas::Rect> rects = canvas.rectsOn(1);
    ASSERT_GE(rects.size(), c.headerBoxes.size());
    EXPECT_EQ(std::vector<RecordingCanvas::Rect>(rects.begin(), rects.begin() + 5), c.headerBoxes);
    const std::size_t columns = c.columnBounds.size() - 1;
    const RecordingCanvas::Rect firstCell = rects[5];
    const RecordingCanvas::Rect lastCell = rects.back();
    EXPECT_EQ(firstCell,
        (RecordingCanvas::Rect {1, c.columnBounds.front(), c.tableTop, c.columnBounds[1],
            c.tableTop + (c.page.orientation == Orientation::Portrait ? 50 : 60)}));
    EXPECT_EQ(lastCell.x1, c.columnBounds[columns - 1]);
    EXPECT_EQ(lastCell.x2, c.columnBounds.back());
    EXPECT_EQ(lastCell.y2, c.tableBottom);

    EXPECT_EQ(canvas.textAt(1, c.headerX, c.headerY1), c.headerTexts[0]);
    EXPECT_EQ(canvas.textAt(1, 410, c.headerY1), c.headerTexts[1]);
    EXPECT_EQ(canvas.textAt(1, 760, c.headerY1), c.headerTexts[2]);
    EXPECT_EQ(canvas.textAt(1, c.headerX, c.headerY2), c.headerTexts[3]);
    EXPECT_EQ(canvas.textAt(1, 410, c.headerY2), c.headerTexts[4]);
    std::vector<std::string> headings;
    std::vector<std::string> firstRow;
    for (const double x : c.textX) {
        headings.push_back(canvas.textAt(1, x, c.headingY).value_or("?"));
        firstRow.push_back(canvas.textAt(1, x, c.firstRowY).value_or("?"));
    }
    EXPECT_EQ(headings, c.headings);
    EXPECT_EQ(firstRow, (std::vector<std::string> {"X-0", "name 0", "r 0", "0", "1000"}));

    // A text never runs over the frame line on its right.
    for (const RecordingCanvas::Text& t : canvas.texts) {
        for (std::size_t i = 0; i < columns; ++i) {
            if (t.y >= c.firstRowY && std::abs(t.x - c.textX[i]) < 0.01) {
                EXPECT_DOUBLE_EQ(t.clipRight, c.columnBounds[i + 1]) << t.text;
            }
        }
    }
}

const std::vector<std::string> EnglishHeader {"Machine/Control Mode:QM71 Sensorless", "Cap/Volt:5.5kW-200V",
    "PAGE :    1", "Number:#", "Customer Name:Kelvaro Works"};
const std::vector<std::string> JapaneseHeader {"機種・制御モード：QM71 Sensorless", "容量・電圧系：5.5kW-200V",
    "PAGE :    1", "製命番号：#", "顧客名：Kelvaro Works"};
const std::vector<std::string> EnglishHeadings {
    "Area", "Setting contents", "Setting band(Min/Max)", "Initial val.", "Setting val."};
const std::vector<std::string> JapaneseHeadings {"設定ｴﾘｱ", "タイトル", "設定範囲", "ﾃﾞﾌｫﾙﾄ値", "設定値"};

INSTANTIATE_TEST_SUITE_P(PrintLayout, Layouts,
    ::testing::Values(LayoutCase {"PortraitEnglish", TenPortrait, Language::English,
                          {{1, 80, 150, 400, 200}, {1, 400, 150, 750, 200}, {1, 750, 150, 970, 200},
                              {1, 80, 200, 400, 250}, {1, 400, 200, 970, 250}},
                          {80, 170, 420, 730, 850, 970}, 250, 2100, {90, 180, 430, 740, 860}, 90, 160, 210, 260, 310,
                          EnglishHeader, EnglishHeadings, "Courier New"},
        LayoutCase {"PortraitJapanese", TenPortrait, Language::Japanese,
            {{1, 80, 150, 400, 200}, {1, 400, 150, 750, 200}, {1, 750, 150, 970, 200}, {1, 80, 200, 400, 250},
                {1, 400, 200, 970, 250}},
            {80, 160, 480, 800, 890, 970}, 250, 2100, {90, 170, 490, 810, 900}, 90, 160, 210, 260, 310, JapaneseHeader,
            JapaneseHeadings, "ＭＳＰ ゴシック"},
        LayoutCase {"LandscapeEnglish", TenLandscape, Language::English,
            {{1, 60, 160, 400, 220}, {1, 400, 160, 750, 220}, {1, 750, 160, 930, 220}, {1, 60, 220, 400, 280},
                {1, 400, 220, 930, 280}},
            {60, 150, 480, 750, 840, 930}, 280, 2140, {70, 160, 490, 760, 850}, 70, 170, 230, 290, 350, EnglishHeader,
            EnglishHeadings, "Courier New"},
        LayoutCase {"LandscapeJapanese", TenLandscape, Language::Japanese,
            {{1, 60, 160, 400, 220}, {1, 400, 160, 750, 220}, {1, 750, 160, 930, 220}, {1, 60, 220, 400, 280},
                {1, 400, 220, 930, 280}},
            {60, 150, 480, 750, 840, 930}, 280, 2140, {70, 160, 490, 760, 850}, 70, 170, 230, 290, 350, JapaneseHeader,
            JapaneseHeadings, "ＭＳＰ ゴシック"}),
    test::CaseName {});

// ---- the compare layout

struct CompareCase {
    const char* name;
    PageGeometry page;
    Language language;
    std::vector<double> textX; // positions 1 to 6
    double headingY, firstRowY;
    std::vector<std::string> headings;
};

class CompareLayout : public ::testing::TestWithParam<CompareCase> { };

TEST_P(CompareLayout, PrintsTheComparedColumnsOverTheComparisonsAreaLimits)
{
    const CompareCase& c = GetParam();
    PrintFixture f(c.language, {3, 3});
    Document& doc = f.ws.doc;
    doc.state.compareMode = true;
    // The comparison's own limits decide, not the loaded table's.
    tables::Comparison& comparison = doc.comparison.emplace();
    comparison.areaFirst.fill(1);
    comparison.areaLast.fill(0);
    comparison.areaFirst[1] = 50;
    comparison.areaLast[1] = 51;
    for (int w = 50; w <= 51; ++w) {
        const std::string n = std::to_string(w);
        comparison.rows[static_cast<std::size_t>(w)]
            = tables::ComparedRow {"X-" + n, "name " + n, "name " + n, "r " + n};
        comparison.compared.values[static_cast<std::size_t>(w)] = 2000 + w;
    }
    comparison.differs[50] = true;
    PrintPresenter dialog(f.ws);
    dialog.clickArea(1, true);
    RecordingCanvas canvas(c.page);
    ASSERT_EQ(dialog.print(canvas, f.ui), PrintResult::Printed);

    std::vector<std::string> headings;
    std::vector<std::string> firstRow;
    for (std::size_t i = 0; i < c.textX.size(); ++i) {
        if (i < 5)
            headings.push_back(canvas.textAt(1, c.textX[i], c.headingY).value_or("?"));
        firstRow.push_back(canvas.textAt(1, c.textX[i], c.firstRowY).value_or("?"));
    }
    EXPECT_EQ(headings, c.headings);
    EXPECT_FALSE(canvas.textAt(1, c.textX[5], c.headingY)) << "the marker column has no heading";
    const std::string marker = c.language == Language::Japanese ? "*" : "@";
    EXPECT_EQ(firstRow, (std::vector<std::string> {"X-50", "name 50", "r 50", "1050", "2050", marker}));
    const PageLayout layout = pageLayout(c.page.orientation, c.language);
    EXPECT_EQ(dataColumn(canvas, 1, c.textX[0], layout), codes(50, 51));
}

INSTANTIATE_TEST_SUITE_P(PrintLayout, CompareLayout,
    ::testing::Values(
        CompareCase {"PortraitEnglish", TenPortrait, Language::English, {90, 180, 430, 740, 860, 920}, 260, 310,
            {"Area", "Setting contents", "Setting band(Min/Max)", "Setting val.", "Compare val."}},
        CompareCase {"PortraitJapanese", TenPortrait, Language::Japanese, {90, 170, 490, 810, 900, 960}, 260, 310,
            {"設定ｴﾘｱ", "タイトル", "設定範囲", "設定値", "比較値"}},
        CompareCase {"Landscape", TenLandscape, Language::English, {70, 160, 490, 760, 850, 910}, 290, 350,
            {"Area", "Setting contents", "Setting band(Min/Max)", "Setting val.", "Compare val."}}),
    test::CaseName {});

// ---- the dialog's rules

TEST(PrintPresenter, OpensWithHashNumberEmptyCustomerAndNothingChecked)
{
    PrintFixture f(Language::Japanese);
    const PrintPresenter dialog(f.ws);
    EXPECT_EQ(dialog.number(), "#");
    EXPECT_EQ(dialog.customer(), "");
    for (int a = 0; a < AreaCount; ++a)
        EXPECT_FALSE(dialog.areaChecked(a));
    const PrintDialogCaptions captions = dialog.captions();
    EXPECT_EQ(captions.caption, "印刷");
    EXPECT_EQ(captions.areas[0], "基本設定 ｴﾘｱ(Fund)");
    EXPECT_EQ(captions.areas[11], "L ｴﾘｱ");
    EXPECT_EQ(captions.areas[15], "S ｴﾘｱ");
}

struct LimitCase {
    const char* name;
    bool customer;
    std::string typed;
    std::string kept;
};

class TextLimits : public ::testing::TestWithParam<LimitCase> { };

TEST_P(TextLimits, OverlongTextsKeepTheirFirstCharacters)
{
    const LimitCase& c = GetParam();
    PrintFixture f;
    PrintPresenter dialog(f.ws);
    const bool whole = c.customer ? dialog.setCustomer(c.typed) : dialog.setNumber(c.typed);
    EXPECT_EQ(c.customer ? dialog.customer() : dialog.number(), c.kept);
    EXPECT_EQ(whole, c.typed == c.kept);
}

std::string repeat(const std::string& s, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += s;
    return result;
}

INSTANTIATE_TEST_SUITE_P(PrintPresenter, TextLimits,
    ::testing::Values(LimitCase {"NumberOf20Fits", false, repeat("7", 20), repeat("7", 20)},
        LimitCase {"NumberOf21IsCut", false, repeat("7", 21), repeat("7", 20)},
        LimitCase {"JapaneseNumberIsCutBetweenCharacters", false, repeat("製", 25), repeat("製", 20)},
        LimitCase {"CustomerOf50Fits", true, repeat("k", 50), repeat("k", 50)},
        LimitCase {"CustomerOf51IsCut", true, repeat("k", 49) + "顧客", repeat("k", 49) + "顧"}),
    test::CaseName {});

TEST(PrintPresenter, AllCheckAlternatesAndAnAreaClickOnlyClearsItsTick)
{
    PrintFixture f;
    PrintPresenter dialog(f.ws);
    dialog.pressAllCheck();
    EXPECT_TRUE(dialog.allCheckChecked());
    for (int a = 0; a < AreaCount; ++a)
        EXPECT_TRUE(dialog.areaChecked(a));

    dialog.clickArea(4, false);
    EXPECT_FALSE(dialog.allCheckChecked());
    EXPECT_FALSE(dialog.areaChecked(4));
    EXPECT_TRUE(dialog.areaChecked(5));

    // The next press still clears, whatever the area boxes did meanwhile.
    dialog.pressAllCheck();
    EXPECT_FALSE(dialog.allCheckChecked());
    for (int a = 0; a < AreaCount; ++a)
        EXPECT_FALSE(dialog.areaChecked(a));
    dialog.pressAllCheck();
    EXPECT_TRUE(dialog.areaChecked(15));
}

TEST(PrintPresenter, RangeListFollowsAreaOrderNotClickOrder)
{
    PrintFixture f(Language::English, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    PrintPresenter dialog(f.ws);
    dialog.clickArea(15, true);
    dialog.clickArea(3, true);
    dialog.clickArea(0, true);
    EXPECT_EQ(dialog.rangeList(), (PrintRangeList {{0, 1}, {120, 121}, {600, 601}}));
}

TEST(PrintPresenter, NothingCheckedTellsTheUserAndPrintsNothing)
{
    PrintFixture f(Language::Japanese, {5});
    PrintPresenter dialog(f.ws);
    RecordingCanvas canvas(TenPortrait);
    EXPECT_EQ(dialog.print(canvas, f.ui), PrintResult::NoAreaChosen);
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(f.ui.shownTexts(), std::vector<std::string> {"プリントエリアが未定です！"});
}

TEST(PrintPresenter, AreaLimitsBeyondTheDataSetPrintOnlyExistingRows)
{
    PrintFixture f(Language::English, {});
    f.ws.doc.table.areaFirst[0] = 660;
    f.ws.doc.table.areaLast[0] = 65535;
    PrintPresenter dialog(f.ws);
    dialog.clickArea(0, true);
    RecordingCanvas canvas(TenPortrait);
    ASSERT_EQ(dialog.print(canvas, f.ui), PrintResult::Printed);
    EXPECT_EQ(dataColumn(canvas, 1, 90, pageLayout(Orientation::Portrait, Language::English)), codes(660, 664));
}

struct FailureCase {
    const char* name;
    bool failBegin;
    std::optional<int> failPage;
    const char* shown;
    bool aborted;
};

class DeviceFailures : public ::testing::TestWithParam<FailureCase> { };

TEST_P(DeviceFailures, EndTheJobWithTheDevicesWord)
{
    const FailureCase& c = GetParam();
    PrintFixture f(Language::English, {80});
    PrintPresenter dialog(f.ws);
    dialog.clickArea(0, true);
    RecordingCanvas canvas(TenPortrait);
    canvas.failBegin = c.failBegin;
    canvas.failNewPageBefore = c.failPage;
    EXPECT_EQ(dialog.print(canvas, f.ui), PrintResult::Failed);
    EXPECT_EQ(f.ui.shownTexts(), std::vector<std::string> {c.shown});
    EXPECT_EQ(canvas.aborted, c.aborted);
    EXPECT_FALSE(canvas.ended);
    EXPECT_FALSE(dialog.printing());
}

INSTANTIATE_TEST_SUITE_P(PrintPresenter, DeviceFailures,
    ::testing::Values(
        FailureCase {"BeginRefused", true, std::nullopt, "The printout could not be made.\nno printer", false},
        FailureCase {"ThirdPageRefused", false, 3, "The printout could not be made.\nout of paper", true}),
    test::CaseName {});

} // namespace
} // namespace tess::print
