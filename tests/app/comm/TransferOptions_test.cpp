#include "TransactionFixture.h"
#include "app/mainwindow/DocumentGrid.h"

#include "domain/settings/UserStore.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace tess::comm {
namespace {

bool hasLine(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The work of one Execute, on the open data set (area C for the writes).
enum class Job { Read, Write, Verify, ChangedOnly, Compare };

struct FaultCase {
    const char* name;
    Job job;
    sim::FaultKind kind;
};

// Every fault the simulated inverter plays, in every kind of transfer: the
// line the log gives for it, no wait beyond the deadline (and the read-away
// of a late reply), nothing saved or shown from a failed read, and never
// success (a refused word in a plain write does not stop it: the write goes
// on, and ends as written with refusals).
class FaultDuring : public Transaction, public ::testing::WithParamInterface<FaultCase> {
protected:
    int firstOfC() { return doc().table.areaFirst[3]; }
};

TEST_P(FaultDuring, IsLoggedAndNeverSuccess)
{
    const FaultCase& c = GetParam();
    makeNew();
    identifyAsDataSet();
    for (int word = 0; word < SlotCount; ++word)
        inverter.putWord(wordAddress(word), static_cast<std::uint16_t>(doc().values[static_cast<std::size_t>(word)]));
    const std::string fileBefore = doc().state.fileName;
    ws().settings.writeWaitMs = 0;
    doc().values[static_cast<std::size_t>(firstOfC() + 1)] += 1; // something for a changed-only write to send

    // Reads meet the fault on their second chunk, a verify or the look
    // before a changed-only write on the first (word 0 lies outside area C),
    // a write on a word of area C.
    const bool writes = c.job == Job::Write;
    const std::uint32_t at = writes                   ? wordAddress(firstOfC() + 1)
        : c.job == Job::Read || c.job == Job::Compare ? ImageAddress + ImageChunk
                                                      : ImageAddress;
    inverter.faults[at] = sim::Fault {c.kind, c.kind == sim::FaultKind::Refuse ? 'E' : 2500, false};

    SerialTransferPresenter& dialog = this->dialog(c.job == Job::Read ? TransferKind::Read
            : c.job == Job::Compare                                   ? TransferKind::CompareWithDrive
                                                                      : TransferKind::Write);
    dialog.setStartArea(3);
    dialog.setEndArea(3);
    dialog.setWritePermitted(true);
    dialog.setVerifyAfterWrite(c.job == Job::Verify);
    dialog.setChangedOnly(c.job == Job::ChangedOnly);
    const std::int64_t start = clock.milliseconds();
    const int result = dialog.runTransaction();
    const std::int64_t spent = clock.milliseconds() - start;

    const bool refusedWord = writes && c.kind == sim::FaultKind::Refuse;
    EXPECT_EQ(result, refusedWord ? WriteWordsRefused : -1);
    const Lines log = writeLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "end !!");
    const std::string position = writes ? gridText(ws(), firstOfC() + 2, ColCode) : std::to_string(at - ImageAddress);
    switch (c.kind) {
    case sim::FaultKind::Refuse:
        EXPECT_TRUE(hasLine(log, position + "  Upper limit error"));
        break;
    case sim::FaultKind::WrongFirst:
        EXPECT_TRUE(hasLine(log, "Top word error!!"));
        break;
    case sim::FaultKind::SumHigh:
        EXPECT_TRUE(hasLine(log, "SUM High Error! "));
        break;
    case sim::FaultKind::SumLow:
        EXPECT_TRUE(hasLine(log, "SUM Low Error! "));
        break;
    default:
        break;
    }
    if (writes && !refusedWord) {
        EXPECT_TRUE(hasLine(log, "off = " + std::to_string(firstOfC() + 1)));
    }
    // Two settle waits, the identity, at most one deadline of two seconds
    // and one read-away of three: nothing waits beyond.
    EXPECT_LT(spent, 12000);

    if (c.job == Job::Read || c.job == Job::Compare) {
        EXPECT_FALSE(std::filesystem::exists(file("ReadData.csl")));
        EXPECT_EQ(doc().state.fileName, fileBefore);
        EXPECT_FALSE(doc().state.compareMode);
    }
    if (c.job == Job::ChangedOnly) {
        EXPECT_FALSE(anyWriteSent());
    }
}

std::vector<FaultCase> faultCases()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const char* job : {"Read", "Write", "Verify", "ChangedOnly", "Compare"})
            for (const char* kind : {"Silent", "Late", "WrongFirst", "SumHigh", "SumLow", "Cut", "Overlong", "Refused"})
                all.push_back(std::string(job) + kind);
        return all;
    }();
    const sim::FaultKind kinds[]
        = {sim::FaultKind::Silent, sim::FaultKind::Delay, sim::FaultKind::WrongFirst, sim::FaultKind::SumHigh,
            sim::FaultKind::SumLow, sim::FaultKind::Cut, sim::FaultKind::Overlong, sim::FaultKind::Refuse};
    std::vector<FaultCase> cases;
    std::size_t i = 0;
    for (const Job job : {Job::Read, Job::Write, Job::Verify, Job::ChangedOnly, Job::Compare})
        for (const sim::FaultKind kind : kinds)
            cases.push_back(FaultCase {names[i++].c_str(), job, kind});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Line, FaultDuring, ::testing::ValuesIn(faultCases()), test::CaseName {});

// Word C+4 is refused, word C+6 acknowledged but not stored: the verify
// names both, the refusal is listed apart, and the dialog keeps it all.
TEST_F(Transaction, VerifyListsEveryWordTheDriveDoesNotHoldAndKeepsThemOnScreen)
{
    makeNew();
    identifyAsDataSet();
    const int first = doc().table.areaFirst[3];
    doc().values[static_cast<std::size_t>(first + 4)] = 77;
    doc().values[static_cast<std::size_t>(first + 6)] = 55;
    inverter.nakAt[wordAddress(first + 4)] = 'e';
    const std::string ignored = buildRequestFrame(FrameRequest::write(wordAddress(first + 6), 55));
    port.respond = [this, ignored](const std::string& frame) {
        return frame == ignored ? test::FakeSerialPort::Script {{test::ackReplyText()}} : inverter(frame);
    };
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setVerifyAfterWrite(true);
    write.setStartArea(3);
    write.setEndArea(3);
    write.setWritePermitted(true);

    EXPECT_EQ(write.runTransaction(), WriteVerifyDiffers);
    const int words = doc().table.areaLast[3] - first + 1;
    const std::string refused = gridText(ws(), first + 5, ColCode);
    const std::string dropped = gridText(ws(), first + 7, ColCode);
    const Lines expected {"start !!", refused + "  Lower limit error", refused + "  sent 77  read back 0",
        dropped + "  sent 55  read back 0", "Verify: 2 of " + std::to_string(words) + " words differ.",
        "Written, but the drive refused these 1 words:",
        refused + " " + gridText(ws(), first + 5, ColName) + ": Lower limit error", "end !!"};
    EXPECT_EQ(writeLog(), expected);
    EXPECT_EQ(ui().englishTexts().back(), "The values read back differ from those written; see the log.");
    EXPECT_TRUE(hasLine(write.memo(), dropped + "  sent 55  read back 0"));
    EXPECT_TRUE(hasLine(write.memo(), expected[6]));
    EXPECT_FALSE(write.executeEnabled());
}

// Without the read back a refused word is told all the same: in a message,
// and in the dialog, which stays ready for another attempt.
TEST_F(Transaction, RefusedWordIsListedAndKeptInTheDialog)
{
    makeNew();
    identifyAsDataSet();
    const int first = doc().table.areaFirst[3];
    inverter.nakAt[wordAddress(first + 2)] = 'E';
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(3);
    write.setEndArea(3);
    write.setWritePermitted(true);

    EXPECT_EQ(write.runTransaction(), WriteWordsRefused);
    const std::string listed
        = gridText(ws(), first + 3, ColCode) + " " + gridText(ws(), first + 3, ColName) + ": Upper limit error";
    EXPECT_EQ(ui().englishTexts().back(), "Written, but the drive refused these 1 words:\n" + listed);
    EXPECT_TRUE(hasLine(write.memo(), listed));
    EXPECT_TRUE(hasLine(writeLog(), listed));
    EXPECT_TRUE(write.executeEnabled());
}

// The dialog's summary after a write in which one word's answer came too
// late and another was refused: what went out, what the drive refused, what
// was left unsent and what the read back found, each word by its code.
TEST_F(Transaction, SummaryTellsWhatBecameOfTheWords)
{
    makeNew();
    identifyAsDataSet();
    const ParameterTable& table = doc().table;
    const int b = table.areaFirst[2];
    const int c = table.areaFirst[3];
    const int late = b + 3;
    const int refused = c + 2;
    ASSERT_LT(late + 2, static_cast<int>(table.areaLast[2]));
    doc().values[static_cast<std::size_t>(refused)] = 77;
    inverter.faults[wordAddress(late)] = sim::Fault {sim::FaultKind::Delay, 2500, false};
    inverter.nakAt[wordAddress(refused)] = 'E';
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setVerifyAfterWrite(true);
    write.setStartArea(2);
    write.setEndArea(3);
    write.setWritePermitted(true);

    EXPECT_EQ(write.runTransaction(), -1);
    const GridSource grid = gridSource(ws());
    const auto code = [&](int word) { return wordLogName(grid, word); };
    const int planned = table.areaLast[3] - b + 1;
    const int unsent = table.areaLast[2] - late;
    // Every word sent reads back as written but the refused one; the late
    // answer's word was taken after all.
    const int compared = planned - unsent;
    const Lines expected {"Result: failed.",
        "Written: " + std::to_string(planned - unsent - 2) + " of " + std::to_string(planned) + " words",
        "Refused: " + code(refused) + " " + gridText(ws(), refused + 1, ColName) + " - Upper limit error",
        "Not sent: " + code(late + 1) + " to " + code(table.areaLast[2]), "No answer: " + code(late),
        "Verify: 1 of the " + std::to_string(compared) + " words sent differ"};
    EXPECT_EQ(write.summary(), expected);
    // The log keeps its own lines.
    EXPECT_TRUE(hasLine(writeLog(), code(late + 1) + " to " + code(table.areaLast[2]) + " not sent."));
}

struct HiddenAreaCase {
    const char* name;
    bool verify;
    bool showO;
    int result;
};

class HiddenAreaRefusal : public Transaction, public ::testing::WithParamInterface<HiddenAreaCase> { };

// The O area takes its words only while its key is held: with its box off
// its refusals are expected, told apart and fail nothing, also when the
// words are read back and differ.
TEST_P(HiddenAreaRefusal, IsToldApartUnlessTheAreaIsShown)
{
    const HiddenAreaCase& c = GetParam();
    makeNew();
    identifyAsDataSet();
    const int first = doc().table.areaFirst[AreaO];
    ASSERT_LT(first + 1, doc().table.areaLast[AreaO]);
    doc().values[static_cast<std::size_t>(first)] = 3;
    doc().values[static_cast<std::size_t>(first + 1)] = 4;
    inverter.nakAt[wordAddress(first)] = 'W';
    inverter.nakAt[wordAddress(first + 1)] = 'W';
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setVerifyAfterWrite(c.verify);
    write.setShowAreaO(c.showO);
    write.setStartArea(AreaO);
    write.setEndArea(AreaO);

    EXPECT_EQ(write.runTransaction(), c.result);
    const std::string apart = "2 words of area O not taken by the drive; shown when O area indicate is on";
    EXPECT_EQ(hasLine(writeLog(), apart), !c.showO);
    EXPECT_EQ(hasLine(write.memo(), apart), !c.showO);
    EXPECT_EQ(hasLine(writeLog(), "Written, but the drive refused these 2 words:"), c.showO);
}

INSTANTIATE_TEST_SUITE_P(Cases, HiddenAreaRefusal,
    ::testing::Values(
        HiddenAreaCase {"Hidden", true, false, 0}, HiddenAreaCase {"Shown", true, true, WriteWordsRefused}),
    test::CaseName {});

TEST_F(Transaction, ChangedOnlySendsTheWordsTheDriveDoesNotHold)
{
    makeNew();
    identifyAsDataSet();
    for (int word = 0; word < SlotCount; ++word)
        inverter.putWord(wordAddress(word), static_cast<std::uint16_t>(doc().values[static_cast<std::size_t>(word)]));
    const int first = doc().table.areaFirst[3];
    for (const int changed : {first, first + 3})
        doc().values[static_cast<std::size_t>(changed)] += 5;
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setVerifyAfterWrite(true);
    write.setChangedOnly(true);
    write.setStartArea(3);
    write.setEndArea(3);

    EXPECT_EQ(write.runTransaction(), 0);
    EXPECT_EQ(inverter.writtenAddresses, (std::vector<std::uint32_t> {wordAddress(first), wordAddress(first + 3)}));
    const int words = doc().table.areaLast[3] - first + 1;
    EXPECT_EQ(writeLog(),
        (Lines {"start !!", std::to_string(words - 2) + " words skipped as equal.", "Verify: all 2 words match.",
            "end !!"}));
}

TEST_F(Transaction, CancelledWriteStopsBetweenTwoWordsAndSaysWhatWasWritten)
{
    makeNew();
    identifyAsDataSet();
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setVerifyAfterWrite(true);
    write.setStartArea(3);
    write.setEndArea(3);
    write.setWritePermitted(true);
    // Asked to stop while the fourth word is on its way.
    port.respond = [this, &write](const std::string& frame) {
        if (inverter.writtenAddresses.size() == 3)
            write.requestCancel();
        return inverter(frame);
    };

    EXPECT_EQ(write.runTransaction(), -1);
    EXPECT_EQ(inverter.writtenAddresses.size(), 4u);
    const int first = doc().table.areaFirst[3];
    const int words = doc().table.areaLast[3] - first + 1;
    const Lines said {"Cancelled: 4 of " + std::to_string(words) + " words written."};
    EXPECT_EQ(writeLog(),
        (Lines {"start !!", said.front(), "Last word written: " + gridText(ws(), first + 4, ColCode), "end !!"}));
    EXPECT_EQ(ui().englishTexts().back(), said.front());
    EXPECT_TRUE(write.memo().empty());
}

TEST_F(Transaction, CancelledReadSavesNothingAndLeavesTheDataSet)
{
    makeNew();
    identifyAsDataSet();
    const ParameterSet before = doc().values;
    const std::string fileBefore = doc().state.fileName;
    SerialTransferPresenter& read = dialog(TransferKind::Read);
    port.respond = [this, &read](const std::string& frame) {
        if (frame.find("r002001") != std::string::npos)
            read.requestCancel();
        return inverter(frame);
    };

    EXPECT_EQ(read.runTransaction(), -1);
    EXPECT_FALSE(std::filesystem::exists(file("ReadData.csl")));
    EXPECT_TRUE(doc().values == before);
    EXPECT_EQ(doc().state.fileName, fileBefore);
    EXPECT_EQ(writeLog(), (Lines {"start !!", "Cancelled: nothing was saved.", "end !!"}));
}

TEST_F(Transaction, CompareWithTheDriveShowsItsValuesInTheComparisonColumns)
{
    makeNew();
    identifyAsDataSet();
    for (int word = 0; word < SlotCount; ++word)
        inverter.putWord(wordAddress(word), static_cast<std::uint16_t>(doc().values[static_cast<std::size_t>(word)]));
    const int differing = doc().table.areaFirst[3] + 2;
    inverter.putWord(wordAddress(differing), static_cast<std::uint16_t>(doc().values[differing] + 9));
    const ParameterSet before = doc().values;
    SerialTransferPresenter& compare = dialog(TransferKind::CompareWithDrive);
    EXPECT_FALSE(compare.writeGroupsVisible());

    EXPECT_EQ(compare.runTransaction(), 0);
    EXPECT_TRUE(doc().state.compareMode);
    EXPECT_TRUE(doc().values == before);
    int marked = 0;
    for (int row = 1; row <= SlotCount; ++row)
        if (!gridText(ws(), row, ColFigures).empty())
            ++marked;
    EXPECT_EQ(marked, 1);
    EXPECT_FALSE(gridText(ws(), differing + 1, ColFigures).empty());
    EXPECT_EQ(compare.memo().back(), "Compared with the inverter's data.");
    EXPECT_FALSE(std::filesystem::exists(file("writelog.txt")));
}

TEST_F(Transaction, CompareWithAnotherInverterShowsNothing)
{
    makeNew();
    InverterIdentity other = doc().identity;
    other.capacity += 1;
    identify(qm71Text(doc().identity.romVersion), other);
    SerialTransferPresenter& compare = dialog(TransferKind::CompareWithDrive);

    EXPECT_EQ(compare.runTransaction(), -1);
    EXPECT_FALSE(doc().state.compareMode);
    EXPECT_EQ(ui().englishTexts(), (Lines {"Cap is not right."}));
}

TEST_F(Transaction, VerifyBoxKeepsItsStateForTheNextDialog)
{
    MemoryUserStore store;
    makeNew();
    SerialTransferPresenter first(ws(), ui(), port, clock, TransferKind::Write, demo.dir.path(), &store);
    EXPECT_TRUE(first.verifyAfterWrite());
    first.setVerifyAfterWrite(false);
    SerialTransferPresenter second(ws(), ui(), port, clock, TransferKind::Write, demo.dir.path(), &store);
    EXPECT_FALSE(second.verifyAfterWrite());
    EXPECT_FALSE(second.changedOnly());
}

TEST_F(Transaction, OneProgressBarRunsOverTheWholeWriteWithWordsAndTimeLeft)
{
    makeNew();
    identifyAsDataSet();
    ws().settings.writeWaitMs = 150;
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setVerifyAfterWrite(true);
    write.setStartArea(3);
    write.setEndArea(3);
    write.setWritePermitted(true);
    std::vector<TransferStatus> told;
    write.setStatusListener([&](const TransferStatus& status) { told.push_back(status); });

    EXPECT_EQ(write.runTransaction(), 0);
    ASSERT_FALSE(told.empty());
    for (std::size_t i = 1; i < told.size(); ++i)
        EXPECT_GE(told[i].permille, told[i - 1].permille) << told[i].text;
    EXPECT_EQ(told.back().permille, 1000);
    const int words = doc().table.areaLast[3] - doc().table.areaFirst[3] + 1;
    const std::string halfWay = "Word " + std::to_string(words / 2) + " of " + std::to_string(words) + " written";
    const auto middle = std::find_if(
        told.begin(), told.end(), [&](const TransferStatus& status) { return status.text.starts_with(halfWay); });
    ASSERT_NE(middle, told.end());
    EXPECT_TRUE(middle->text.find(", about ") != std::string::npos && middle->text.ends_with(" left")) << middle->text;
    EXPECT_GT(middle->permille, 300);
    EXPECT_LT(middle->permille, 800);
}

} // namespace
} // namespace tess::comm
