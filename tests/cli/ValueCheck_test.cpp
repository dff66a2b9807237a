// A value that its table row does not allow (a damaged digit, a hand edit)
// is told by every command that reads the data set.
#include "cli/CliRun.h"
#include "cli/OutOfRangeValues.h"

#include "domain/common/FileIo.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess::cli {
namespace {

class CliValueCheck : public CliRun {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        path = dir.file("pump.csl");
        ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", path}), ExitDone)
            << err.str();
    }
    void breakD9()
    {
        writeValueByHand([this](std::vector<std::string> args) { return run(std::move(args)); }, path, "D-9", "1", 8);
    }
    std::string path;
};

struct CommandCase {
    const char* name;
    std::vector<std::string> args; // the data set follows
    int status; // with D-9 = 8
};

class CliValueCheckCommand : public CliValueCheck, public ::testing::WithParamInterface<CommandCase> { };

TEST_P(CliValueCheckCommand, NamesTheValueAndItsRange)
{
    std::vector<std::string> args = GetParam().args;
    args.push_back(path);
    ASSERT_EQ(run(args), ExitDone) << "a data set as made: " << err.str();
    EXPECT_EQ(err.str(), "");

    breakD9();
    EXPECT_EQ(run(args), GetParam().status);
    EXPECT_NE(err.str().find("1 value is not what its table row allows"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("\nD-9 = 8, allowed 0/1"), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(Cases, CliValueCheckCommand,
    ::testing::Values(CommandCase {"Show", {"show"}, ExitDone},
        CommandCase {"ShowCheck", {"show", "--check"}, ExitOutOfRange}, CommandCase {"Export", {"export"}, ExitDone}),
    test::CaseName {});

} // namespace
} // namespace tess::cli
