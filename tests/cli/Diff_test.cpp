// What changed between data sets, and against the defaults, as scripts and
// git read it: diff, show --changed and show --plain.
#include "cli/CliRun.h"

#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace tess::cli {
namespace {

constexpr const char* Titles
    = "Setting area\tSetting contents\tSetting band(Min/Max)\tInitial val.\tSetting val.\tDecimal p.p.\tSignif. fig.";
constexpr const char* Identity = "Machine: QM71  Control Mode: Sensorless  Cap/Volt: 1R122  ROM Version: 01-A1";

// Data sets of the demo installation, named by their stem: "$base" in an
// argument or an expected line stands for the path of base.csl.
class CliDataSets : public CliRun {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        const auto make
            = [&](std::vector<std::string> args, int status = ExitDone) { ASSERT_EQ(run(args), status) << err.str(); };
        make({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", path("base")});
        make({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", path("changed")});
        make({"set", path("changed"), "A-3=210"});
        // The base data set moved to the next ROM version: its words kept,
        // some outside their new ranges.
        make({"convert", path("base"), "--rom", "01-A2", "-o", path("rom")}, ExitOutOfRange);
        make({"new", "--model", "QM71", "--capacity", "1122", "--rom", "01-A1", "-o", path("capacity")});
        make({"new", "--model", "LX71", "--capacity", "1R122", "-o", path("lx")});
        const std::string whole = test::readFile(path("base"));
        test::writeFile(path("cut"), whole.substr(0, whole.size() / 2));
    }

    std::string path(const std::string& stem) { return dir.file(stem + ".csl"); }
    // The path of stem.csl as a JSON string writes it: a Windows path's
    // backslashes doubled ("C:\\x\\base.csl").
    std::string jsonPath(const std::string& stem)
    {
        std::string quoted = "\"";
        for (const char c : path(stem)) {
            if (c == '\\' || c == '"')
                quoted += '\\';
            quoted += c;
        }
        return quoted + '"';
    }

    // Every "$stem" replaced by the path of stem.csl.
    std::string expand(std::string text)
    {
        for (std::size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at)) {
            std::size_t end = at + 1;
            while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])))
                ++end;
            const std::string file = path(text.substr(at + 1, end - at - 1));
            text.replace(at, end - at, file);
            at += file.size();
        }
        return text;
    }
};

struct OutputCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> lines; // on standard output, in order
    bool whole = true; // the lines are the whole output, not only among it
    const char* err = ""; // a text standard error holds
};

class CliChangesShown : public CliDataSets, public ::testing::WithParamInterface<OutputCase> { };

TEST_P(CliChangesShown, AsTheCaseSays)
{
    const OutputCase& c = GetParam();
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
        args.push_back(expand(arg));
    EXPECT_EQ(run(args), c.status) << err.str();

    std::vector<std::string> wanted;
    for (const std::string& line : c.lines)
        wanted.push_back(expand(line));
    const std::vector<std::string> got = linesOf(out.str());
    if (c.whole) {
        EXPECT_EQ(got, wanted) << out.str();
    } else {
        for (const std::string& line : wanted)
            EXPECT_NE(std::find(got.begin(), got.end(), line), got.end()) << line << "\nnot in\n" << out.str();
    }
    EXPECT_NE(err.str().find(expand(c.err)), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(Cases, CliChangesShown,
    ::testing::Values(OutputCase {"DiffOfADataSetWithItself", {"diff", "$changed", "$changed"}, ExitDone, {}},
        OutputCase {"DiffOfOneValue", {"diff", "$base", "$changed"}, ExitDataSetsDiffer,
            {"A-3\tMotor rated voltage\t200\t210"}},
        OutputCase {"DiffOfAnotherRomVersionSaysSoFirst", {"diff", "$changed", "$rom"}, ExitDataSetsDiffer,
            {"$changed (QM71 Sensorless 1R122 01-A1) and $rom (QM71 Sensorless 1R122 01-A2) are of different "
             "tables: compared slot by slot, each with its own table.",
                "A-3\tMotor rated voltage\t210\t200"}},
        OutputCase {"DiffOfAnotherModelNamesBothParameters", {"diff", "$base", "$lx"}, ExitDataSetsDiffer,
            {"A-56 / B-0\tReserved / Acceleration time 2\t0\t10.0"}, false},
        OutputCase {"DiffOfAnotherCapacityComparesAsCompareFiles", {"diff", "$base", "$capacity"}, ExitDataSetsDiffer,
            {"S-2\tCapacity code\t0\t5"}, false, "Capacity does not accord."},
        OutputCase {"DiffAgainstTheDefaults", {"diff", "--defaults", "$changed"}, ExitDataSetsDiffer,
            {"A-3\tMotor rated voltage\t210\t200"}},
        OutputCase {"DiffOfANewDataSetAgainstTheDefaults", {"diff", "$base", "--defaults"}, ExitDone, {}},
        OutputCase {"DiffOfADamagedDataSetIsTrouble", {"diff", "$base", "$cut"}, ExitDiffTrouble, {}, true, "$cut"},
        OutputCase {
            "DiffOfAMissingDataSetIsTrouble", {"diff", "$missing", "$base"}, ExitDiffTrouble, {}, true, "$missing"},
        OutputCase {"DiffOfOneDataSetIsAWrongCommandLine", {"diff", "$base"}, ExitDiffTrouble, {}, true,
            "diff takes two data files, or one with --defaults"},
        OutputCase {"ChangedRows", {"show", "--changed", "$changed"}, ExitDone,
            {Titles, "A-3\tMotor rated voltage\t100/480\t200\t210\t0\t3"}},
        OutputCase {
            "ChangedRowsOfAnotherArea", {"show", "--changed", "--area", "Fund", "$changed"}, ExitDone, {Titles}},
        OutputCase {"ChangedRowsOfANewDataSet", {"show", "$base", "--changed"}, ExitDone, {Titles}},
        OutputCase {"PlainChangedRows", {"show", "--plain", "--changed", "$changed"}, ExitDone,
            {Identity, "A-3\tMotor rated voltage\t210"}},
        OutputCase {"PlainRowsOfSeveralDataSetsNameTheirFile", {"show", "--plain", "--area", "A", "$changed", "$base"},
            ExitDone,
            {"$changed\t" + std::string(Identity), "$changed\tA-3\tMotor rated voltage\t210",
                "$base\tA-3\tMotor rated voltage\t200"},
            false}),
    test::CaseName {});

TEST_F(CliDataSets, DiffAsJsonIsOneDocumentWithADifferenceALine)
{
    EXPECT_EQ(run({"diff", path("base"), path("changed"), "--json"}), ExitDataSetsDiffer) << err.str();
    EXPECT_EQ(out.str(),
        "{\"a\":" + jsonPath("base") + ",\"b\":" + jsonPath("changed")
            + ",\"ownTables\":false,\"differences\":[\n"
              "{\"code\":\"A-3\",\"name\":\"Motor rated voltage\",\"a\":\"200\",\"b\":\"210\"}\n]}\n");

    EXPECT_EQ(run({"diff", "--defaults", path("base"), "--json"}), ExitDone) << err.str();
    EXPECT_EQ(out.str(), "{\"a\":" + jsonPath("base") + ",\"defaults\":true,\"differences\":[\n]}\n");
}

TEST_F(CliDataSets, DiffOnATerminalPutsATitleLineOverTheDifferences)
{
    EXPECT_EQ(run({"diff", path("base"), path("changed")}, true), ExitDataSetsDiffer) << err.str();
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 2u) << out.str();
    EXPECT_EQ(lines[0].rfind("Setting area", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(path("changed")), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("A-3 ", 0), 0u) << lines[1];
}

// The text git compares: every parameter as show has it, the code, name and
// value only, the same wherever it goes.
TEST_F(CliDataSets, PlainRowsAreTheParametersOfShowAndTheSameOnATerminal)
{
    ASSERT_EQ(run({"show", path("changed")}), ExitDone) << err.str();
    const std::vector<std::string> shown = linesOf(out.str());
    ASSERT_EQ(run({"show", "--plain", path("changed")}), ExitDone) << err.str();
    const std::string piped = out.str();
    ASSERT_EQ(run({"show", "--plain", path("changed")}, true), ExitDone) << err.str();
    EXPECT_EQ(out.str(), piped);

    const std::vector<std::string> plain = linesOf(piped);
    ASSERT_EQ(plain.size(), shown.size());
    EXPECT_EQ(plain[0], Identity);
    for (std::size_t i = 1; i < plain.size(); ++i) {
        std::vector<std::string> cells;
        std::string cell;
        for (std::istringstream row(shown[i]); std::getline(row, cell, '\t');)
            cells.push_back(cell);
        ASSERT_EQ(cells.size(), 7u) << shown[i];
        EXPECT_EQ(plain[i], cells[0] + "\t" + cells[1] + "\t" + cells[4]);
    }
}

} // namespace
} // namespace tess::cli
