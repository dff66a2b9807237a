#include "domain/print/CommissioningReport.h"
#include "domain/text/Texts.h"

#include "support/CaseName.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace tess::print {
namespace {

using test::RecordingCanvas;

// 10 pixels to the logical unit both ways, so expected pixels read as units.
constexpr PageGeometry A4TenPerUnit {1010, 2200, Orientation::Portrait};

// A report of one area with `rows` changed parameters "A-<n>" whose value is
// n + 0.5 and default n.
CommissioningReportInput reportWith(int rows, bool transaction = false)
{
    CommissioningReportInput in;
    in.site = "Plant 7";
    in.tag = "PUMP-3";
    in.engineer = "K. Sato";
    in.dateTime = "2026-12-11 09:30";
    in.fileName = "pump3.csl";
    in.fileSha256 = std::string(64, 'a');
    in.model = "QM71";
    in.controlMode = "Sensorless";
    in.capacity = "5.5kW-200V";
    in.romVersion = "Q0100";
    in.parameterCount = 665;
    in.changedCount = rows;
    ReportGroup& group = in.groups.emplace_back();
    group.area = "A";
    for (int n = 0; n < rows; ++n)
        group.rows.push_back(ReportRow {"A-" + std::to_string(n), "name " + std::to_string(n), std::to_string(n) + ".5",
            std::to_string(n), "0～999"});
    if (transaction)
        in.transaction = ReportTransaction {"2026-12-11 09:00", "done", 589, 589, {}, "matched"};
    return in;
}

int pagesOf(const CommissioningReportInput& in)
{
    RecordingCanvas canvas(A4TenPerUnit);
    const PrintOutcome outcome = printCommissioningReport(canvas, in);
    EXPECT_TRUE(outcome.status.ok);
    EXPECT_EQ(outcome.pages, canvas.pages);
    return canvas.pages;
}

bool drawnOn(const RecordingCanvas& canvas, int page, const std::string& text)
{
    return std::any_of(canvas.texts.begin(), canvas.texts.end(),
        [&](const RecordingCanvas::Text& t) { return t.page == page && t.text == text; });
}

// The rows a page can take, with the room the signatures need kept on the
// last page: the group's heading takes the first line.
struct PageCountCase {
    const char* name;
    bool transaction;
    int (*rows)(const ReportCapacity&);
    int pages;
};

class ReportPageCount : public ::testing::TestWithParam<PageCountCase> { };

TEST_P(ReportPageCount, GrowsWithTheListAsComputed)
{
    const PageCountCase& c = GetParam();
    const ReportCapacity capacity = reportCapacity(reportWith(0, c.transaction));
    const CommissioningReportInput in = reportWith(c.rows(capacity), c.transaction);
    EXPECT_EQ(pagesOf(in), c.pages);
    EXPECT_EQ(static_cast<int>(layOutReport(in).size()), c.pages);
}

INSTANTIATE_TEST_SUITE_P(CommissioningReport, ReportPageCount,
    ::testing::Values(PageCountCase {"NothingChanged", false, [](const ReportCapacity&) { return 0; }, 1},
        PageCountCase {"FirstPageFullWithSignatures", false,
            [](const ReportCapacity& c) { return c.firstPageLines - 1 - c.signatureLines; }, 1},
        PageCountCase {"OneRowMoreMovesTheSignatures", false,
            [](const ReportCapacity& c) { return c.firstPageLines - c.signatureLines; }, 2},
        PageCountCase {"FirstPageFullOfRows", false, [](const ReportCapacity& c) { return c.firstPageLines - 1; }, 2},
        PageCountCase {"TwoPagesFullWithSignatures", false,
            [](const ReportCapacity& c) { return c.firstPageLines - 1 + c.laterPageLines - c.signatureLines; }, 2},
        PageCountCase {
            "ThirdPageBegun", false, [](const ReportCapacity& c) { return c.firstPageLines + c.laterPageLines; }, 3},
        PageCountCase {"TransactionLeavesLessOnPageOne", true,
            [](const ReportCapacity& c) { return c.firstPageLines - c.signatureLines; }, 2},
        PageCountCase {"All665", false, [](const ReportCapacity&) { return 665; }, 19}),
    test::CaseName {});

TEST(CommissioningReport, TheTransactionTakesRoomFromTheFirstPageOnly)
{
    const ReportCapacity without = reportCapacity(reportWith(0, false));
    const ReportCapacity with = reportCapacity(reportWith(0, true));
    EXPECT_LT(with.firstPageLines, without.firstPageLines);
    EXPECT_EQ(with.laterPageLines, without.laterPageLines);
}

TEST(CommissioningReport, EveryChangedCodeAppearsWithItsValueAndEveryPageItsNumber)
{
    const CommissioningReportInput in = reportWith(120, true);
    RecordingCanvas canvas(A4TenPerUnit);
    ASSERT_TRUE(printCommissioningReport(canvas, in).status.ok);
    ASSERT_GE(canvas.pages, 3);

    std::set<std::string> drawn;
    for (const RecordingCanvas::Text& t : canvas.texts)
        drawn.insert(t.text);
    for (const ReportRow& row : in.groups.front().rows) {
        EXPECT_TRUE(drawn.count(row.code)) << row.code;
        EXPECT_TRUE(drawn.count(row.name)) << row.name;
    }
    for (int page = 1; page <= canvas.pages; ++page)
        EXPECT_TRUE(drawnOn(canvas, page, reportPageNumberText(page, canvas.pages))) << page;
    for (const std::string& header : {in.site, in.tag, in.engineer, in.dateTime, in.fileSha256, in.fileName})
        EXPECT_TRUE(drawnOn(canvas, 1, header)) << header;
    EXPECT_TRUE(drawnOn(canvas, 1, "Changed from default: 120 of 665 parameters"));
    EXPECT_TRUE(drawnOn(canvas, 1, "Last write to this drive (2026-12-11 09:00): done"));
    EXPECT_TRUE(drawnOn(canvas, 1, "Written 589 of 589 words, verify: matched"));
}

TEST(CommissioningReport, NumbersLineUpOnTheirDecimalPoints)
{
    CommissioningReportInput in = reportWith(0);
    in.groups.front().rows = {
        {"A-00", "n", "1.50", "-12.5", ""},
        {"A-01", "n", "-300", "0.001", ""},
        {"A-02", "n", "65535", "7", ""},
    };
    RecordingCanvas canvas(A4TenPerUnit);
    ASSERT_TRUE(printCommissioningReport(canvas, in).status.ok);

    const auto pieces = [&](double pointX) {
        std::vector<std::string> wholes;
        std::vector<std::string> fractions;
        for (const RecordingCanvas::Text& t : canvas.texts) {
            if (std::abs(t.x - pointX) > 0.01)
                continue;
            (t.rightAligned ? wholes : fractions).push_back(t.text);
        }
        return std::pair {wholes, fractions};
    };
    const auto [valueWholes, valueFractions] = pieces(ReportValuePointX * 10.0);
    EXPECT_EQ(valueWholes, (std::vector<std::string> {"1", "-300", "65535"}));
    EXPECT_EQ(valueFractions, (std::vector<std::string> {".50"}));
    const auto [defaultWholes, defaultFractions] = pieces(ReportDefaultPointX * 10.0);
    EXPECT_EQ(defaultWholes, (std::vector<std::string> {"-12", "0", "7"}));
    EXPECT_EQ(defaultFractions, (std::vector<std::string> {".5", ".001"}));
}

TEST(CommissioningReport, SignatureLinesOnTheLastPageOnly)
{
    const CommissioningReportInput in = reportWith(100);
    RecordingCanvas canvas(A4TenPerUnit);
    ASSERT_TRUE(printCommissioningReport(canvas, in).status.ok);
    ASSERT_GE(canvas.pages, 2);

    const std::string engineer(text(TextId::ReportSignEngineer, Language::English));
    const std::string customer(text(TextId::ReportSignCustomer, Language::English));
    for (int page = 1; page <= canvas.pages; ++page) {
        const bool last = page == canvas.pages;
        EXPECT_EQ(drawnOn(canvas, page, engineer), last) << page;
        EXPECT_EQ(drawnOn(canvas, page, customer), last) << page;
        // The lines to sign on: flat rectangles below the table's rule.
        int lines = 0;
        for (const RecordingCanvas::Rect& r : canvas.rectsOn(page))
            lines += r.y1 == r.y2 && r.x1 > 100 ? 1 : 0;
        EXPECT_EQ(lines, last ? 4 : 0) << page;
    }
}

TEST(CommissioningReport, JapaneseReportUsesJapaneseCaptionsAndTheChosenFace)
{
    CommissioningReportInput in = reportWith(3);
    in.language = Language::Japanese;
    RecordingCanvas canvas(A4TenPerUnit);
    ASSERT_TRUE(printCommissioningReport(canvas, in).status.ok);
    EXPECT_TRUE(drawnOn(canvas, 1, "試運転報告書"));
    EXPECT_TRUE(drawnOn(canvas, 1, "A エリア"));
    ASSERT_FALSE(canvas.fonts.empty());
    EXPECT_EQ(canvas.fonts.front().family, std::string(text(TextId::PrintFontName, Language::Japanese)));
}

TEST(CommissioningReport, FailingPageEndsTheJob)
{
    RecordingCanvas canvas(A4TenPerUnit);
    canvas.failNewPageBefore = 2;
    const PrintOutcome outcome = printCommissioningReport(canvas, reportWith(200));
    EXPECT_FALSE(outcome.status.ok);
    EXPECT_TRUE(canvas.aborted);
    EXPECT_EQ(outcome.pages, 1);
}

} // namespace
} // namespace tess::print
