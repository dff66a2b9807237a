// A command that met damaged input and still printed something says so in
// its status.
#include "cli/CliRun.h"

#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess::cli {
namespace {

struct DamageCase {
    const char* name;
    // Makes the data set's bytes what the case shows.
    std::string (*damage)(const std::string& whole);
    int status;
};

// The file without its last value: a save cut short at a line's end.
std::string withoutLastLine(const std::string& whole)
{
    const std::size_t last = whole.rfind('\n', whole.size() - 2);
    return whole.substr(0, last + 1);
}

class CliDamagedShow : public CliRun, public ::testing::WithParamInterface<DamageCase> { };

TEST_P(CliDamagedShow, PrintsWhatItReadAndSaysItWasDamaged)
{
    const std::string path = dir.file("pump.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", path}), ExitDone)
        << err.str();
    test::writeFile(path, GetParam().damage(test::readFile(path)));
    EXPECT_EQ(run({"show", path}), GetParam().status) << err.str();
    EXPECT_NE(out.str().find("Fund.-0"), std::string::npos) << "the rows read are shown";
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDamagedShow,
    ::testing::Values(DamageCase {"Whole", [](const std::string& whole) { return whole; }, ExitDone},
        DamageCase {"LastValueMissing", withoutLastLine, ExitInputDamaged},
        DamageCase {
            "CutToHalf", [](const std::string& whole) { return whole.substr(0, whole.size() / 2); }, ExitInputDamaged}),
    test::CaseName {});

} // namespace
} // namespace tess::cli
