#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/CommandStates.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "domain/datafile/DataSetFormat.h"
#include "domain/settings/IniFile.h"
#include "domain/tables/TableFiles.h"
#include "domain/text/Texts.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"
#include "support/GridTexts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tess {
namespace {

using catalogue::ScriptedSelection;
using test::DemoWorkspace;

catalogue::SelectionChoice qm71(int capacity = catalogue::defaultCapacity(catalogue::Model::QM71))
{
    catalogue::SelectionChoice choice = test::defaultQm71Choice();
    choice.capacityIndex = capacity;
    return choice;
}

// The first parameter row whose value has the decimal places given, away
// from the rows the rules between parameters read.
int rowWithDecimals(const Document& doc, const std::string& decimals)
{
    for (int row = 14; row <= SlotCount; ++row)
        if (const std::optional<ParameterDef>& def = doc.table.def(row - 1); def && def->decimalsText == decimals)
            return row;
    return 0;
}

class Commands : public ::testing::Test {
protected:
    explicit Commands(bool specialFunctions = false)
        : demo(Language::English, specialFunctions)
    {
    }

    Workspace& ws() { return demo.ws; }
    Document& doc() { return demo.ws.doc; }
    test::FakeUi& ui() { return demo.ui; }

    void makeNew()
    {
        selection.choices.push_back(qm71());
        newDocument(ws(), ui(), selection);
        ASSERT_TRUE(doc().state.open);
        ui().messages.clear();
    }

    // Types text into the value cell of row and presses Enter.
    void edit(int row, const std::string& text)
    {
        ASSERT_GT(row, 0);
        ASSERT_TRUE(commitCellEdit(ws(), ui(), row, text).handled);
    }

    std::string saveAs(const std::string& name)
    {
        const std::string path = demo.dir.file(name);
        ui().fileNames.push_back(path);
        saveDocumentAs(ws(), ui());
        return path;
    }

    void open(const std::string& path)
    {
        ui().fileNames.push_back(path);
        openDocument(ws(), ui());
    }

    DemoWorkspace demo;
    ScriptedSelection selection;
};

TEST_F(Commands, NewFillsTheGridWithTheTableDefaultsAndIsSavedUntilTheFirstEdit)
{
    makeNew();
    EXPECT_EQ(doc().state.fileName, "new.csl");
    EXPECT_TRUE(doc().state.saved);
    EXPECT_EQ(gridRowCount(gridSource(ws())), GridRowsWithTable);
    EXPECT_EQ(doc().identityTexts.model, "QM71");
    EXPECT_FALSE(doc().identityTexts.romVersion.empty());
    EXPECT_FALSE(ws().view.commands.saveItem);
    EXPECT_TRUE(ui().messages.empty());

    // Close asks nothing while nothing was changed.
    closeDocument(ws(), ui());
    EXPECT_TRUE(ui().questions.empty());
    EXPECT_FALSE(doc().state.open);
}

TEST_F(Commands, NewOrOpenWhileADocumentIsOpenOnlySaySo)
{
    makeNew();
    const ParameterSet before = doc().values;
    newDocument(ws(), ui(), selection);
    open(demo.dir.file("any.csl"));
    EXPECT_EQ(ui().englishTexts(), (std::vector<std::string> {"Please close this file.", "File is already opened."}));
    EXPECT_EQ(selection.runs, 1);
    EXPECT_EQ(doc().values, before);
    EXPECT_EQ(doc().state.fileName, "new.csl");
}

TEST_F(Commands, NewCancelledLeavesNoDocumentAndTheIdentityReset)
{
    doc().identity = InverterIdentity {4, 1, 3, 7};
    newDocument(ws(), ui(), selection); // the queue is empty: Cancel
    EXPECT_FALSE(doc().state.open);
    EXPECT_EQ(doc().identity.model, 0);
    EXPECT_EQ(doc().identity.romVersion, catalogue::newVer(catalogue::Model::QM71, ws().settings.fileVersion));
    EXPECT_EQ(ws().view.commands, [] {
        CommandStates start;
        applyNoDocumentState(start);
        return start;
    }());
}

TEST_F(Commands, SaveWritesOnceAfterAnEditAndThenHasNothingToDo)
{
    makeNew();
    const std::string path = saveAs("pump.csl");
    const int row = rowWithDecimals(doc(), "1");
    edit(row, "12.5");
    EXPECT_EQ(doc().values[static_cast<std::size_t>(row - 1)], 125);
    EXPECT_TRUE(ws().view.commands.saveItem);
    EXPECT_FALSE(doc().state.saved);

    saveDocument(ws(), ui());
    EXPECT_TRUE(doc().state.saved);
    EXPECT_FALSE(ws().view.commands.saveItem);
    std::remove(path.c_str());
    saveDocument(ws(), ui());
    EXPECT_FALSE(fileExists(path)) << "a saved document is not written again";
}

TEST_F(Commands, ASaveRoundTripGivesTheSameDataSetBack)
{
    makeNew();
    const int row = rowWithDecimals(doc(), "1");
    edit(row, "12.5");
    const ParameterSet values = doc().values;
    const InverterIdentity identity = doc().identity;
    const std::string path = saveAs("pump.csl");
    EXPECT_TRUE(fileExists(demo.dir.file("pump.csv")));
    closeDocument(ws(), ui());
    EXPECT_EQ(gridRowCount(gridSource(ws())), GridRowsEmpty);
    EXPECT_TRUE(gridText(ws(), row, ColValue).empty());

    open(path);
    ASSERT_TRUE(doc().state.open);
    EXPECT_NE(doc().content, GridContent::Raw);
    EXPECT_EQ(doc().state.fileName, path);
    EXPECT_EQ(doc().values, values);
    EXPECT_EQ(doc().identity, identity);
    EXPECT_EQ(gridText(ws(), row, ColValue), "12.5");
    EXPECT_EQ(doc().romIndexShown, identity.romVersion);
    EXPECT_EQ(doc().capacityIndexShown, identity.capacity);
    EXPECT_TRUE(ws().view.commands.compareItem) << "an opened document can be compared";
    EXPECT_TRUE(ui().messages.empty());
}

TEST_F(Commands, OpenCancelledTellsTheFileWasNotOpened)
{
    openDocument(ws(), ui());
    EXPECT_EQ(ui().englishTexts(), std::vector<std::string> {"Data file don't open."});
    ASSERT_EQ(ui().fileRequests.size(), 1U);
    EXPECT_EQ(ui().fileRequests[0].filter, "Console Data(*.csl)|*.csl");
    EXPECT_EQ(ui().fileRequests[0].fileName, "*.csl");
    EXPECT_FALSE(doc().state.open);
}

TEST_F(Commands, OpenOfADataSetWithoutTableGivesUpWithTheSpecialFunctionsOff)
{
    test::writeFile(demo.dir.file("odd.csl"), "99\r\n99\r\n99\r\n999\r\n--Data--\r\n5\r\n");
    open(demo.dir.file("odd.csl"));
    EXPECT_FALSE(doc().state.open);
    EXPECT_FALSE(ui().messages.empty());
    EXPECT_EQ(gridRowCount(gridSource(ws())), GridRowsEmpty);
}

class CommandsWithSpecialFunctions : public Commands {
protected:
    CommandsWithSpecialFunctions()
        : Commands(true)
    {
    }
};

TEST_F(CommandsWithSpecialFunctions, ADataSetWithoutTableOpensRaw)
{
    test::writeFile(demo.dir.file("odd.csl"), "99\r\n99\r\n99\r\n999\r\n--Data--\r\n5\r\n-7\r\n");
    open(demo.dir.file("odd.csl"));
    ASSERT_TRUE(doc().state.open);
    EXPECT_EQ(doc().content, GridContent::Raw);
    EXPECT_EQ(doc().identityTexts.model, "----");
    EXPECT_EQ(test::gridRowTexts(ws(), 2),
        (std::array<std::string, GridColumnCount> {"---", "----------", "--------------", "-7", "-7", "0", "5"}));
    // The raw overrides: buttons only.
    EXPECT_FALSE(ws().view.commands.dataWriteButton);
    EXPECT_TRUE(ws().view.commands.dataWriteItem);
    EXPECT_FALSE(ws().view.commands.inverterChangeButton);
    EXPECT_TRUE(ws().view.commands.commLogButton);

    edit(2, "12");
    EXPECT_EQ(doc().edit.statusText, "1 data is changed !");

    // Closing it ends the raw display for whatever comes next.
    ui().answers.push_back(Answer::No);
    closeDocument(ws(), ui());
    EXPECT_NE(doc().content, GridContent::Raw);
}

// ---- a damaged table never becomes a data set

enum class Damage { TableCutInHalf, TableEmpty, CapacityFileHeaderOnly };

struct DamageCase {
    const char* name;
    Damage damage;
};

// The default QM71's table, or its capacity default file, is damaged after a
// good data set was made and saved with one edited value.
class DamagedTable : public Commands, public ::testing::WithParamInterface<DamageCase> {
protected:
    void SetUp() override
    {
        makeNew();
        row = rowWithDecimals(doc(), "1");
        edit(row, "12.5");
        values = doc().values;
        saved = saveAs("pump.csl");
        tablePath = doc().currentTablePath;
        capacityPath = tables::capacityDefaultFilePath(ws().settings.applicationFolder, doc().table.capacityFileName);
        closeDocument(ws(), ui());
        ui().messages.clear();

        const std::string table = test::readFile(tablePath);
        switch (GetParam().damage) {
        case Damage::TableCutInHalf:
            test::writeFile(tablePath, table.substr(0, table.size() / 2));
            damaged = tablePath;
            break;
        case Damage::TableEmpty:
            test::writeFile(tablePath, "");
            damaged = tablePath;
            break;
        case Damage::CapacityFileHeaderOnly: {
            const std::string capacity = test::readFile(capacityPath);
            test::writeFile(capacityPath, capacity.substr(0, capacity.find("\r\n") + 2));
            damaged = capacityPath;
            break;
        }
        }
    }

    // The last message names the damaged file on its second line.
    void expectTheDamagedFileNamed()
    {
        bool named = false;
        for (const std::string& text : ui().englishTexts())
            named = named || (text.starts_with("Area:") && text.find("\n" + damaged) != std::string::npos);
        EXPECT_TRUE(named) << "no \"Area:\" message names " << damaged;
    }

    int row = 0;
    ParameterSet values {};
    std::string saved;
    std::string tablePath;
    std::string capacityPath;
    std::string damaged;
};

TEST_P(DamagedTable, NewGivesNoDataSet)
{
    selection.choices.push_back(qm71());
    newDocument(ws(), ui(), selection);
    expectTheDamagedFileNamed();
    EXPECT_FALSE(doc().state.open);
    EXPECT_EQ(gridRowCount(gridSource(ws())), GridRowsEmpty);
    EXPECT_FALSE(ws().view.commands.saveItem);
    EXPECT_FALSE(ws().view.commands.dataWriteItem) << "no data write of a data set that is none";
}

TEST_P(DamagedTable, OpenKeepsTheFilesValues)
{
    open(saved);
    expectTheDamagedFileNamed();
    ASSERT_TRUE(doc().state.open);
    EXPECT_EQ(doc().values, values);
    EXPECT_TRUE(doc().state.saved);
    // The rows the table did not reach have no texts; none shows a zero.
    EXPECT_TRUE(gridText(ws(), SlotCount, ColCode).empty());
    EXPECT_TRUE(gridText(ws(), SlotCount, ColValue).empty());
}

TEST_P(DamagedTable, InverterChangeKeepsTheValuesUnsaved)
{
    open(saved);
    ui().messages.clear();
    selection.choices.push_back(qm71());
    changeInverter(ws(), ui(), selection);
    expectTheDamagedFileNamed();
    EXPECT_EQ(ui().englishTexts().back(), "Not support Version!");
    EXPECT_TRUE(doc().state.open);
    EXPECT_EQ(doc().values, values);
    EXPECT_FALSE(doc().state.saved);
    EXPECT_TRUE(gridText(ws(), 1, ColCode).empty()) << "no half table shown as the new identity's";
}

INSTANTIATE_TEST_SUITE_P(Commands, DamagedTable,
    ::testing::Values(DamageCase {"TableCutInHalf", Damage::TableCutInHalf},
        DamageCase {"TableEmpty", Damage::TableEmpty},
        DamageCase {"CapacityFileHeaderOnly", Damage::CapacityFileHeaderOnly}),
    test::CaseName {});

struct PromptCase {
    const char* name;
    std::vector<Answer> answers;
    bool chooseFile;
    bool stillOpen;
    bool saved;
};

class ClosePrompt : public Commands, public ::testing::WithParamInterface<PromptCase> { };

TEST_P(ClosePrompt, FollowsTheAnswer)
{
    const PromptCase& c = GetParam();
    makeNew();
    edit(rowWithDecimals(doc(), "1"), "12.5");
    for (Answer a : c.answers)
        ui().answers.push_back(a);
    if (c.chooseFile)
        ui().fileNames.push_back(demo.dir.file("kept.csl"));
    closeDocument(ws(), ui());
    ASSERT_EQ(ui().questions.size(), 1U);
    EXPECT_EQ(ui().questions[0].inLanguage(), "Do you save new.csl?");
    EXPECT_EQ(doc().state.open, c.stillOpen);
    EXPECT_EQ(doc().state.saved, c.saved);
    EXPECT_EQ(fileExists(demo.dir.file("kept.csl")), c.chooseFile);
}

INSTANTIATE_TEST_SUITE_P(Commands, ClosePrompt,
    ::testing::Values(PromptCase {"CancelKeepsTheDocument", {Answer::Cancel}, false, true, false},
        PromptCase {"NoDiscardsTheChanges", {Answer::No}, false, false, true},
        PromptCase {"YesSavesThenCloses", {Answer::Yes}, true, false, true},
        PromptCase {"YesWithTheSaveDialogCancelledKeepsTheDocument", {Answer::Yes}, false, true, false}),
    test::CaseName {});

TEST_F(Commands, TheWindowStaysOpenWhenTheSaveAfterYesIsCancelled)
{
    makeNew();
    edit(rowWithDecimals(doc(), "1"), "12.5");
    ui().answers.push_back(Answer::Yes);
    EXPECT_FALSE(mayCloseMainWindow(ws(), ui(), demo.store));
    EXPECT_TRUE(doc().state.open);

    ui().answers.push_back(Answer::No);
    EXPECT_TRUE(mayCloseMainWindow(ws(), ui(), demo.store));
}

TEST_F(Commands, InverterChangeCancelledChangesNothing)
{
    makeNew();
    const ParameterSet values = doc().values;
    const InverterIdentity identity = doc().identity;
    changeInverter(ws(), ui(), selection);
    EXPECT_EQ(doc().identity, identity);
    EXPECT_TRUE(doc().state.saved);
    EXPECT_EQ(doc().values, values);
}

TEST_F(Commands, InverterChangeKeepsTheValuesAndWaitsToBeSaved)
{
    makeNew();
    const int row = rowWithDecimals(doc(), "1");
    edit(row, "12.5");
    const ParameterSet values = doc().values;
    selection.choices.push_back(qm71(catalogue::defaultCapacity(catalogue::Model::QM71) + 1));
    changeInverter(ws(), ui(), selection);
    ASSERT_EQ(selection.lastOutcome, catalogue::ScriptOutcome::Accepted);
    EXPECT_EQ(doc().identity.capacity, catalogue::defaultCapacity(catalogue::Model::QM71) + 1);
    // Every value stays but the capacity word, which follows the capacity.
    ParameterSet expected = values;
    for (int slot = 0; slot < SlotCount; ++slot)
        if (doc().table.def(slot) && doc().table.def(slot)->capacityWord)
            expected[static_cast<std::size_t>(slot)] = doc().identity.capacity;
    EXPECT_EQ(doc().values, expected);
    EXPECT_EQ(gridText(ws(), row, ColValue), "12.5");
    EXPECT_EQ(doc().identityTexts.capacity,
        catalogue::capacityText(catalogue::Model::QM71, doc().identity.romVersion, doc().identity.capacity)
            .value_or("?"));
    EXPECT_FALSE(doc().state.saved);
    EXPECT_TRUE(ws().view.commands.saveItem);
    EXPECT_TRUE(ui().messages.empty());
}

// The dialog accepts, but the table is gone by the time it is loaded.
class SelectionThenTableGone : public ScriptedSelection {
public:
    catalogue::SelectionOutcome runSelectionDialog(Workspace& ws, Ui& ui, catalogue::SelectionPurpose purpose) override
    {
        const catalogue::SelectionOutcome ended = ScriptedSelection::runSelectionDialog(ws, ui, purpose);
        std::remove(ws.doc.currentTablePath.c_str());
        return ended;
    }
};

TEST_F(Commands, AFailedReloadAfterInverterChangeKeepsValuesAndTheUnsavedMark)
{
    makeNew();
    const ParameterSet values = doc().values;
    SelectionThenTableGone gone;
    gone.choices.push_back(qm71());
    changeInverter(ws(), ui(), gone);
    ASSERT_FALSE(ui().messages.empty());
    EXPECT_EQ(ui().englishTexts().back(), "Not support Version!");
    EXPECT_TRUE(doc().state.open);
    EXPECT_FALSE(doc().state.saved);
    EXPECT_EQ(doc().values, values);

    ui().answers.push_back(Answer::Cancel);
    EXPECT_FALSE(mayCloseMainWindow(ws(), ui(), demo.store)) << "the values must not be dropped without asking";
}

TEST_F(Commands, LanguageSwitchKeepsValuesAndSavedFlagAndRecordsTheChoice)
{
    makeNew();
    const int row = rowWithDecimals(doc(), "1");
    edit(row, "12.5");
    const ParameterSet values = doc().values;
    const std::string englishName = gridText(ws(), row, ColName);
    const std::string englishMode = doc().identityTexts.controlMode;

    switchLanguage(ws(), ui(), demo.store, Language::Japanese);
    EXPECT_EQ(ws().settings.language, Language::Japanese);
    EXPECT_EQ(demo.store.readInteger(UserValueEigo), 0);
    EXPECT_EQ(doc().values, values);
    EXPECT_FALSE(doc().state.saved);
    EXPECT_NE(gridText(ws(), row, ColName), englishName);
    EXPECT_NE(doc().identityTexts.controlMode, englishMode);
    EXPECT_EQ(gridText(ws(), 0, ColValue), "設定値");

    // Messages from now on come in the new language.
    edit(row, "125");
    ASSERT_EQ(ui().messages.size(), 1U);
    EXPECT_EQ(ui().messages[0].language, Language::Japanese);
    EXPECT_EQ(
        ui().messages[0].inLanguage(), "小数点位置が異なります。\n125.0 のように入力してください（小数点以下1桁）");
}

TEST_F(Commands, ChoosingTheLanguageInForceWritesNothing)
{
    demo.store.writeString(UserValueEigo, "");
    switchLanguage(ws(), ui(), demo.store, Language::English);
    EXPECT_FALSE(demo.store.readInteger(UserValueEigo).has_value());
}

TEST_F(Commands, ShowIdentityNamesTheIndicesOfALookupOutsideItsList)
{
    doc().identity = InverterIdentity {0, 0, 99, 0};
    doc().identityTexts = {"a", "b", "c", "d"};
    showIdentity(ws(), ui());
    EXPECT_EQ(ui().englishTexts(), std::vector<std::string> {"INV:0 Cap:99 ROM:0"});
    EXPECT_EQ(doc().identityTexts.model, "QM71");
    EXPECT_EQ(doc().identityTexts.romVersion, "d") << "the boxes after the failing one stay";
}

TEST_F(Commands, CloseClearsEverythingTheDocumentShowed)
{
    makeNew();
    edit(rowWithDecimals(doc(), "1"), "12.5");
    doc().state.compareMode = true;
    ui().answers.push_back(Answer::No);
    closeDocument(ws(), ui());
    EXPECT_TRUE(doc().edit.statusText.empty());
    EXPECT_FALSE(doc().edit.justEdited);
    EXPECT_FALSE(doc().state.compareMode);
    EXPECT_EQ(doc().identityTexts, IdentityTexts {});
    EXPECT_EQ(doc().romIndexShown, std::nullopt);
    EXPECT_FALSE(ws().view.commands.saveItem);
    EXPECT_TRUE(ws().view.commands.newItem);
}

struct StatusClickCase {
    const char* name;
    bool left;
    bool ctrl;
    bool reveals;
};

class StatusBarClick : public ::testing::TestWithParam<StatusClickCase> { };

TEST_P(StatusBarClick, RevealsTheRomMenuOnlyWithCtrlAndTheLeftButton)
{
    Workspace ws;
    statusBarMouseDown(ws, GetParam().left, GetParam().ctrl);
    EXPECT_EQ(ws.view.commands.romMenuVisible, GetParam().reveals);
}

INSTANTIATE_TEST_SUITE_P(Commands, StatusBarClick,
    ::testing::Values(StatusClickCase {"CtrlLeft", true, true, true}, StatusClickCase {"LeftAlone", true, false, false},
        StatusClickCase {"CtrlRight", false, true, false}),
    test::CaseName {});

} // namespace
} // namespace tess
