#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/CommandStates.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/CompareCommand.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/MainWindowTexts.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "domain/datafile/DataSetFormat.h"
#include "domain/text/Texts.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"
#include "support/GridTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess {
namespace {

using test::DemoWorkspace;

// A QM71 data set of the demo installation, saved as base.csl and opened
// again: the document a comparison starts from.
class CompareFixture : public ::testing::Test {
protected:
    explicit CompareFixture(Language language = Language::English)
        : demo(language)
    {
        demo.newDefaultDataSet();
        basePath = demo.dir.file("base.csl");
        ui().fileNames.push_back(basePath);
        saveDocumentAs(ws(), ui());
        closeDocument(ws(), ui());
        ui().fileNames.push_back(basePath);
        openDocument(ws(), ui());
        baseIdentity = doc().identity;
        baseValues = doc().values;
        ui().messages.clear();
        ui().busyCount = 0;
        ui().fileRequests.clear();
    }

    Workspace& ws() { return demo.ws; }
    Document& doc() { return demo.ws.doc; }
    test::FakeUi& ui() { return demo.ui; }

    // A data set file of its own beside the base.
    std::string writeDataSet(const std::string& name, const InverterIdentity& identity, const ParameterSet& values)
    {
        const std::string path = demo.dir.file(name);
        test::writeFile(path, datafile::formatDataSet(identity, values));
        return path;
    }
    // The base with the value of grid row changed by one.
    std::string baseWithRowChanged(const std::string& name, int row)
    {
        ParameterSet values = baseValues;
        values[static_cast<std::size_t>(row - 1)] += 1;
        return writeDataSet(name, baseIdentity, values);
    }
    void compare(const std::string& path)
    {
        ui().fileNames.push_back(path);
        compareFiles(ws(), ui());
    }
    // A parameter row away from the rows the rules between parameters read.
    int parameterRow(const std::string& decimals = "1") const
    {
        for (int row = 14; row <= SlotCount; ++row)
            if (!gridText(demo.ws, row, ColCode).empty() && gridText(demo.ws, row, ColDecimals) == decimals)
                return row;
        return 0;
    }
    int rowOfCode(const std::string& code) const
    {
        for (int row = 1; row <= SlotCount; ++row)
            if (gridText(demo.ws, row, ColCode) == code)
                return row;
        return 0;
    }
    std::vector<int> markedRows() const
    {
        std::vector<int> rows;
        for (int row = 1; row < GridRowsWithTable; ++row)
            if (!gridText(demo.ws, row, ColFigures).empty() && demo.ws.doc.state.compareMode)
                rows.push_back(row);
        return rows;
    }
    std::pair<std::string, std::string> titles() const
    {
        return {gridText(demo.ws, 0, ColDecimals), gridText(demo.ws, 0, ColFigures)};
    }
    // The commands of the opened data set, whatever the comparison did.
    void expectOpenedCommands() const
    {
        const CommandStates& c = demo.ws.view.commands;
        EXPECT_TRUE(c.saveAsItem && c.saveAsButton);
        EXPECT_TRUE(c.closeItem && c.closeButton);
        EXPECT_TRUE(c.compareItem && c.compareButton);
        EXPECT_TRUE(c.printItem && c.printButton);
        EXPECT_TRUE(c.executeMenu && c.optionsMenu && c.languageMenu && c.helpMenu);
        EXPECT_TRUE(
            c.dataWriteItem && c.dataWriteButton && c.inverterChangeItem && c.inverterChangeButton && c.commLogButton);
        EXPECT_FALSE(c.dataReadItem || c.dataReadButton);
        EXPECT_EQ(c.saveItem, !demo.ws.doc.state.saved);
    }

    DemoWorkspace demo;
    std::string basePath;
    InverterIdentity baseIdentity;
    ParameterSet baseValues {};
};

class CompareCommand : public CompareFixture { };

TEST_F(CompareCommand, ComparingAFileWithItselfMarksNothing)
{
    const int row = parameterRow();
    ASSERT_GT(row, 0);
    compare(basePath);
    EXPECT_TRUE(ui().messages.empty());
    EXPECT_TRUE(doc().state.compareMode);
    EXPECT_EQ(titles(), (std::pair<std::string, std::string> {"Compare value", "Judgment"}));
    EXPECT_TRUE(markedRows().empty());
    EXPECT_EQ(gridText(ws(), row, ColDecimals), gridText(ws(), row, ColValue));
    EXPECT_EQ(fileNameBoxText(doc()), basePath);
    EXPECT_EQ(ui().busyCount, 1);

    CommandStates comparing = ws().view.commands;
    EXPECT_TRUE(comparing.closeItem && comparing.compareItem && comparing.printItem);
    EXPECT_TRUE(comparing.closeButton && comparing.compareButton && comparing.printButton);
    comparing.closeItem = comparing.compareItem = comparing.printItem = false;
    comparing.closeButton = comparing.compareButton = comparing.printButton = false;
    EXPECT_FALSE(comparing.newItem || comparing.openItem || comparing.saveItem || comparing.saveAsItem
        || comparing.transferHistoryItem);
    EXPECT_FALSE(comparing.executeMenu || comparing.optionsMenu || comparing.languageMenu || comparing.helpMenu
        || comparing.romMenu);
    for (const CommandControl& control : commandControls()) {
        if (control.name.starts_with("SpeedButton")) {
            EXPECT_FALSE(comparing.*control.enabled) << control.name;
        }
    }
}

// Ctrl+W, Close's key, ends a comparison first; the data set is closed by
// the next one.
TEST_F(CompareCommand, CtrlWIsEndComparisonsKeyWhileOneIsShown)
{
    using C = CommandStates;
    const auto holder = [&] { return commandOfKeys("Ctrl+W", ws().view.commands); };
    EXPECT_EQ(holder(), &C::closeItem);
    compare(baseWithRowChanged("other.csl", parameterRow()));
    ASSERT_TRUE(doc().state.compareMode);
    EXPECT_TRUE(ws().view.commands.endComparisonItem && ws().view.commands.closeItem);
    EXPECT_EQ(holder(), &C::endComparisonItem);
    endComparison(ws());
    EXPECT_FALSE(ws().view.commands.endComparisonItem);
    EXPECT_EQ(holder(), &C::closeItem);
    closeDocument(ws(), ui());
    EXPECT_EQ(holder(), &C::closeItem); // greyed there
}

TEST_F(CompareCommand, CapacityOnlyDifferenceWarnsThenCompares)
{
    InverterIdentity other = baseIdentity;
    other.capacity = static_cast<std::int16_t>(other.capacity + 1);
    const std::optional<catalogue::Model> model = catalogue::modelOf(other.model);
    ASSERT_TRUE(model);
    ASSERT_TRUE(catalogue::capacityText(*model, other.romVersion, other.capacity));
    compare(writeDataSet("other.csl", other, baseValues));
    EXPECT_EQ(ui().englishTexts(), std::vector<std::string> {"Capacity does not accord."});
    ASSERT_TRUE(doc().state.compareMode);
    // The capacity index itself is the one value that differs.
    const int s2 = rowOfCode("S-2");
    ASSERT_GT(s2, 0);
    EXPECT_EQ(markedRows(), std::vector<int> {s2});
    EXPECT_EQ(doc().identity, baseIdentity);
}

// A compared file that cannot be used is named, as an opened one is.
TEST_F(CompareFixture, AnUnusableComparedFileIsNamed)
{
    const std::string notData = demo.dir.file("notes.csl");
    test::writeFile(notData, "shopping list\r\n");
    const std::string missing = demo.dir.file("missing.csl");
    const std::vector<std::pair<std::string, std::string>> cases {
        {notData, std::string(text(TextId::DataFileNotConsoleData, Language::English)) + "\n" + notData},
        {missing, "File cannot open!!\n" + missing + ": " + test::missingReason(missing)},
    };
    for (const auto& [path, expected] : cases) {
        ui().messages.clear();
        compare(path);
        ASSERT_FALSE(ui().messages.empty()) << path;
        EXPECT_EQ(ui().englishTexts().front(), expected);
        EXPECT_FALSE(doc().state.compareMode);
        EXPECT_EQ(doc().values, baseValues);
    }
}

struct MismatchCase {
    const char* name;
    InverterIdentity change; // added to the base identity
    const char* message;
};

class IdentityMismatch : public CompareFixture, public ::testing::WithParamInterface<MismatchCase> { };

TEST_P(IdentityMismatch, IsRefusedAndTheOpenDataSetStays)
{
    const MismatchCase& c = GetParam();
    const InverterIdentity other {static_cast<std::int16_t>(baseIdentity.model + c.change.model),
        static_cast<std::int16_t>(baseIdentity.controlMode + c.change.controlMode),
        static_cast<std::int16_t>(baseIdentity.capacity + c.change.capacity),
        static_cast<std::int16_t>(baseIdentity.romVersion + c.change.romVersion)};
    ParameterSet otherValues = baseValues;
    otherValues.fill(3);
    const auto before = test::gridTexts(ws());

    compare(writeDataSet("other.csl", other, otherValues));
    EXPECT_EQ(ui().englishTexts(), (std::vector<std::string> {c.message, "Unable to compare the files."}));
    EXPECT_FALSE(doc().state.compareMode);
    EXPECT_EQ(doc().identity, baseIdentity);
    EXPECT_EQ(doc().values, baseValues);
    for (int row = 0; row < GridRowsWithTable; ++row)
        ASSERT_EQ(test::gridRowTexts(ws(), row), before[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(fileNameBoxText(doc()), basePath);
    expectOpenedCommands();

    // Save As writes the open data set, not the refused file.
    const std::string saved = demo.dir.file("saved.csl");
    ui().fileNames.push_back(saved);
    saveDocumentAs(ws(), ui());
    const datafile::ParsedDataSet back = datafile::parseDataSet(test::readFile(saved));
    EXPECT_EQ(back.identity, baseIdentity);
    EXPECT_EQ(back.values, baseValues);
}

INSTANTIATE_TEST_SUITE_P(CompareCommand, IdentityMismatch,
    ::testing::Values(MismatchCase {"Model", {1, 0, 0, 0}, "A model does not accord."},
        MismatchCase {"ControlMode", {0, 1, 0, 0}, "A control mode does not accord."},
        MismatchCase {"RomVersion", {0, 0, 0, -1}, "ROM version does not accord."}),
    test::CaseName {});

TEST_F(CompareCommand, CancellingTheDialogLeavesTheDataSetAsItWas)
{
    const auto before = test::gridTexts(ws());
    compareFiles(ws(), ui()); // no file chosen
    ASSERT_EQ(ui().fileRequests.size(), 1U);
    EXPECT_EQ(ui().fileRequests[0].filter, "Console Data(*.csl)|*.csl");
    EXPECT_TRUE(ui().messages.empty());
    EXPECT_FALSE(doc().state.compareMode);
    EXPECT_EQ(titles(), (std::pair<std::string, std::string> {"Decimal p.p.", "Signif. fig."}));
    for (int row = 0; row < GridRowsWithTable; ++row)
        ASSERT_EQ(test::gridRowTexts(ws(), row), before[static_cast<std::size_t>(row)]) << row;
    expectOpenedCommands();
}

TEST_F(CompareCommand, AFailedSecondComparisonKeepsTheFirst)
{
    const int row = parameterRow();
    const std::string changed = baseWithRowChanged("changed.csl", row);
    compare(changed);
    ASSERT_EQ(markedRows(), std::vector<int> {row});

    InverterIdentity other = baseIdentity;
    other.model = static_cast<std::int16_t>(other.model + 1);
    compare(writeDataSet("other.csl", other, baseValues));
    test::writeFile(demo.dir.file("garbled.csl"), "no data set");
    compare(demo.dir.file("garbled.csl"));
    compareFiles(ws(), ui()); // cancelled
    EXPECT_TRUE(doc().state.compareMode);
    EXPECT_EQ(titles(), (std::pair<std::string, std::string> {"Compare value", "Judgment"}));
    EXPECT_EQ(markedRows(), std::vector<int> {row});
    EXPECT_EQ(fileNameBoxText(doc()), changed);
    EXPECT_TRUE(ws().view.commands.closeItem && !ws().view.commands.saveAsItem);
}

TEST_F(CompareCommand, CloseAfterAComparisonRestoresTheWindow)
{
    compare(baseWithRowChanged("changed.csl", parameterRow()));
    ASSERT_TRUE(doc().state.compareMode);
    closeDocument(ws(), ui());
    EXPECT_FALSE(doc().state.open);
    EXPECT_FALSE(doc().state.compareMode);
    EXPECT_EQ(titles(), (std::pair<std::string, std::string> {"Decimal p.p.", "Signif. fig."}));
    EXPECT_TRUE(fileNameBoxText(doc()).empty());
    EXPECT_TRUE(ws().view.commands.newItem && ws().view.commands.openItem && ws().view.commands.languageMenu
        && ws().view.commands.executeMenu);
}

// Unsaved entries, then a comparison, then Close with Yes: the data set and
// its readable copy are the open data set's, not the comparison's.
TEST_F(CompareCommand, SavingFromTheClosePromptWritesTheOpenDataSet)
{
    const int edited = parameterRow();
    ASSERT_TRUE(commitCellEdit(ws(), ui(), edited, "12.5").handled);
    const ParameterSet own = doc().values;
    const auto ownRow = test::gridRowTexts(ws(), edited);
    compare(basePath);
    ASSERT_EQ(markedRows(), std::vector<int> {edited});

    ui().answers.push_back(Answer::Yes);
    ui().fileNames.push_back(demo.dir.file("kept.csl"));
    closeDocument(ws(), ui());
    EXPECT_FALSE(doc().state.open);
    EXPECT_EQ(datafile::parseDataSet(test::readFile(demo.dir.file("kept.csl"))).values, own);
    const std::string csv = cp932ToUtf8(test::readFile(demo.dir.file("kept.csv")));
    const std::vector<std::string_view> lines = splitLines(csv);
    ASSERT_GT(lines.size(), static_cast<std::size_t>(edited + 1));
    EXPECT_TRUE(lines[1].ends_with(",Decimal p.p.,Signif. fig."));
    EXPECT_TRUE(lines[static_cast<std::size_t>(edited + 1)].ends_with(",12.5," + ownRow[5] + "," + ownRow[6]))
        << lines[static_cast<std::size_t>(edited + 1)];
}

struct MarkerCase {
    const char* name;
    Language language;
    const char* marker;
    const char* valueTitle;
};

class DifferenceMarker : public CompareFixture, public ::testing::WithParamInterface<MarkerCase> {
protected:
    DifferenceMarker()
        : CompareFixture(GetParam().language)
    {
    }
};

TEST_P(DifferenceMarker, MarksTheChangedValueInTheLanguage)
{
    const int row = parameterRow();
    compare(baseWithRowChanged("changed.csl", row));
    EXPECT_TRUE(ui().messages.empty());
    EXPECT_EQ(markedRows(), std::vector<int> {row});
    EXPECT_EQ(gridText(ws(), row, ColFigures), GetParam().marker);
    EXPECT_NE(gridText(ws(), row, ColDecimals), gridText(ws(), row, ColValue));
    EXPECT_EQ(gridText(ws(), 0, ColDecimals), GetParam().valueTitle);
    EXPECT_EQ(doc().values, baseValues);
}

INSTANTIATE_TEST_SUITE_P(CompareCommand, DifferenceMarker,
    ::testing::Values(MarkerCase {"English", Language::English, "@", "Compare value"},
        MarkerCase {"Japanese", Language::Japanese, "*", "比較ﾌｧｲﾙ値"}),
    test::CaseName {});

} // namespace
} // namespace tess
