#include "TransactionFixture.h"

#include "domain/journal/JournalFolder.h"
#include "domain/journal/JournalReader.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace tess::comm {
namespace {

// Waits up to ten seconds of real time for done; false when it never came.
bool waitFor(const std::function<bool()>& done)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct HoldCase {
    const char* name;
    Answer answer; // to "Stop the writing?"
    PauseEnd end;
    journal::JournalEnd journalEnd;
};

// Area B is written on the transfer's own thread, as the window runs it;
// Stop is pressed while its third word is on the line.
class WriteHeldForStop : public Transaction, public ::testing::WithParamInterface<HoldCase> {
protected:
    static constexpr int HeldWhileWord = 3;

    journal::JournalSummary journalRead()
    {
        const std::vector<std::string> files = journal::journalFiles(ws().settings.journalFolder);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? journal::JournalSummary {} : journal::readJournal(test::readFile(files.front()));
    }
};

TEST_P(WriteHeldForStop, IsOnRecordWithTheWordBeforeItAndTheAnswer)
{
    makeNew();
    identifyAsDataSet();
    ws().settings.journalFolder = file("journal");
    const int bFirst = doc().table.areaFirst[2];
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(2);
    write.setEndArea(2);

    std::atomic<std::size_t> written {0};
    port.respond = [&](const std::string& frame) {
        const test::FakeSerialPort::Script reply = inverter(frame);
        written = inverter.writtenAddresses.size();
        // The word's reply waits until Stop holds the line.
        if (written == HeldWhileWord && !write.paused()) {
            EXPECT_TRUE(waitFor([&] { return write.paused(); }));
        }
        return reply;
    };
    ui().answers.push_back(GetParam().answer);
    // The question stays open until the hold is on record.
    ui().onAsk = [&](const Message&) {
        EXPECT_TRUE(waitFor([&] {
            const std::vector<std::string> files = journal::journalFiles(ws().settings.journalFolder);
            return !files.empty() && test::readFile(files.front()).find("\"pause\"") != std::string::npos;
        }));
    };

    write.beginTransaction();
    int result = 0;
    std::thread line([&] { result = write.transfer(); });
    ASSERT_TRUE(waitFor([&] { return written >= HeldWhileWord; }));
    write.confirmCancel();
    line.join();
    write.finishTransaction(result);

    const journal::JournalSummary s = journalRead();
    ASSERT_EQ(s.pauses.size(), 1u);
    const journal::JournalPause& pause = s.pauses.front();
    EXPECT_EQ(pause.afterWord, bFirst + HeldWhileWord - 1);
    ASSERT_GE(s.words.size(), std::size_t {HeldWhileWord});
    EXPECT_EQ(pause.afterCode, s.words[HeldWhileWord - 1].code);
    EXPECT_EQ(pause.wordsBefore, std::size_t {HeldWhileWord});
    EXPECT_FALSE(pause.beganUtc.empty());
    EXPECT_EQ(pause.end, GetParam().end);
    EXPECT_FALSE(pause.endedUtc.empty());
    EXPECT_EQ(s.end, GetParam().journalEnd);
    // After a stop not one more word went out.
    const bool wentOn = GetParam().end == PauseEnd::WentOn;
    EXPECT_EQ(s.taken, wentOn ? s.planned : HeldWhileWord);
    EXPECT_EQ(inverter.writtenAddresses.size() > HeldWhileWord, wentOn);
}

INSTANTIATE_TEST_SUITE_P(Answers, WriteHeldForStop,
    ::testing::Values(HoldCase {"GoOn", Answer::No, PauseEnd::WentOn, journal::JournalEnd::Done},
        HoldCase {"Stop", Answer::Yes, PauseEnd::Stopped, journal::JournalEnd::Cancelled}),
    test::CaseName {});

} // namespace
} // namespace tess::comm
