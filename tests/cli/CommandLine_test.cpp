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
        UsageCase {"ExportOfTwoFiles", {"export", "a.csl", "b.csl"}, usage(TextId::CliUsageExtraArgument, "b.csl")},
        UsageCase {"SetWithoutEntries", {"set", "a.csl"}, usage(TextId::CliUsageNoAssignment)},
        UsageCase {"SetEntryWithoutEquals", {"set", "a.csl", "A-0"}, usage(TextId::CliUsageBadAssignment, "A-0")},
        UsageCase {"SetEntryWithoutCode", {"set", "a.csl", "=5"}, usage(TextId::CliUsageBadAssignment, "=5")},
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

TEST(CommandLine, SetSplitsEachEntryAtItsFirstEquals)
{
    const ParsedCommandLine parsed = parse({"set", "a.csl", "Fund.-2=-60.00", "A-0=1=2", "A-1="});
    ASSERT_FALSE(parsed.error);
    EXPECT_EQ(parsed.options.dataFile, "a.csl");
    EXPECT_EQ(
        parsed.options.assignments, (std::vector<Assignment> {{"Fund.-2", "-60.00"}, {"A-0", "1=2"}, {"A-1", ""}}));
}

TEST(CommandLine, DoubleDashEndsTheOptions)
{
    const ParsedCommandLine parsed = parse({"show", "--lang", "en", "--", "-odd.csl"});
    ASSERT_FALSE(parsed.error);
    EXPECT_EQ(parsed.options.dataFile, "-odd.csl");
    EXPECT_EQ(parsed.options.language, Language::English);
}

TEST(CommandLine, HelpNamesTheCommandItBelongsTo)
{
    EXPECT_EQ(helpText(parse({"export", "-h"}).options.command), TextId::CliHelpExport);
    EXPECT_EQ(helpText(parse({"--help"}).options.command), TextId::CliHelpMain);
}

} // namespace
} // namespace tess::cli
