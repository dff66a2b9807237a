#include "cli/CommandLine.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tess::cli {
namespace {

ParsedCommandLine parse(const std::vector<std::string>& args)
{
    return parseCommandLine(args);
}

// ---- what is wrong with a line, and what is not ---------------------------

UsageError usage(TextId id, std::string arg1 = {}, std::string arg2 = {})
{
    return UsageError {id, std::move(arg1), std::move(arg2)};
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::optional<UsageError> error;
};

class CommandLineUsage : public ::testing::TestWithParam<UsageCase> { };

TEST_P(CommandLineUsage, ReportsTheFirstFault)
{
    const UsageCase& c = GetParam();
    const ParsedCommandLine parsed = parse(c.args);
    EXPECT_EQ(parsed.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineUsage,
    ::testing::Values(UsageCase {"Empty", {}, usage(TextId::CliUsageNoCommand)},
        UsageCase {"OnlyGlobalOptions", {"--lang", "en"}, usage(TextId::CliUsageNoCommand)},
        UsageCase {"UnknownCommand", {"delete", "a.csl"}, usage(TextId::CliUsageUnknownCommand, "delete")},
        UsageCase {"UnknownOption", {"show", "a.csl", "--colour"}, usage(TextId::CliUsageUnknownOption, "--colour")},
        UsageCase {"OptionOfAnotherCommand", {"show", "a.csl", "--model", "QM71"},
            usage(TextId::CliUsageUnknownOption, "--model")},
        UsageCase {"ValueMissingAtTheEnd", {"show", "a.csl", "--area"}, usage(TextId::CliUsageMissingValue, "--area")},
        UsageCase {"EmptyValue", {"new", "--model=", "--capacity", "1R122", "-o", "a.csl"},
            usage(TextId::CliUsageBadValue, "--model", "")},
        UsageCase {"ModeNotAWholeNumber", {"new", "--model", "QM71", "--mode", "1x", "--capacity", "1", "-o", "a.csl"},
            usage(TextId::CliUsageBadValue, "--mode", "1x")},
        UsageCase {
            "UnknownLanguage", {"show", "a.csl", "--lang", "de"}, usage(TextId::CliUsageBadValue, "--lang", "de")},
        UsageCase {"ValueGivenToAFlag", {"new", "--force=yes"}, usage(TextId::CliUsageBadValue, "--force", "yes")},
        UsageCase {"NewWithoutCapacity", {"new", "--model", "QM71", "-o", "a.csl"},
            usage(TextId::CliUsageMissingOption, "--capacity")},
        UsageCase {"NewWithAPlainArgument", {"new", "a.csl", "--model", "QM71", "--capacity", "1", "-o", "b.csl"},
            usage(TextId::CliUsageExtraArgument, "a.csl")},
        UsageCase {"ShowWithoutFile", {"show"}, usage(TextId::CliUsageMissingFile)},
        UsageCase {"ExportOfTwoFilesToOneOutput", {"export", "a.csl", "b.csl", "-o", "c.csv"},
            usage(TextId::CliUsageOutputWithSeveralFiles)},
        UsageCase {"ExportOfTwoFilesBesideThem", {"export", "a.csl", "b.csl"}, std::nullopt},
        UsageCase {"SetDataFileAfterTheEntries", {"set", "a.csl", "A-0=1", "b.csl"},
            usage(TextId::CliUsageBadAssignment, "b.csl")},
        UsageCase {"SetWithoutEntries", {"set", "a.csl"}, usage(TextId::CliUsageNoAssignment)},
        UsageCase {"SetEntryWithoutEquals", {"set", "a.csl", "A-0"}, usage(TextId::CliUsageBadAssignment, "A-0")},
        UsageCase {"SetEntryWithoutCode", {"set", "a.csl", "=5"}, usage(TextId::CliUsageBadAssignment, "=5")},
        UsageCase {"ReadWithoutPort", {"read", "-o", "a.csl"}, usage(TextId::CliUsageMissingOption, "--port")},
        UsageCase {"ReadWithoutOutput", {"read", "--port", "COM1"}, usage(TextId::CliUsageMissingOption, "-o")},
        UsageCase {"ReadOfADataFile", {"read", "a.csl", "--port", "COM1", "-o", "b.csl"},
            usage(TextId::CliUsageExtraArgument, "a.csl")},
        UsageCase {"WriteWithoutFile", {"write", "--port", "COM1"}, usage(TextId::CliUsageMissingFile)},
        UsageCase {"WriteWithoutPort", {"write", "a.csl"}, usage(TextId::CliUsageMissingOption, "--port")},
        UsageCase {"PortWithoutValue", {"write", "a.csl", "--port"}, usage(TextId::CliUsageMissingValue, "--port")},
        UsageCase {"CompareDriveOfTwoFiles", {"compare-drive", "a.csl", "b.csl", "--port", "COM1"},
            usage(TextId::CliUsageExtraArgument, "b.csl")},
        UsageCase {"WriteFlagOnRead", {"read", "--port", "COM1", "-o", "a.csl", "--permit-write"},
            usage(TextId::CliUsageUnknownOption, "--permit-write")},
        UsageCase {"AreaOnCompareDrive", {"compare-drive", "a.csl", "--port", "COM1", "--from", "A"},
            usage(TextId::CliUsageUnknownOption, "--from")},
        UsageCase {"ForceOnWrite", {"write", "a.csl", "--port", "COM1", "--force"},
            usage(TextId::CliUsageUnknownOption, "--force")},
        UsageCase {
            "PortOnSet", {"set", "a.csl", "A-0=1", "--port", "COM1"}, usage(TextId::CliUsageUnknownOption, "--port")},
        UsageCase {"ValueGivenToAWriteFlag", {"write", "a.csl", "--port", "COM1", "--no-verify=1"},
            usage(TextId::CliUsageBadValue, "--no-verify", "1")},
        UsageCase {"CompareDriveAcceptingIdentity", {"compare-drive", "a.csl", "--port=COM2", "--accept-identity"},
            std::nullopt},
        UsageCase {"DiffOfThreeFiles", {"diff", "a.csl", "b.csl", "c.csl"}, usage(TextId::CliUsageDiffFiles)},
        UsageCase {"DiffOfTwoFilesAgainstTheDefaults", {"diff", "--defaults", "a.csl", "b.csl"},
            usage(TextId::CliUsageDiffFiles)},
        UsageCase {"DiffWithoutFile", {"diff", "--json"}, usage(TextId::CliUsageMissingFile)},
        UsageCase {"ChangedRowsOnDiff", {"diff", "a.csl", "b.csl", "--changed"},
            usage(TextId::CliUsageUnknownOption, "--changed")},
        UsageCase {"PlainChangedRowsOfAnArea", {"show", "a.csl", "--plain", "--changed", "--area", "A"}, std::nullopt},
        UsageCase {"ReportWithoutOutput", {"report", "a.csl", "--site", "Plant 7"},
            usage(TextId::CliUsageMissingOption, "-o")},
        UsageCase {"ReportOfTwoFiles", {"report", "a.csl", "b.csl", "-o", "r.pdf"},
            usage(TextId::CliUsageExtraArgument, "b.csl")},
        UsageCase {
            "SiteOnShow", {"show", "a.csl", "--site", "Plant 7"}, usage(TextId::CliUsageUnknownOption, "--site")},
        UsageCase {"ReportWithEveryOption",
            {"report", "a.csl", "-o", "r.pdf", "--site=S", "--tag", "T", "--engineer", "E", "--all", "--lang", "ja"},
            std::nullopt},
        UsageCase {"HelpOverridesFaults", {"new", "--colour", "--help"}, std::nullopt},
        UsageCase {"SetEntryWithEmptyValue", {"set", "a.csl", "A-0="}, std::nullopt},
        UsageCase {"OptionsBeforeTheCommand", {"--install", "/opt/t", "--lang=ja", "show", "a.csl"}, std::nullopt}),
    test::CaseName {});

// ---- what a usable line carries ---------------------------------------------

TEST(CommandLine, NewTakesEveryOptionInEitherForm)
{
    const ParsedCommandLine parsed = parse(
        {"new", "--model=LX71RTP", "--mode", "2", "--capacity", "1122", "--rom=01-A1", "--output", "a.csl", "--force"});
    ASSERT_FALSE(parsed.error);
    const Options& o = parsed.options;
    EXPECT_EQ(o.command, Command::New);
    EXPECT_EQ(o.model, "LX71RTP");
    EXPECT_EQ(o.controlMode, 2);
    EXPECT_EQ(o.capacity, "1122");
    EXPECT_EQ(o.romCode, "01-A1");
    EXPECT_EQ(o.output, "a.csl");
    EXPECT_TRUE(o.force);
}

struct WriteCase {
    const char* name;
    std::vector<std::string> args;
    Options expected; // command, data file and port aside
};

Options writeOptions(std::string from, std::string to, bool changedOnly, bool verify, bool permit, bool accept)
{
    Options o;
    o.fromArea = std::move(from);
    o.toArea = std::move(to);
    o.changedOnly = changedOnly;
    o.verify = verify;
    o.permitWrite = permit;
    o.acceptIdentity = accept;
    return o;
}

class CommandLineWrite : public ::testing::TestWithParam<WriteCase> { };

TEST_P(CommandLineWrite, CarriesTheDialogsChoices)
{
    std::vector<std::string> args {"write", "a.csl", "--port", "/dev/ttyUSB0"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const ParsedCommandLine parsed = parse(args);
    ASSERT_FALSE(parsed.error);
    const Options& o = parsed.options;
    const Options& e = GetParam().expected;
    EXPECT_EQ(o.command, Command::Write);
    EXPECT_EQ(o.dataFiles, std::vector<std::string> {"a.csl"});
    EXPECT_EQ(o.port, "/dev/ttyUSB0");
    EXPECT_EQ(o.fromArea, e.fromArea);
    EXPECT_EQ(o.toArea, e.toArea);
    EXPECT_EQ(o.changedOnly, e.changedOnly);
    EXPECT_EQ(o.verify, e.verify);
    EXPECT_EQ(o.permitWrite, e.permitWrite);
    EXPECT_EQ(o.acceptIdentity, e.acceptIdentity);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineWrite,
    ::testing::Values(WriteCase {"AsTheDialogOpens", {}, writeOptions("", "", false, true, false, false)},
        WriteCase {"EveryChoice",
            {"--from", "C", "--to=P", "--changed-only", "--no-verify", "--permit-write", "--accept-identity"},
            writeOptions("C", "P", true, false, true, true)}),
    test::CaseName {});

TEST(CommandLine, ReadTakesItsPortAndOutput)
{
    const ParsedCommandLine parsed = parse({"read", "--port=COM3", "--output", "a.csl", "--force"});
    ASSERT_FALSE(parsed.error);
    EXPECT_EQ(parsed.options.command, Command::Read);
    EXPECT_EQ(parsed.options.port, "COM3");
    EXPECT_EQ(parsed.options.output, "a.csl");
    EXPECT_TRUE(parsed.options.force);
}

TEST(CommandLine, SetSplitsEachEntryAtItsFirstEquals)
{
    const ParsedCommandLine parsed = parse({"set", "a.csl", "Fund.-2=-60.00", "A-0=1=2", "A-1="});
    ASSERT_FALSE(parsed.error);
    EXPECT_EQ(parsed.options.dataFiles, std::vector<std::string> {"a.csl"});
    EXPECT_EQ(
        parsed.options.assignments, (std::vector<Assignment> {{"Fund.-2", "-60.00"}, {"A-0", "1=2"}, {"A-1", ""}}));
}

TEST(CommandLine, SetTakesTheDataFilesBeforeTheFirstEntry)
{
    const ParsedCommandLine parsed = parse({"set", "a.csl", "b.csl", "A-0=1", "A-1=2"});
    ASSERT_FALSE(parsed.error);
    EXPECT_EQ(parsed.options.dataFiles, (std::vector<std::string> {"a.csl", "b.csl"}));
    EXPECT_EQ(parsed.options.assignments, (std::vector<Assignment> {{"A-0", "1"}, {"A-1", "2"}}));
}

TEST(CommandLine, DoubleDashEndsTheOptions)
{
    const ParsedCommandLine parsed = parse({"show", "--lang", "en", "--", "-odd.csl"});
    ASSERT_FALSE(parsed.error);
    EXPECT_EQ(parsed.options.dataFiles, std::vector<std::string> {"-odd.csl"});
    EXPECT_EQ(parsed.options.language, Language::English);
}

TEST(CommandLine, HelpNamesTheCommandItBelongsTo)
{
    EXPECT_EQ(helpText(parse({"export", "-h"}).options.command), TextId::CliHelpExport);
    EXPECT_EQ(helpText(parse({"--help"}).options.command), TextId::CliHelpMain);
    EXPECT_EQ(helpText(parse({"compare-drive", "--help"}).options.command), TextId::CliHelpCompareDrive);
}

} // namespace
} // namespace tess::cli
