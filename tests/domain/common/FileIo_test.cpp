#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tess {
namespace {

struct LinesCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

class SplitLines : public ::testing::TestWithParam<LinesCase> { };

TEST_P(SplitLines, BreaksAtEveryKindOfLineEnd)
{
    const auto got = splitLines(GetParam().text);
    ASSERT_EQ(got.size(), GetParam().lines.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], GetParam().lines[i]) << "line " << i;
}

INSTANTIATE_TEST_SUITE_P(, SplitLines,
    ::testing::Values(LinesCase {"CrLf", "a\r\nb\r\n", {"a", "b"}}, LinesCase {"Lf", "a\nb", {"a", "b"}},
        LinesCase {"Cr", "a\rb\r", {"a", "b"}}, LinesCase {"Mixed", "a\r\n\nb\rc", {"a", "", "b", "c"}},
        LinesCase {"Empty", "", {}}, LinesCase {"OnlyLineEnd", "\r\n", {""}}),
    test::CaseName {});

TEST(Cp932, RoundTripsJapaneseAndHalfWidthKana)
{
    const std::string utf8 = "機種：ﾌｧｲﾙ名 Setting";
    const std::string bytes = utf8ToCp932(utf8);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x8B); // 機 = 8B 40
    EXPECT_EQ(cp932ToUtf8(bytes), utf8);
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters)
{
    // 0x81 at the end is a lead byte without its trail; 0xA0 is unassigned.
    EXPECT_EQ(cp932ToUtf8("A\xA0"
                          "B\x81"),
        "A\xEF\xBF\xBD"
        "B\xEF\xBF\xBD");
}

TEST(Cp932, UnmappableCharactersAreReportedAsLossy)
{
    bool lossy = false;
    EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x98\x80z", &lossy), "a?z"); // an emoji has no CP932 form
    EXPECT_TRUE(lossy);
}

TEST(FileWriter, ReplacesWholeFileAndLeavesNoTemporaryBehind)
{
    test::TempDir dir;
    const std::string path = dir.file("a.txt");
    test::writeFile(path, "old");
    IoError error;
    ASSERT_TRUE(systemFileWriter().replaceFile(path, "new contents", &error)) << error.detail;
    EXPECT_EQ(test::readFile(path), "new contents");
    EXPECT_FALSE(systemFileWriter().replaceFile(dir.file("missing/b.txt"), "x", &error));
    EXPECT_FALSE(error.detail.empty());
    EXPECT_EQ(test::folderContents(dir.path()), (test::FolderContents {{"a.txt", "new contents"}}));
}

// A save that was killed leaves its temporary file; the next save of the
// same file removes it, and only what matches that file's own pattern.
TEST(FileWriter, RemovesLeftoversOfInterruptedSavesOfTheSameFile)
{
    test::TempDir dir;
    const std::string marker(TemporaryFileMarker);
    const test::FolderContents others {{".b.csl" + marker + "Ab12Cd", "another file's"},
        {".a.csl" + marker + "Ab12Cde", "not the pattern"}, {".a.csl" + marker + "Ab-2Cd", "not the pattern"},
        {"a.csl" + marker + "Ab12Cd", "not the pattern"}};
    for (const auto& [name, bytes] : others)
        test::writeFile(dir.file(name), bytes);
    test::writeFile(dir.file(".a.csl" + marker + "Ab12Cd"), "half");
    test::writeFile(dir.file(".a.csl" + marker + "zzzzzz"), "half");

    ASSERT_TRUE(systemFileWriter().replaceFile(dir.file("a.csl"), "new", nullptr));
    test::FolderContents expected = others;
    expected["a.csl"] = "new";
    EXPECT_EQ(test::folderContents(dir.path()), expected);
}

// Another save of the same file, by another window or a script, is no
// interrupted one: its temporary file stays until it has put it in place.
TEST(FileWriter, LeavesTheTemporaryFileOfASaveInProgress)
{
    test::TempDir dir;
    const std::string path = dir.file("a.csl");
    IoError error;
    std::optional<PendingFile> first = systemFileWriter().prepare(path, "first", &error);
    ASSERT_TRUE(first) << error.detail;
    ASSERT_TRUE(systemFileWriter().replaceFile(path, "second", &error)) << error.detail;
    EXPECT_EQ(test::readFile(first->temporary()), "first");
    ASSERT_EQ(systemFileWriter().commit(std::span(&*first, 1), &error), 1u) << error.detail;
    EXPECT_EQ(test::folderContents(dir.path()), (test::FolderContents {{"a.csl", "first"}}));
}

} // namespace
} // namespace tess
