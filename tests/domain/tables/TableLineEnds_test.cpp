// A table file is whole when every line ends as its first line does; a file
// cut short or with line ends lost on the way is told by the line at fault.
#include "domain/tables/TableFiles.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tess::tables {
namespace {

using Kind = LineEndFault::Kind;

struct LineEndCase {
    const char* name;
    std::string bytes;
    std::optional<LineEndFault> fault;
};

class TableLineEnds : public ::testing::TestWithParam<LineEndCase> { };

TEST_P(TableLineEnds, AreWholeOnlyWhenEveryLineEndsAsTheFirst)
{
    TableText text;
    text.assign(GetParam().bytes);
    EXPECT_EQ(text.lineEndFault(), GetParam().fault);
}

INSTANTIATE_TEST_SUITE_P(Files, TableLineEnds,
    ::testing::Values(LineEndCase {"CrLfThroughout", "a\r\nb\r\nc\r\n", std::nullopt},
        LineEndCase {"LineFeedThroughout", "a\nb\nc\n", std::nullopt},
        LineEndCase {"CarriageReturnThroughout", "a\rb\rc\r", std::nullopt},
        LineEndCase {"BlankLinesKeepTheEnd", "a\r\n\r\nc\r\n", std::nullopt}, LineEndCase {"Empty", "", std::nullopt},
        LineEndCase {"CrLfLastEndMissing", "a\r\nb\r\nc", LineEndFault {Kind::LastLineCut, 2}},
        LineEndCase {"CrLfLastLineFeedMissing", "a\r\nb\r\nc\r", LineEndFault {Kind::LastLineCut, 2}},
        LineEndCase {"LineFeedLastEndMissing", "a\nb\nc", LineEndFault {Kind::LastLineCut, 2}},
        LineEndCase {"OneLineWithoutEnd", "a", LineEndFault {Kind::LastLineCut, 0}},
        LineEndCase {"LineFeedAmongCrLf", "a\r\nb\nc\r\n", LineEndFault {Kind::Mixed, 1}},
        LineEndCase {"CrLfAmongLineFeeds", "a\nb\r\nc\n", LineEndFault {Kind::Mixed, 1}},
        LineEndCase {"CarriageReturnAmongCrLf", "a\r\nb\rc\r\n", LineEndFault {Kind::Mixed, 1}},
        // The first fault is told: the cut last line is a later one.
        LineEndCase {"MixedAndCut", "a\r\nb\nc", LineEndFault {Kind::Mixed, 1}},
        LineEndCase {"LastLineEndsLonger", "a\nb\r\n", LineEndFault {Kind::Mixed, 1}}),
    test::CaseName {});

} // namespace
} // namespace tess::tables
