// The conversion report dialog's rules: the rows of the document's report,
// a filter that finds what the grid's search finds, and "Save report…".
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/ConversionReportPresenter.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tess {
namespace {

using catalogue::Model;
using catalogue::SelectionChoice;

class ReportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        SelectionChoice choice = test::defaultQm71Choice();
        selection.choices.push_back(choice);
        newDocument(demo.ws, demo.ui, selection);
        ASSERT_TRUE(demo.ws.doc.state.open);
        choice.capacityIndex = catalogue::defaultCapacity(Model::QM71) + 1;
        selection.choices.push_back(choice);
        changeInverter(demo.ws, demo.ui, selection);
        ASSERT_TRUE(demo.ws.doc.conversionReport);
    }

    test::DemoWorkspace demo;
    catalogue::ScriptedSelection selection;
};

// The capacity change of the fixture leaves, L-11 and L-12 with
// other decimal places and sets S-2 from the capacity.
std::vector<int> shownSlots(const ConversionReportPresenter& report)
{
    std::vector<int> slots;
    for (int i = 0; i < report.shownRowCount(); ++i)
        slots.push_back(report.shownSlot(i));
    return slots;
}

TEST_F(ReportDialog, ShowsEachRowWithItsKindsValuesAndTheCounts)
{
    ConversionReportPresenter report(demo.ws, demo.ui);
    EXPECT_EQ(report.caption(), "Conversion report");
    EXPECT_EQ(shownSlots(report), (std::vector<int> {30, 31, 454, 455, 605}));
    const std::vector<std::string> capacity = report.shownRow(4);
    const std::vector<std::string> titles = report.columnTitles();
    ASSERT_EQ(capacity.size(), titles.size());
    EXPECT_EQ(titles[0], "Code");
    EXPECT_EQ(capacity[0], "S-2");
    EXPECT_EQ(capacity[1], "Capacity code");
    EXPECT_EQ(capacity[2], "Default differs / Set from capacity");
    EXPECT_EQ(capacity[5], "0"); // value before
    EXPECT_EQ(capacity[6], "1"); // value after
    EXPECT_EQ(report.summaryLines().back(), "660 words kept unchanged");
    EXPECT_EQ(report.shownCountText(), "5 of 5 rows");
}

struct FilterCase {
    const char* name;
    const char* filter;
    std::vector<int> slots;
};

class ReportFilter : public ReportDialog, public ::testing::WithParamInterface<FilterCase> { };

TEST_P(ReportFilter, NarrowsTheRowsAsTheGridSearchDoes)
{
    // The names are looked at in both languages whatever the one in force.
    demo.ws.settings.language = Language::Japanese;
    ConversionReportPresenter report(demo.ws, demo.ui);
    report.setFilter(GetParam().filter);
    EXPECT_EQ(shownSlots(report), GetParam().slots);
}

const FilterCase FilterCases[] = {
    {"EmptyShowsEveryRow", "", {30, 31, 454, 455, 605}},
    {"Code", "s-2", {605}},
    {"EnglishNameInAnyCase", "LEAKAGE", {30, 454}},
    {"JapaneseName", "相互", {31, 455}},
    {"HalfWidthKanaFindsFullWidth", "ﾓｰﾀ2", {454, 455}},
    {"EveryWordMustBeFound", "motor  mutual", {455}},
    {"NothingMatches", "zzz", {}},
};
INSTANTIATE_TEST_SUITE_P(Cases, ReportFilter, ::testing::ValuesIn(FilterCases), test::CaseName {});

TEST_F(ReportDialog, SaveWritesTheReportWhereTheUserChose)
{
    ConversionReportPresenter report(demo.ws, demo.ui);
    report.setFilter("zzz"); // the file holds every row, whatever is shown
    const std::string path = demo.dir.file("capacity.csv");
    demo.ui.fileNames.push_back(path);
    EXPECT_TRUE(report.save());
    ASSERT_EQ(demo.ui.fileRequests.size(), 1u);
    EXPECT_EQ(demo.ui.fileRequests[0].fileName, "new-report.csv");
    EXPECT_EQ(demo.ui.fileRequests[0].defaultExtension, "csv");
    EXPECT_TRUE(demo.ui.fileRequests[0].confirmOverwrite);
    const std::string text = cp932ToUtf8(test::readFile(path));
    EXPECT_TRUE(text.starts_with("Code,Name,Change,")) << text;
    EXPECT_NE(text.find("S-2,Capacity code,"), std::string::npos) << text;
    EXPECT_NE(text.find("A-19,"), std::string::npos) << text;
    EXPECT_TRUE(demo.ui.messages.empty());
}

TEST_F(ReportDialog, ACancelledSaveWritesNothing)
{
    ConversionReportPresenter report(demo.ws, demo.ui);
    demo.ui.fileNames.push_back(std::nullopt);
    EXPECT_FALSE(report.save());
    EXPECT_TRUE(demo.ui.messages.empty());
}

TEST_F(ReportDialog, AFailedSaveNamesTheFileAndTheReason)
{
    ConversionReportPresenter report(demo.ws, demo.ui);
    const std::string path = demo.dir.file("capacity.csv");
    test::writeFile(path, "old");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    demo.ws.writer = &failing;
    demo.ui.fileNames.push_back(path);
    EXPECT_FALSE(report.save());
    EXPECT_EQ(test::readFile(path), "old");
    ASSERT_EQ(demo.ui.englishTexts().size(), 1u);
    const std::string shown = demo.ui.englishTexts()[0];
    EXPECT_NE(shown.find("The conversion report could not be saved."), std::string::npos) << shown;
    EXPECT_NE(shown.find(path), std::string::npos) << shown;
}

TEST_F(ReportDialog, TheMenuItemFollowsTheReportUntilClose)
{
    EXPECT_TRUE(demo.ws.view.commands.conversionReportItem);
    demo.ui.answers.push_back(Answer::No); // do not save
    closeDocument(demo.ws, demo.ui);
    EXPECT_FALSE(demo.ws.view.commands.conversionReportItem);
    selection.choices.push_back(test::defaultQm71Choice());
    newDocument(demo.ws, demo.ui, selection);
    ASSERT_TRUE(demo.ws.doc.state.open);
    EXPECT_FALSE(demo.ws.view.commands.conversionReportItem);
}

} // namespace
} // namespace tess
