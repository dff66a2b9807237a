#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/RecentFiles.h"
#include "domain/common/FileIo.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tess {
namespace {

using test::oneDecimalRow;

// Two saved data sets of the demo installation that differ in one value:
// first.csl and second.csl.
class TwoDataSets : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(demo.newDefaultDataSet());
        row = oneDecimalRow(doc());
        saveAs(first);
        firstValues = doc().values;
        ASSERT_EQ(commitCellEdit(ws(), ui(), row, "12.5").outcome, CellOutcome::Accepted);
        saveAs(second);
        secondValues = doc().values;
        closeDocument(ws(), ui());
        doc().usedFiles.clear();
        ASSERT_TRUE(ui().messages.empty());
    }

    // first.csl open with an entry not yet saved; the recent files list
    // both files, first.csl in front.
    void openFirstWithAnEntry()
    {
        addRecentFile(demo.store, second);
        addRecentFile(demo.store, first);
        ui().fileNames.push_back(first);
        openDocument(ws(), ui());
        ASSERT_TRUE(doc().state.open);
        ASSERT_EQ(commitCellEdit(ws(), ui(), row, "3.0").outcome, CellOutcome::Accepted);
    }

    void saveAs(const std::string& path)
    {
        ui().fileNames.push_back(path);
        saveDocumentAs(ws(), ui());
        ASSERT_TRUE(doc().state.saved);
    }

    Workspace& ws() { return demo.ws; }
    Document& doc() { return demo.ws.doc; }
    test::FakeUi& ui() { return demo.ui; }

    test::DemoWorkspace demo;
    int row = 0;
    const std::string first = demo.dir.file("first.csl");
    const std::string second = demo.dir.file("second.csl");
    ParameterSet firstValues {};
    ParameterSet secondValues {};
};

enum class Before { NoDocument, Saved, Unsaved };

struct OpenAtCase {
    const char* name;
    Before before;
    std::vector<Answer> answers; // to the save prompt
    bool saveDialogNamesAFile; // after Yes
    bool fileReadable;
    bool opens; // the second data set is open afterwards
};

class OpenAt : public TwoDataSets, public ::testing::WithParamInterface<OpenAtCase> { };

TEST_P(OpenAt, FollowsOpensRulesAndThePrompt)
{
    const OpenAtCase& c = GetParam();
    if (c.before == Before::Saved) {
        ui().fileNames.push_back(first);
        openDocument(ws(), ui());
        ASSERT_TRUE(doc().state.open);
    } else if (c.before == Before::Unsaved) {
        openFirstWithAnEntry();
    }
    const ParameterSet shownBefore = doc().values;
    doc().usedFiles.clear();
    for (const Answer answer : c.answers)
        ui().answers.push_back(answer);
    const std::string kept = demo.dir.file("kept.csl");
    if (c.saveDialogNamesAFile)
        ui().fileNames.push_back(kept);
    const std::string path = c.fileReadable ? second : demo.dir.file("gone.csl");

    EXPECT_EQ(openDocumentAt(ws(), ui(), path), c.opens);

    EXPECT_EQ(ui().questions.size(), c.answers.size()) << "the save prompt only for unsaved changes";
    if (c.opens) {
        EXPECT_EQ(doc().state.fileName, second);
        EXPECT_EQ(doc().values, secondValues);
        EXPECT_TRUE(doc().state.saved);
        EXPECT_EQ(gridText(ws(), row, ColValue), "12.5");
        EXPECT_FALSE(doc().history.canUndo());
    } else if (c.before != Before::NoDocument) {
        EXPECT_TRUE(doc().state.open);
        EXPECT_EQ(doc().state.fileName, c.saveDialogNamesAFile ? kept : first);
        EXPECT_EQ(doc().values, shownBefore);
    } else {
        EXPECT_FALSE(doc().state.open);
    }
    std::vector<std::string> used;
    if (c.saveDialogNamesAFile)
        used.push_back(kept);
    if (c.opens)
        used.push_back(second);
    EXPECT_EQ(doc().usedFiles, used);
    EXPECT_EQ(ui().messages.empty(), c.fileReadable) << "an unreadable file is reported by the reader";
}

INSTANTIATE_TEST_SUITE_P(Commands, OpenAt,
    ::testing::Values(OpenAtCase {"NoDocumentOpensIt", Before::NoDocument, {}, false, true, true},
        OpenAtCase {"ASavedDocumentIsReplacedWithoutAsking", Before::Saved, {}, false, true, true},
        OpenAtCase {"NoDropsTheUnsavedChanges", Before::Unsaved, {Answer::No}, false, true, true},
        OpenAtCase {"YesSavesThemFirst", Before::Unsaved, {Answer::Yes}, true, true, true},
        OpenAtCase {"CancelKeepsTheOpenDocument", Before::Unsaved, {Answer::Cancel}, false, true, false},
        OpenAtCase {"YesWithTheSaveGivenUpKeepsIt", Before::Unsaved, {Answer::Yes}, false, true, false},
        OpenAtCase {"AFileThatCannotBeReadKeepsTheOpenDocument", Before::Unsaved, {Answer::No}, false, false, false},
        OpenAtCase {"AFileThatCannotBeReadOpensNothing", Before::NoDocument, {}, false, false, false}),
    test::CaseName {});

TEST(ConsoleDataPath, IsAnyNameEndingInCslInAnyCase)
{
    for (const char* path : {"/data/pump.csl", "pump.CSL", "/a b/Pump.Csl"})
        EXPECT_TRUE(isConsoleDataPath(path)) << path;
    for (const char* path : {"/data/pump.csv", "/data/.csl", ".csl", "pump.csl.bak", "/data/csl", ""})
        EXPECT_FALSE(isConsoleDataPath(path)) << path;
}

// ---- the list in the store

TEST(RecentFiles, NewestFirstOnceAtMostTenAndKeptAcrossRuns)
{
    test::TempDir dir;
    const std::string storePath = dir.file("user.conf");
    {
        FileUserStore store(storePath);
        for (int i = 1; i <= 12; ++i)
            addRecentFile(store, dir.file("f" + std::to_string(i) + ".csl"));
        addRecentFile(store, dir.file("f5.csl"));
    }
    FileUserStore nextRun(storePath);
    std::vector<std::string> expected {test::nativePath(dir.file("f5.csl"))};
    for (int i = 12; i >= 3; --i)
        if (i != 5)
            expected.push_back(test::nativePath(dir.file("f" + std::to_string(i) + ".csl")));
    EXPECT_EQ(recentFiles(nextRun), expected);
}

// The paths of the list in the form the system writes them, made whole
// against the current folder.
std::string listed(const std::string& name)
{
    return utf8Of(std::filesystem::current_path() / pathOf(name));
}

TEST(RecentFiles, APathIsKeptAbsoluteAndOnce)
{
    MemoryUserStore store;
    addRecentFile(store, "pump.csl");
    addRecentFile(store, "./sub/../pump.csl");
    addRecentFile(store, "line\nbreak.csl");
    EXPECT_EQ(recentFiles(store), std::vector<std::string> {listed("pump.csl")});
}

TEST(RecentFiles, AFileLeavesTheListHoweverItIsNamed)
{
    for (const std::string& name : {std::string("pump.csl"), std::string("./sub/../pump.csl"), listed("pump.csl")}) {
        MemoryUserStore store;
        addRecentFile(store, "pump.csl");
        addRecentFile(store, "fan.csl");
        removeRecentFile(store, name);
        EXPECT_EQ(recentFiles(store), std::vector<std::string> {listed("fan.csl")}) << name;
    }
}

// Windows finds a file by its name in any case, so there the two names are
// one entry, the newer spelling standing; Linux has two files.
TEST(RecentFiles, NamesDifferingInCaseAreOneFileWhereTheSystemSaysSo)
{
    MemoryUserStore store;
    addRecentFile(store, "Pump.csl");
    addRecentFile(store, "pump.csl");
#ifdef _WIN32
    const std::vector<std::string> expected {listed("pump.csl")};
#else
    const std::vector<std::string> expected {listed("pump.csl"), listed("Pump.csl")};
#endif
    EXPECT_EQ(recentFiles(store), expected);
    removeRecentFile(store, "PUMP.csl");
#ifdef _WIN32
    EXPECT_TRUE(recentFiles(store).empty());
#else
    EXPECT_EQ(recentFiles(store), expected);
#endif
}

TEST(RecentFiles, RepeatedOrEmptyValuesInTheStoreCountOnce)
{
    MemoryUserStore store;
    store.writeString("RecentFile1", "/a.csl");
    store.writeString("RecentFile3", "/b.csl");
    store.writeString("RecentFile4", "/a.csl");
    EXPECT_EQ(recentFiles(store), (std::vector<std::string> {"/a.csl", "/b.csl"}));
    removeRecentFile(store, "/a.csl");
    EXPECT_EQ(recentFiles(store), std::vector<std::string> {"/b.csl"});
}

TEST_F(TwoDataSets, OpensAndSavesJoinTheListTheLastInFront)
{
    MemoryUserStore& store = demo.store;
    ui().fileNames.push_back(first);
    openDocument(ws(), ui());
    ASSERT_EQ(commitCellEdit(ws(), ui(), row, "3.0").outcome, CellOutcome::Accepted);
    saveDocument(ws(), ui());
    const std::string third = demo.dir.file("third.csl");
    ASSERT_EQ(commitCellEdit(ws(), ui(), row, "4.0").outcome, CellOutcome::Accepted);
    // The save prompt's Save As counts as well.
    ui().answers.push_back(Answer::Yes);
    ui().fileNames.push_back(third);
    closeDocument(ws(), ui());
    ASSERT_FALSE(doc().state.open);
    rememberUsedFiles(ws(), store);
    EXPECT_EQ(recentFiles(store), (std::vector<std::string> {test::nativePath(third), test::nativePath(first)}));
    EXPECT_TRUE(ws().view.commands.recentFilesMenu);
    EXPECT_TRUE(doc().usedFiles.empty());
}

TEST_F(TwoDataSets, ARecentFileOpensByOpensRulesAndMovesToTheFront)
{
    MemoryUserStore& store = demo.store;
    openFirstWithAnEntry();

    ui().answers.push_back(Answer::Cancel);
    EXPECT_FALSE(openRecentFile(ws(), ui(), store, second));
    EXPECT_EQ(doc().state.fileName, first);

    ui().answers.push_back(Answer::No);
    EXPECT_TRUE(openRecentFile(ws(), ui(), store, second));
    EXPECT_EQ(doc().values, secondValues);
    EXPECT_EQ(recentFiles(store), (std::vector<std::string> {test::nativePath(second), test::nativePath(first)}));
}

TEST_F(TwoDataSets, ARecentFileThatIsGoneLeavesTheListWithAMessage)
{
    MemoryUserStore& store = demo.store;
    openFirstWithAnEntry();
    std::remove(second.c_str());

    EXPECT_FALSE(openRecentFile(ws(), ui(), store, second));
    EXPECT_TRUE(ui().questions.empty()) << "no save prompt for a file that cannot be opened";
    ASSERT_FALSE(ui().messages.empty());
    EXPECT_EQ(ui().messages.back().text, message(TextId::MsgRecentFileMissing, second));
    EXPECT_EQ(recentFiles(store), std::vector<std::string> {test::nativePath(first)});
    EXPECT_EQ(doc().state.fileName, first);
    EXPECT_FALSE(doc().state.saved);

    removeRecentFile(store, first);
    showRecentFilesCommand(ws(), store);
    EXPECT_FALSE(ws().view.commands.recentFilesMenu) << "an empty list offers no submenu";
}

} // namespace
} // namespace tess
