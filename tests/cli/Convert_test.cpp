// convert: Inverter change from a shell, with its conversion report.
#include "cli/Runner.h"

#include "domain/common/Cp932.h"
#include "domain/datafile/DataSetFormat.h"

#include "cli/CliRun.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess::cli {
namespace {

class CliConvert : public CliRun {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        for (const std::string name : {"a", "b"})
            ASSERT_EQ(
                run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", file(name)}), ExitDone)
                << err.str();
    }

    std::string file(const std::string& name, const std::string& extension = ".csl") const
    {
        return dir.file(name + extension);
    }

    std::string reportText(const std::string& path) const { return cp932ToUtf8(test::readFile(path)); }
};

TEST_F(CliConvert, ChangesTheCapacityKeepingTheValuesAndReportsIt)
{
    ASSERT_EQ(
        run({"convert", file("a"), "--capacity", "2R222", "--suffix", "-new", "--report", file("r", ".csv")}), ExitDone)
        << err.str();
    const datafile::ParsedDataSet before = datafile::parseDataSet(test::readFile(file("a")));
    const datafile::ParsedDataSet after = datafile::parseDataSet(test::readFile(file("a-new")));
    EXPECT_EQ(after.identity.model, before.identity.model);
    EXPECT_EQ(after.identity.romVersion, before.identity.romVersion);
    EXPECT_NE(after.identity.capacity, before.identity.capacity);
    EXPECT_TRUE(fileExists(file("a-new", ".csv")));
    // The summary on standard output ends with the words left as they were.
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().ends_with("words kept unchanged")) << out.str();
    EXPECT_NE(out.str().find("Set from capacity: 1"), std::string::npos) << out.str();
    const std::string report = reportText(file("r", ".csv"));
    EXPECT_TRUE(report.starts_with("Code,Name,Change,")) << report;
    EXPECT_NE(report.find("Set from capacity"), std::string::npos) << report;
}

// 01-A2 turns reserved words into parameters whose range leaves out the 0
// they kept: both files are written, and the status says so.
TEST_F(CliConvert, SeveralFilesGoBesideTheirsWithOneReportNamingThem)
{
    ASSERT_EQ(
        run({"convert", file("a"), file("b"), "--rom", "01-A2", "--suffix", "_A2", "--report", file("r", ".csv")}),
        ExitOutOfRange)
        << err.str();
    EXPECT_TRUE(fileExists(file("a_A2")));
    EXPECT_TRUE(fileExists(file("b_A2")));
    const std::string report = reportText(file("r", ".csv"));
    EXPECT_TRUE(report.starts_with("File,Code,Name,")) << report;
    for (const std::string name : {"a", "b"}) {
        EXPECT_NE(report.find(file(name) + ",Outside range,"), std::string::npos) << report;
        EXPECT_NE(err.str().find(file(name) + ": " + file(name + "_A2")), std::string::npos) << err.str();
    }
    for (const std::string& line : linesOf(report))
        if (line.find("Now a parameter") != std::string::npos) {
            EXPECT_TRUE(line.starts_with(file("a") + ",") || line.starts_with(file("b") + ",")) << line;
        }
}

TEST_F(CliConvert, AKeptValueOutsideItsNewRangeIsWrittenAndSaidByTheStatus)
{
    datafile::ParsedDataSet set = datafile::parseDataSet(test::readFile(file("a")));
    set.values[0] = 0x7FFF; // far above any range of the first word
    test::writeFile(file("a"), datafile::formatDataSet(set.identity, set.values));
    ASSERT_EQ(run({"convert", file("a"), "--capacity", "2R222", "-o", file("c")}), ExitOutOfRange) << err.str();
    EXPECT_TRUE(fileExists(file("c")));
    EXPECT_NE(err.str().find("words lie outside their new range"), std::string::npos) << err.str();
}

struct RefusedCase {
    const char* name;
    std::vector<std::string> args; // after "convert" and the data file a
    int status;
};

class CliConvertRefused : public CliConvert, public ::testing::WithParamInterface<RefusedCase> { };

TEST_P(CliConvertRefused, WritesNothing)
{
    std::vector<std::string> args {"convert", file("a")};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    EXPECT_EQ(run(args), GetParam().status) << err.str();
    EXPECT_FALSE(fileExists(file("a-new")));
    EXPECT_FALSE(fileExists(file("r", ".csv")));
    EXPECT_FALSE(err.str().empty());
}

INSTANTIATE_TEST_SUITE_P(Convert, CliConvertRefused,
    ::testing::Values(RefusedCase {"CapacityNotInTheList", {"--capacity", "9Z999", "--suffix", "-new"}, ExitRefused},
        RefusedCase {"RomVersionUnknown", {"--rom", "99-Z9", "--suffix", "-new"}, ExitRefused},
        RefusedCase {"NoNewInverter", {"--suffix", "-new"}, ExitUsage},
        RefusedCase {"NoOutput", {"--capacity", "2R222"}, ExitUsage},
        RefusedCase {"OutputAndSuffix", {"--capacity", "2R222", "-o", "x.csl", "--suffix", "-new"}, ExitUsage},
        RefusedCase {"OutputWithSeveralFiles", {"b.csl", "--capacity", "2R222", "-o", "x.csl"}, ExitUsage},
        RefusedCase {"SuffixWithAFolder", {"--capacity", "2R222", "--suffix", "/new"}, ExitUsage}),
    test::CaseName {});

} // namespace
} // namespace tess::cli
