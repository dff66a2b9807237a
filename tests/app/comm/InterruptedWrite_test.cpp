#include "app/comm/InterruptedWrite.h"
#include "app/comm/SerialTransferPresenter.h"

#include "app/common/Workspace.h"
#include "domain/common/Sha256.h"
#include "domain/journal/JournalFolder.h"
#include "domain/journal/TransferJournal.h"
#include "domain/settings/UserStore.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace tess::comm {
namespace {

using journal::JournalEnd;
using journal::JournalTransaction;

constexpr std::string_view DataSetBytes = "the data set as it was written";

class InterruptedWriteOffer : public ::testing::Test {
protected:
    InterruptedWriteOffer()
    {
        ws.settings.language = Language::English;
        ws.settings.journalFolder = dir.file("journal");
        test::writeFile(dataFile(), std::string(DataSetBytes));
    }

    std::string dataFile() const { return dir.file("pump7.csl"); }

    // A write of pump7.csl (Fund. to P, verified) to QM71 01-A1 on
    // /dev/ttyUSB0 that sent 3 of 5 words; an end line only when given.
    std::string journalOf(const std::string& stamp, std::optional<JournalEnd> end = std::nullopt,
        JournalTransaction transaction = JournalTransaction::Write)
    {
        journal::TransferJournal journal(
            ws.settings.journalFolder, journal::journalFileName(stamp, journal::transactionName(transaction), 7));
        journal::JournalHeader h;
        h.transaction = transaction;
        h.utcTime = "2026-12-11T01:42:05Z";
        h.localTime = "2026-12-11 10:42:05 +0900";
        h.port = "/dev/ttyUSB0";
        h.device = "/dev/ttyUSB0";
        h.drive = {"QM71 01-A1", "QM71", "01-A1", 1, 34};
        h.dataFile = dataFile();
        h.dataFileSha256 = sha256Hex(DataSetBytes);
        h.fromArea = "Fund.";
        h.toArea = "P";
        h.verify = true;
        h.permitWrite = true;
        journal.header(h);
        journal.planned(5);
        for (int word = 0; word < 3; ++word) {
            journal.wordAnnounced(word, "Fund.-" + std::to_string(word), 100);
            journal.wordSettled(word, "Fund.-" + std::to_string(word), WordOutcome::Taken, "");
        }
        if (end)
            journal.end(*end);
        return journal.path();
    }

    std::optional<ResumePlan> offer(Answer answer)
    {
        ui.answers.push_back(answer);
        return offerInterruptedWrite(ws, ui, store);
    }

    test::TempDir dir;
    Workspace ws;
    test::FakeUi ui;
    MemoryUserStore store;
};

TEST_F(InterruptedWriteOffer, YesGivesTheSameFilePortAreasAndChoices)
{
    const std::string journalPath = journalOf("20261211T014205.000Z");

    const std::optional<ResumePlan> plan = offer(Answer::Yes);

    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text.en,
        "The write of pump7.csl to QM71 01-A1 on /dev/ttyUSB0 stopped after 3 of 5 words (2026-12-11 10:42). "
        "Finish it now?");
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->journalPath, journalPath);
    EXPECT_EQ(plan->dataFile, dataFile());
    EXPECT_EQ(plan->port, "/dev/ttyUSB0");
    EXPECT_EQ(plan->startArea, AreaFund);
    EXPECT_EQ(plan->endArea, AreaP);
    EXPECT_TRUE(plan->verify);
    EXPECT_TRUE(plan->permitWrite);
}

TEST_F(InterruptedWriteOffer, DeclinedWriteIsNotOfferedAgainButALaterOneIs)
{
    journalOf("20261211T014205.000Z");
    EXPECT_FALSE(offer(Answer::No));
    EXPECT_FALSE(offer(Answer::Yes));
    EXPECT_EQ(ui.questions.size(), 1u);

    const std::string later = journalOf("20261211T020000.000Z");
    const std::optional<ResumePlan> plan = offer(Answer::Yes);
    EXPECT_EQ(ui.questions.size(), 2u);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->journalPath, later);
}

TEST_F(InterruptedWriteOffer, FinishedWriteIsNotOfferedAgain)
{
    journalOf("20261211T014205.000Z");
    const std::optional<ResumePlan> plan = offer(Answer::Yes);
    ASSERT_TRUE(plan);
    EXPECT_TRUE(markWriteResumed(*plan, WriteWordsRefused, dir.file("journal/later.jsonl")));

    EXPECT_FALSE(offer(Answer::Yes));
    EXPECT_EQ(ui.questions.size(), 1u);
}

TEST_F(InterruptedWriteOffer, WriteThatFailedAgainIsOfferedAgain)
{
    journalOf("20261211T014205.000Z");
    const std::optional<ResumePlan> plan = offer(Answer::Yes);
    ASSERT_TRUE(plan);
    EXPECT_FALSE(markWriteResumed(*plan, -1, dir.file("journal/later.jsonl")));

    EXPECT_TRUE(offer(Answer::Yes));
    EXPECT_EQ(ui.questions.size(), 2u);
}

struct NothingToOfferCase {
    const char* name;
    std::optional<JournalEnd> end;
    JournalTransaction transaction;
};

class NothingToOffer : public InterruptedWriteOffer, public ::testing::WithParamInterface<NothingToOfferCase> { };

TEST_P(NothingToOffer, AsksNothing)
{
    journalOf("20261211T014205.000Z", GetParam().end, GetParam().transaction);

    EXPECT_FALSE(offer(Answer::Yes));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Journals, NothingToOffer,
    ::testing::Values(NothingToOfferCase {"WriteThatEnded", JournalEnd::Done, JournalTransaction::Write},
        NothingToOfferCase {"WriteThatFailed", JournalEnd::Failed, JournalTransaction::Write},
        NothingToOfferCase {"ReadWithoutEnd", std::nullopt, JournalTransaction::Read}),
    test::CaseName {});

TEST_F(InterruptedWriteOffer, FileChangedSinceIsToldOnceAndNotOffered)
{
    journalOf("20261211T014205.000Z");
    test::writeFile(dataFile(), "edited since");

    EXPECT_FALSE(offer(Answer::Yes));
    EXPECT_FALSE(offer(Answer::Yes));

    EXPECT_TRUE(ui.questions.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.en.find(dataFile()), std::string::npos);
}

TEST_F(InterruptedWriteOffer, NoJournalFolderAsksNothing)
{
    ws.settings.journalFolder.clear();
    EXPECT_FALSE(offer(Answer::Yes));
    EXPECT_TRUE(ui.questions.empty());
}

} // namespace
} // namespace tess::comm
