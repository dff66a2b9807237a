#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/CompareCommand.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/EditHistory.h"
#include "domain/catalogue/ModelCatalogue.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess {
namespace {

using test::oneDecimalRow;

// What a case does, in order. The rows A and B are two value rows with one
// decimal place.
enum class Step {
    EnterA125, // "12.5" into row A
    EnterA055, // "05.5": stored as 55, shown as 5.5
    EnterA070, // "7.0"
    EnterB987, // "98.7" into row B
    Undo,
    Redo,
    Save,
    SwitchLanguage,
    ChangeInverter,
};

// What a cell shows and holds; no text: as when the data set was saved.
struct Cell {
    const char* text;
    std::int32_t value;
};
constexpr Cell Start {nullptr, 0};

struct HistoryCase {
    const char* name;
    std::vector<Step> steps;
    Cell a;
    Cell b;
    bool saved;
    bool undo;
    bool redo;
    TextId undoText = TextId::MenuUndo;
    TextId redoText = TextId::MenuRedo;
};

// A new data set of the demo installation saved as pump.csl, so that Save
// has somewhere to write.
class SavedDataSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(demo.newDefaultDataSet());
        demo.ui.fileNames.push_back(path);
        saveDocumentAs(ws(), demo.ui);
        ASSERT_TRUE(doc().state.saved);
    }

    void enter(int row, const char* text)
    {
        ASSERT_EQ(commitCellEdit(ws(), demo.ui, row, text).outcome, CellOutcome::Accepted) << text;
    }

    Workspace& ws() { return demo.ws; }
    Document& doc() { return demo.ws.doc; }

    test::DemoWorkspace demo;
    const std::string path = demo.dir.file("pump.csl");
};

class EditHistorySteps : public SavedDataSet, public ::testing::WithParamInterface<HistoryCase> {
protected:
    void SetUp() override
    {
        SavedDataSet::SetUp();
        rowA = oneDecimalRow(doc());
        rowB = oneDecimalRow(doc(), rowA + 1);
        ASSERT_GT(rowB, 0);
        startA = {gridText(ws(), rowA, ColValue), doc().values[static_cast<std::size_t>(rowA - 1)]};
        startB = {gridText(ws(), rowB, ColValue), doc().values[static_cast<std::size_t>(rowB - 1)]};
    }

    void run(Step step)
    {
        switch (step) {
        case Step::EnterA125:
            return enter(rowA, "12.5");
        case Step::EnterA055:
            return enter(rowA, "05.5");
        case Step::EnterA070:
            return enter(rowA, "7.0");
        case Step::EnterB987:
            return enter(rowB, "98.7");
        case Step::Undo:
            undoValueEntry(ws());
            return;
        case Step::Redo:
            redoValueEntry(ws());
            return;
        case Step::Save:
            ASSERT_EQ(saveDocument(ws(), demo.ui), datafile::SaveResult::Saved);
            return;
        case Step::SwitchLanguage:
            switchLanguage(ws(), demo.ui, demo.store, Language::Japanese);
            return;
        case Step::ChangeInverter: {
            catalogue::ScriptedSelection selection;
            catalogue::SelectionChoice choice = test::defaultQm71Choice();
            choice.capacityIndex += 1;
            selection.choices.push_back(choice);
            changeInverter(ws(), demo.ui, selection);
            return;
        }
        }
    }

    void expectCell(int row, const Cell& expected, const std::pair<std::string, std::int32_t>& start)
    {
        const std::string text = expected.text ? expected.text : start.first;
        const std::int32_t value = expected.text ? expected.value : start.second;
        EXPECT_EQ(gridText(ws(), row, ColValue), text) << "row " << row;
        EXPECT_EQ(doc().values[static_cast<std::size_t>(row - 1)], value) << "row " << row;
    }

    int rowA = 0;
    int rowB = 0;
    std::pair<std::string, std::int32_t> startA;
    std::pair<std::string, std::int32_t> startB;
};

TEST_P(EditHistorySteps, LeaveValuesTextsAndSavedStateAsExpected)
{
    const HistoryCase& c = GetParam();
    for (const Step step : c.steps)
        run(step);
    expectCell(rowA, c.a, startA);
    expectCell(rowB, c.b, startB);
    EXPECT_EQ(doc().state.saved, c.saved);
    EXPECT_EQ(ws().view.commands.saveItem, !c.saved);
    EXPECT_EQ(ws().view.commands.undoItem, c.undo);
    EXPECT_EQ(ws().view.commands.redoItem, c.redo);
    EXPECT_EQ(undoCommandText(ws()), c.undoText);
    EXPECT_EQ(redoCommandText(ws()), c.redoText);
    EXPECT_TRUE(demo.ui.messages.empty()) << demo.ui.englishTexts().front();
}

using S = Step;
constexpr Cell A125 {"12.5", 125};
constexpr Cell A055 {"5.5", 55};
constexpr Cell A070 {"7.0", 70};
constexpr Cell B987 {"98.7", 987};

INSTANTIATE_TEST_SUITE_P(EditHistory, EditHistorySteps,
    ::testing::Values(HistoryCase {"NothingEnteredOffersNothing", {}, Start, Start, true, false, false},
        HistoryCase {"UndoPutsBackTheValueAndTheSavedState", {S::EnterA125, S::Undo}, Start, Start, true, false, true},
        HistoryCase {"RedoMakesTheEntryAgain", {S::EnterA125, S::Undo, S::Redo}, A125, Start, false, true, false},
        HistoryCase {"UndoShowsTheValueBefore", {S::EnterA055, S::EnterA070, S::Undo}, A055, Start, false, true, true},
        HistoryCase {
            "UndoTakesBackTheLastEntryOnly", {S::EnterA125, S::EnterB987, S::Undo}, A125, Start, false, true, true},
        HistoryCase {"UndoEverythingThenRedoEverything",
            {S::EnterA055, S::EnterB987, S::EnterA070, S::Undo, S::Undo, S::Undo, S::Redo, S::Redo, S::Redo}, A070,
            B987, false, true, false},
        HistoryCase {"UndoBackToWhereItWasSavedIsSaved", {S::EnterA125, S::Save, S::EnterB987, S::Undo}, A125, Start,
            true, true, true},
        HistoryCase {"UndoPastTheSaveIsUnsaved", {S::EnterA125, S::Save, S::Undo}, Start, Start, false, false, true},
        HistoryCase {
            "RedoBackToTheSaveIsSaved", {S::EnterA125, S::Save, S::Undo, S::Redo}, A125, Start, true, true, false},
        HistoryCase {"AnEntryAfterUndoDropsRedoAndTheSaveBeyondIt",
            {S::EnterA125, S::Save, S::Undo, S::EnterB987, S::Undo}, Start, Start, false, false, true},
        HistoryCase {"LanguageSwitchForgetsTheEntriesAndSaysSo", {S::EnterA125, S::Undo, S::Redo, S::SwitchLanguage},
            A125, Start, false, false, false, TextId::MenuUndoClearedByLanguage, TextId::MenuRedoClearedByLanguage},
        HistoryCase {"LanguageSwitchKeepsTheSavedState", {S::EnterA125, S::Save, S::SwitchLanguage}, A125, Start, true,
            false, false, TextId::MenuUndoClearedByLanguage, TextId::MenuRedoClearedByLanguage},
        HistoryCase {
            "LanguageSwitchWithNothingToForgetSaysNothing", {S::SwitchLanguage}, Start, Start, true, false, false},
        HistoryCase {"AnEntryAfterTheSwitchCanBeTakenBack", {S::EnterA125, S::SwitchLanguage, S::EnterB987, S::Undo},
            A125, Start, false, false, true, TextId::MenuUndoClearedByLanguage, TextId::MenuRedo},
        HistoryCase {"InverterChangeForgetsTheEntriesAndSaysSo", {S::EnterA125, S::Save, S::ChangeInverter}, A125,
            Start, false, false, false, TextId::MenuUndoClearedByInverterChange,
            TextId::MenuRedoClearedByInverterChange}),
    test::CaseName {});

// Close, New and Open start the next data set without entries, and without
// the reason the last one's were forgotten.
TEST_F(SavedDataSet, ANewDataSetStartsAfresh)
{
    const int row = oneDecimalRow(doc());
    enter(row, "12.5");
    switchLanguage(ws(), demo.ui, demo.store, Language::Japanese);
    ASSERT_EQ(undoCommandText(ws()), TextId::MenuUndoClearedByLanguage);

    enter(row, "98.7");
    demo.ui.answers.push_back(Answer::No);
    closeDocument(ws(), demo.ui);
    EXPECT_FALSE(ws().view.commands.undoItem);
    EXPECT_EQ(undoCommandText(ws()), TextId::MenuUndo);
    EXPECT_EQ(undoValueEntry(ws()), 0) << "nothing to take back without a document";

    demo.ui.fileNames.push_back(path);
    openDocument(ws(), demo.ui);
    ASSERT_TRUE(doc().state.open);
    EXPECT_FALSE(ws().view.commands.undoItem);
    EXPECT_FALSE(doc().history.canUndo());
}

// A comparison is for looking: its values cannot be taken back, and the
// entries wait until it ends.
TEST_F(SavedDataSet, NothingIsTakenBackWhileAComparisonIsShown)
{
    // Only a data set opened from a file can be compared.
    closeDocument(ws(), demo.ui);
    demo.ui.fileNames.push_back(path);
    openDocument(ws(), demo.ui);
    const int row = oneDecimalRow(doc());
    const std::int32_t before = doc().values[row - 1];
    enter(row, "12.5");

    demo.ui.fileNames.push_back(path);
    compareFiles(ws(), demo.ui);
    ASSERT_TRUE(doc().state.compareMode);
    EXPECT_FALSE(ws().view.commands.undoItem);
    EXPECT_EQ(undoValueEntry(ws()), 0);
    EXPECT_EQ(doc().values[row - 1], 125);

    endComparison(ws());
    EXPECT_TRUE(ws().view.commands.undoItem);
    EXPECT_EQ(undoValueEntry(ws()), row);
    EXPECT_EQ(doc().values[row - 1], before);
    EXPECT_TRUE(doc().state.saved);
}

} // namespace
} // namespace tess
