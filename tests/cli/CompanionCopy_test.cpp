// A .csl saved beside the .csv of another save (a save cut short between its
// two renames): show and export say so on the error stream, and export and
// set put the matching copy in place.
#include "cli/Runner.h"

#include "cli/CliRun.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess::cli {
namespace {

struct MixedPairCase {
    const char* name;
    std::vector<std::string> command; // the data file follows
    bool repairs; // the .csv is the matching copy afterwards
};

class CliCompanionCopy : public CliRun, public ::testing::WithParamInterface<MixedPairCase> {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        for (const std::string& name : {pump, newer})
            ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", name}), ExitDone)
                << err.str();
        ASSERT_EQ(run({"set", newer, "A-3=210"}), ExitDone) << err.str();
        newerCopy = test::readFile(dir.file("newer.csv"));
        test::writeFile(pump, test::readFile(newer));
    }

    const std::string pump = dir.file("pump.csl");
    const std::string csv = dir.file("pump.csv");
    const std::string newer = dir.file("newer.csl");
    std::string newerCopy;
};

TEST_P(CliCompanionCopy, TellsTheCopyFromAnotherSave)
{
    std::vector<std::string> args = GetParam().command;
    args.insert(args.begin() + 1, pump);
    EXPECT_EQ(run(args), ExitDone) << err.str();
    EXPECT_NE(err.str().find(csv + ": the readable copy (.csv) is from another save"), std::string::npos) << err.str();
    EXPECT_EQ(test::readFile(csv) == newerCopy, GetParam().repairs);

    if (GetParam().repairs) {
        ASSERT_EQ(run({"show", pump}), ExitDone) << err.str();
        EXPECT_EQ(err.str().find("another save"), std::string::npos) << err.str();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliCompanionCopy,
    ::testing::Values(MixedPairCase {"Show", {"show"}, false}, MixedPairCase {"Export", {"export"}, true},
        MixedPairCase {"Set", {"set", "A-3=210"}, true}),
    test::CaseName());

TEST_F(CliRun, MatchingPairIsNotTold)
{
    const std::string pump = dir.file("pump.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", pump}), ExitDone);
    ASSERT_EQ(run({"show", pump}), ExitDone) << err.str();
    EXPECT_EQ(err.str().find("another save"), std::string::npos) << err.str();
}

} // namespace
} // namespace tess::cli
