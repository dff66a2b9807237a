#include "app/tables/TableLookup.h"
#include "domain/common/Cp932.h"
#include "domain/tables/TableFiles.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <unistd.h>
#include <vector>

namespace tess::tables {
namespace {

using Fields = std::vector<std::string>;

struct SplitCase {
    const char* name;
    std::string line; // code page 932 bytes
    Fields fields; // UTF-8
};

class SplitRecord : public ::testing::TestWithParam<SplitCase> { };

TEST_P(SplitRecord, FollowsTheFourSteps)
{
    EXPECT_EQ(splitRecord(GetParam().line), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitRecord,
    ::testing::Values(SplitCase {"Plain", "a,b,c", {"a", "b", "c"}},
        SplitCase {"UnquotedSpaceSplitsName", "A-1,Max speed,3", {"A-1", "Max", "speed", "3"}},
        SplitCase {"QuotedSpaceKept", "A-1,\"Max speed\",3", {"A-1", "Max speed", "3"}},
        SplitCase {"DoubledQuoteIsOne", "\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        SplitCase {"TrailingCommaAddsEmptyField", "a,b,", {"a", "b", ""}},
        SplitCase {"CommaThenBlankAddsNothing", "a,b, ", {"a", "b"}},
        SplitCase {"TwoCommasGiveEmptyField", "a,,b", {"a", "", "b"}}, SplitCase {"LeadingComma", ",a", {"", "a"}},
        SplitCase {"BlanksAroundFieldsSkipped", "  a ,\tb  ", {"a", "b"}},
        SplitCase {"ControlCharacterSeparates", "a\x01z", {"a", "z"}}, SplitCase {"EmptyLine", "", {}},
        SplitCase {"OnlyBlanks", "   ", {}}, SplitCase {"UnterminatedQuoteRunsToEnd", "a,\"b c", {"a", "b c"}},
        SplitCase {"QuoteInsideUnquotedField", "a\"b,c", {"a\"b", "c"}},
        SplitCase {"TextAfterClosingQuote", "\"ab\"cd,e", {"ab", "cd", "e"}},
        SplitCase {"NulIsData", std::string("a\0b,c", 5), {std::string("a\0b", 3), "c"}},
        // "ソ表" ends each character with 0x5C, half-width "ﾃｽﾄ" is single-byte.
        SplitCase {"ShiftJis", "\x83\x5C\x95\x5C,\"\xC3\xBD\xC4\"", {"ソ表", "ﾃｽﾄ"}},
        SplitCase {"LoneLeadByteBeforeComma", "\x83,a", {"\xEF\xBF\xBD", "a"}},
        SplitCase {"LoneLeadByteBeforeClosingQuote", "\"\x83\",a", {"\xEF\xBF\xBD", "a"}}),
    test::CaseName {});

TEST(TableText, SplitsAtEveryLineEnd)
{
    TableText text;
    text.assign("a\r\nb\nc\rd\r\n");
    ASSERT_EQ(text.lineCount(), 4u);
    EXPECT_EQ(text.line(0), "a");
    EXPECT_EQ(text.line(1), "b");
    EXPECT_EQ(text.line(2), "c");
    EXPECT_EQ(text.line(3), "d");
    EXPECT_EQ(text.line(4), std::nullopt);

    // Lines stay valid when the text is moved, short texts included.
    TableText moved = std::move(text);
    EXPECT_EQ(moved.line(3), "d");
}

TEST(TableText, MissingFileIsNotRead)
{
    test::TempDir dir;
    TableText text;
    IoError error;
    EXPECT_FALSE(text.read(dir.file("none.bkh"), &error));
    EXPECT_FALSE(error.detail.empty());
}

struct DecodedLinesCase {
    const char* name;
    std::string bytes;
};

class TableTextDecoding : public ::testing::TestWithParam<DecodedLinesCase> { };

// The one pass that finds the lines also decodes them: each decoded line is
// its bytes decoded alone.
TEST_P(TableTextDecoding, DecodesEachLineAsItsBytesAlone)
{
    const std::string& bytes = GetParam().bytes;
    TableText text;
    text.assign(bytes);
    const std::vector<std::string_view> lines = splitLines(bytes);
    ASSERT_EQ(text.lineCount(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(text.line(i), lines[i]) << i;
        EXPECT_EQ(text.decodedLine(i), cp932ToUtf8(lines[i])) << i;
    }
    EXPECT_EQ(text.decodedLine(lines.size()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts, TableTextDecoding,
    ::testing::Values(DecodedLinesCase {"KanjiOverMixedLineEnds",
                          "Fund.-0,\"\x8D\xC5\x8D\x82\x8E\xFC\x94\x67\x90\x94\",x\r\n\x83\x5C\nA-1\r\xC3\xBD\r\n"},
        DecodedLinesCase {"LeadByteBeforeALineEnd", "a\x83\r\n\x83\nb\x83"},
        DecodedLinesCase {"LongAsciiLines", std::string(100, 'x') + "\r\n" + std::string(37, 'y')},
        DecodedLinesCase {"ControlCharactersInLines", "a\tb\x01c\x0B\x0Cd\r\n\x00e"},
        DecodedLinesCase {"OnlyLineEnds", "\r\n\n\r"}, DecodedLinesCase {"Empty", ""}),
    test::CaseName {});

struct CapacityNameCase {
    const char* name;
    const char* number;
    std::optional<std::string> fileName;
};

class CapacityDefaultFileName : public ::testing::TestWithParam<CapacityNameCase> { };

TEST_P(CapacityDefaultFileName, MapsNumbersZeroToFifteen)
{
    EXPECT_EQ(capacityDefaultFileName(GetParam().number), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(Numbers, CapacityDefaultFileName,
    ::testing::Values(CapacityNameCase {"First", "0", "MSEL_DEFa8.bkh"},
        CapacityNameCase {"Three", "3", "MSEL_DEF.bkh"}, CapacityNameCase {"Last", "15", "MSEL_DEF_73N.bkh"},
        CapacityNameCase {"PastLast", "16", ""}, CapacityNameCase {"Negative", "-1", ""},
        CapacityNameCase {"NotANumber", "x3", std::nullopt}, CapacityNameCase {"Empty", "", std::nullopt}),
    test::CaseName {});

TEST(RomCodeOfPath, TakesTheFiveCharactersBeforeTheExtension)
{
    EXPECT_EQ(romCodeOfPath("/opt/app/QM71/QM71S01-A1.bkh"), "01-A1");
    EXPECT_EQ(romCodeOfPath("QM7101-A1.bkh"), "01-A1");
    EXPECT_EQ(romCodeOfPath(""), "");
    EXPECT_EQ(romCodeOfPath("A1.bkh"), "A1");
}

TEST(TableFileName, LetterFollowsFamilyAndMode)
{
    EXPECT_EQ(tableFileName(0, 0, 7), "QM71S01-A1.bkh");
    EXPECT_EQ(tableFileName(0, 2, 7), "QM71O01-A1.bkh");
    EXPECT_EQ(tableFileName(1, 2, 0), "LX71RTPP00-B0.bkh");
    EXPECT_EQ(tableFileName(0, 3, 7), "QM7101-A1.bkh");
    EXPECT_EQ(tableFileName(12, 0, 0), "");
    EXPECT_EQ(tableFileName(0, 0, 999), "");
}

class FindTableFile : public ::testing::Test {
protected:
    test::Installation inst;
    const std::string& folder() const { return inst.ws.settings.applicationFolder; }
};

TEST_F(FindTableFile, FindsTheFileInTheModelFolder)
{
    const std::string path = inst.writeTable(0, 0, 7, "x");
    EXPECT_EQ(path, folder() + "QM71/QM71S01-A1.bkh");
    EXPECT_EQ(findTableFile(folder(), 0, 0, 7), path);
    EXPECT_EQ(findTableFile(folder(), 0, 1, 7), "");
}

TEST_F(FindTableFile, TheUsersFileComesBeforeTheInstallations)
{
    const std::string installed = inst.writeTable(0, 0, 7, "x");
    const std::string older = inst.writeTable(0, 0, 2, "x");
    test::TempDir user;
    const TableFolders folders {folder(), user.path()};
    EXPECT_EQ(findTableFile(folders, 0, 0, 7), installed);

    const std::string own = user.file("QM71/" + tableFileName(0, 0, 7));
    test::writeFile(own, "y");
    const std::string newer = user.file("QM71/" + tableFileName(0, 0, 9));
    test::writeFile(newer, "y");
    EXPECT_EQ(findTableFile(folders, 0, 0, 7), own);
    EXPECT_EQ(findTableFileOrOlder(folders, 0, 0, 12), newer);
    EXPECT_EQ(findTableFileOrOlder(folders, 0, 0, 5), older) << "the installation's stays in reach";
    EXPECT_EQ(findTableFile(folder(), 0, 0, 7), installed) << "a lookup without a user folder";

    inst.ws.settings.userFolder = user.path();
    test::FakeUi ui;
    EXPECT_EQ(findTableFileForCurrent(inst.ws, ui, TableChoice {0, 0, 9}), newer);
}

TEST_F(FindTableFile, BareNameInWorkingDirectoryWins)
{
    inst.writeTable(0, 0, 7, "x");
    test::TempDir cwd;
    test::writeFile(cwd.file("QM71S01-A1.bkh"), "y");
    char before[PATH_MAX];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(chdir(cwd.path().c_str()), 0);
    const std::string found = findTableFile(folder(), 0, 0, 7);
    ASSERT_EQ(chdir(before), 0);
    EXPECT_EQ(found, "QM71S01-A1.bkh");
}

TEST_F(FindTableFile, OrOlderTakesTheNewestAtOrBelowTheStart)
{
    inst.writeTable(0, 0, 2, "x");
    const std::string newer = inst.writeTable(0, 0, 4, "x");
    EXPECT_EQ(findTableFileOrOlder(folder(), 0, 0, 5), newer);
    EXPECT_EQ(findTableFileOrOlder(folder(), 0, 0, 999), newer);
    EXPECT_EQ(findTableFileOrOlder(folder(), 0, 0, 1), "");
    EXPECT_EQ(findTableFileOrOlder(folder(), 0, 0, -1), "");
}

TEST_F(FindTableFile, ForCurrentTakesTheDialogChoiceElseTheDocumentIdentity)
{
    const std::string vf = inst.writeTable(0, 2, 7, "x");
    const std::string sensorless = inst.writeTable(0, 0, 7, "x");
    test::FakeUi ui;
    inst.setDataSet(InverterIdentity {0, 2, 3, 7});

    EXPECT_EQ(findTableFileForCurrent(inst.ws, ui), vf);
    EXPECT_EQ(inst.ws.doc.currentTablePath, vf);

    EXPECT_EQ(findTableFileForCurrent(inst.ws, ui, TableChoice {0, 0, 7}), sensorless);
    EXPECT_EQ(inst.ws.doc.currentTablePath, sensorless);
    EXPECT_EQ(findTableFileForCurrent(inst.ws, ui, TableChoice {1, 2, 0}), "");
    EXPECT_EQ(inst.ws.doc.currentTablePath, "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FindTableFile, ForCurrentOfModelOutsideCatalogueNamesNoFile)
{
    test::FakeUi ui;
    inst.setDataSet(InverterIdentity {12, 0, 0, 0});
    EXPECT_EQ(findTableFileForCurrent(inst.ws, ui), "-1");
    EXPECT_EQ(inst.ws.doc.currentTablePath, "-1");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, message(TextId::TableNoRomVersion));
    EXPECT_EQ(ui.messages[0].text.ja, "No ROM Version.");
}

} // namespace
} // namespace tess::tables
