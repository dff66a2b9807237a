#include "app/comm/SerialTransferPresenter.h"
#include "app/mainwindow/DocumentGrid.h"

#include "TransactionFixture.h"
#include "app/mainwindow/Commands.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "domain/tables/TableFiles.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/DemoWorkspace.h"
#include "support/FakeSerialPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace tess::comm {
namespace {

TEST_F(Transaction, ReadSavesReadDataAndOpensItInTheWindow)
{
    makeNew();
    const InverterIdentity identity = doc().identity;
    closeDocument(ws(), ui());
    identifyAsDataSet();
    inverter.putWord(wordAddress(40), 1234);
    inverter.putWord(wordAddress(41), 0xFFFF);

    SerialTransferPresenter& read = dialog(TransferKind::Read);
    EXPECT_FALSE(read.writeGroupsVisible());
    EXPECT_EQ(read.texts().progressCaption, "Receiving situation");
    EXPECT_EQ(read.runTransaction(), 0);

    EXPECT_TRUE(ui().messages.empty());
    EXPECT_EQ(read.memo(), (Lines {"start !!", "end !!", "Saved as ReadData.csl"}));
    EXPECT_TRUE(read.executeEnabled());
    EXPECT_TRUE(read.closeEnabled());
    EXPECT_FALSE(fileExists(file("writelog.txt")));
    EXPECT_FALSE(fileExists(file("ReadData.csv")));

    EXPECT_EQ(doc().state.fileName, file("ReadData.csl"));
    EXPECT_TRUE(doc().state.open);
    EXPECT_NE(doc().content, GridContent::Raw);
    EXPECT_EQ(doc().identity, identity);
    EXPECT_EQ(doc().identityTexts.model, "QM71");
    EXPECT_FALSE(doc().identityTexts.romVersion.empty());
    EXPECT_EQ(doc().values[40], 1234);
    EXPECT_EQ(doc().values[41], -1);
    EXPECT_EQ(fileLines(file("ReadData.csl"))[4], "--Data--");
    EXPECT_EQ(ui().busyDepth, 0);
}

TEST_F(Transaction, ReadThatStopsHalfWayKeepsTheOpenDataSetAndWritesTheLog)
{
    makeNew();
    doc().values[40] = 77;
    const ParameterSet before = doc().values;
    const std::string fileName = doc().state.fileName;
    identifyAsDataSet();
    inverter.silentAt.insert(ImageAddress + ImageChunk);

    SerialTransferPresenter& read = dialog(TransferKind::Read);
    EXPECT_EQ(read.runTransaction(), -1);
    EXPECT_EQ(ui().englishTexts(), (Lines {"Reading setting data error!"}));
    EXPECT_EQ(writeLog(), (Lines {"start !!", "end !!"}));
    EXPECT_TRUE(read.memo().empty());
    EXPECT_FALSE(read.executeEnabled());
    EXPECT_TRUE(read.closeEnabled());
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(doc().values, before);
    EXPECT_EQ(doc().state.fileName, fileName);
}

struct IdentityFailureCase {
    const char* name;
    std::uint32_t silentAddress;
    const char* message;
};

class ReadIdentityFailure : public Transaction, public ::testing::WithParamInterface<IdentityFailureCase> { };

TEST_P(ReadIdentityFailure, NamesTheBlockThatFailed)
{
    const IdentityFailureCase& c = GetParam();
    identify("QM71 01-A1", {});
    inverter.silentAt.insert(c.silentAddress);
    SerialTransferPresenter& read = dialog(TransferKind::Read);
    EXPECT_EQ(read.runTransaction(), -1);
    EXPECT_EQ(ui().englishTexts(), (Lines {c.message}));
    EXPECT_EQ(writeLog(), (Lines {"start !!", "end !!"}));
}

INSTANTIATE_TEST_SUITE_P(Blocks, ReadIdentityFailure,
    ::testing::Values(IdentityFailureCase {"IdentityText", IdentityAddress + 3, "Reading Machine and Ver data error!"},
        IdentityFailureCase {"ModeAndCapacity", ModeCapacityAddress + 1, "Reading Control mode and Cap data error!"}),
    test::CaseName {});

TEST_F(Transaction, ReadWithThePortMissingSaysSoOnceAndSavesTheLog)
{
    port.openResult = PortOpenResult::OpenFailed;
    SerialTransferPresenter& read = dialog(TransferKind::Read);
    EXPECT_EQ(read.runTransaction(), -1);
    EXPECT_EQ(ui().englishTexts(),
        (Lines {"Port select Error!\n" + std::string(text(TextId::TransPortOpenAdvice, Language::English))}));
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(writeLog(), (Lines {"start !!", "end !!"}));
}

#ifndef _WIN32
// A FIFO is a Linux file; the Windows file tests refuse what Windows cannot
// read in its place (a file another program holds).
TEST_F(Transaction, ReadTellsOfAnUnreadableTableFirstAndStillSavesWhatWasRead)
{
    const int rom = qm71Rom(true);
    // A pipe in place of the inverter's table: it is there, but cannot be read.
    const std::string table = tables::findTableFile(ws().settings.applicationFolder, 0, 0, rom);
    ASSERT_TRUE(std::filesystem::remove(table));
    ASSERT_EQ(::mkfifo(table.c_str(), 0600), 0);
    identify(qm71Text(rom), {0, 0, static_cast<std::int16_t>(catalogue::defaultCapacity(catalogue::Model::QM71)), 0});
    inverter.putWord(wordAddress(40), 4321);

    dialog(TransferKind::Read).runTransaction();
    // Loading the saved file may tell more about its table afterwards.
    ASSERT_FALSE(ui().messages.empty());
    EXPECT_EQ(ui().messages.front().text,
        withCause(message(TextId::TableCloseCsvFiles), fileReasonCause(table, "is not a regular file")));
    EXPECT_EQ(fileLines(file("ReadData.csl"))[5 + 40], "    4321");
}
#endif

// Reads from an inverter the program cannot fully place, with the special
// functions off and on.
struct UnplacedReadCase {
    const char* name;
    enum Kind { UnknownModel, UnknownRom, RomWithoutTable } kind;
    bool special;
    Lines messages;
    const char* savedAs; // nullptr: nothing saved
    const char* headerModel; // first line of the saved file
    const char* headerRom; // fourth line
    bool csv;
};

class UnplacedRead : public Transaction, public ::testing::WithParamInterface<UnplacedReadCase> {
protected:
    UnplacedRead()
        : Transaction(GetParam().special)
    {
    }
};

TEST_P(UnplacedRead, SavesUnderItsOwnNameOnlyWithTheSpecialFunctions)
{
    const UnplacedReadCase& c = GetParam();
    const InverterIdentity codes {
        0, 0, static_cast<std::int16_t>(catalogue::defaultCapacity(catalogue::Model::QM71)), 0};
    std::string identityText = "XY71 01-A1";
    if (c.kind == UnplacedReadCase::UnknownRom)
        identityText = "QM71 ZZ-Z9";
    else if (c.kind == UnplacedReadCase::RomWithoutTable)
        identityText = qm71Text(qm71Rom(false));
    identify(identityText, codes);
    inverter.putWord(wordAddress(40), 4321);
    const ParameterSet before = doc().values;

    SerialTransferPresenter& read = dialog(TransferKind::Read);
    const int result = read.runTransaction();
    Lines expected = c.messages;
    if (c.kind == UnplacedReadCase::RomWithoutTable)
        expected.front()
            = "There is not a parameter table corresponding to " + identityText + "\nPlease parameter table updata.";
    // Loading the saved file may tell more about its table; the read's own
    // messages come first.
    const Lines shown = ui().englishTexts();
    ASSERT_GE(shown.size(), expected.size());
    EXPECT_EQ(Lines(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
    if (!c.savedAs) {
        EXPECT_EQ(shown.size(), expected.size());
        EXPECT_EQ(result, -1);
        EXPECT_FALSE(read.executeEnabled());
        EXPECT_TRUE(read.memo().empty());
        EXPECT_EQ(doc().values, before);
        EXPECT_FALSE(doc().state.open);
        for (const char* name : {"UnMachine.csl", "UnROMver.csl", "unfoundpara.csl", "ReadData.csl"})
            EXPECT_FALSE(fileExists(file(name))) << name;
        EXPECT_EQ(writeLog(), (Lines {"start !!", "end !!"}));
        return;
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(read.memo().back(), std::string("Saved as ") + c.savedAs);
    const Lines saved = fileLines(file(c.savedAs));
    ASSERT_GT(saved.size(), 45u);
    EXPECT_EQ(saved[0], c.headerModel);
    if (*c.headerRom) {
        EXPECT_EQ(saved[3], c.headerRom);
    }
    EXPECT_EQ(saved[5 + 40], "    4321");
    EXPECT_EQ(doc().state.fileName, file(c.savedAs));
    EXPECT_TRUE(doc().state.open);
    EXPECT_EQ(doc().values[40], 4321);

    const std::string csv = std::string(c.savedAs).replace(std::string(c.savedAs).size() - 4, 4, ".csv");
    EXPECT_EQ(fileExists(file(csv)), c.csv);
    if (c.csv) {
        // The readable copy shows what was read, not the rows of another data set.
        const Lines rows = fileLines(file(csv));
        EXPECT_NE(std::find(rows.begin(), rows.end(), "---,----------,--------------,4321,4321,0,5"), rows.end());
    }
}

INSTANTIATE_TEST_SUITE_P(Identities, UnplacedRead,
    ::testing::Values(UnplacedReadCase {"UnknownModelSpecialOff", UnplacedReadCase::UnknownModel, false,
                          {"No support machine.Please Tessaline version updata."}, nullptr, "", "", false},
        UnplacedReadCase {"UnknownModelSpecialOn", UnplacedReadCase::UnknownModel, true,
            {"No support machine.Please Tessaline version updata.", "Saved as 'UnMachine.csl'."}, "UnMachine.csl", "99",
            "999", true},
        UnplacedReadCase {"UnknownRomSpecialOff", UnplacedReadCase::UnknownRom, false,
            {"No support ROM version.Please Tessaline version updata."}, nullptr, "", "", false},
        UnplacedReadCase {"UnknownRomSpecialOn", UnplacedReadCase::UnknownRom, true,
            {"No support ROM version.Please Tessaline version updata.", "Saved as 'UnROMver.csl'."}, "UnROMver.csl",
            " 0", "999", true},
        UnplacedReadCase {
            "RomWithoutTableSpecialOff", UnplacedReadCase::RomWithoutTable, false, {""}, nullptr, "", "", false},
        UnplacedReadCase {"RomWithoutTableSpecialOn", UnplacedReadCase::RomWithoutTable, true,
            {"", "Saved as 'unfoundpara.csl'."}, "unfoundpara.csl", " 0", "", false}),
    test::CaseName {});

struct RangeCase {
    const char* name;
    int start;
    int end;
    WriteRangeChoice result;
    std::vector<int> areas; // in sending order
};

class WriteRanges : public ::testing::TestWithParam<RangeCase> { };

TEST_P(WriteRanges, FollowTheChosenAreasWithFundLast)
{
    const RangeCase& c = GetParam();
    std::array<std::uint16_t, AreaCount> first {};
    std::array<std::uint16_t, AreaCount> last {};
    for (int area = 0; area < AreaCount; ++area) {
        first[static_cast<std::size_t>(area)] = static_cast<std::uint16_t>(area * 40);
        last[static_cast<std::size_t>(area)] = static_cast<std::uint16_t>(area * 40 + 30);
    }
    std::vector<WordSpan> ranges;
    EXPECT_EQ(buildWriteRanges(c.start, c.end, first, last, ranges), c.result);
    std::vector<int> areas;
    for (const WordSpan& range : ranges) {
        EXPECT_EQ(range.last, range.first + 30);
        areas.push_back(range.first / 40);
    }
    EXPECT_EQ(areas, c.areas);
}

INSTANTIATE_TEST_SUITE_P(Areas, WriteRanges,
    ::testing::Values(RangeCase {"OneArea", 3, 3, WriteRangeChoice::Built, {3}},
        RangeCase {"FundAlone", 0, 0, WriteRangeChoice::Built, {0}},
        RangeCase {"FundToBSendsFundLast", 0, 2, WriteRangeChoice::Built, {1, 2, 0}},
        RangeCase {"AToC", 1, 3, WriteRangeChoice::Built, {1, 2, 3}},
        RangeCase {
            "FundToPCoversAllButS", 0, 14, WriteRangeChoice::Built, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0}},
        RangeCase {"EndBeforeStart", 5, 2, WriteRangeChoice::EndNotUsable, {}},
        RangeCase {"EndNamesNoArea", 2, NoArea, WriteRangeChoice::EndNotUsable, {}},
        RangeCase {"StartNamesNoArea", NoArea, 4, WriteRangeChoice::StartNotNamed, {}}),
    test::CaseName {});

TEST_F(Transaction, WriteSendsTheChosenAreasWithFundLastAndHoldsBackFilteredWords)
{
    makeNew();
    identifyAsDataSet();
    const ParameterTable& table = doc().table;
    const int aFirst = table.areaFirst[AreaA];
    ASSERT_GE(table.areaLast[AreaA] - aFirst, 16);
    for (int word = 0; word < SlotCount; ++word)
        doc().values[static_cast<std::size_t>(word)] = 1000 + word;

    SerialTransferPresenter& write = dialog(TransferKind::Write);
    EXPECT_TRUE(write.writeGroupsVisible());
    EXPECT_TRUE(write.writeControlsEnabled());
    EXPECT_EQ(write.startArea(), AreaFund);
    EXPECT_EQ(write.endArea(), AreaP);
    write.setEndArea(2); // B
    EXPECT_EQ(write.runTransaction(), 0);

    std::vector<std::uint32_t> expected;
    for (const int area : {1, 2, 0})
        for (int word = table.areaFirst[static_cast<std::size_t>(area)];
             word <= table.areaLast[static_cast<std::size_t>(area)]; ++word)
            if (area != AreaA || word - aFirst < 11 || word - aFirst > 16)
                expected.push_back(wordAddress(word));
    EXPECT_EQ(inverter.writtenAddresses, expected);
    EXPECT_EQ(inverter.word(wordAddress(table.areaFirst[2])), 1000 + table.areaFirst[2]);
    EXPECT_EQ(inverter.word(wordAddress(aFirst + 11)), 0);

    EXPECT_EQ(ui().englishTexts(), (Lines {"Machine, Control mode, Cap and Version is OK !"}));
    const Lines log {"start !!", "A-11 data is not writed.", "A-12 data is not writed.", "A-13 data is not writed.",
        "A-14 data is not writed.", "A-15 data is not writed.", "A-16 data is not writed.", "end !!"};
    EXPECT_EQ(writeLog(), log);
    Lines memo = log;
    memo.push_back("Communication Log file name is writelog.txt");
    EXPECT_EQ(write.memo(), memo);
    EXPECT_TRUE(write.executeEnabled());
    // The port was opened twice: for the identity and for the words.
    EXPECT_EQ(port.openedNames, (Lines {"COM1", "COM1"}));
    EXPECT_FALSE(port.isOpen());
}

struct FilterCase {
    const char* name;
    int area;
    bool writeEnable;
    Language language;
    Lines heldBack;
};

class WriteFilterOfArea : public Transaction, public ::testing::WithParamInterface<FilterCase> { };

TEST_P(WriteFilterOfArea, HoldsBackItsWordsUnlessWritingIsPermitted)
{
    const FilterCase& c = GetParam();
    makeNew();
    identifyAsDataSet();
    ws().settings.language = c.language;
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(c.area);
    write.setEndArea(c.area);
    write.setWritePermitted(c.writeEnable);
    EXPECT_EQ(write.runTransaction(), 0);

    Lines log {"start !!"};
    log.insert(log.end(), c.heldBack.begin(), c.heldBack.end());
    log.push_back("end !!");
    EXPECT_EQ(writeLog(), log);
    const auto area = static_cast<std::size_t>(c.area);
    const int words = doc().table.areaLast[area] - doc().table.areaFirst[area] + 1;
    EXPECT_EQ(inverter.writtenAddresses.size(), static_cast<std::size_t>(words) - c.heldBack.size());
}

INSTANTIATE_TEST_SUITE_P(Areas, WriteFilterOfArea,
    ::testing::Values(FilterCase {"AreaA", AreaA, false, Language::English,
                          {"A-11 data is not writed.", "A-12 data is not writed.", "A-13 data is not writed.",
                              "A-14 data is not writed.", "A-15 data is not writed.", "A-16 data is not writed."}},
        FilterCase {"AreaAPermitted", AreaA, true, Language::English, {}},
        FilterCase {"AreaG", AreaG, false, Language::English,
            {"G-0 data is not writed.", "G-1 data is not writed.", "G-7 data is not writed.", "G-8 data is not writed.",
                "G-10 data is not writed.", "G-15 data is not writed.", "G-17 data is not writed.",
                "G-18 data is not writed."}},
        FilterCase {"AreaGJapanese", AreaG, false, Language::Japanese,
            {"G-0 のデータは書込みません。", "G-1 のデータは書込みません。", "G-7 のデータは書込みません。",
                "G-8 のデータは書込みません。", "G-10 のデータは書込みません。", "G-15 のデータは書込みません。",
                "G-17 のデータは書込みません。", "G-18 のデータは書込みません。"}},
        FilterCase {"AreaBHasNone", 2, false, Language::English, {}}),
    test::CaseName {});

struct ShownAreaCase {
    const char* name;
    int area;
    bool show;
};

class RefusalInShownArea : public Transaction, public ::testing::WithParamInterface<ShownAreaCase> { };

TEST_P(RefusalInShownArea, ReachesTheLogOnlyWhenTheAreaIsShown)
{
    const ShownAreaCase& c = GetParam();
    makeNew();
    identifyAsDataSet();
    const int word = doc().table.areaFirst[static_cast<std::size_t>(c.area)] + 1;
    inverter.nakAt[wordAddress(word)] = 'E';
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(c.area);
    write.setEndArea(c.area);
    write.setShowAreaL(c.area == AreaL && c.show);
    write.setShowAreaN(c.area == AreaN && c.show);
    write.setShowAreaO(c.area == AreaO && c.show);
    // A refusal in a hidden area is expected: it is counted apart and fails
    // nothing. One in a shown area is never taken for written.
    EXPECT_EQ(write.runTransaction(), c.show ? WriteWordsRefused : 0);

    const std::string letter(dataAreaNames[static_cast<std::size_t>(c.area)]);
    const std::string listed
        = gridText(ws(), word + 1, ColCode) + " " + gridText(ws(), word + 1, ColName) + ": Upper limit error";
    Lines log {"start !!"};
    if (c.show) {
        log.push_back(gridText(ws(), word + 1, ColCode) + "  Upper limit error");
        log.push_back("Written, but the drive refused these 1 words:");
        log.push_back(listed);
    } else {
        log.push_back(
            "1 words of area " + letter + " not taken by the drive; shown when " + letter + " area indicate is on");
    }
    log.push_back("end !!");
    EXPECT_EQ(writeLog(), log);
    // The words after the refused one still went out.
    EXPECT_EQ(inverter.word(wordAddress(word + 1)),
        static_cast<std::uint16_t>(doc().values[static_cast<std::size_t>(word + 1)]));
    Lines messages {"Machine, Control mode, Cap and Version is OK !"};
    if (c.area == AreaO && c.show)
        messages.insert(
            messages.begin(), "When an O area wants to write in it, please carry it out while pushing a button.");
    if (c.show)
        messages.push_back("Written, but the drive refused these 1 words:\n" + listed);
    EXPECT_EQ(ui().englishTexts(), messages);
}

INSTANTIATE_TEST_SUITE_P(Areas, RefusalInShownArea,
    ::testing::Values(ShownAreaCase {"LHidden", AreaL, false}, ShownAreaCase {"LShown", AreaL, true},
        ShownAreaCase {"NHidden", AreaN, false}, ShownAreaCase {"NShown", AreaN, true},
        ShownAreaCase {"OHidden", AreaO, false}, ShownAreaCase {"OShown", AreaO, true}),
    test::CaseName {});

// An inverter that is not quite the data set's, with the special functions
// off and on and the questions answered.
struct MismatchCase {
    const char* name;
    enum Kind { Capacity, ControlMode, Machine, Version, UnknownMachine, NoTable, TableInUsersFolder } kind;
    bool special;
    std::vector<Answer> answers;
    Lines messages;
    Lines questions;
    bool writes;
};

class WriteMismatch : public Transaction, public ::testing::WithParamInterface<MismatchCase> {
protected:
    WriteMismatch()
        : Transaction(GetParam().special)
    {
    }

    test::TempDir userFolder;
};

TEST_P(WriteMismatch, WritesOnlyWhenAllowed)
{
    const MismatchCase& c = GetParam();
    makeNew();
    InverterIdentity codes = doc().identity;
    std::string identityText = qm71Text(codes.romVersion);
    switch (c.kind) {
    case MismatchCase::Capacity:
        codes.capacity = static_cast<std::int16_t>(codes.capacity + 1);
        break;
    case MismatchCase::ControlMode:
        codes.controlMode = static_cast<std::int16_t>(codes.controlMode + 1);
        break;
    case MismatchCase::Machine:
        identityText = "LX71 01-A1";
        break;
    case MismatchCase::Version:
        identityText = qm71Text(qm71Rom(true, codes.romVersion));
        break;
    case MismatchCase::UnknownMachine:
        identityText = "XY71 01-A1";
        break;
    case MismatchCase::NoTable:
        // Both name a ROM version the installation has no table for.
        doc().identity.romVersion = static_cast<std::int16_t>(qm71Rom(false));
        identityText = qm71Text(doc().identity.romVersion);
        break;
    case MismatchCase::TableInUsersFolder: {
        // As above, but the user has added that table to their own folder.
        const int rom = qm71Rom(false);
        const std::string installed = tables::findTableFile(ws().settings.applicationFolder, 0, 0, codes.romVersion);
        std::filesystem::create_directories(userFolder.file("QM71"));
        std::filesystem::copy_file(installed, userFolder.file("QM71/" + tables::tableFileName(0, 0, rom)));
        ws().settings.userFolder = userFolder.path();
        doc().identity.romVersion = static_cast<std::int16_t>(rom);
        identityText = qm71Text(rom);
        break;
    }
    }
    identify(identityText, codes);
    ui().answers.assign(c.answers.begin(), c.answers.end());

    SerialTransferPresenter& write = dialog(TransferKind::Write);
    const int result = write.runTransaction();
    EXPECT_EQ(ui().englishTexts(), c.messages);
    Lines questions;
    for (const test::FakeUi::Shown& q : ui().questions)
        questions.push_back(q.inLanguage());
    EXPECT_EQ(questions, c.questions);
    for (const Message& caption : ui().questionCaptions)
        EXPECT_EQ(caption.en, "Tessaline");
    EXPECT_EQ(anyWriteSent(), c.writes);
    EXPECT_EQ(result, c.writes ? 0 : -1);
    EXPECT_EQ(write.executeEnabled(), c.writes);
    EXPECT_TRUE(fileExists(file("writelog.txt")));
}

const char* const IdentityOk = "Machine, Control mode, Cap and Version is OK !";

INSTANTIATE_TEST_SUITE_P(Identities, WriteMismatch,
    ::testing::Values(
        MismatchCase {"CapacityDiffers", MismatchCase::Capacity, true, {}, {"Cap is not right."}, {}, false},
        MismatchCase {
            "ControlModeDiffers", MismatchCase::ControlMode, false, {}, {"Control mode is not right."}, {}, false},
        MismatchCase {"MachineDiffers", MismatchCase::Machine, true, {}, {"Machine miss match."}, {}, false},
        MismatchCase {"VersionDiffersSpecialOff", MismatchCase::Version, false, {},
            {"Version is miss match.Stop the writing."}, {}, false},
        MismatchCase {"VersionDiffersAnsweredNo", MismatchCase::Version, true, {Answer::No}, {},
            {"Version is miss match.Data load continue?"}, false},
        // A question answered Yes goes straight on to writing.
        MismatchCase {"VersionDiffersAnsweredYes", MismatchCase::Version, true, {Answer::Yes}, {},
            {"Version is miss match.Data load continue?"}, true},
        MismatchCase {
            "UnknownMachineSpecialOff", MismatchCase::UnknownMachine, false, {}, {"No support machine!"}, {}, false},
        MismatchCase {"UnknownMachineAnsweredNo", MismatchCase::UnknownMachine, true, {Answer::No}, {},
            {"No support machine.To continue data load,click Yes."}, false},
        MismatchCase {"UnknownMachineAnsweredYes", MismatchCase::UnknownMachine, true, {Answer::Yes}, {},
            {"No support machine.To continue data load,click Yes."}, true},
        MismatchCase {"NoTableSpecialOff", MismatchCase::NoTable, false, {},
            {IdentityOk, "Not a parameter table corresponding to this ROM version.\nStop the writing."}, {}, false},
        MismatchCase {"NoTableAnsweredNo", MismatchCase::NoTable, true, {Answer::No}, {IdentityOk},
            {"Not a parameter table corresponding to this ROM version.Do you continue writing a parameter?"}, false},
        MismatchCase {"TableInTheUsersFolder", MismatchCase::TableInUsersFolder, false, {}, {IdentityOk}, {}, true}),
    test::CaseName {});

TEST_F(Transaction, WriteToAnInverterThatStopsAnsweringEndsWithTheMessageAndTheLogFile)
{
    makeNew();
    identifyAsDataSet();
    const ParameterTable& table = doc().table;
    const int lost = table.areaFirst[2] + 2;
    inverter.silentAt.insert(wordAddress(lost));
    doc().values[static_cast<std::size_t>(lost)] = -5;

    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(2);
    write.setEndArea(3);
    write.setWritePermitted(true);
    EXPECT_EQ(write.runTransaction(), -1);
    EXPECT_EQ(ui().englishTexts(), (Lines {IdentityOk, "Writing setting data error!"}));
    // The log names the words of the range that were never sent.
    EXPECT_EQ(writeLog(),
        (Lines {"start !!", "off = " + std::to_string(lost), "num = -5",
            "word " + std::to_string(lost) + " is B-2: no valid answer", "B-3 to B-47 not sent.", "end !!"}));
    // A failure ends its range only: the next area still went out.
    EXPECT_EQ(inverter.writtenAddresses.back(), wordAddress(table.areaLast[3]));
    EXPECT_TRUE(write.memo().empty());
    EXPECT_FALSE(write.executeEnabled());
    EXPECT_TRUE(write.closeEnabled());
}

TEST_F(Transaction, WriteOfARawDataSetSendsTheWholeImage)
{
    makeNew();
    const InverterIdentity identity = doc().identity;
    identifyAsDataSet();
    doc().content = GridContent::Raw;
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    EXPECT_FALSE(write.writeControlsEnabled());
    EXPECT_EQ(write.runTransaction(), 0);
    ASSERT_EQ(inverter.writtenAddresses.size(), static_cast<std::size_t>(SlotCount));
    EXPECT_EQ(inverter.writtenAddresses.back(), wordAddress(SlotCount - 1));
    EXPECT_EQ(doc().identity, identity);
}

TEST_F(Transaction, AreasInTheWrongOrderOpenNoPortAndNeedANewDialog)
{
    makeNew();
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(5);
    write.setEndArea(2);
    EXPECT_EQ(write.runTransaction(), -1);
    EXPECT_EQ(ui().englishTexts(), (Lines {"Set writing area error!"}));
    EXPECT_TRUE(port.openedNames.empty());
    EXPECT_EQ(writeLog(), (Lines {"start !!", "end !!"}));
    EXPECT_FALSE(write.executeEnabled());
    EXPECT_TRUE(write.memo().empty());
}

TEST_F(Transaction, AStartThatNamesNoAreaKeepsExecuteEnabled)
{
    makeNew();
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(SerialTransferPresenter::areaIndexOfText("X"));
    EXPECT_EQ(write.startArea(), NoArea);
    EXPECT_EQ(write.runTransaction(), -2);
    EXPECT_EQ(ui().englishTexts(), (Lines {"Writing area is not defined."}));
    EXPECT_TRUE(port.openedNames.empty());
    EXPECT_TRUE(write.executeEnabled());
    EXPECT_EQ(write.memo().back(), "Communication Log file name is writelog.txt");
}

// A transfer's log that cannot be saved (a full disk) is told as missing:
// writelog.txt, kept as it was, holds an earlier transfer's log.
TEST_F(Transaction, ALogThatCannotBeSavedIsToldMissing)
{
    makeNew();
    test::FailingFileWriter failing([](int, const std::string& path) { return path.ends_with("writelog.txt"); });
    ws().writer = &failing;
    SerialTransferPresenter& write = dialog(TransferKind::Write);
    write.setStartArea(SerialTransferPresenter::areaIndexOfText("X"));
    EXPECT_EQ(write.runTransaction(), -2);
    EXPECT_EQ(ui().englishTexts(),
        (Lines {"Writing area is not defined.",
            std::string(text(TextId::CommLogCannotWrite, Language::English)) + "\n" + file("writelog.txt")
                + ": simulated write failure\n" + "The log of this transfer is missing: no file holds it."}));
    EXPECT_NE(write.memo().back(), "Communication Log file name is writelog.txt");
}

TEST_F(Transaction, ForcedTransferNeedsTheRevealedBoxAndEndsWithIt)
{
    SerialTransferPresenter& read = dialog(TransferKind::Read);
    read.setForcedTransfer(true);
    EXPECT_FALSE(read.forcedTransfer());
    read.revealForcedBox();
    EXPECT_TRUE(read.forcedBoxVisible());
    read.setForcedTransfer(true);
    EXPECT_TRUE(read.forcedTransfer());
    EXPECT_EQ(read.texts().forcedTransferCheck, "Forced Data Read");
    read.hideForcedBox();
    EXPECT_FALSE(read.forcedBoxVisible());
    EXPECT_FALSE(read.forcedTransfer());
    read.revealForcedBox();
    read.setForcedTransfer(true);
    read.close();
    EXPECT_FALSE(read.forcedTransfer());
}

TEST_F(Transaction, ForcedReadTakesTheNewestVersionForAnUnknownCode)
{
    makeNew();
    const InverterIdentity identity = doc().identity;
    closeDocument(ws(), ui());
    identify("QM71 ZZ-Z9", identity);
    SerialTransferPresenter& read = dialog(TransferKind::Read);
    read.revealForcedBox();
    read.setForcedTransfer(true);
    EXPECT_EQ(read.runTransaction(), 0);
    EXPECT_EQ(read.fileName(), "ReadData.csl");
    EXPECT_EQ(doc().identity.romVersion,
        catalogue::newVerForIdentityCheck(catalogue::Model::QM71, ws().settings.fileVersion));
}

} // namespace
} // namespace tess::comm
