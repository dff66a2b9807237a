#include "app/catalogue/AddRomFilesPresenter.h"
#include "app/common/Workspace.h"
#include "app/tables/TableLookup.h"
#include "domain/tables/TableFiles.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tess {
namespace {

using catalogue::AddRomFilesPresenter;
using Strings = std::vector<std::string>;

int choiceOf(std::string_view name)
{
    const auto choices = catalogue::romFileModelChoices();
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].name() == name)
            return static_cast<int>(i);
    return -1;
}

std::set<std::string> entriesOf(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// An installation folder with the model folders start-up makes, and a
// folder of new tables to add from.
class AddRomFilesPresenterTest : public ::testing::Test {
protected:
    AddRomFilesPresenterTest()
    {
        ws.settings.applicationFolder = dir.file("inst/");
        ws.view.commands.romMenuVisible = true;
        for (std::string_view name : {"QM71", "LX71RTP"})
            std::filesystem::create_directories(ws.settings.applicationFolder + std::string(name));
    }

    // Writes the files into the source folder and answers the next file
    // dialog with their paths.
    std::string offer(const Strings& names)
    {
        std::string answer;
        for (const std::string& name : names) {
            test::writeFile(source(name), "table " + name + "\r\n");
            answer += (answer.empty() ? "" : "\n") + source(name);
        }
        ui.fileNames.push_back(answer);
        return answer;
    }
    std::string source(const std::string& name) const { return dir.file("new/" + name); }
    std::string installed(const std::string& model, const std::string& name) const
    {
        return ws.settings.applicationFolder + model + "/" + name;
    }

    test::TempDir dir;
    test::FakeUi ui;
    Workspace ws;
    AddRomFilesPresenter dialog {ws, ui};
};

TEST_F(AddRomFilesPresenterTest, OffersNineModelsAndStartsWithNothingChosen)
{
    Strings names;
    for (const auto& choice : catalogue::romFileModelChoices())
        names.emplace_back(choice.name());
    EXPECT_EQ(names, (Strings {"QM71", "QM71RTP", "QM71K", "LX71", "LX71ht", "LX71RTP", "LX75RTP", "LX71K", "QM71N"}));
    EXPECT_EQ(dialog.fileCountText(), "Files:");
    EXPECT_FALSE(dialog.selectEnabled());
    EXPECT_FALSE(dialog.addEnabled());

    dialog.chooseModel(choiceOf("LX71ht"));
    EXPECT_EQ(dialog.targetFolder(), ws.settings.applicationFolder + "LX71ht");
    EXPECT_TRUE(dialog.selectEnabled());
    ws.settings.language = Language::Japanese;
    EXPECT_EQ(dialog.captions().machine, "機種");
    EXPECT_EQ(dialog.captions().close, "閉じる");
}

struct NameCase {
    const char* name;
    const char* model;
    Strings files;
    bool accepted;
};

class AddRomFilesNames : public AddRomFilesPresenterTest, public ::testing::WithParamInterface<NameCase> { };

TEST_P(AddRomFilesNames, FileNamesMustHoldTheModelNameAsWritten)
{
    const NameCase& c = GetParam();
    dialog.chooseModel(choiceOf(c.model));
    offer(c.files);
    dialog.select();

    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].fileName, "*.bkh");
    EXPECT_EQ(ui.fileRequests[0].filter, "BKH File(*.bkh)|*.bkh");
    EXPECT_TRUE(ui.fileRequests[0].multiSelect);
    EXPECT_EQ(dialog.fileCountText(), "File:" + std::to_string(c.files.size()));
    EXPECT_EQ(dialog.addEnabled(), c.accepted);
    if (c.accepted) {
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(dialog.listNames(), c.files);
    } else {
        EXPECT_EQ(ui.englishTexts(),
            (Strings {"Please confirm whether the model that I chose accords with a model of a file to add.\n"
                      "I cannot choose the ROM version that added unless it is added definitely."}));
        // Names up to the refused one stay listed; none can be added.
        EXPECT_EQ(dialog.listNames(), Strings(c.files.begin(), c.files.begin() + 2));
        EXPECT_TRUE(dialog.chosenPaths().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(, AddRomFilesNames,
    ::testing::Values(NameCase {"Qm71TakesAQm71RtpName", "QM71", {"QM71RTP_01-B7.bkh"}, true},
        NameCase {"Lx71ByAnyLx71Name", "LX71", {"LX71_1.bkh", "LX71ht_2.bkh", "x_LX71K.bkh"}, true},
        NameCase {"Lx71RtpRefusesLowerCase", "LX71RTP", {"LX71RTP_1.bkh", "lx71rtp_2.bkh", "LX71RTP_3.bkh"}, false},
        NameCase {"Qm71KRefusesAQm71Name", "QM71K", {"QM71K_1.bkh", "QM71_2.bkh"}, false}),
    test::CaseName {});

TEST_F(AddRomFilesPresenterTest, ANewSelectionReplacesTheOldOneEvenWhenCancelled)
{
    dialog.chooseModel(choiceOf("QM71"));
    offer({"QM71_a.bkh", "QM71_b.bkh"});
    dialog.select();
    offer({"QM71_c.bkh"});
    dialog.select();
    EXPECT_EQ(dialog.listNames(), Strings {"QM71_c.bkh"});
    EXPECT_EQ(dialog.fileCountText(), "File:1");

    dialog.select(); // cancelled: nothing is left to add
    EXPECT_TRUE(dialog.listNames().empty());
    EXPECT_FALSE(dialog.addEnabled());
    EXPECT_EQ(dialog.fileCountText(), "Files:");
}

TEST_F(AddRomFilesPresenterTest, AnotherModelDropsFilesCheckedForTheFirst)
{
    dialog.chooseModel(choiceOf("QM71"));
    offer({"QM71_a.bkh"});
    dialog.select();
    dialog.chooseModel(choiceOf("QM71")); // the same model again keeps them
    EXPECT_TRUE(dialog.addEnabled());
    dialog.chooseModel(choiceOf("LX71"));
    EXPECT_TRUE(dialog.listNames().empty());
    EXPECT_FALSE(dialog.addEnabled());
}

TEST_F(AddRomFilesPresenterTest, AddCopiesEveryFileOverwritingAndMakesAMissingFolder)
{
    dialog.chooseModel(choiceOf("QM71"));
    test::writeFile(installed("QM71", "QM71_2.bkh"), "old\r\n");
    offer({"QM71_1.bkh", "QM71_2.bkh"});
    dialog.select();
    dialog.add();
    EXPECT_EQ(ui.englishTexts(), Strings {"FileCopy Complete."});
    EXPECT_EQ(test::readFile(installed("QM71", "QM71_2.bkh")), "table QM71_2.bkh\r\n");
    EXPECT_EQ(entriesOf(ws.settings.applicationFolder + "QM71"), (std::set<std::string> {"QM71_1.bkh", "QM71_2.bkh"}));

    dialog.chooseModel(choiceOf("QM71N")); // its folder was removed since start-up
    offer({"QM71N_1.bkh"});
    dialog.select();
    dialog.add();
    EXPECT_EQ(test::readFile(installed("QM71N", "QM71N_1.bkh")), "table QM71N_1.bkh\r\n");
    EXPECT_EQ(ui.busyDepth, 0);
}

enum class Failure { SourceVanished, TargetIsFolder, WriteFails };
struct FailureCase {
    const char* name;
    Failure failure;
};

class AddRomFilesFailure : public AddRomFilesPresenterTest, public ::testing::WithParamInterface<FailureCase> { };

TEST_P(AddRomFilesFailure, StopsAtTheFirstFailureLeavingNothingHalfWritten)
{
    test::FailingFileWriter failing([](int call, const std::string&) { return call == 1; });
    dialog.chooseModel(choiceOf("LX71RTP"));
    test::writeFile(installed("LX71RTP", "LX71RTP_b.bkh"), "old b\r\n");
    offer({"LX71RTP_a.bkh", "LX71RTP_b.bkh", "LX71RTP_c.bkh"});
    dialog.select();
    switch (GetParam().failure) {
    case Failure::SourceVanished:
        std::filesystem::remove(source("LX71RTP_b.bkh"));
        break;
    case Failure::TargetIsFolder:
        std::filesystem::remove(installed("LX71RTP", "LX71RTP_b.bkh"));
        std::filesystem::create_directory(installed("LX71RTP", "LX71RTP_b.bkh"));
        break;
    case Failure::WriteFails:
        ws.writer = &failing;
        break;
    }
    dialog.add();

    EXPECT_EQ(ui.shownTexts(), Strings {"Cont=1:FileCopy error"});
    EXPECT_EQ(test::readFile(installed("LX71RTP", "LX71RTP_a.bkh")), "table LX71RTP_a.bkh\r\n");
    EXPECT_EQ(entriesOf(ws.settings.applicationFolder + "LX71RTP"),
        (std::set<std::string> {"LX71RTP_a.bkh", "LX71RTP_b.bkh"}));
    if (GetParam().failure != Failure::TargetIsFolder) {
        EXPECT_EQ(test::readFile(installed("LX71RTP", "LX71RTP_b.bkh")), "old b\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(, AddRomFilesFailure,
    ::testing::Values(FailureCase {"SourceVanished", Failure::SourceVanished},
        FailureCase {"TargetIsFolder", Failure::TargetIsFolder}, FailureCase {"WriteFails", Failure::WriteFails}),
    test::CaseName {});

TEST_F(AddRomFilesPresenterTest, AReadOnlyInstallationAddsToTheUsersFolderWhereTheLookupFindsIt)
{
    ws.settings.installationWritable = false;
    ws.settings.userFolder = dir.file("home/data/tessaline/");
    const std::string name = tables::tableFileName(0, 0, 9);
    const test::FolderContents before = test::folderContents(installed("QM71", ""));
    {
        const test::ReadOnlyTree locked(ws.settings.applicationFolder);
        dialog.chooseModel(choiceOf("QM71"));
        EXPECT_EQ(dialog.targetFolder(), ws.settings.userFolder + "QM71");
        offer({name});
        dialog.select();
        dialog.add();
    }
    EXPECT_EQ(ui.englishTexts(), Strings {"FileCopy Complete."});
    EXPECT_EQ(test::readFile(ws.settings.userFolder + "QM71/" + name), "table " + name + "\r\n");
    EXPECT_EQ(test::folderContents(installed("QM71", "")), before);
    EXPECT_EQ(tables::findTableFileForCurrent(ws, ui, tables::TableChoice {0, 0, 9}),
        ws.settings.userFolder + "QM71/" + name);
}

TEST_F(AddRomFilesPresenterTest, AFileAlreadyInTheFolderIsLeftAsItIs)
{
    const std::string inPlace = installed("QM71", "QM71_1.bkh");
    test::writeFile(inPlace, "installed\r\n");
    test::FailingFileWriter noWrites([](int, const std::string&) { return true; });
    ws.writer = &noWrites;
    dialog.chooseModel(choiceOf("QM71"));
    // The same file by its own path and by another spelling of it.
    ui.fileNames.push_back(inPlace);
    dialog.select();
    dialog.add();
    ui.fileNames.push_back(ws.settings.applicationFolder + "./QM71/QM71_1.bkh");
    dialog.select();
    dialog.add();

    EXPECT_EQ(ui.englishTexts(), (Strings {"FileCopy Complete.", "FileCopy Complete."}));
    EXPECT_EQ(noWrites.calls, 0);
    EXPECT_EQ(test::readFile(inPlace), "installed\r\n");
    EXPECT_EQ(entriesOf(ws.settings.applicationFolder + "QM71"), std::set<std::string> {"QM71_1.bkh"});
}

TEST_F(AddRomFilesPresenterTest, AddWithoutAModelAsksForOne)
{
    dialog.add();
    EXPECT_EQ(ui.englishTexts(), Strings {"Please choose a model name to add."});
}

TEST_F(AddRomFilesPresenterTest, ClearAndCloseForgetTheFiles)
{
    dialog.chooseModel(choiceOf("QM71"));
    offer({"QM71_a.bkh"});
    dialog.select();
    dialog.clear();
    EXPECT_TRUE(dialog.listNames().empty());
    EXPECT_FALSE(dialog.addEnabled());
    EXPECT_EQ(dialog.fileCountText(), "Files:");

    offer({"QM71_a.bkh"});
    dialog.select();
    dialog.close();
    EXPECT_TRUE(dialog.isClosed());
    EXPECT_EQ(dialog.chosenModel(), -1);
    EXPECT_TRUE(dialog.targetFolder().empty());
    EXPECT_TRUE(dialog.chosenPaths().empty());
    EXPECT_FALSE(ws.view.commands.romMenuVisible);
}

} // namespace
} // namespace tess
