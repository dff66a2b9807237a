// The journal each transfer with the drive leaves, the interrupted write
// taken up again, the history, and the port held for a whole transfer: end
// to end through the simulated inverter program.
#include "cli/CliProcess.h"
#include "cli/CliRun.h"
#include "cli/SimulatedDrive.h"

#include "app/comm/TransferHistory.h"
#include "domain/comm/PortLock.h"
#include "domain/common/FileIo.h"
#include "domain/common/Sha256.h"
#include "domain/journal/FlatJson.h"
#include "domain/journal/JournalReader.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tess::cli {
namespace {

using journal::JournalEnd;
using journal::JournalSummary;

// The drive fixture with the journals and the port locks in the test's
// folder, as the program finds them through XDG_STATE_HOME and
// XDG_RUNTIME_DIR.
class CliJournal : public CliDrive {
protected:
    void SetUp() override
    {
        CliDrive::SetUp();
        std::filesystem::create_directories(dir.file("run"));
        env.journalFolder = dir.file("state/tessaline/journal");
        env.runtimeFolder = dir.file("run");
    }
    std::vector<comm::HistoryEntry> history() const { return comm::readHistory(env.journalFolder); }
};

TEST_F(CliJournal, AWriteRecordsTheDriveTheFileAndEachWordTaken)
{
    startDrive();
    ASSERT_EQ(run({"write", changed, "--port", port, "--from", "Fund.", "--to", "Fund."}), ExitDone) << err.str();
    const std::vector<comm::HistoryEntry> entries = history();
    ASSERT_EQ(entries.size(), 1u);
    const JournalSummary& s = entries[0].summary;
    EXPECT_EQ(s.end, JournalEnd::Done);
    EXPECT_EQ(s.header.transaction, journal::JournalTransaction::Write);
    EXPECT_EQ(s.header.drive.text, "QM71 01-A1");
    EXPECT_EQ(s.header.device, port);
    EXPECT_EQ(s.header.dataFile, changed);
    EXPECT_EQ(s.header.dataFileSha256, sha256Hex(test::readFile(changed)));
    EXPECT_EQ(s.header.fromArea, "Fund.");
    EXPECT_TRUE(s.header.verify);
    EXPECT_EQ(s.planned, 11);
    EXPECT_EQ(s.announced, 11);
    EXPECT_EQ(s.taken, drive.stop());
    EXPECT_EQ(s.unreadLines, 0);
}

TEST_F(CliJournal, ARefusalAndAComparisonAreRecordedWithTheirWords)
{
    startDrive({"--nak", "word:3=E"});
    EXPECT_EQ(run({"write", changed, "--port", port, "--from", "Fund.", "--to", "Fund."}), ExitWordsRefused);
    EXPECT_EQ(run({"compare-drive", changed, "--port", port}), ExitDriveDiffers) << err.str();
    const std::vector<comm::HistoryEntry> entries = history();
    ASSERT_EQ(entries.size(), 2u);
    const JournalSummary& compared = entries[0].summary;
    EXPECT_EQ(compared.header.transaction, journal::JournalTransaction::CompareWithDrive);
    ASSERT_EQ(compared.differences.size(), 1u);
    EXPECT_EQ(compared.differences[0].code, "Fund.-3");
    const JournalSummary& written = entries[1].summary;
    EXPECT_EQ(written.end, JournalEnd::WordsRefused);
    EXPECT_EQ(written.refused, 1);
    EXPECT_EQ(written.words[3].refusal, "Upper limit error");
}

struct StopCase {
    const char* name;
    int signal;
    journal::CancelledBy by;
};

class CliJournalStop : public CliJournal, public ::testing::WithParamInterface<StopCase> { };

// The end line names who stopped the write, and the words up to the stop.
TEST_P(CliJournalStop, EndsWithWhoStoppedIt)
{
    startDrive();
    const int status = writeAreaCStoppedBy(GetParam().signal).status;

    ASSERT_EQ(status, ExitCancelled) << err.str();
    const std::vector<comm::HistoryEntry> entries = history();
    ASSERT_EQ(entries.size(), 1u);
    const JournalSummary& s = entries[0].summary;
    EXPECT_EQ(s.end, JournalEnd::Cancelled);
    EXPECT_EQ(s.cancelledBy, GetParam().by);
    EXPECT_EQ(s.taken, drive.stop());
}

INSTANTIATE_TEST_SUITE_P(Signals, CliJournalStop,
    ::testing::Values(StopCase {"Interrupt", SIGINT, journal::CancelledBy::CtrlC},
        StopCase {"Terminate", SIGTERM, journal::CancelledBy::Sigterm},
        StopCase {"HangUp", SIGHUP, journal::CancelledBy::Sighup}),
    test::CaseName {});

// A journal whose write stopped without an end: named before the next
// write to that drive, finished by --resume, and marked so.
TEST_F(CliJournal, AnInterruptedWriteIsNamedAndResumeFinishesIt)
{
    startDrive();
    std::filesystem::create_directories(env.journalFolder);
    const std::string interrupted = env.journalFolder + "/2026-12-11T10-42-05.000Z-write-7.jsonl";
    journal::FlatJson header;
    header.add("kind", "header")
        .add("transaction", "write")
        .add("utc", "2026-12-11T10:42:05Z")
        .add("local", "2026-12-11 10:42:05 +0000")
        .add("port", port)
        .add("device", port)
        .add("file", changed)
        .add("sha256", sha256Hex(test::readFile(changed)))
        .add("from", "Fund.")
        .add("to", "Fund.")
        .add("verify", true);
    test::writeFile(interrupted,
        header.text() + "\n{\"kind\":\"drive\",\"identity\":\"QM71 01-A1\",\"model\":\"QM71\",\"rom\":\"01-A1\"}\n"
            + "{\"kind\":\"plan\",\"words\":11}\n{\"kind\":\"word\",\"word\":0,\"code\":\"Fund.-0\",\"value\":0}\n"
            + "{\"kind\":\"word\",\"word\":0,\"code\":\"Fund.-0\",\"outcome\":\"taken\"}\n{\"kind\":\"wo");

    // Area G is another write to the same drive: the earlier one is named.
    EXPECT_EQ(run({"write", held, "--port", port, "--from", "G", "--to", "G"}), ExitDone) << err.str();
    EXPECT_NE(err.str().find("The write of changed.csl to QM71 01-A1 on " + port
                  + " stopped after 1 of 11 words (2026-12-11 10:42). Finish it now?"),
        std::string::npos)
        << err.str();
    const int before = drive.wordsWritten(100);

    ASSERT_EQ(run({"write", "--resume", "--port", port}), ExitDone) << err.str();
    EXPECT_EQ(drive.wordsWritten(100) - before, 1) << "only Fund.-3 differs";
    EXPECT_EQ(run({"compare-drive", changed, "--port", port}), ExitDone) << err.str();
    EXPECT_TRUE(journal::readJournal(test::readFile(interrupted)).resumed);

    EXPECT_EQ(run({"write", "--resume", "--port", port}), ExitRefused) << "nothing left to resume";
    EXPECT_NE(err.str().find("There is no interrupted write to resume."), std::string::npos) << err.str();
}

TEST_F(CliJournal, ResumeRefusesAFileChangedSinceTheInterruptedWrite)
{
    startDrive();
    std::filesystem::create_directories(env.journalFolder);
    journal::FlatJson header;
    header.add("kind", "header")
        .add("transaction", "write")
        .add("device", port)
        .add("file", changed)
        .add("sha256", sha256Hex("another content"));
    test::writeFile(env.journalFolder + "/2026-12-11T10-42-05.000Z-write-7.jsonl",
        header.text() + "\n{\"kind\":\"drive\",\"identity\":\"QM71 01-A1\",\"model\":\"QM71\",\"rom\":\"01-A1\"}\n");
    EXPECT_EQ(run({"write", "--resume", "--port", port}), ExitRefused);
    EXPECT_NE(err.str().find(changed + " has changed since the interrupted write"), std::string::npos) << err.str();
    EXPECT_EQ(drive.stop(), 0);
}

TEST_F(CliJournal, HistoryListsNewestFirstAsTableAndJson)
{
    startDrive();
    ASSERT_EQ(run({"read", "--port", port, "-o", dir.file("got.csl")}), ExitDone) << err.str();
    ASSERT_EQ(run({"write", changed, "--port", port, "--from", "Fund.", "--to", "Fund."}), ExitDone) << err.str();

    ASSERT_EQ(run({"history"}), ExitDone) << err.str();
    const std::vector<std::string> rows = linesOf(out.str());
    ASSERT_EQ(rows.size(), 3u) << out.str();
    EXPECT_TRUE(rows[0].starts_with("Time\tFile\tDrive\tPort\tKind\tOutcome\tSent\tTaken")) << rows[0];
    EXPECT_NE(rows[1].find("\t" + changed + "\tQM71 01-A1\t" + port + "\twrite\tdone\t11\t11"), std::string::npos)
        << rows[1];
    EXPECT_NE(rows[2].find("\tread\tdone\t0\t0"), std::string::npos) << rows[2];

    ASSERT_EQ(run({"history", "--json"}), ExitDone);
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 2u);
    const std::optional<journal::FlatJson> newest = journal::FlatJson::parse(lines[0]);
    ASSERT_TRUE(newest) << lines[0];
    EXPECT_EQ(newest->string("kind"), "write");
    EXPECT_EQ(newest->number("taken"), 11);
}

// Two transfers on one port: the second is refused with the holder named,
// and the first goes on to its end.
TEST_F(CliJournal, ASecondTransferOnThePortIsRefusedWithTheHolderNamed)
{
    startDrive();
    int secondStatus = -1;
    std::string secondErr;
    const WriteOutcome first = writeAreaC([&](bool) {
        CliProcess second = CliProcess::inFolder(
            {"read", "--lang", "en", "--install", dir.path(), "--port", port, "-o", dir.file("got.csl")}, dir.path());
        secondStatus = second.wait();
        secondErr = second.errText();
    });

    ASSERT_TRUE(first.writing);
    EXPECT_EQ(secondStatus, ExitTransferFailed);
    EXPECT_NE(secondErr.find(port + " is in use by another Tessaline ("), std::string::npos) << secondErr;
    EXPECT_NE(secondErr.find("process " + std::to_string(::getpid()) + ")"), std::string::npos) << secondErr;
    EXPECT_EQ(first.status, ExitDone) << err.str();
    EXPECT_EQ(drive.stop(), 48);
}

// kill -9 at random moments of a write: whatever the moment, the journal
// reads; it never says the drive took a word it did not, and it names at
// most one word beyond the last the drive took. --resume then brings the
// drive to the data set.
TEST_F(CliJournal, KilledAtAnyMomentTheJournalStillTellsTheTruth)
{
    startDrive();
    std::mt19937 random(20261211);
    const std::string journals = dir.file("state/tessaline/journal");
    constexpr int Trials = 6;
    int consistent = 0;
    // Counted, not assumed from the trial's number: a write killed before
    // its header leaves no journal, and the next trial adds only one.
    std::size_t journalsBefore = 0;
    for (int trial = 0; trial < Trials; ++trial) {
        const int before = drive.wordsWritten(0);
        CliProcess write = CliProcess::inFolder({"write", "--lang", "en", "--install", dir.path(), changed, "--port",
                                                    port, "--from", "Fund.", "--to", "Fund."},
            dir.path());
        // Fund. takes about two seconds: the kill lands in the identity
        // read, between two words or within one.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(150, 1900)(random)));
        write.kill9();
        write.wait();
        const int taken = drive.wordsWrittenOnceQuiet(1000) - before;

        const std::vector<comm::HistoryEntry> entries = comm::readHistory(journals);
        const std::size_t added = entries.size() - journalsBefore;
        journalsBefore = entries.size();
        if (added != 1) {
            // Killed before the header was written: nothing had been sent.
            EXPECT_EQ(added, 0u) << trial;
            EXPECT_EQ(taken, 0) << trial;
            if (added == 0 && taken == 0)
                ++consistent;
            continue;
        }
        const JournalSummary& s = entries[0].summary;
        EXPECT_TRUE(s.hasHeader) << trial;
        EXPECT_LE(s.unreadLines, 1) << trial;
        EXPECT_LE(s.taken, taken) << trial << ": claims a word the drive did not take";
        EXPECT_LE(s.announced, taken + 1) << trial << ": announced more than one word beyond the drive";
        EXPECT_GE(s.announced, taken) << trial << ": a word reached the drive unannounced";
        if (s.hasHeader && s.taken <= taken && s.announced <= taken + 1 && s.announced >= taken)
            ++consistent;
    }
    EXPECT_EQ(consistent, Trials);
    RecordProperty("KillTrials", Trials);

    CliProcess resume = CliProcess::inFolder(
        {"write", "--lang", "en", "--install", dir.path(), "--resume", "--port", port}, dir.path());
    const int resumed = resume.wait();
    // The last trial's write may have been killed before its identity was
    // read: then there is nothing to resume, and a plain write finishes.
    if (resumed != ExitDone) {
        ASSERT_EQ(run({"write", changed, "--port", port, "--from", "Fund.", "--to", "Fund."}), ExitDone) << err.str();
    }
    EXPECT_EQ(run({"compare-drive", changed, "--port", port}), ExitDone) << err.str() << resume.errText();
}

} // namespace
} // namespace tess::cli
