#include "app/catalogue/InverterSelectionPresenter.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/tables/TableLoader.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "domain/settings/FileVersionSettings.h"
#include "domain/tables/TableFiles.h"
#include "mkdemo/DemoInstallation.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tess {
namespace {

using demo::CoveredTable;
using demo::coveredTables;
using demo::DemoOptions;
using demo::writeDemoInstallation;

constexpr std::array<const char*, AreaCount> AreaPrefixes {
    "Fund.-", "A-", "B-", "C-", "D-", "E-", "F-", "G-", "H-", "I-", "J-", "L-", "N-", "O-", "P-", "S-"};

// The fields of a line as the installation's readers split them (left in
// code page 932: the checks look at codes and numbers only).
std::vector<std::string> splitFields(std::string_view cp932Line)
{
    return tables::splitRecordBytes(cp932Line);
}

bool isInteger(const std::string& text)
{
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// "12.34" -> 1234, the way values are stored.
long storedValue(const std::string& text)
{
    std::string digits = text;
    if (const auto dot = digits.find('.'); dot != std::string::npos)
        digits.erase(dot, 1);
    return std::strtol(digits.c_str(), nullptr, 10);
}

int decimalsOf(const std::string& text)
{
    const auto dot = text.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
}

std::string tablePath(const std::string& root, const CoveredTable& t)
{
    return root + std::string(catalogue::modelName(t.model)) + "/"
        + tables::tableFileName(catalogue::indexOf(t.model), t.controlMode, t.romVersion);
}

// The lines of a file as its code page 932 bytes.
std::vector<std::string> linesOf(const std::string& path)
{
    const std::string bytes = test::readFile(path);
    std::vector<std::string> out;
    for (auto line : splitLines(bytes))
        out.emplace_back(line);
    return out;
}

// One installation, written once for the checks that only read it.
class DemoFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new test::TempDir;
        std::string error;
        s_written = writeDemoInstallation(s_dir->path(), DemoOptions {}, &error);
        s_error = error;
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_written) << s_error; }

    static const std::string& root() { return s_dir->path(); }

    // The fields of every line of a covered table, split once for all tests.
    using Fields = std::vector<std::vector<std::string>>;
    static const Fields& tableFields(const CoveredTable& t)
    {
        static std::map<std::string, Fields> split;
        const std::string path = tablePath(root(), t);
        auto found = split.find(path);
        if (found == split.end()) {
            Fields fields;
            for (const auto& line : linesOf(path))
                fields.push_back(splitFields(line));
            found = split.emplace(path, std::move(fields)).first;
        }
        return found->second;
    }

    static test::TempDir* s_dir;
    static bool s_written;
    static std::string s_error;
};

test::TempDir* DemoFolder::s_dir = nullptr;
bool DemoFolder::s_written = false;
std::string DemoFolder::s_error;

TEST_F(DemoFolder, EveryFileIsCodePage932WithCrLf)
{
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root())) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        SCOPED_TRACE(entry.path().string());
        const std::string bytes = test::readFile(entry.path().string());
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        std::size_t crlf = 0;
        for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
            ++crlf;
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), static_cast<long>(crlf));
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), static_cast<long>(crlf));
        EXPECT_EQ(cp932ToUtf8(bytes).find("\xEF\xBF\xBD"), std::string::npos) << "bytes that are no CP932";
    }
    // The tables, 16 capacity files, 5 matrices with their group files and the INI.
    EXPECT_EQ(files, static_cast<int>(coveredTables().size()) + 16 + 10 + 1);
}

TEST_F(DemoFolder, CoversTheModelsAndVersionsItPromises)
{
    std::map<catalogue::Model, std::set<int>> modes;
    std::map<catalogue::Model, std::set<int>> versions;
    for (const auto& t : coveredTables()) {
        modes[t.model].insert(t.controlMode);
        versions[t.model].insert(t.romVersion);
    }
    const auto qm71 = catalogue::Model::QM71;
    EXPECT_EQ(modes[qm71], (std::set<int> {0, 1, 2}));
    std::set<std::string> series;
    for (int v : versions[qm71])
        series.insert(std::string(catalogue::romVersionText(qm71, v)->substr(0, 4)));
    EXPECT_TRUE(series.count("01-A") && series.count("01-B"));

    // LX71RTP versions in ranges with different capacity lists.
    const auto lxrtp = catalogue::Model::LX71RTP;
    std::set<catalogue::CapacityListId> lists;
    for (int v : versions[lxrtp])
        lists.insert(*catalogue::capacityList(lxrtp, v));
    EXPECT_GE(lists.size(), 4u);

    for (auto m : {catalogue::Model::LX71, catalogue::Model::LX71ht, catalogue::Model::QM71N})
        EXPECT_FALSE(versions[m].empty()) << catalogue::modelName(m);
}

TEST_F(DemoFolder, TablesFillAllSlotsWithWellFormedRecords)
{
    for (const auto& t : coveredTables()) {
        SCOPED_TRACE(tablePath(root(), t));
        const Fields& lines = tableFields(t);
        ASSERT_EQ(lines.size(), 2u + SlotCount);

        // Areas follow each other without gap or overlap and fill 665 slots.
        std::array<int, AreaCount> first {};
        int next = 0;
        for (int area = 0; area < AreaCount; ++area) {
            const auto& f = lines[2 + area];
            ASSERT_GE(f.size(), 11u);
            ASSERT_TRUE(isInteger(f[9]) && isInteger(f[10]));
            first[area] = std::atoi(f[9].c_str());
            EXPECT_EQ(first[area], next) << "area " << area;
            EXPECT_GE(std::atoi(f[10].c_str()), first[area]);
            next = std::atoi(f[10].c_str()) + 1;
        }
        EXPECT_EQ(next, SlotCount);
        const auto& head = lines[2];
        ASSERT_EQ(head.size(), 12u);
        EXPECT_EQ(std::atoi(head[11].c_str()), demo::capacityFileNumber(t.model, t.romVersion));

        int area = 0;
        for (int slot = 0; slot < SlotCount; ++slot) {
            while (area + 1 < AreaCount && slot >= first[area + 1])
                ++area;
            const auto& f = lines[2 + slot];
            SCOPED_TRACE("slot " + std::to_string(slot));
            ASSERT_EQ(f.size(), slot == 0 ? 12u : (slot < AreaCount ? 11u : 9u));
            EXPECT_EQ(f[0], AreaPrefixes[area] + std::to_string(slot - first[area]));
            ASSERT_TRUE(isInteger(f[6]) && isInteger(f[7]) && isInteger(f[8]));
            const int decimals = std::atoi(f[6].c_str());
            const auto slash = f[3].find('/');
            ASSERT_NE(slash, std::string::npos);
            const std::string min = f[3].substr(0, slash);
            const std::string max = f[3].substr(slash + 1);
            EXPECT_EQ(decimalsOf(f[4]), decimals);
            EXPECT_EQ(decimalsOf(min), decimals);
            EXPECT_EQ(decimalsOf(max), decimals);
            const long def = storedValue(f[4]);
            EXPECT_LE(storedValue(min), def);
            EXPECT_LE(def, storedValue(max));
            EXPECT_LE(std::labs(def), 32767);
            EXPECT_EQ(f[8], storedValue(min) < 0 ? "0" : "1");
            const int figures = std::atoi(f[7].c_str());
            EXPECT_TRUE(figures >= 1 && figures <= 5);
        }
    }
}

TEST_F(DemoFolder, TablesHoldTheParametersTheRulesKeyOn)
{
    for (const auto& t : coveredTables()) {
        SCOPED_TRACE(tablePath(root(), t));
        const Fields& lines = tableFields(t);
        ASSERT_EQ(lines.size(), 2u + SlotCount);
        const auto record = [&](int slot) -> const std::vector<std::string>& { return lines[2 + slot]; };

        // Grid rows 1, 2, 3, 12 and 13, with defaults that pass the cross checks.
        ASSERT_EQ(record(0)[0], "Fund.-0");
        ASSERT_EQ(record(1)[0], "Fund.-1");
        ASSERT_EQ(record(2)[0], "Fund.-2");
        ASSERT_EQ(record(11)[0], "A-0");
        ASSERT_EQ(record(12)[0], "A-1");
        const long f0 = storedValue(record(0)[4]), f1 = storedValue(record(1)[4]), f2 = storedValue(record(2)[4]);
        const long a0 = storedValue(record(11)[4]), a1 = storedValue(record(12)[4]);
        EXPECT_TRUE(a0 >= 300 && a0 <= 14700);
        EXPECT_TRUE(f0 <= a0 && f0 >= -a0);
        EXPECT_GE(f1, a1);
        EXPECT_LE(f2, -a1);
        EXPECT_LT(a1, a0);

        // The V/F rules name the records on lines 15 and 30.
        EXPECT_EQ(lines[15][0], "A-2");
        EXPECT_EQ(lines[30][0], "A-17");

        std::set<std::string> codes;
        for (int slot = 0; slot < SlotCount; ++slot)
            codes.insert(record(slot)[0]);
        for (int i = 0; i <= 20; ++i)
            EXPECT_TRUE(codes.count("A-" + std::to_string(i))) << "A-" << i;
        for (int i = 1; i <= 12; ++i)
            EXPECT_TRUE(codes.count("L-" + std::to_string(i))) << "L-" << i;
        EXPECT_TRUE(codes.count("F-0") && codes.count("S-2"));
    }
}

TEST_F(DemoFolder, CapacityFilesHaveALinePerCapacityIndex)
{
    for (int n = 0; n < 16; ++n) {
        const std::string path = root() + "MSEL/" + tables::capacityDefaultFileName(std::to_string(n)).value_or("");
        SCOPED_TRACE(path);
        const auto lines = linesOf(path);
        ASSERT_GE(lines.size(), 40u);
        for (int c = 0; c <= 38; ++c) {
            const auto f = splitFields(lines[c + 1]);
            ASSERT_GE(f.size(), 12u) << "capacity " << c;
            for (int k = 2; k <= 11; ++k)
                ASSERT_TRUE(isInteger(f[k])) << "capacity " << c << " field " << k;
            for (int k = 2; k <= 5; ++k) {
                const int d = std::atoi(f[k].c_str());
                EXPECT_TRUE(d >= 0 && d <= 4) << "capacity " << c << " field " << k;
            }
            for (int k : {6, 8, 9, 10, 11})
                EXPECT_LE(std::atol(f[k].c_str()), 32767) << "capacity " << c << " field " << k;
        }
    }
}

// Every table loads as a new data set without a message and fills the rows
// of all 665 slots; every other table with the model's first capacity, the
// rest with its largest (a 400 V one).
TEST_F(DemoFolder, EveryCoveredTableLoadsWithoutAMessage)
{
    bool largest = false;
    for (const auto& t : coveredTables()) {
        largest = !largest;
        const auto list = catalogue::capacityList(t.model, t.romVersion);
        ASSERT_TRUE(list.has_value());
        const int capacity = largest ? static_cast<int>(catalogue::capacityListEntries(*list).size()) - 1
                                     : catalogue::defaultCapacity(t.model);
        {
            SCOPED_TRACE(tables::tableFileName(catalogue::indexOf(t.model), t.controlMode, t.romVersion) + " capacity "
                + std::to_string(capacity));
            Workspace ws;
            ws.settings.applicationFolder = root();
            ws.settings.fileVersion = demo::demoSettings(DemoOptions {});
            ws.doc.identity = InverterIdentity {static_cast<std::int16_t>(catalogue::indexOf(t.model)),
                static_cast<std::int16_t>(t.controlMode), static_cast<std::int16_t>(capacity),
                static_cast<std::int16_t>(t.romVersion)};
            test::FakeUi ui;
            EXPECT_EQ(
                tables::loadParameterTable(ws, ui, tables::TableValues::Defaults, tables::TableSource::DataSetIdentity),
                tables::LoadResult::Done);
            EXPECT_TRUE(ui.messages.empty()) << (ui.messages.empty() ? "" : ui.englishTexts().front());
            EXPECT_FALSE(ws.doc.table.substitute);
            ws.doc.content = GridContent::Table;
            for (int slot = 0; slot < SlotCount; ++slot)
                ASSERT_FALSE(gridText(ws, slot + 1, ColCode).empty()) << "slot " << slot;
            EXPECT_EQ(gridText(ws, 1, ColCode), "Fund.-0");
            EXPECT_EQ(ws.doc.values[static_cast<std::size_t>(ws.doc.table.areaFirst[15] + 2)], capacity) << "S-2";
        }
    }
}

struct MatrixCase {
    const char* name;
    const char* matrix;
    const char* groups;
    int extent; // the largest extent any lookup reads
};

class DemoMatrix : public DemoFolder, public ::testing::WithParamInterface<MatrixCase> { };

TEST_P(DemoMatrix, IsSquareOverItsExtentWithAGroupForEveryCode)
{
    const auto& c = GetParam();
    const auto lines = linesOf(root() + c.matrix);
    ASSERT_GE(lines.size(), static_cast<std::size_t>(c.extent) + 4);
    const auto header = splitFields(lines[2]);
    ASSERT_GE(header.size(), static_cast<std::size_t>(c.extent) + 3);

    std::map<std::string, std::string> groups;
    for (const auto& line : linesOf(root() + c.groups)) {
        const auto eq = line.find('=');
        ASSERT_NE(eq, std::string::npos) << line;
        groups[line.substr(0, eq)] = line.substr(eq + 1);
    }
    std::set<std::string> seen;
    for (int r = 0; r <= c.extent; ++r) {
        const auto row = splitFields(lines[3 + r]);
        ASSERT_GE(row.size(), static_cast<std::size_t>(c.extent) + 3) << "row " << r;
        EXPECT_EQ(row[1], header[2 + r]) << "row " << r;
        EXPECT_TRUE(seen.insert(row[1]).second) << "code twice: " << row[1];
        EXPECT_EQ(row[2 + r], "") << "diagonal of " << row[1];
        const auto group = groups.find("[" + row[1] + "]");
        ASSERT_NE(group, groups.end()) << row[1];
        EXPECT_TRUE(isInteger(group->second)) << row[1];
    }
}

INSTANTIATE_TEST_SUITE_P(, DemoMatrix,
    ::testing::Values(MatrixCase {"QM71", "QM71_KConvertMatrix.rcm", "QM71_KGroupSet.txt", 203},
        MatrixCase {"LX71RTP", "LX71RTP_KConvertMatrix.rcm", "LX71RTP_KGroupSet.txt", 90},
        MatrixCase {"LX71ht", "LX71htKConvertMatrix.rcm", "LX71htKGroupSet.txt", 124},
        MatrixCase {"LX75RTP", "LX75RTPConvertMatrix.rcm", "LX75RTPGroupSet.txt", 35},
        MatrixCase {"QM71KRTP", "QM71RTP_KConvertMatrix.rcm", "QM71RTP_KGroupSet.txt", 35}),
    test::CaseName {});

// The matrices answer moves through the program's own lookup: directly
// within a series, through the group representatives between series of one
// generation (and for versions the matrix does not list), and not at all
// across generations.
struct MoveCase {
    const char* name;
    catalogue::Model model;
    const char* from;
    const char* to;
    int code; // the first lookup's answer
    const char* groupFrom; // representatives when it asks the groups
    const char* groupTo;
    int groupCode; // the answer for the representatives
};

class DemoMove : public DemoFolder, public ::testing::WithParamInterface<MoveCase> { };

TEST_P(DemoMove, IsAnsweredAsTheDemoIntends)
{
    const auto& c = GetParam();
    const catalogue::Model model = c.model;
    const int last = static_cast<int>(catalogue::romVersionList(model).size()) - 1;
    Workspace ws;
    ws.settings.applicationFolder = root();
    ws.settings.fileVersion = demo::demoSettings(DemoOptions {});
    test::FakeUi ui;
    catalogue::InverterSelectionPresenter dialog(ws, ui);

    const auto result = dialog.lookUpConversion(
        model, model, *catalogue::romIndexOf(model, c.from, last), *catalogue::romIndexOf(model, c.to, last));
    ASSERT_EQ(result.status, catalogue::ConversionResult::Status::Answered);
    EXPECT_EQ(result.code, c.code);
    if (c.code == catalogue::conversion::AskGroups) {
        EXPECT_EQ(catalogue::romVersionText(model, result.groupFrom), c.groupFrom);
        EXPECT_EQ(catalogue::romVersionText(model, result.groupTo), c.groupTo);
        const auto second = dialog.lookUpConversion(model, model, result.groupFrom, result.groupTo);
        ASSERT_EQ(second.status, catalogue::ConversionResult::Status::Answered);
        EXPECT_EQ(second.code, c.groupCode);
    }
    EXPECT_TRUE(ui.messages.empty());
}

using catalogue::conversion::Allowed;
using catalogue::conversion::AskGroups;
using catalogue::conversion::Refused;

INSTANTIATE_TEST_SUITE_P(, DemoMove,
    ::testing::Values(MoveCase {"WithinASeries", catalogue::Model::QM71, "01-A1", "01-A5", Allowed, "", "", 0},
        MoveCase {"BetweenSeriesThroughGroups", catalogue::Model::QM71, "01-A2", "01-B3", AskGroups, "01-A1", "01-B1",
            Allowed},
        MoveCase {"AcrossGenerations", catalogue::Model::QM71, "01-B3", "00-C2", Refused, "", "", 0},
        MoveCase {"LxBetweenSeriesThroughGroups", catalogue::Model::LX71ht, "02-A5", "02-B1", AskGroups, "02-A1",
            "02-B1", Allowed},
        MoveCase {"VersionBeyondTheMatrix", catalogue::Model::LX71RTP, "13-B2", "12-A1", AskGroups, "13-A1", "12-A1",
            Refused}),
    test::CaseName {});

TEST_F(DemoFolder, NewVerOfEveryCoveredModelHasATableForEachOfItsModes)
{
    const FileVersionSettings s = demo::demoSettings(DemoOptions {});
    std::map<catalogue::Model, std::set<int>> modes;
    for (const auto& t : coveredTables())
        modes[t.model].insert(t.controlMode);
    for (const auto& [model, modeSet] : modes) {
        const RomLimits limits = s.of(catalogue::limitSection(model));
        int newest = 0;
        for (const auto& t : coveredTables())
            if (t.model == model)
                newest = std::max(newest, t.romVersion);
        EXPECT_GE(limits.verMax, newest) << catalogue::modelName(model);
        EXPECT_LT(limits.verMax, static_cast<int>(catalogue::romVersionList(model).size()));
        for (int mode : modeSet) {
            const CoveredTable wanted {model, mode, limits.newVer};
            EXPECT_TRUE(std::filesystem::exists(tablePath(root(), wanted)))
                << catalogue::modelName(model) << " mode " << mode;
        }
    }
}

struct IniCase {
    const char* name;
    bool view;
    bool special;
};

class DemoIni : public ::testing::TestWithParam<IniCase> { };

TEST_P(DemoIni, HoldsEverySectionAndTheChosenFlags)
{
    test::TempDir dir;
    DemoOptions options;
    options.view = GetParam().view;
    options.specialFunctions = GetParam().special;
    std::string error;
    ASSERT_TRUE(writeDemoInstallation(dir.path(), options, &error)) << error;

    const std::string text = cp932ToUtf8(test::readFile(dir.file("FileVersion.INI")));
    EXPECT_NE(text.find("[Version]\r\nFileVersion=1.20\r\n"), std::string::npos);
    for (const auto& keys : limitKeys) {
        EXPECT_NE(text.find("[" + std::string(keys.section) + "]\r\n" + keys.verMaxKey + "="), std::string::npos)
            << keys.section;
        EXPECT_NE(text.find(std::string("\r\n") + keys.newVerKey + "="), std::string::npos) << keys.section;
    }
    EXPECT_NE(text.find(std::string("[View]\r\nValue=") + (GetParam().view ? "1" : "0") + "\r\n"), std::string::npos);
    EXPECT_NE(
        text.find(std::string("[spcialfunc]\r\nused=") + (GetParam().special ? "1" : "0") + "\r\n"), std::string::npos);

    // Read back as the start-up reads it.
    const FileVersionSettings read = readFileVersionSettings(dir.file("FileVersion.INI"));
    const FileVersionSettings expected = demo::demoSettings(options);
    EXPECT_EQ(read.fileVersion, "1.20");
    EXPECT_EQ(read.view, GetParam().view);
    EXPECT_EQ(read.specialFunctions, GetParam().special);
    for (int i = 0; i < LimitSectionCount; ++i) {
        EXPECT_EQ(read.limits[i].verMax, expected.limits[i].verMax) << limitKeys[i].section;
        EXPECT_EQ(read.limits[i].newVer, expected.limits[i].newVer) << limitKeys[i].section;
    }
}

INSTANTIATE_TEST_SUITE_P(, DemoIni,
    ::testing::Values(IniCase {"Plain", false, false}, IniCase {"View", true, false},
        IniCase {"SpecialFunctions", false, true}, IniCase {"Both", true, true}),
    test::CaseName {});

TEST(DemoRewrite, SecondRunWritesNothingAndAChangedOptionOnlyTheIni)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(writeDemoInstallation(dir.path(), DemoOptions {}, &error)) << error;
    const std::string table = test::readFile(tablePath(dir.path(), coveredTables().front()));

    std::vector<std::string> written;
    // Any write at all would fail the run.
    test::FailingFileWriter refusing([&](int, const std::string& path) {
        written.push_back(path);
        return true;
    });
    DemoOptions options;
    options.writer = &refusing;
    EXPECT_TRUE(writeDemoInstallation(dir.path(), options, &error)) << error;
    EXPECT_TRUE(written.empty());

    test::FailingFileWriter passing([&](int, const std::string& path) {
        written.push_back(path);
        return false;
    });
    options.writer = &passing;
    options.view = true;
    EXPECT_TRUE(writeDemoInstallation(dir.path(), options, &error)) << error;
    EXPECT_EQ(written, std::vector<std::string> {dir.file("FileVersion.INI")});
    EXPECT_EQ(test::readFile(tablePath(dir.path(), coveredTables().front())), table);
}

TEST(DemoRewrite, FailedWriteIsReportedAndLeavesNoIni)
{
    test::TempDir dir;
    const CoveredTable victim = coveredTables().at(coveredTables().size() / 2);
    const std::string victimPath = tablePath(dir.path(), victim);
    test::FailingFileWriter writer([&](int, const std::string& path) { return path == victimPath; });
    DemoOptions options;
    options.writer = &writer;
    std::string error;
    EXPECT_FALSE(writeDemoInstallation(dir.path(), options, &error));
    EXPECT_NE(error.find(victimPath), std::string::npos) << error;
    EXPECT_FALSE(fileExists(dir.file("FileVersion.INI")));
}

TEST(DemoRewrite, FileInPlaceOfTheFolderIsReported)
{
    test::TempDir dir;
    test::writeFile(dir.file("install"), "not a folder");
    std::string error;
    EXPECT_FALSE(writeDemoInstallation(dir.file("install"), DemoOptions {}, &error));
    EXPECT_NE(error.find(dir.file("install")), std::string::npos) << error;
    EXPECT_EQ(test::readFile(dir.file("install")), "not a folder");
}

TEST(DemoRewrite, MissingFolderIsCreated)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(writeDemoInstallation(dir.file("a/b"), DemoOptions {}, &error)) << error;
    EXPECT_TRUE(fileExists(dir.file("a/b/FileVersion.INI")));
}

} // namespace
} // namespace tess
