#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/MainWindowTexts.h"
#include "app/startup/Startup.h"
#include "domain/settings/IniFile.h"
#include "domain/settings/UserStore.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tess {
namespace {

class Startup : public ::testing::Test {
protected:
    void run(Workspace& workspace) { startUp(workspace, ui, store, env); }
    std::string ini() const { return dir.file("FileVersion.INI"); }

    test::TempDir dir;
    test::FakeUi ui;
    MemoryUserStore store;
    StartupEnvironment env {dir.file("tessaline"), "", "", "C.UTF-8"};
    Workspace ws;
};

TEST_F(Startup, WithoutSettingsFileTakesDefaultsAndShowsTheProgramFolder)
{
    ws.settings.writeWaitMs = 0;
    ws.doc.state.open = true;
    run(ws);
    EXPECT_EQ(ws.settings.applicationFolder, dir.path());
    EXPECT_EQ(store.readString("exe_path"), dir.path());
    EXPECT_EQ(ws.settings.fileVersion.fileVersion, "1");
    for (const RomLimits& limits : ws.settings.fileVersion.limits)
        EXPECT_TRUE(limits.verMax == 1 && limits.newVer == 1);
    EXPECT_FALSE(ws.settings.fileVersion.specialFunctions);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].inLanguage(), dir.path());

    EXPECT_FALSE(ws.doc.state.open);
    EXPECT_TRUE(ws.doc.state.saved);
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {0, 0, 0, 1}));
    EXPECT_EQ(ws.view.commands, CommandStates {});
    EXPECT_EQ(ws.settings.writeWaitMs, 150);
    EXPECT_EQ(ws.settings.language, Language::English);
    EXPECT_EQ(gridText(ws, 0, ColValue), "Setting val.");
    EXPECT_EQ(gridRowCount(gridSource(ws)), GridRowsEmpty);
    for (const std::string_view model :
        {"QM71", "LX71RTP", "QM71RTP", "LX71", "LX71ht", "LX75RTP", "QM71K", "LX71K", "QM71N", "QM73N"})
        EXPECT_TRUE(isDirectory(dir.path() + std::string(model))) << model;
}

TEST_F(Startup, TakesSettingsPortAndStoredLanguage)
{
    test::writeFile(ini(), "[View]\r\nValue=0\r\n[QM71]\r\nNew_Ver=3\r\n");
    store.writeString("COM", "/dev/ttyUSB0");
    store.writeInteger("EIGO", 0);
    run(ws);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ws.doc.identity.romVersion, 3);
    EXPECT_EQ(ws.settings.portName, "/dev/ttyUSB0");
    EXPECT_EQ(ws.settings.language, Language::Japanese);
    EXPECT_EQ(gridText(ws, 0, ColValue), "設定値");
}

// The window's user learns of the damaged lines at start, each with its
// file and number, in one message.
TEST_F(Startup, NamesTheSettingsLinesThatCouldNotBeUsed)
{
    test::writeFile(ini(), "[View]\r\nValue=0\r\n[QM71]\r\nNew_Ver=1x\r\nVer_max=\r\n");
    store.writeInteger("EIGO", 1);
    run(ws);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].inLanguage(),
        ini() + ", line 4: \"New_Ver=1x\" cannot be used, so its default stands in; the file may be damaged.\n" + ini()
            + ", line 5: \"Ver_max=\" cannot be used, so its default stands in; the file may be damaged.");
}

TEST_F(Startup, SpecialFunctionsHoldForExactlyOneRun)
{
    test::writeFile(ini(), "[View]\r\nValue=0\r\n[spcialfunc]\r\nused=1\r\n");
    run(ws);
    EXPECT_TRUE(ws.settings.fileVersion.specialFunctions);
    ASSERT_TRUE(clearSpecialFunctionOnExit(ws, store));
    EXPECT_EQ(test::readFile(ini()), "[View]\r\nValue=0\r\n[spcialfunc]\r\nused=0\r\n");
    EXPECT_EQ(store.readString("spcialfunc"), "") << "a writable installation keeps the switch to itself";

    Workspace second;
    run(second);
    EXPECT_FALSE(second.settings.fileVersion.specialFunctions);
}

TEST_F(Startup, CountsTableFilesIgnoringCase)
{
    test::writeFile(dir.file("QM71/a.bkh"), "");
    test::writeFile(dir.file("QM71/b.BKH"), "");
    test::writeFile(dir.file("QM71/c.txt"), "");
    test::writeFile(dir.file("QM73N/x.Bkh"), "");
    test::writeFile(dir.file("QM71KRTP/y.bkh"), ""); // model 10 has no counted folder
    run(ws);
    EXPECT_EQ(ws.settings.tableFileCount, (std::array<std::uint16_t, CountedModels> {2, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

// A system installation: the user may not write into it, and keeps what
// they add in a folder of their own.
class ReadOnlyInstallation : public Startup {
protected:
    void runAs(Workspace& workspace, bool writable)
    {
        const std::string installation = dir.path();
        const InstallationAccess access {
            home.file("data/tessaline/"), [installation, writable](const std::string& folder) {
                EXPECT_EQ(folder, installation);
                return writable;
            }};
        startUp(workspace, ui, store, env, access);
    }

    test::TempDir home;
};

TEST_F(ReadOnlyInstallation, MakesNoModelFoldersAndCountsTheUsersTablesApart)
{
    test::writeFile(ini(), "[View]\r\nValue=0\r\n");
    test::writeFile(dir.file("QM71/QM71S01-A1.bkh"), "");
    test::writeFile(home.file("data/tessaline/QM71/QM71S01-A2.bkh"), "");
    test::writeFile(home.file("data/tessaline/QM71/QM71S01-A1.bkh"), "");
    test::writeFile(home.file("data/tessaline/LX71/LX71P01-B1.bkh"), "");
    const test::FolderContents before = test::folderContents(dir.path());
    {
        const test::ReadOnlyTree locked(dir.path());
        runAs(ws, false);
    }
    EXPECT_FALSE(ws.settings.installationWritable);
    EXPECT_EQ(ws.settings.userFolder, home.file("data/tessaline/"));
    std::set<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.is_directory())
            folders.insert(entry.path().filename().string());
    EXPECT_EQ(folders, std::set<std::string> {"QM71"}) << "no model folder is made in a read-only installation";
    EXPECT_EQ(test::folderContents(dir.path()), before);
    EXPECT_EQ(ws.settings.tableFileCount, (std::array<std::uint16_t, CountedModels> {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(
        ws.settings.userTableFileCount, (std::array<std::uint16_t, CountedModels> {2, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
}

// The special functions last one run wherever the switch can be cleared.
struct SwitchCase {
    const char* name;
    const char* iniUsed; // used= in FileVersion.INI
    const char* stored; // the user store's "spcialfunc", "" for none
    bool writable; // the user may write into the installation
    bool writerFails; // and yet the settings file cannot be replaced
    bool onThisRun;
    const char* iniUsedAfter;
    const char* storedAfter;
};

class SpecialFunctionSwitch : public ReadOnlyInstallation, public ::testing::WithParamInterface<SwitchCase> { };

TEST_P(SpecialFunctionSwitch, IsOffForTheNextRunWhereverItCouldBeCleared)
{
    const SwitchCase& c = GetParam();
    const auto iniWith
        = [](const char* used) { return std::string("[View]\r\nValue=0\r\n[spcialfunc]\r\nused=") + used + "\r\n"; };
    test::writeFile(ini(), iniWith(c.iniUsed));
    if (*c.stored)
        store.writeString("spcialfunc", c.stored);
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    if (c.writerFails)
        ws.writer = &failing;
    {
        std::optional<test::ReadOnlyTree> locked;
        if (!c.writable)
            locked.emplace(dir.path());
        runAs(ws, c.writable);
        EXPECT_EQ(ws.settings.fileVersion.specialFunctions, c.onThisRun);
        EXPECT_TRUE(clearSpecialFunctionOnExit(ws, store));
    }
    EXPECT_EQ(test::readFile(ini()), iniWith(c.iniUsedAfter));
    EXPECT_EQ(store.readString("spcialfunc"), c.storedAfter);

    Workspace next;
    runAs(next, c.writable);
    EXPECT_FALSE(next.settings.fileVersion.specialFunctions);
}

INSTANTIATE_TEST_SUITE_P(, SpecialFunctionSwitch,
    ::testing::Values(SwitchCase {"ReadOnlyInstallationKeepsItInTheStore", "1", "", false, false, true, "1", "0"},
        SwitchCase {"UnwritableSettingsFileKeepsItInTheStore", "1", "", true, true, true, "1", "0"},
        SwitchCase {"StoredSwitchWinsOverTheFile", "0", "1", false, false, true, "0", "0"},
        SwitchCase {"StoredOffWinsOverTheFile", "1", "0", false, false, false, "1", "0"},
        SwitchCase {"WritableInstallationClearsBoth", "1", "1", true, false, true, "0", "0"},
        SwitchCase {"OffInAReadOnlyInstallationWritesNothing", "0", "", false, false, false, "0", ""}),
    test::CaseName {});

TEST_F(Startup, DamagedOrUnreadableUserStoreGivesEmptyValues)
{
    // A folder where the store's file should be: nothing can be read or kept.
    std::filesystem::create_directories(dir.file("conf/user.conf"));
    FileUserStore unreadable(dir.file("conf/user.conf"));
    startUp(ws, ui, unreadable, env);
    EXPECT_EQ(ws.settings.applicationFolder, dir.path());
    EXPECT_EQ(ws.settings.portName, "");

    // Garbage lines are skipped over (and kept); the good line still counts.
    const std::string garbage = std::string("\xFF\xFE\0junk", 7) + "\nEIGO=yes\n=\nCOM=/dev/ttyS1\n";
    test::writeFile(dir.file("user.conf"), garbage);
    FileUserStore damaged(dir.file("user.conf"));
    Workspace other;
    env.lang = "ja_JP.UTF-8";
    startUp(other, ui, damaged, env);
    EXPECT_EQ(other.settings.portName, "/dev/ttyS1");
    EXPECT_EQ(other.settings.language, Language::Japanese); // "yes" is no stored choice
    EXPECT_EQ(test::readFile(dir.file("user.conf")), garbage + "exe_path=" + dir.path() + "\n");
}

struct LanguageCase {
    const char* name;
    std::optional<int> eigo;
    StartupEnvironment env;
    Language expected;
};

class StartupLanguage : public ::testing::TestWithParam<LanguageCase> { };

TEST_P(StartupLanguage, StoredChoiceThenLocale)
{
    EXPECT_EQ(chooseStartupLanguage(GetParam().eigo, GetParam().env), GetParam().expected);
}

constexpr auto Ja = Language::Japanese;
constexpr auto En = Language::English;

INSTANTIATE_TEST_SUITE_P(, StartupLanguage,
    ::testing::Values(LanguageCase {"StoredEnglishBeatsJapaneseLocale", 1, {"", "", "", "ja_JP.UTF-8"}, En},
        LanguageCase {"StoredJapaneseBeatsEnglishLocale", 0, {"", "", "", "en_US.UTF-8"}, Ja},
        LanguageCase {"UnknownStoredNumberIsNoChoice", 7, {"", "", "", "ja_JP.UTF-8"}, Ja},
        LanguageCase {"LangJapanese", std::nullopt, {"", "", "", "ja_JP.UTF-8"}, Ja},
        LanguageCase {"LangJustJa", std::nullopt, {"", "", "", "ja"}, Ja},
        LanguageCase {"LangJapaneseEuc", std::nullopt, {"", "", "", "ja_JP.eucJP"}, Ja},
        LanguageCase {"LcAllOverridesLang", std::nullopt, {"", "C", "", "ja_JP.UTF-8"}, En},
        LanguageCase {"LcMessagesOverridesLang", std::nullopt, {"", "", "ja_JP.UTF-8", "en_GB.UTF-8"}, Ja},
        LanguageCase {"LcAllJapanese", std::nullopt, {"", "ja_JP.UTF-8", "en_US", "en_US"}, Ja},
        LanguageCase {"OtherLanguageStartingWithJ", std::nullopt, {"", "", "", "jv_ID.UTF-8"}, En},
        LanguageCase {"NothingSet", std::nullopt, {"", "", "", ""}, En}),
    test::CaseName {});

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
    std::optional<std::string> file;
};

class FileNamedAtStart : public ::testing::TestWithParam<ArgumentsCase> { };

TEST_P(FileNamedAtStart, IsTheFirstArgumentThatIsNoOption)
{
    // The path comes back as the system writes paths: on Windows with '\'.
    const std::optional<std::string> file = GetParam().file;
    EXPECT_EQ(fileToOpenAtStart(GetParam().arguments, "/home/user/work"),
        file ? std::optional(test::nativePath(*file)) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(, FileNamedAtStart,
    ::testing::Values(ArgumentsCase {"NoArguments", {"tessaline"}, std::nullopt},
        ArgumentsCase {"AbsolutePath", {"tessaline", "/data/pump.csl"}, "/data/pump.csl"},
        ArgumentsCase {"RelativeToTheWorkingFolder", {"tessaline", "../sets/./pump.csl"}, "/home/user/sets/pump.csl"},
        ArgumentsCase {"OptionsAreNoFiles", {"tessaline", "--verbose", "-x", "pump.csl"}, "/home/user/work/pump.csl"},
        ArgumentsCase {"OnlyOptions", {"tessaline", "--verbose"}, std::nullopt},
        ArgumentsCase {"AfterDoubleDashADashIsAName", {"tessaline", "--", "-odd.csl"}, "/home/user/work/-odd.csl"},
        ArgumentsCase {"TheFirstFileCounts", {"tessaline", "a.csl", "b.csl"}, "/home/user/work/a.csl"},
        ArgumentsCase {"AnEmptyArgumentIsNoFile", {"tessaline", "", "b.csl"}, "/home/user/work/b.csl"}),
    test::CaseName {});

TEST(CommandStateTable, RawDataSetDisablesTheWriteButtonButNotTheMenuItem)
{
    CommandStates states;
    applyDocumentOpenedState(states);
    applyRawDataSetOverrides(states);
    EXPECT_TRUE(states.dataWriteItem);
    EXPECT_FALSE(states.dataWriteButton);
    applyNoDocumentState(states);
    EXPECT_EQ(states, CommandStates {});
}

TEST(CommandStateTable, EveryControlNameIsDistinct)
{
    std::set<std::string_view> names;
    for (const CommandControl& control : commandControls())
        EXPECT_TRUE(names.insert(control.name).second) << control.name;
}

} // namespace
} // namespace tess
