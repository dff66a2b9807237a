#include "core/app/Texts.h"
#include "core/app/Workspace.h"
#include "core/comm/LogViewer.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess {
namespace {

using comm::LogViewer;
using Strings = std::vector<std::string>;

std::string english(TextId id)
{
    return std::string(text(id, Language::English));
}

class LogViewerTest : public ::testing::Test {
protected:
    std::string logFile() const { return dir.file("writelog.txt"); }

    test::TempDir dir;
    Workspace ws;
    test::FakeUi ui;
};

TEST_F(LogViewerTest, OpenMarkLastsFromCreationToClosing)
{
    LogViewer viewer(ws, ui, dir.path());
    EXPECT_TRUE(ws.logWindowOpen);
    viewer.show();
    EXPECT_TRUE(viewer.close(Strings {}));
    EXPECT_FALSE(ws.logWindowOpen);
}

TEST_F(LogViewerTest, ViewerDestroyedWithoutClosingIsNotMarkedOpen)
{
    {
        const LogViewer viewer(ws, ui, dir.path());
    }
    EXPECT_FALSE(ws.logWindowOpen);
}

TEST_F(LogViewerTest, CaptionFollowsTheLanguageWhenAskedAgain)
{
    const LogViewer viewer(ws, ui, dir.path());
    ws.language = Language::Japanese;
    EXPECT_EQ(viewer.caption(), "通信ﾛｸﾞ参照");
    ws.language = Language::English;
    EXPECT_EQ(viewer.caption(), "Communication Log Reference");
}

TEST_F(LogViewerTest, ShowingLoadsTheFileAfresh)
{
    LogViewer viewer(ws, ui, dir.path());
    EXPECT_TRUE(viewer.show().empty()) << "no file yet";
    test::writeFile(logFile(), "start !!\r\n\x82\xcc\r\nend !!\r\n");
    EXPECT_EQ(viewer.show(), (Strings {"start !!", "の", "end !!"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LogViewerTest, ClosingWritesTheEditedLinesBack)
{
    test::writeFile(logFile(), "start !!\r\nA-11 data is not writed.\r\nend !!\r\n");
    LogViewer viewer(ws, ui, dir.path());
    Strings lines = viewer.show();
    lines.erase(lines.begin() + 1);
    lines.push_back("点検済み");

    EXPECT_TRUE(viewer.close(lines));
    EXPECT_EQ(test::readFile(logFile()), "start !!\r\nend !!\r\n\x93\x5f\x8c\x9f\x8d\xcf\x82\xdd\r\n");
}

TEST_F(LogViewerTest, ClosingWithAMissingFileWritesAnEmptyOne)
{
    LogViewer viewer(ws, ui, dir.path());
    EXPECT_TRUE(viewer.close(viewer.show()));
    EXPECT_EQ(test::readFile(logFile()), "");
}

TEST_F(LogViewerTest, UndecodableFileIsReportedAndKeptUnlessChanged)
{
    const std::string damaged = "ok\r\nbad \xA0 byte\r\n";
    test::writeFile(logFile(), damaged);
    {
        LogViewer viewer(ws, ui, dir.path());
        const Strings lines = viewer.show();
        EXPECT_EQ(ui.englishTexts(), Strings {english(TextId::CommLogUndecodable)});
        EXPECT_TRUE(viewer.close(lines));
        EXPECT_EQ(test::readFile(logFile()), damaged);
    }
    {
        LogViewer viewer(ws, ui, dir.path());
        Strings lines = viewer.show();
        lines.pop_back();
        EXPECT_TRUE(viewer.close(lines));
        EXPECT_EQ(test::readFile(logFile()), "ok\r\n");
    }
}

TEST_F(LogViewerTest, FailedWriteOfChangesAsksBeforeClosing)
{
    test::writeFile(logFile(), "start !!\r\n");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    ws.writer = &failing;
    LogViewer viewer(ws, ui, dir.path());
    viewer.show();

    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(viewer.close(Strings {"edited"}));
    EXPECT_TRUE(ws.logWindowOpen);
    EXPECT_EQ(ui.englishTexts(), Strings {english(TextId::CommLogCannotWrite)});
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].inLanguage(), english(TextId::CommLogDiscardChanges));

    ui.answers.push_back(Answer::Yes);
    EXPECT_TRUE(viewer.close(Strings {"edited"}));
    EXPECT_FALSE(ws.logWindowOpen);
    EXPECT_EQ(test::readFile(logFile()), "start !!\r\n");
}

TEST_F(LogViewerTest, FailedWriteWithoutChangesClosesWithTheMessageOnly)
{
    test::writeFile(logFile(), "start !!\r\n");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    ws.writer = &failing;
    LogViewer viewer(ws, ui, dir.path());
    EXPECT_TRUE(viewer.close(viewer.show()));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(ui.englishTexts(), Strings {english(TextId::CommLogCannotWrite)});
}

struct MemoCase {
    const char* name;
    Strings lines;
    std::string text;
};

class MemoTextTest : public ::testing::TestWithParam<MemoCase> { };

TEST_P(MemoTextTest, MemoTextAndLinesAreInverses)
{
    EXPECT_EQ(comm::memoText(GetParam().lines), GetParam().text);
    EXPECT_EQ(comm::memoLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(LogViewer, MemoTextTest,
    ::testing::Values(MemoCase {"NoLines", {}, ""}, MemoCase {"OneLine", {"start !!"}, "start !!"},
        MemoCase {"TrailingEmptyLine", {"a", ""}, "a\n"},
        MemoCase {"EmptyLinesBetween", {"a", "", "", "b"}, "a\n\n\nb"}),
    test::CaseName());

} // namespace
} // namespace tess
