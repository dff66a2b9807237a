#include "cli/ProgressLine.h"

#include "cli/TextTable.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tess::cli {
namespace {

struct LineCase {
    const char* name;
    int permille;
    std::string status;
    int columns;
    std::string line;
};

class ProgressLineText : public ::testing::TestWithParam<LineCase> { };

TEST_P(ProgressLineText, FitsTheTerminalWithoutWrapping)
{
    const LineCase& c = GetParam();
    const std::string line = progressLineText(c.permille, c.status, c.columns);
    EXPECT_EQ(line, c.line);
    EXPECT_LT(displayWidth(line), c.columns);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressLineText,
    ::testing::Values(LineCase {"Start", 0, "Waiting for the line to settle", 80,
                          "[--------------------]   0%  Waiting for the line to settle"},
        LineCase {"PartWay", 456, "Word 40 of 589 written", 80, "[#########-----------]  45%  Word 40 of 589 written"},
        LineCase {"Done", 1000, "", 80, "[####################] 100%"},
        LineCase {"BeyondTheEnd", 1200, "", 80, "[####################] 100%"},
        // The cut never splits a character: a wide one that does not fit is left out.
        LineCase {"WideTextCut", 500, "665語中40語 書込み", 36, "[##########----------]  50%  665語"}),
    test::CaseName {});

TEST(ProgressLine, MakesRoomForALineOfItsOwn)
{
    std::ostringstream err;
    {
        ProgressLine progress(err, 80);
        progress.update(500, "a");
        progress.clear();
        err << "message\n";
        progress.update(1000, "b");
    }
    EXPECT_EQ(err.str(),
        "\r[##########----------]  50%  a\x1b[K\r\x1b[Kmessage\n"
        "\r[####################] 100%  b\x1b[K\r\x1b[K");
}

} // namespace
} // namespace tess::cli
