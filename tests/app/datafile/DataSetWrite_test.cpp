#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "domain/datafile/CompanionCsv.h"
#include "domain/datafile/DataSetFormat.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"
#include "support/TypedTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tess {
namespace {

using datafile::SaveMode;
using datafile::SaveResult;
using datafile::writeDataSet;

std::vector<std::string> linesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (const auto line : splitLines(bytes))
        lines.emplace_back(line);
    return lines;
}

int fileCount(const std::string& folder)
{
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++files;
    return files;
}

// An open document as the grid shows it: identity LX71RTP, S Mode, capacity
// 5, ROM 23; values with negatives and values wider than 8 characters; grid
// rows with the texts of each slot.
class WriteDataSet : public ::testing::Test {
protected:
    WriteDataSet()
    {
        ws.doc.identity = InverterIdentity {1, 0, 5, 23};
        for (int i = 0; i < SlotCount; ++i)
            ws.doc.values[i] = (i % 3 == 1) ? -i : i * 7;
        ws.doc.values[0] = 1500;
        ws.doc.values[1] = std::numeric_limits<std::int32_t>::min();
        ws.doc.values[2] = std::numeric_limits<std::int32_t>::max();
        ws.doc.values[3] = -12345678; // nine characters with its sign
        ws.doc.values[4] = 123456789;
        for (int slot = 0; slot < SlotCount; ++slot) {
            ParameterDef& def = table.record(slot, "A-" + std::to_string(slot + 1));
            def.nameEnglish = table.keep("Name " + std::to_string(slot + 1));
            def.rangeText = "0/9999";
            def.significantFigures = 5;
        }
        table.record(1).nameEnglish = "Accel, \"fast\"";
        ws.doc.table = table.table();
        ws.doc.content = GridContent::Table;
    }

    test::TypedTable table;

    std::string csl() const { return dir.file("pump.csl"); }
    std::string csv() const { return dir.file("pump.csv"); }

    test::TempDir dir;
    test::FakeUi ui;
    Workspace ws;
};

TEST_F(WriteDataSet, WritesIdentityThenSeparatorThenEightWideValues)
{
    ASSERT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::Saved);
    const std::string bytes = test::readFile(csl());
    EXPECT_EQ(bytes.rfind(" 1\r\n 0\r\n 5\r\n 23\r\n--Data--\r\n    1500\r\n-2147483648\r\n2147483647\r\n"
                          "-12345678\r\n123456789\r\n      35\r\n      42\r\n      -7\r\n",
                  0),
        0u)
        << bytes.substr(0, 120);
    EXPECT_EQ(linesOf(bytes).size(), 5u + SlotCount);
    EXPECT_EQ(bytes.substr(bytes.size() - 10), "    -664\r\n"); // nothing after the last value
}

TEST_F(WriteDataSet, ReadsBackTheSameDataSet)
{
    ASSERT_EQ(writeDataSet(ws, ui, csl(), SaveMode::SaveAs), SaveResult::Saved);
    Workspace other;
    other.doc.values.fill(99);
    ASSERT_TRUE(datafile::readDataSet(other, ui, csl()));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(other.doc.identity, ws.doc.identity);
    EXPECT_EQ(other.doc.values, ws.doc.values);
}

struct ModeCase {
    const char* name;
    SaveMode mode;
    std::string identityLines;
    bool csvWritten;
};

class WriteMode : public WriteDataSet, public ::testing::WithParamInterface<ModeCase> { };

TEST_P(WriteMode, ChoosesIdentityLinesAndCsv)
{
    const InverterIdentity received {4, 1, 17, 120};
    ASSERT_EQ(writeDataSet(ws, ui, csl(), GetParam().mode, received), SaveResult::Saved);
    EXPECT_EQ(test::readFile(csl()).substr(0, GetParam().identityLines.size() + 10),
        GetParam().identityLines + "--Data--\r\n");
    EXPECT_EQ(fileExists(csv()), GetParam().csvWritten);
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(, WriteMode,
    ::testing::Values(ModeCase {"Save", SaveMode::Save, " 1\r\n 0\r\n 5\r\n 23\r\n", true},
        ModeCase {"SaveAs", SaveMode::SaveAs, " 1\r\n 0\r\n 5\r\n 23\r\n", true},
        ModeCase {"InverterRead", SaveMode::InverterRead, " 4\r\n 1\r\n17\r\n120\r\n", false},
        ModeCase {"UnsupportedMachine", SaveMode::UnsupportedMachine, "99\r\n99\r\n99\r\n999\r\n", true},
        ModeCase {"UnsupportedRom", SaveMode::UnsupportedRom, " 4\r\n 1\r\n17\r\n999\r\n", true}),
    test::CaseName {});

TEST_F(WriteDataSet, CsvHoldsIdentityTitlesAndGridRowsWithQuotedFields)
{
    ASSERT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::Saved);
    const auto lines = linesOf(test::readFile(csv()));
    ASSERT_EQ(lines.size(), 2u + SlotCount);
    EXPECT_EQ(lines[0], "LX71RTP,S Mode,1122,02-A5");
    EXPECT_EQ(lines[1],
        "Setting area,Setting contents,Setting band(Min/Max),Initial val.,Setting val.,Decimal "
        "p.p.,Signif. fig.");
    EXPECT_EQ(lines[2], "A-1,Name 1,0/9999,0,1500,0,5");
    // The 16-bit word of the value, as the drive holds it.
    EXPECT_EQ(lines[3], "A-2,\"Accel, \"\"fast\"\"\",0/9999,0,0,0,5");
    EXPECT_EQ(lines.back(), "A-665,Name 665,0/9999,0,-664,0,5");
    EXPECT_EQ(test::readFile(csv()).substr(0, 27), "LX71RTP,S Mode,1122,02-A5\r\n");
}

TEST_F(WriteDataSet, CsvIsCp932InJapanese)
{
    ws.settings.language = Language::Japanese;
    ws.doc.identity = InverterIdentity {0, 1, 5, 23};
    table.record(0).nameJapanese = table.keep("加速時間");
    ASSERT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::Saved);
    const auto lines = linesOf(test::readFile(csv()));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], utf8ToCp932("QM71,ベクトル,1122,01-B8"));
    EXPECT_EQ(lines[1], utf8ToCp932("設定ｴﾘｱ,ﾀｲﾄﾙ,設定範囲（最小値/最大値）,ﾃﾞﾌｫﾙﾄ値,設定値,小数点位置,有効桁数"));
    EXPECT_EQ(lines[2], utf8ToCp932("A-1,加速時間,0/9999,0,1500,0,5"));
}

struct IdentityLineCase {
    const char* name;
    InverterIdentity identity;
    std::optional<std::string> line;
};

class CsvIdentityLine : public ::testing::TestWithParam<IdentityLineCase> { };

TEST_P(CsvIdentityLine, FollowsTheCatalogue)
{
    EXPECT_EQ(datafile::csvIdentityLine(GetParam().identity, Language::English), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(, CsvIdentityLine,
    ::testing::Values(
        // LX75RTP has no capacity text for the identity boxes from ROM index
        // 19 on; the .csv still names the capacity.
        IdentityLineCase {"Lx75rtpLateRom", {5, 2, 3, 30}, "LX75RTP,P Mode,5R522,01-D4"},
        IdentityLineCase {"Lx75rtpEarlyRom", {5, 2, 3, 0}, "LX75RTP,P Mode,5R522,01-A1"},
        IdentityLineCase {"UnsupportedMachine", {99, 99, 99, 999}, "No support,Machine,Data only"},
        IdentityLineCase {"ModelAboveCatalogue", {12, 0, 0, 0}, "No support,Machine,Data only"},
        IdentityLineCase {"NegativeModel", {-1, 0, 0, 0}, "No support,Machine,Data only"},
        IdentityLineCase {"UnsupportedRomVersion", {0, 0, 5, 999}, std::nullopt},
        IdentityLineCase {"CapacityOutsideList", {0, 0, 39, 0}, std::nullopt}),
    test::CaseName {});

TEST_F(WriteDataSet, CsvLeavesOutIdentityLineWithoutCatalogueText)
{
    ws.doc.identity = InverterIdentity {0, 0, 5, 999};
    ASSERT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::Saved);
    const auto lines = linesOf(test::readFile(csv()));
    ASSERT_EQ(lines.size(), 1u + SlotCount);
    EXPECT_EQ(lines[0].rfind("Setting area,", 0), 0u);
}

struct FieldCase {
    const char* name;
    std::string text;
    std::string field;
};

class CsvField : public ::testing::TestWithParam<FieldCase> { };

TEST_P(CsvField, QuotesOnlyWhereNeeded)
{
    EXPECT_EQ(datafile::csvField(GetParam().text), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(, CsvField,
    ::testing::Values(FieldCase {"Plain", "Accel time", "Accel time"}, FieldCase {"Empty", "", ""},
        FieldCase {"Comma", "1,5", "\"1,5\""}, FieldCase {"Quote", "5\" disk", "\"5\"\" disk\""},
        FieldCase {"LineEnd", "a\r\nb", "\"a\r\nb\""}),
    test::CaseName {});

struct PathCase {
    const char* name;
    std::string csl;
    std::string csv;
};

class CompanionCsvPath : public ::testing::TestWithParam<PathCase> { };

TEST_P(CompanionCsvPath, NeverNamesTheDataFileItself)
{
    EXPECT_EQ(datafile::companionCsvPath(GetParam().csl), GetParam().csv);
}

INSTANTIATE_TEST_SUITE_P(, CompanionCsvPath,
    ::testing::Values(PathCase {"CslExtension", "/d/pump.csl", "/d/pump.csv"},
        PathCase {"UpperCaseExtension", "/d/PUMP.CSL", "/d/PUMP.csv"},
        PathCase {"CsvExtension", "/d/pump.csv", "/d/pump.csv.csv"},
        PathCase {"NoExtension", "/d.x/pump", "/d.x/pump.csv"}, PathCase {"OnlyExtension", "/d/.csl", "/d/.csl.csv"}),
    test::CaseName {});

// The previous pair of files, to be kept byte for byte by a failed save.
class FailedSave : public WriteDataSet {
protected:
    FailedSave()
    {
        test::writeFile(csl(), oldCsl);
        test::writeFile(csv(), oldCsv);
    }

    std::string newCsl() const { return datafile::formatDataSet(ws.doc.identity, ws.doc.values); }

    const std::string oldCsl = " 0\r\n 0\r\n 0\r\n  1\r\n--Data--\r\n       1\r\n";
    const std::string oldCsv = "old csv\r\n";
};

TEST_F(FailedSave, CslWriteFailureKeepsBothOldFilesAndNamesTheFile)
{
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    ws.writer = &failing;
    ws.settings.language = Language::Japanese;
    EXPECT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::NothingWritten);
    EXPECT_EQ(ui.shownTexts(),
        std::vector<std::string> {
            "ファイルをオープンできません！！\n" + fileReasonCause(csl(), "simulated write failure").ja});
    EXPECT_EQ(test::folderContents(dir.path()), (test::FolderContents {{"pump.csl", oldCsl}, {"pump.csv", oldCsv}}));
    EXPECT_EQ(failing.calls, 1); // no .csv after a failed .csl
}

// A disk that fills while the .csv is written: the new .csl must not be left
// beside the old .csv.
TEST_F(FailedSave, CsvWriteFailureKeepsBothOldFiles)
{
    test::FailingFileWriter failing([](int, const std::string& path) { return path.ends_with(".csv"); });
    ws.writer = &failing;
    EXPECT_EQ(writeDataSet(ws, ui, csl(), SaveMode::SaveAs), SaveResult::NothingWritten);
    EXPECT_EQ(
        ui.englishTexts(), std::vector<std::string> {"File cannot open!!\n" + csv() + ": simulated write failure"});
    EXPECT_EQ(test::folderContents(dir.path()), (test::FolderContents {{"pump.csl", oldCsl}, {"pump.csv", oldCsv}}));
}

struct WindowCase {
    const char* name;
    bool csvExisted;
    std::string state; // the last line of the message
};

class CsvRenameFailure : public FailedSave, public ::testing::WithParamInterface<WindowCase> { };

// The one failure left between the two renames is told as it is: the .csl
// is the new one, the .csv is not.
TEST_P(CsvRenameFailure, SaysWhichFileHoldsWhat)
{
    if (!GetParam().csvExisted)
        std::filesystem::remove(csv());
    test::FailingFileWriter failing(
        [](int, const std::string&) { return false; }, [](const std::string& path) { return path.ends_with(".csv"); });
    ws.writer = &failing;
    EXPECT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::CsvNotSaved);
    EXPECT_EQ(ui.englishTexts(),
        std::vector<std::string> {"File cannot open!!\n" + csv() + ": simulated rename failure\n" + GetParam().state});
    test::FolderContents expected {{"pump.csl", newCsl()}};
    if (GetParam().csvExisted)
        expected["pump.csv"] = oldCsv;
    EXPECT_EQ(test::folderContents(dir.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(, CsvRenameFailure,
    ::testing::Values(WindowCase {"PreviousCsvKept", true,
                          "The data file (.csl) was saved with the new data, but its .csv copy could not be replaced "
                          "and still holds the previous save."},
        WindowCase {"NoCsvBefore", false, "The data file (.csl) was saved, but its .csv copy could not be written."}),
    test::CaseName {});

struct StopCase {
    const char* name;
    int steps; // of the save: .csl written, .csv written, .csl renamed, .csv renamed
    bool cslIsNew;
    bool csvIsNew;
};

class InterruptedSave : public FailedSave, public ::testing::WithParamInterface<StopCase> { };

// A save killed at any moment leaves the old pair, the new pair, or (only
// between the two renames) the new .csl beside the old .csv; the next save
// leaves nothing of it behind.
TEST_P(InterruptedSave, LeavesAConsistentPairAndTheNextSaveCleansUp)
{
    test::StoppingFileWriter stopping(GetParam().steps, dir.path());
    ws.writer = &stopping;
    writeDataSet(ws, ui, csl(), SaveMode::Save);
    const test::FolderContents left = stopping.leftOnDisk.value_or(test::folderContents(dir.path()));
    ASSERT_TRUE(left.contains("pump.csl") && left.contains("pump.csv"));
    EXPECT_EQ(left.at("pump.csl"), GetParam().cslIsNew ? newCsl() : oldCsl);
    EXPECT_EQ(left.at("pump.csv") == oldCsv, !GetParam().csvIsNew);
    for (const auto& [name, bytes] : left) {
        if (name != "pump.csl" && name != "pump.csv") {
            EXPECT_TRUE(name.starts_with(".pump.csl.tessaline-tmp-") || name.starts_with(".pump.csv.tessaline-tmp-"))
                << name;
        }
    }

    // The folder as the killed process left it, then a save by the next run.
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    for (const auto& [name, bytes] : left)
        test::writeFile(dir.file(name), bytes);
    ws.writer = &systemFileWriter();
    ws.doc.values[0] = 4321;
    ASSERT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::Saved);
    const test::FolderContents after = test::folderContents(dir.path());
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(after.at("pump.csl"), newCsl());
}

INSTANTIATE_TEST_SUITE_P(, InterruptedSave,
    ::testing::Values(StopCase {"BeforeAnything", 0, false, false}, StopCase {"CslWritten", 1, false, false},
        StopCase {"BothWritten", 2, false, false}, StopCase {"CslRenamed", 3, true, false},
        StopCase {"BothRenamed", 4, true, true}),
    test::CaseName {});

TEST_F(FailedSave, UnwritableFolderLeavesNoPartialFile)
{
    // The real writer: a .csl whose folder does not exist cannot be made.
    EXPECT_EQ(writeDataSet(ws, ui, dir.file("missing/pump.csl"), SaveMode::Save), SaveResult::NothingWritten);
    EXPECT_EQ(ui.englishTexts(),
        std::vector<std::string> {"File cannot open!!\n" + dir.file("missing/pump.csl") + ": "
            + test::missingReason(dir.file("missing/pump.csl"))});
    EXPECT_EQ(fileCount(dir.path()), 2);
}

TEST_F(FailedSave, IdentityWiderThanItsFieldIsNotWritten)
{
    ws.doc.identity.model = 100; // would read back as 10 and shift the identity
    EXPECT_EQ(writeDataSet(ws, ui, csl(), SaveMode::Save), SaveResult::NothingWritten);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(test::readFile(csv()), "old csv\r\n");
    EXPECT_EQ(test::readFile(csl()), " 0\r\n 0\r\n 0\r\n  1\r\n--Data--\r\n       1\r\n");
}

} // namespace
} // namespace tess
