// The Inverter change keeps the document's report of what it did to the
// words, until the next change or close, and saves it as .csv.
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/ConversionReportFile.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"

#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

namespace tess {
namespace {

using catalogue::Model;
using catalogue::SelectionChoice;

SelectionChoice qm71Capacity(int step)
{
    SelectionChoice choice = test::defaultQm71Choice();
    choice.capacityIndex = catalogue::defaultCapacity(Model::QM71) + step;
    return choice;
}

class ChangedDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        selection.choices.push_back(qm71Capacity(0));
        newDocument(demo.ws, demo.ui, selection);
        ASSERT_TRUE(demo.ws.doc.state.open);
        selection.choices.push_back(qm71Capacity(1));
        changeInverter(demo.ws, demo.ui, selection);
        ASSERT_EQ(selection.lastOutcome, catalogue::ScriptOutcome::Accepted);
    }

    test::DemoWorkspace demo;
    catalogue::ScriptedSelection selection;
};

TEST_F(ChangedDemo, RecordsWhatTheChangeDidToEveryWord)
{
    ASSERT_TRUE(demo.ws.doc.conversionReport);
    const tables::ConversionReport& report = *demo.ws.doc.conversionReport;
    EXPECT_EQ(static_cast<int>(report.rows.size()) + report.unchanged, SlotCount);
    EXPECT_EQ(report.count(tables::ConversionKind::SetFromCapacity), 1);
    for (const tables::ConversionRow& row : report.rows) {
        if (row.has(tables::ConversionKind::SetFromCapacity)) {
            EXPECT_EQ(row.valueAfter, std::to_string(demo.ws.doc.identity.capacity));
        }
    }
}

TEST_F(ChangedDemo, KeepsTheReportThroughACancelledChangeAndDropsItOnClose)
{
    selection.choices.push_back(std::nullopt); // the dialog cancelled
    changeInverter(demo.ws, demo.ui, selection);
    EXPECT_TRUE(demo.ws.doc.conversionReport);
    demo.ui.answers.push_back(Answer::No); // do not save
    closeDocument(demo.ws, demo.ui);
    EXPECT_FALSE(demo.ws.doc.state.open);
    EXPECT_FALSE(demo.ws.doc.conversionReport);
}

TEST_F(ChangedDemo, TheNextChangeReportsAgainstTheTableBeforeIt)
{
    selection.choices.push_back(qm71Capacity(1));
    changeInverter(demo.ws, demo.ui, selection);
    ASSERT_TRUE(demo.ws.doc.conversionReport);
    // The same inverter again: nothing moved.
    EXPECT_TRUE(demo.ws.doc.conversionReport->rows.empty());
    EXPECT_EQ(demo.ws.doc.conversionReport->unchanged, SlotCount);
}

TEST_F(ChangedDemo, SavesTheReportAsCp932CsvWithCrLf)
{
    const std::string path = demo.dir.file("report.csv");
    ASSERT_TRUE(
        saveConversionReport(*demo.ws.doc.conversionReport, Language::Japanese, path, *demo.ws.writer, demo.ui));
    const std::string bytes = test::readFile(path);
    const std::string text = cp932ToUtf8(bytes);
    EXPECT_TRUE(text.starts_with("コード,名称,変更内容,"));
    EXPECT_NE(text.find("容量から設定"), std::string::npos);
    EXPECT_TRUE(text.ends_with("変更のない語：" + std::to_string(demo.ws.doc.conversionReport->unchanged) + "\r\n"));
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

TEST_F(ChangedDemo, AReportThatCannotBeWrittenSaysWhichFileAndLeavesTheOldOne)
{
    const std::string path = demo.dir.file("report.csv");
    test::writeFile(path, "old");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    EXPECT_FALSE(saveConversionReport(*demo.ws.doc.conversionReport, Language::English, path, failing, demo.ui));
    EXPECT_EQ(test::readFile(path), "old");
    ASSERT_FALSE(demo.ui.englishTexts().empty());
    const std::string shown = demo.ui.englishTexts().back();
    EXPECT_NE(shown.find("The conversion report could not be saved."), std::string::npos);
    EXPECT_NE(shown.find(path), std::string::npos);
}

} // namespace
} // namespace tess
