#include "cli/Runner.h"

#include "domain/common/FileIo.h"

#include "cli/CliRun.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace tess::cli {
namespace {

TEST_F(CliRun, ShowsTheSameRowsOnATerminalAndThroughAPipe)
{
    const std::string csl = dir.file("a.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl}), ExitDone)
        << err.str();

    ASSERT_EQ(run({"show", csl, "--area", "A"}), ExitDone) << err.str();
    const std::vector<std::string> piped = linesOf(out.str());
    ASSERT_EQ(run({"show", csl, "--area", "A"}, true), ExitDone) << err.str();
    const std::vector<std::string> shown = linesOf(out.str());

    EXPECT_NE(std::find(piped.begin(), piped.end(), "A-3\tMotor rated voltage\t100/480\t200\t200\t0\t3"), piped.end());
    ASSERT_EQ(shown.size(), piped.size() + 3); // file name, identity, blank line
    EXPECT_EQ(shown[1], "Machine: QM71  Control Mode: Sensorless  Cap/Volt: 1R122  ROM Version: 01-A1");
    // Each aligned row starts with the code and holds the cells of the piped row in order.
    for (std::size_t i = 0; i < piped.size(); ++i) {
        std::istringstream cells(piped[i]);
        std::size_t at = 0;
        for (std::string cell; std::getline(cells, cell, '\t');) {
            at = shown[i + 3].find(cell, at);
            ASSERT_NE(at, std::string::npos) << piped[i];
        }
    }
}

TEST_F(CliRun, WritesNothingFromATableThatEndsEarly)
{
    const std::string csl = dir.file("a.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl}), ExitDone)
        << err.str();
    const std::string cslBefore = test::readFile(csl);
    const std::string csvBefore = test::readFile(dir.file("a.csv"));
    const std::string table = dir.file("QM71/QM71S01-A1.bkh");
    const std::string bytes = test::readFile(table);
    test::writeFile(table, bytes.substr(0, bytes.size() / 2));

    const std::vector<std::vector<std::string>> commands {
        {"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", dir.file("b.csl")},
        {"set", csl, "A-3=210"},
        {"export", csl, "-o", dir.file("x.csv")},
    };
    for (const std::vector<std::string>& command : commands) {
        EXPECT_EQ(run(command), ExitRefused) << command[0];
        EXPECT_NE(err.str().find(table), std::string::npos) << command[0] << " does not name the table:\n" << err.str();
    }
    EXPECT_FALSE(fileExists(dir.file("b.csl")));
    EXPECT_FALSE(fileExists(dir.file("b.csv")));
    EXPECT_FALSE(fileExists(dir.file("x.csv")));
    EXPECT_EQ(test::readFile(csl), cslBefore);
    EXPECT_EQ(test::readFile(dir.file("a.csv")), csvBefore);
}

TEST_F(CliRun, TakesACapacityByItsTextOrByItsIndex)
{
    // "1122" is an entry of the list (index 5); "5" can only be an index.
    for (const char* capacity : {"1122", "5"}) {
        const std::string csl = dir.file(std::string("c") + capacity + ".csl");
        ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", capacity, "--rom", "01-A1", "-o", csl}), ExitDone)
            << err.str();
        ASSERT_EQ(run({"show", csl}, true), ExitDone);
        EXPECT_NE(out.str().find("Cap/Volt: 1122 "), std::string::npos) << capacity;
    }
}

TEST_F(CliRun, SavesEntriesAsTheGridShowsThemOnceLeft)
{
    const std::string csl = dir.file("a.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl}), ExitDone);
    // "0220" is a valid entry for 220; the readable copy shows the value
    // as any later look at the data set does.
    ASSERT_EQ(run({"set", csl, "A-3=0220"}), ExitDone) << err.str();
    const std::string saved = test::readFile(dir.file("a.csv"));
    EXPECT_NE(saved.find(",220,0,3\r\n"), std::string::npos);
    ASSERT_EQ(run({"export", csl, "-o", dir.file("b.csv")}), ExitDone) << err.str();
    EXPECT_EQ(test::readFile(dir.file("b.csv")), saved);
}

TEST_F(CliRun, RefusesToExportOverItsOwnDataFile)
{
    const std::string csl = dir.file("a.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl}), ExitDone);
    const std::string before = test::readFile(csl);
    EXPECT_EQ(run({"export", csl, "-o", dir.path() + "./a.csl"}), ExitRefused);
    EXPECT_NE(err.str().find("is the data file itself"), std::string::npos);
    EXPECT_EQ(test::readFile(csl), before);
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> choice; // new's options before -o
    std::string err;
};

class CliSelectionRefused : public CliRun, public ::testing::WithParamInterface<RefusalCase> { };

// A refusal the dialog explains is told once; one it makes silently (an
// entry not in its lists) is told by the command line.
TEST_P(CliSelectionRefused, IsToldOnce)
{
    std::vector<std::string> args {"new"};
    args.insert(args.end(), GetParam().choice.begin(), GetParam().choice.end());
    args.insert(args.end(), {"-o", dir.file("a.csl")});
    EXPECT_EQ(run(args), ExitRefused);
    EXPECT_EQ(err.str(), GetParam().err);
    EXPECT_FALSE(fileExists(dir.file("a.csl")));
}

INSTANTIATE_TEST_SUITE_P(Cases, CliSelectionRefused,
    ::testing::Values(RefusalCase {"CapacityNotInTheList", {"--model", "QM71", "--capacity", "9R999"},
                          "The catalogue or the installation does not offer this inverter: QM71, 0, 9R999\n"},
        RefusalCase {"RomVersionTheDialogRefuses", {"--model", "QM71", "--capacity", "1R122", "--rom", "99-Z9"},
            "Please Tessaline version updata.\n"}),
    test::CaseName {});

struct ExistingCase {
    const char* name;
    std::string existing; // the file in the way of new -o a.csl
};

class CliNewOverExisting : public CliRun, public ::testing::WithParamInterface<ExistingCase> { };

// new writes a pair; either file of it is only replaced when asked to.
TEST_P(CliNewOverExisting, RefusesWithoutForce)
{
    const std::string csl = dir.file("a.csl");
    const std::string existing = dir.file(GetParam().existing);
    test::writeFile(existing, "someone's report");
    const std::vector<std::string> args {"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl};

    EXPECT_EQ(run(args), ExitRefused);
    EXPECT_EQ(err.str(), "The file \"" + existing + "\" already exists; add --force to replace it.\n");
    EXPECT_EQ(test::readFile(existing), "someone's report");
    EXPECT_FALSE(fileExists(dir.file(GetParam().existing == "a.csl" ? "a.csv" : "a.csl")));

    std::vector<std::string> forced = args;
    forced.push_back("--force");
    EXPECT_EQ(run(forced), ExitDone) << err.str();
    EXPECT_NE(test::readFile(existing), "someone's report");
}

INSTANTIATE_TEST_SUITE_P(, CliNewOverExisting,
    ::testing::Values(ExistingCase {"Csl", "a.csl"}, ExistingCase {"Csv", "a.csv"}), test::CaseName {});

struct SaveFailureCase {
    const char* name;
    bool csvWriteFails; // as on a full disk, before any file is replaced
    bool csvRenameFails; // between the renames of the .csl and the .csv
    int status;
    bool cslReplaced;
};

class CliSaveFailure : public CliRun, public ::testing::WithParamInterface<SaveFailureCase> { };

// The exit status says what is on disk: 1 only when nothing was written.
TEST_P(CliSaveFailure, ExitStatusTellsWhatWasWritten)
{
    const std::string csl = dir.file("a.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl}), ExitDone);
    const std::string cslBefore = test::readFile(csl);
    const std::string csvBefore = test::readFile(dir.file("a.csv"));
    const SaveFailureCase c = GetParam();
    test::FailingFileWriter failing(
        [&](int, const std::string& path) { return c.csvWriteFails && path.ends_with(".csv"); },
        [&](const std::string& path) { return c.csvRenameFails && path.ends_with(".csv"); });
    env.writer = &failing;

    EXPECT_EQ(run({"set", csl, "A-3=220"}), c.status);
    EXPECT_EQ(test::readFile(csl) != cslBefore, c.cslReplaced);
    EXPECT_EQ(test::readFile(dir.file("a.csv")), csvBefore);
    for (const auto& [name, bytes] : test::folderContents(dir.path()))
        EXPECT_EQ(name.find(TemporaryFileMarker), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(, CliSaveFailure,
    ::testing::Values(SaveFailureCase {"CsvNotWritten", true, false, ExitRefused, false},
        SaveFailureCase {"CsvNotRenamed", false, true, ExitCsvNotSaved, true}),
    test::CaseName {});

struct LongNameCase {
    const char* name;
    std::string stem; // without ".csl": 230 to 255 bytes with it
};

class CliLongName : public CliRun, public ::testing::WithParamInterface<LongNameCase> { };

// Whatever name the file system takes, a data set is made and saved under it.
TEST_P(CliLongName, MakesAndSavesTheDataSet)
{
    std::filesystem::create_directory(dir.file("out"));
    const std::string csl = dir.file("out/" + GetParam().stem + ".csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl}), ExitDone)
        << err.str();
    ASSERT_EQ(run({"set", csl, "A-3=220"}), ExitDone) << err.str();
    const test::FolderContents saved = test::folderContents(dir.file("out"));
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_TRUE(saved.contains(GetParam().stem + ".csl"));
    EXPECT_NE(saved.at(GetParam().stem + ".csv").find("A-3,Motor rated voltage,100/480,200,220,"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(, CliLongName,
    ::testing::Values(LongNameCase {"Ascii230", std::string(226, 'a')},
        LongNameCase {"Ascii251", std::string(247, 'b')}, LongNameCase {"Ascii255", std::string(251, 'c')},
        LongNameCase {"Utf8Of253",
            [] {
                std::string stem;
                for (int i = 0; i < 83; ++i)
                    stem += "\xE3\x81\x82"; // あ
                return stem;
            }()}),
    test::CaseName {});

} // namespace
} // namespace tess::cli
