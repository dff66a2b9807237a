#include "domain/journal/JournalFolder.h"
#include "domain/journal/JournalReader.h"
#include "domain/journal/TransferJournal.h"

#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tess::journal {
namespace {

using comm::WordOutcome;

JournalHeader writeHeader()
{
    JournalHeader h;
    h.transaction = JournalTransaction::Write;
    h.utcTime = "2026-12-11T10:42:05Z";
    h.localTime = "2026-12-11 19:42:05 +0900";
    h.user = "mori";
    h.host = "bench-3";
    h.programVersion = "4.50";
    h.port = "COM1";
    h.device = "/dev/ttyUSB0";
    h.drive = {"QM71 01-A1", "QM71", "01-A1", 1, 34};
    h.dataFile = "/data/pump \"7\".csl"; // quotes survive the record
    h.dataFileSha256 = std::string(64, 'a');
    h.fromArea = "Fund.";
    h.toArea = "P";
    h.verify = true;
    h.changedOnly = true;
    return h;
}

class JournalFile : public ::testing::Test {
protected:
    // A journal of a write that sent Fund.-0 (taken), Fund.-1 (refused) and
    // announced Fund.-2.
    TransferJournal& threeWords()
    {
        journal.header(writeHeader());
        journal.planned(5);
        journal.wordAnnounced(0, "Fund.-0", 100);
        journal.wordSettled(0, "Fund.-0", WordOutcome::Taken, "");
        journal.wordAnnounced(1, "Fund.-1", 0xFFFE);
        journal.wordSettled(1, "Fund.-1", WordOutcome::Refused, "Upper limit error");
        journal.wordAnnounced(2, "Fund.-2", 7);
        return journal;
    }
    JournalSummary read() const { return readJournal(test::readFile(journal.path())); }

    test::TempDir dir;
    TransferJournal journal {dir.file("deep/journal"), "one.jsonl"};
};

TEST_F(JournalFile, TellsTheHeaderAndEachWordBackAsWritten)
{
    threeWords().end(JournalEnd::WordsRefused);
    ASSERT_EQ(journal.failure(), "");
    const JournalSummary s = read();

    ASSERT_TRUE(s.hasHeader);
    EXPECT_EQ(s.header.dataFile, "/data/pump \"7\".csl");
    EXPECT_EQ(s.header.drive, writeHeader().drive);
    EXPECT_EQ(s.header.device, "/dev/ttyUSB0");
    EXPECT_TRUE(s.header.changedOnly);
    EXPECT_FALSE(s.header.forced);
    EXPECT_EQ(s.planned, 5);
    ASSERT_EQ(s.words.size(), 3u);
    EXPECT_EQ(s.words[1].value, -2);
    EXPECT_EQ(s.words[1].refusal, "Upper limit error");
    EXPECT_FALSE(s.words[2].settled);
    EXPECT_EQ(s.announced, 3);
    EXPECT_EQ(s.taken, 1);
    EXPECT_EQ(s.refused, 1);
    EXPECT_EQ(s.lastTaken, 0);
    EXPECT_EQ(s.lastTakenCode, "Fund.-0");
    EXPECT_EQ(s.end, JournalEnd::WordsRefused);
    EXPECT_TRUE(s.pauses.empty());
    EXPECT_EQ(s.unreadLines, 0);
}

#ifndef _WIN32
// Permission bits are Linux's; on Windows the records take the access rules
// of the user's own profile folder they lie in.
TEST_F(JournalFile, KeepsItsRecordsPrivateToTheUser)
{
    threeWords();
    struct stat info { };
    ASSERT_EQ(::stat(journal.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}
#endif

// A kill mid-write leaves the last line cut anywhere: what came before it
// still reads, and without an end line the transaction was interrupted.
TEST_F(JournalFile, ATornLastLineLosesOnlyItself)
{
    threeWords();
    const std::string whole = test::readFile(journal.path());
    const std::string lastLine = whole.substr(whole.rfind('\n', whole.size() - 2) + 1);
    for (std::size_t cut = 1; cut < lastLine.size() - 1; ++cut) {
        const JournalSummary s = readJournal(whole.substr(0, whole.size() - lastLine.size() + cut));
        EXPECT_EQ(s.end, JournalEnd::Interrupted) << cut;
        EXPECT_EQ(s.announced, 2) << cut;
        EXPECT_EQ(s.lastTaken, 0) << cut;
        EXPECT_EQ(s.unreadLines, 1) << cut;
    }
}

TEST_F(JournalFile, AnOutcomeOfAWordNotAnnouncedLastCountsForNothing)
{
    threeWords();
    journal.wordSettled(7, "A-0", WordOutcome::Taken, "");
    const JournalSummary s = read();
    EXPECT_EQ(s.taken, 1);
    EXPECT_EQ(s.lastTaken, 0);
}

// 2026-12-11T10:42:05.250Z
constexpr std::int64_t PauseBeganMs = 1796985725250;

struct PauseCase {
    const char* name;
    comm::PauseEnd end;
};

class JournalPauseEnding : public JournalFile, public ::testing::WithParamInterface<PauseCase> { };

// Stop held the write after Fund.-1 with Fund.-2 announced: the hold is told
// between the two words, with its times and the user's answer.
TEST_P(JournalPauseEnding, TellsWhereTheWriteWasHeldAndHowItWentOn)
{
    threeWords().pauseBegan(1, "Fund.-1", PauseBeganMs);
    journal.pauseEnded(GetParam().end, PauseBeganMs + 30'000);
    journal.end(JournalEnd::Done);
    const JournalSummary s = read();

    EXPECT_EQ(s.unreadLines, 0);
    EXPECT_EQ(s.announced, 3);
    ASSERT_EQ(s.pauses.size(), 1u);
    const JournalPause& pause = s.pauses[0];
    EXPECT_EQ(pause.afterWord, 1);
    EXPECT_EQ(pause.afterCode, "Fund.-1");
    EXPECT_EQ(pause.wordsBefore, 2u);
    EXPECT_EQ(pause.beganUtc, "2026-12-11T10:42:05Z");
    EXPECT_EQ(pause.beganLocal, journalTimesAt(PauseBeganMs).local);
    EXPECT_EQ(pause.end, GetParam().end);
    EXPECT_EQ(pause.endedUtc, "2026-12-11T10:42:35Z");
}

INSTANTIATE_TEST_SUITE_P(Answers, JournalPauseEnding,
    ::testing::Values(PauseCase {"WentOn", comm::PauseEnd::WentOn}, PauseCase {"Stopped", comm::PauseEnd::Stopped}),
    test::CaseName {});

// Held before the first word, then killed while the user was asked: the
// hold is told without a word before it and without an end.
TEST_F(JournalFile, AHoldBeforeTheFirstWordMayEndWithTheRecord)
{
    journal.header(writeHeader());
    journal.pauseBegan(-1, "", PauseBeganMs);
    const JournalSummary s = read();

    ASSERT_EQ(s.pauses.size(), 1u);
    EXPECT_FALSE(s.pauses[0].afterWord);
    EXPECT_EQ(s.pauses[0].wordsBefore, 0u);
    EXPECT_FALSE(s.pauses[0].end);
    EXPECT_EQ(s.end, JournalEnd::Interrupted);
}

TEST_F(JournalFile, AHoldsEndWithoutItsBeginningCountsForNothing)
{
    threeWords().pauseEnded(comm::PauseEnd::Stopped, PauseBeganMs);
    const JournalSummary s = read();
    EXPECT_TRUE(s.pauses.empty());
    EXPECT_EQ(s.announced, 3);
}

TEST(JournalTimes, NameTheMomentInUtcAndAsAFileStamp)
{
    const JournalTimes times = journalTimesAt(PauseBeganMs);
    EXPECT_EQ(times.utc, "2026-12-11T10:42:05Z");
    EXPECT_EQ(times.fileStamp, "2026-12-11T10-42-05.250Z");
}

struct EndCase {
    const char* name;
    JournalEnd end;
    CancelledBy by;
};

class JournalEnding : public JournalFile, public ::testing::WithParamInterface<EndCase> { };

TEST_P(JournalEnding, IsReadBackAsWritten)
{
    threeWords().end(GetParam().end, GetParam().by);
    const JournalSummary s = read();
    EXPECT_EQ(s.end, GetParam().end);
    EXPECT_EQ(s.cancelledBy, GetParam().by);
}

INSTANTIATE_TEST_SUITE_P(Ends, JournalEnding,
    ::testing::Values(EndCase {"Done", JournalEnd::Done, CancelledBy::User},
        EndCase {"WordsRefused", JournalEnd::WordsRefused, CancelledBy::User},
        EndCase {"Failed", JournalEnd::Failed, CancelledBy::User},
        EndCase {"CancelledByClose", JournalEnd::Cancelled, CancelledBy::Close},
        EndCase {"CancelledByCtrlC", JournalEnd::Cancelled, CancelledBy::CtrlC},
        EndCase {"CancelledBySigterm", JournalEnd::Cancelled, CancelledBy::Sigterm},
        EndCase {"CancelledBySighup", JournalEnd::Cancelled, CancelledBy::Sighup}),
    test::CaseName {});

TEST_F(JournalFile, AResumedMarkFollowsEvenATornLine)
{
    threeWords();
    test::writeFile(journal.path(), test::readFile(journal.path()) + "{\"kind\":\"wo");
    ASSERT_TRUE(TransferJournal::markResumed(journal.path(), "two.jsonl", "2026-12-11T11:00:00Z"));
    const JournalSummary s = read();
    EXPECT_TRUE(s.resumed);
    EXPECT_EQ(s.end, JournalEnd::Interrupted);
    EXPECT_EQ(s.unreadLines, 1);
}

// A folder that cannot be made is told once and costs nothing else.
TEST(JournalFailure, IsToldAndTheCallsGoOn)
{
    test::TempDir dir;
    test::writeFile(dir.file("plain"), "a file, no folder");
    TransferJournal journal(dir.file("plain/journal"), "one.jsonl");
    journal.header(writeHeader());
    journal.wordAnnounced(0, "Fund.-0", 1);
    journal.end(JournalEnd::Done);
    EXPECT_NE(journal.failure().find(dir.file("plain")), std::string::npos) << journal.failure();
}

TEST(JournalFolders, NewestFirstByTheTimeInTheirNames)
{
    test::TempDir dir;
    for (const char* stamp : {"2026-12-11T10-00-00.000Z", "2026-12-12T09-00-00.000Z", "2026-01-01T00-00-00.000Z"})
        test::writeFile(dir.file(journalFileName(stamp, "write", 12)), "");
    test::writeFile(dir.file("notes.txt"), "");
    const std::vector<std::string> files = journalFiles(dir.path());
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], dir.file("2026-12-12T09-00-00.000Z-write-12.jsonl"));
    EXPECT_EQ(files[2], dir.file("2026-01-01T00-00-00.000Z-write-12.jsonl"));
}

struct FolderCase {
    const char* name;
    const char* stateHome;
    const char* home;
    const char* folder;
};

class JournalFolderChoice : public ::testing::TestWithParam<FolderCase> { };

TEST_P(JournalFolderChoice, FollowsTheBaseDirectoryRules)
{
    EXPECT_EQ(journalFolder(GetParam().stateHome, GetParam().home), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Cases, JournalFolderChoice,
    ::testing::Values(FolderCase {"StateHome", "/s", "/h", "/s/tessaline/journal"},
        FolderCase {"HomeWithoutStateHome", nullptr, "/h", "/h/.local/state/tessaline/journal"},
        FolderCase {"RelativeStateHomeIgnored", "rel", "/h", "/h/.local/state/tessaline/journal"},
        FolderCase {"Neither", nullptr, nullptr, ""}),
    test::CaseName {});

} // namespace
} // namespace tess::journal

namespace tess::journal {
namespace {

struct IdentityCase {
    const char* name;
    std::string text; // the ten identity characters
    const char* model;
    const char* rom;
};

class DriveIdentityBytes : public ::testing::TestWithParam<IdentityCase> { };

// Five characters of model and five of ROM code, with or without a blank
// between them; the mode and capacity codes are the two words after.
TEST_P(DriveIdentityBytes, NameTheModelAndTheRomCode)
{
    std::vector<std::uint8_t> bytes(GetParam().text.begin(), GetParam().text.end());
    bytes.insert(bytes.end(), {0x00, 0x02, 0x01, 0x22});
    const DriveIdentity drive = driveIdentityOf(bytes);
    EXPECT_EQ(drive.model, GetParam().model);
    EXPECT_EQ(drive.romCode, GetParam().rom);
    EXPECT_EQ(drive.modeCode, 2);
    EXPECT_EQ(drive.capacityCode, 0x122);
}

INSTANTIATE_TEST_SUITE_P(Texts, DriveIdentityBytes,
    ::testing::Values(IdentityCase {"BlankBetween", "QM71 01-A1", "QM71", "01-A1"},
        IdentityCase {"FiveLetterModel", "QM71K01-A2", "QM71K", "01-A2"},
        IdentityCase {"ControlBytesShownAsBlanks",
            std::string("LX71\x01"
                        "02-B0",
                10),
            "LX71", "02-B0"}),
    test::CaseName {});

} // namespace
} // namespace tess::journal
