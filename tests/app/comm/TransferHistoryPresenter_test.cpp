#include "app/comm/TransferHistoryPresenter.h"

#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "domain/journal/JournalFolder.h"
#include "domain/journal/TransferJournal.h"
#include "support/CaseName.h"
#include "support/DemoWorkspace.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tess::comm {
namespace {

using journal::JournalEnd;
using journal::JournalTransaction;

class TransferHistoryWindow : public ::testing::Test {
protected:
    TransferHistoryWindow()
    {
        demo.ws.settings.language = Language::English;
        demo.ws.settings.journalFolder = demo.dir.file("journal");
    }

    // A journal of a transfer made at stamp of the data set file: a write
    // sends Fund.-0 (taken) and Fund.-1 (refused), then announces Fund.-2.
    void journalOf(const std::string& stamp, JournalTransaction transaction, const std::string& file,
        std::optional<JournalEnd> end)
    {
        journal::TransferJournal journal(
            demo.ws.settings.journalFolder, journal::journalFileName(stamp, journal::transactionName(transaction), 7));
        journal::JournalHeader h;
        h.transaction = transaction;
        h.utcTime = stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + "T" + stamp.substr(9, 2)
            + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2) + "Z";
        h.port = "COM1";
        h.device = "/dev/ttyUSB0";
        h.drive = {"QM71 01-A1", "QM71", "01-A1", 1, 34};
        h.dataFile = file;
        journal.header(h);
        if (transaction == JournalTransaction::Write) {
            journal.planned(5);
            journal.wordAnnounced(0, "Fund.-0", 100);
            journal.wordSettled(0, "Fund.-0", WordOutcome::Taken, "");
            journal.wordAnnounced(1, "Fund.-1", 7);
            journal.wordSettled(1, "Fund.-1", WordOutcome::Refused, "Upper limit error");
            journal.wordAnnounced(2, "Fund.-2", 9);
        }
        if (end)
            journal.end(*end);
    }

    test::DemoWorkspace demo;
    TransferHistoryPresenter history {demo.ws, demo.ui};
};

TEST_F(TransferHistoryWindow, ListsTheTransfersNewestFirst)
{
    journalOf("20261211T010000.000Z", JournalTransaction::Read, "/data/read.csl", JournalEnd::Done);
    journalOf("20261211T020000.000Z", JournalTransaction::Write, "/data/pump7.csl", std::nullopt);

    history.reload();

    const std::vector<std::vector<std::string>> expected {
        {"2026-12-11T02:00:00", "/data/pump7.csl", "QM71 01-A1", "/dev/ttyUSB0", "write", "interrupted", "3", "1"},
        {"2026-12-11T01:00:00", "/data/read.csl", "QM71 01-A1", "/dev/ttyUSB0", "read", "done", "0", "0"},
    };
    EXPECT_EQ(history.rows(), expected);
    EXPECT_EQ(history.texts().columnTitles.size(), expected.front().size());
    EXPECT_EQ(history.chosen(), -1);
    EXPECT_FALSE(history.openEnabled());
}

TEST_F(TransferHistoryWindow, ChosenWriteShowsItsWordsAndOutcomes)
{
    journalOf("20261211T020000.000Z", JournalTransaction::Write, "/data/pump7.csl", std::nullopt);
    history.reload();

    history.choose(0);

    const std::vector<std::string> expected {
        "Fund.-0 = 100: taken",
        "Fund.-1 = 7: refused (Upper limit error)",
        "Fund.-2 = 9: sent, no outcome recorded",
    };
    EXPECT_EQ(history.chosenDetails(), expected);
    history.choose(5);
    EXPECT_TRUE(history.chosenDetails().empty());
}

// Stop held the write after Fund.-0, the user went on; held again after
// Fund.-1 and stopped it before Fund.-2 went out.
TEST_F(TransferHistoryWindow, ChosenWriteShowsWhereItWasHeldForStop)
{
    constexpr std::int64_t heldMs = 1796985725000; // 2026-12-11T10:42:05Z
    journal::TransferJournal journal(demo.ws.settings.journalFolder, "2026-12-11T10-42-00.000Z-write-7.jsonl");
    journal.header({});
    journal.wordAnnounced(0, "Fund.-0", 100);
    journal.wordSettled(0, "Fund.-0", WordOutcome::Taken, "");
    journal.wordAnnounced(1, "Fund.-1", 7);
    journal.pauseBegan(0, "Fund.-0", heldMs);
    journal.pauseEnded(PauseEnd::WentOn, heldMs + 1000);
    journal.wordSettled(1, "Fund.-1", WordOutcome::Taken, "");
    journal.wordAnnounced(2, "Fund.-2", 9);
    journal.pauseBegan(1, "Fund.-1", heldMs + 2000);
    journal.pauseEnded(PauseEnd::Stopped, heldMs + 3000);
    journal.wordSettled(2, "Fund.-2", WordOutcome::NotSent, "");
    journal.end(JournalEnd::Cancelled);
    history.reload();

    history.choose(0);

    const auto at = [&](std::int64_t ms) { return journal::journalTimesAt(heldMs + ms).local; };
    const std::vector<std::string> expected {
        "Fund.-0 = 100: taken",
        "held after Fund.-0 while Stop was asked (" + at(0) + "), went on (" + at(1000) + ")",
        "Fund.-1 = 7: taken",
        "held after Fund.-1 while Stop was asked (" + at(2000) + "), stopped by the user (" + at(3000) + ")",
        "Fund.-2 = 9: not sent",
    };
    EXPECT_EQ(history.chosenDetails(), expected);
}

TEST_F(TransferHistoryWindow, OpenDataSetOpensTheChosenTransfersFile)
{
    ASSERT_TRUE(demo.newDefaultDataSet());
    const std::string file = demo.dir.file("pump7.csl");
    demo.ui.fileNames.push_back(file);
    saveDocumentAs(demo.ws, demo.ui);
    ASSERT_TRUE(demo.ws.doc.state.saved);
    closeDocument(demo.ws, demo.ui);
    journalOf("20261211T020000.000Z", JournalTransaction::Write, file, JournalEnd::Done);
    history.reload();
    history.choose(0);

    ASSERT_TRUE(history.openEnabled());
    EXPECT_TRUE(history.openChosenDataSet());
    EXPECT_TRUE(demo.ws.doc.state.open);
}

TEST_F(TransferHistoryWindow, MissingDataSetIsToldAndNothingOpens)
{
    journalOf("20261211T020000.000Z", JournalTransaction::Write, demo.dir.file("gone.csl"), JournalEnd::Done);
    history.reload();
    history.choose(0);

    EXPECT_FALSE(history.openChosenDataSet());
    EXPECT_FALSE(history.compareChosenWithDrive());
    EXPECT_FALSE(demo.ws.doc.state.open);
    EXPECT_FALSE(demo.ui.messages.empty());
}

// Where a transfer's port points now: each system's own naming (COM7 is
// /dev/ttyS6 on Linux while TESSALINE_COM7 is not set, \\.\COM7 on Windows).
struct ComparePortCase {
    const char* name;
    const char* port; // as the transfer's journal names it
    const char* device;
    const char* chosen; // the port of the comparison; "": the settings'
};

class CompareWithDriveOfTransfer : public TransferHistoryWindow,
                                   public ::testing::WithParamInterface<ComparePortCase> { };

TEST_P(CompareWithDriveOfTransfer, OpensItsDataSetAndNamesThePortItUsed)
{
#ifndef _WIN32
    ::unsetenv("TESSALINE_COM7");
#endif
    ASSERT_TRUE(demo.newDefaultDataSet());
    const std::string file = demo.dir.file("pump7.csl");
    demo.ui.fileNames.push_back(file);
    saveDocumentAs(demo.ws, demo.ui);
    closeDocument(demo.ws, demo.ui);
    {
        journal::TransferJournal journal(demo.ws.settings.journalFolder, "2026-12-11T02-00-00.000Z-write-7.jsonl");
        journal::JournalHeader h;
        h.port = GetParam().port;
        h.device = GetParam().device;
        h.dataFile = file;
        journal.header(h);
        journal.end(JournalEnd::Done);
    }
    history.reload();
    history.choose(0);

    const std::optional<DriveComparison> comparison = history.compareChosenWithDrive();
    ASSERT_TRUE(comparison);
    EXPECT_EQ(comparison->port, GetParam().chosen);
    EXPECT_TRUE(demo.ws.doc.state.open);
    EXPECT_EQ(demo.ws.doc.state.fileName, file);
}

std::vector<ComparePortCase> comparePortCases()
{
#ifdef _WIN32
    return {{"DevicePath", "\\\\.\\CNCA0", "\\\\.\\CNCA0", "\\\\.\\CNCA0"},
        {"ComPortStillItsDevice", "COM7", "\\\\.\\COM7", "COM7"},
        {"ComPortNowAnotherDevice", "COM7", "\\\\.\\COM3", "\\\\.\\COM3"}, {"PortNamingNoDevice", "COM0", "", ""},
        {"NoPortRecorded", "", "", ""}};
#else
    return {{"DevicePath", "/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"ComPortStillItsDevice", "COM7", "/dev/ttyS6", "COM7"},
        {"ComPortNowAnotherDevice", "COM7", "/dev/ttyUSB3", "/dev/ttyUSB3"}, {"PortNamingNoDevice", "COM0", "", ""},
        {"NoPortRecorded", "", "", ""}};
#endif
}

INSTANTIATE_TEST_SUITE_P(Ports, CompareWithDriveOfTransfer, ::testing::ValuesIn(comparePortCases()), test::CaseName {});

} // namespace
} // namespace tess::comm
