#include "app/comm/LogViewerPresenter.h"
#include "app/common/Workspace.h"
#include "domain/comm/CommLog.h"
#include "domain/common/FileIo.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tess {
namespace {

using comm::LogViewerPresenter;
using Strings = std::vector<std::string>;

std::string english(TextId id)
{
    return std::string(text(id, Language::English));
}

class LogViewerPresenterTest : public ::testing::Test {
protected:
    std::string logFile() const { return dir.file("writelog.txt"); }

    test::TempDir dir;
    Workspace ws;
    test::FakeUi ui;
};

TEST_F(LogViewerPresenterTest, OpenMarkLastsFromCreationToClosing)
{
    LogViewerPresenter viewer(ws, ui, dir.path());
    EXPECT_TRUE(ws.view.logWindowOpen);
    viewer.show();
    EXPECT_TRUE(viewer.close(Strings {}));
    EXPECT_FALSE(ws.view.logWindowOpen);
}

TEST_F(LogViewerPresenterTest, ViewerDestroyedWithoutClosingIsNotMarkedOpen)
{
    {
        const LogViewerPresenter viewer(ws, ui, dir.path());
    }
    EXPECT_FALSE(ws.view.logWindowOpen);
}

TEST_F(LogViewerPresenterTest, CaptionFollowsTheLanguageWhenAskedAgain)
{
    const LogViewerPresenter viewer(ws, ui, dir.path());
    ws.settings.language = Language::Japanese;
    EXPECT_EQ(viewer.caption(), "通信ﾛｸﾞ参照");
    ws.settings.language = Language::English;
    EXPECT_EQ(viewer.caption(), "Communication Log Reference");
}

TEST_F(LogViewerPresenterTest, ShowingLoadsTheFileAfresh)
{
    LogViewerPresenter viewer(ws, ui, dir.path());
    EXPECT_TRUE(viewer.show().empty()) << "no file yet";
    test::writeFile(logFile(), "start !!\r\n\x82\xcc\r\nend !!\r\n");
    EXPECT_EQ(viewer.show(), (Strings {"start !!", "の", "end !!"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LogViewerPresenterTest, ClosingWritesTheEditedLinesBack)
{
    test::writeFile(logFile(), "start !!\r\nA-11 data is not writed.\r\nend !!\r\n");
    LogViewerPresenter viewer(ws, ui, dir.path());
    Strings lines = viewer.show();
    lines.erase(lines.begin() + 1);
    lines.push_back("点検済み");

    EXPECT_TRUE(viewer.close(lines));
    EXPECT_EQ(test::readFile(logFile()), "start !!\r\nend !!\r\n\x93\x5f\x8c\x9f\x8d\xcf\x82\xdd\r\n");
}

// The save the viewer and the communication dialog share.
struct TellingCase {
    const char* name;
    std::string line;
    std::optional<TextId> told;
};

class SaveCommLogTelling : public LogViewerPresenterTest, public ::testing::WithParamInterface<TellingCase> { };

TEST_P(SaveCommLogTelling, WritesBehindTheHourglassAndTellsWhatTheSaveSays)
{
    ws.settings.language = Language::Japanese;
    EXPECT_TRUE(comm::saveCommLogTelling(ws, ui, Strings {GetParam().line}, dir.path()));
    EXPECT_EQ(ui.busyCount, 1);
    EXPECT_EQ(ui.busyDepth, 0);
    Strings told;
    if (GetParam().told)
        told.emplace_back(text(*GetParam().told, Language::Japanese));
    EXPECT_EQ(ui.shownTexts(), told);
}

INSTANTIATE_TEST_SUITE_P(Lines, SaveCommLogTelling,
    ::testing::Values(TellingCase {"Plain", "start !!", std::nullopt},
        TellingCase {"CharacterWithoutShiftJisForm", "pump \xF0\x9F\x94\xA7 ok", TextId::CommLogCharactersReplaced}),
    test::CaseName {});

TEST_F(LogViewerPresenterTest, ClosingWithAMissingFileLeavesItMissing)
{
    LogViewerPresenter viewer(ws, ui, dir.path());
    EXPECT_TRUE(viewer.close(viewer.show()));
    EXPECT_FALSE(fileExists(logFile()));
}

// What the user does between opening the viewer on an old log and closing
// it, while a transaction writes its new log.
struct NewLogCase {
    const char* name;
    bool showAgain; // the log command chosen again after the transaction
    bool edit; // a line added in the memo
    std::string expectedFile;
};

class LogViewerNewLog : public LogViewerPresenterTest, public ::testing::WithParamInterface<NewLogCase> { };

TEST_P(LogViewerNewLog, ALogWrittenWhileTheViewerIsOpenIsNeverLost)
{
    const NewLogCase& c = GetParam();
    test::writeFile(logFile(), "start !!\r\nend !!\r\n");
    LogViewerPresenter viewer(ws, ui, dir.path());
    Strings memo = viewer.show();

    ASSERT_TRUE(
        comm::saveCommLog(*ws.writer, Strings {"start !!", "A-11 data is not writed.", "end !!"}, dir.path()).written);
    if (c.showAgain) {
        const auto shown = viewer.showAgain(memo);
        ASSERT_TRUE(shown.has_value());
        memo = *shown;
        EXPECT_EQ(memo, (Strings {"start !!", "A-11 data is not writed.", "end !!"}));
    }
    if (c.edit)
        memo.push_back("checked");
    EXPECT_TRUE(viewer.close(memo));

    EXPECT_EQ(test::readFile(logFile()), c.expectedFile);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(, LogViewerNewLog,
    ::testing::Values(NewLogCase {"ClosedUnedited", false, false, "start !!\r\nA-11 data is not writed.\r\nend !!\r\n"},
        NewLogCase {"ShownAgainThenClosed", true, false, "start !!\r\nA-11 data is not writed.\r\nend !!\r\n"},
        NewLogCase {
            "ShownAgainEditedThenClosed", true, true, "start !!\r\nA-11 data is not writed.\r\nend !!\r\nchecked\r\n"},
        NewLogCase {"OldLogEditedThenClosed", false, true, "start !!\r\nend !!\r\nchecked\r\n"}),
    test::CaseName {});

TEST_F(LogViewerPresenterTest, ShowingAgainOverUnwrittenChangesAsksFirst)
{
    test::writeFile(logFile(), "start !!\r\n");
    LogViewerPresenter viewer(ws, ui, dir.path());
    Strings memo = viewer.show();
    memo.push_back("checked");
    test::writeFile(logFile(), "start !!\r\nend !!\r\n");

    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(viewer.showAgain(memo).has_value());
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].inLanguage(), english(TextId::CommLogReloadDiscardsChanges));

    ui.answers.push_back(Answer::Yes);
    const auto shown = viewer.showAgain(memo);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(*shown, (Strings {"start !!", "end !!"}));
    // What is shown now counts as unchanged: closing writes nothing.
    EXPECT_TRUE(viewer.close(*shown));
    EXPECT_EQ(test::readFile(logFile()), "start !!\r\nend !!\r\n");
}

TEST_F(LogViewerPresenterTest, UndecodableFileIsReportedAndKeptUnlessChanged)
{
    const std::string damaged = "ok\r\nbad \xA0 byte\r\n";
    test::writeFile(logFile(), damaged);
    {
        LogViewerPresenter viewer(ws, ui, dir.path());
        const Strings lines = viewer.show();
        EXPECT_EQ(ui.englishTexts(), Strings {english(TextId::CommLogUndecodable)});
        EXPECT_TRUE(viewer.close(lines));
        EXPECT_EQ(test::readFile(logFile()), damaged);
    }
    {
        LogViewerPresenter viewer(ws, ui, dir.path());
        Strings lines = viewer.show();
        lines.pop_back();
        EXPECT_TRUE(viewer.close(lines));
        EXPECT_EQ(test::readFile(logFile()), "ok\r\n");
    }
}

TEST_F(LogViewerPresenterTest, FailedWriteOfChangesAsksBeforeClosing)
{
    test::writeFile(logFile(), "start !!\r\n");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    ws.writer = &failing;
    LogViewerPresenter viewer(ws, ui, dir.path());
    viewer.show();

    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(viewer.close(Strings {"edited"}));
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_TRUE(ws.view.logWindowOpen);
    EXPECT_EQ(ui.englishTexts(),
        Strings {english(TextId::CommLogCannotWrite) + "\n" + logFile() + ": simulated write failure"});
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].inLanguage(), english(TextId::CommLogDiscardChanges));

    ui.answers.push_back(Answer::Yes);
    EXPECT_TRUE(viewer.close(Strings {"edited"}));
    EXPECT_FALSE(ws.view.logWindowOpen);
    EXPECT_EQ(test::readFile(logFile()), "start !!\r\n");
}

TEST_F(LogViewerPresenterTest, ClosingWithoutChangesWritesNothing)
{
    test::writeFile(logFile(), "start !!\r\n");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    ws.writer = &failing;
    LogViewerPresenter viewer(ws, ui, dir.path());
    EXPECT_TRUE(viewer.close(viewer.show()));
    EXPECT_EQ(failing.calls, 0);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ws.view.logWindowOpen);
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

INSTANTIATE_TEST_SUITE_P(LogViewerPresenter, MemoTextTest,
    ::testing::Values(MemoCase {"NoLines", {}, ""}, MemoCase {"OneLine", {"start !!"}, "start !!"},
        MemoCase {"TrailingEmptyLine", {"a", ""}, "a\n"},
        MemoCase {"EmptyLinesBetween", {"a", "", "", "b"}, "a\n\n\nb"}),
    test::CaseName());

} // namespace
} // namespace tess
