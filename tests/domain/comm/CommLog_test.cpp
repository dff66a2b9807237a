#include "domain/comm/CommLog.h"
#include "domain/common/FileIo.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tess {
namespace {

using comm::CommLog;
using comm::CommLogReadStatus;
using Strings = std::vector<std::string>;

TEST(CommLog, InsertPutsTheLineBeforeTheIndexAndAppendsPastTheEnd)
{
    CommLog log;
    log.append("start !!");
    log.append("end !!");
    log.insert(1, "A-11 data is not writed.");
    log.insert(0, "first");
    log.insert(99, "last");
    EXPECT_EQ(log.lines(), (Strings {"first", "start !!", "A-11 data is not writed.", "end !!", "last"}));
    log.clear();
    EXPECT_TRUE(log.lines().empty());
}

TEST(CommLog, PathIsTheFileInTheFolderOrInTheWorkingDirectory)
{
    EXPECT_EQ(comm::commLogPath(), "writelog.txt");
    EXPECT_EQ(comm::commLogPath("/tmp/x"), "/tmp/x/writelog.txt");
    EXPECT_EQ(comm::commLogPath("/tmp/x/"), "/tmp/x/writelog.txt");
}

struct EncodeCase {
    const char* name;
    Strings lines;
    std::string bytes;
};

class EncodeTest : public ::testing::TestWithParam<EncodeCase> { };

TEST_P(EncodeTest, EveryLineEndsWithCrLfInCodePage932)
{
    EXPECT_EQ(comm::encodeCommLog(GetParam().lines), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(CommLog, EncodeTest,
    ::testing::Values(EncodeCase {"NoLines", {}, ""},
        EncodeCase {"StartAndEnd", {"start !!", "end !!"}, "start !!\r\nend !!\r\n"},
        EncodeCase {"Japanese", {"A-11 のデータ"}, "A-11 \x82\xcc\x83\x66\x81\x5b\x83\x5e\r\n"},
        EncodeCase {"EmptyLineKept", {"", "x", ""}, "\r\nx\r\n\r\n"},
        EncodeCase {"LineBreakInsideALine", {"a\nb", "c\r\nd"}, "a\r\nb\r\nc\r\nd\r\n"}),
    test::CaseName());

class CommLogFileTest : public ::testing::Test {
protected:
    std::string logFile() const { return dir.file("writelog.txt"); }

    test::TempDir dir;
};

TEST_F(CommLogFileTest, JapaneseLinesRoundTripThroughTheFile)
{
    CommLog log;
    log.append("start !!");
    log.append("受信先頭文字エラー！！");
    log.append("A-11 のデータは書込みません。");
    log.append("end !!");

    const comm::CommLogSave saved = comm::saveCommLog(systemFileWriter(), log, dir.path());
    ASSERT_TRUE(saved.written);
    EXPECT_EQ(saved.notice, std::nullopt);
    const std::string bytes = test::readFile(logFile());
    EXPECT_TRUE(bytes.starts_with("start !!\r\n"));
    EXPECT_TRUE(bytes.ends_with("\x82\xf1\x81\x42\r\nend !!\r\n")) << "ends with \"ん。\" CR LF, then end !! CR LF";

    const comm::CommLogFile back = comm::readCommLog(dir.path());
    EXPECT_EQ(back.status, CommLogReadStatus::Read);
    EXPECT_EQ(back.lines, log.lines());
}

TEST_F(CommLogFileTest, FailedWriteKeepsTheOldFileAndSaysSo)
{
    test::writeFile(logFile(), "start !!\r\nend !!\r\n");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });

    const comm::CommLogSave saved = comm::saveCommLog(failing, Strings {"new"}, dir.path());
    EXPECT_FALSE(saved.written);
    EXPECT_EQ(test::readFile(logFile()), "start !!\r\nend !!\r\n");
    ASSERT_TRUE(saved.notice.has_value());
    EXPECT_EQ(saved.notice->en,
        std::string(text(TextId::CommLogCannotWrite, Language::English)) + "\n" + logFile()
            + ": simulated write failure");
}

TEST_F(CommLogFileTest, CharactersWithoutAShiftJisFormAreSavedAsQuestionMarksAndReported)
{
    const comm::CommLogSave saved
        = comm::saveCommLog(systemFileWriter(), Strings {"pump \xF0\x9F\x94\xA7 ok"}, dir.path());
    EXPECT_TRUE(saved.written);
    EXPECT_EQ(test::readFile(logFile()), "pump ? ok\r\n");
    EXPECT_EQ(saved.notice, message(TextId::CommLogCharactersReplaced));
}

TEST_F(CommLogFileTest, MissingFileGivesNoLines)
{
    const comm::CommLogFile file = comm::readCommLog(dir.path());
    EXPECT_EQ(file.status, CommLogReadStatus::Missing);
    EXPECT_TRUE(file.lines.empty());
}

TEST_F(CommLogFileTest, FolderInPlaceOfTheFileIsUnreadableNotMissing)
{
    std::filesystem::create_directories(logFile());
    EXPECT_EQ(comm::readCommLog(dir.path()).status, CommLogReadStatus::Unreadable);
}

struct ReadCase {
    const char* name;
    std::string bytes;
    CommLogReadStatus status;
    Strings lines;
};

class ReadTest : public CommLogFileTest, public ::testing::WithParamInterface<ReadCase> { };

TEST_P(ReadTest, FileIsReadLineByLine)
{
    test::writeFile(logFile(), GetParam().bytes);
    const comm::CommLogFile file = comm::readCommLog(dir.path());
    EXPECT_EQ(file.status, GetParam().status);
    EXPECT_EQ(file.lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(CommLog, ReadTest,
    ::testing::Values(ReadCase {"Empty", "", CommLogReadStatus::Read, {}},
        ReadCase {"CrLf", "start !!\r\nend !!\r\n", CommLogReadStatus::Read, {"start !!", "end !!"}},
        ReadCase {"LfAndNoFinalEnd", "a\nb", CommLogReadStatus::Read, {"a", "b"}},
        ReadCase {"BlankLineInside", "a\r\n\r\nb\r\n", CommLogReadStatus::Read, {"a", "", "b"}},
        ReadCase {"Japanese", "\x82\xcc\r\n", CommLogReadStatus::Read, {"の"}},
        // A byte that is no Shift-JIS character shows as U+FFFD; the line and
        // everything around it stay.
        ReadCase {"UndecodableByte", "ok\r\nbad \xA0 byte\r\nend !!\r\n", CommLogReadStatus::Undecodable,
            {"ok", "bad \xEF\xBF\xBD byte", "end !!"}},
        ReadCase {"TruncatedDoubleByte", "end\x82", CommLogReadStatus::Undecodable, {"end\xEF\xBF\xBD"}}),
    test::CaseName());

} // namespace
} // namespace tess
