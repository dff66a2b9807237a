// A command that met damaged input and still printed something says so in
// its status.
#include "cli/CliRun.h"

#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess::cli {
namespace {

struct DamageCase {
    const char* name;
    // Makes the data set's bytes what the case shows.
    std::string (*damage)(const std::string& whole);
    int status;
    // A text of the first row shown: without a table the rows have no codes.
    const char* firstRow = "Fund.-0";
};

// The file without its last value: a save cut short at a line's end.
std::string withoutLastLine(const std::string& whole)
{
    const std::size_t last = whole.rfind('\n', whole.size() - 2);
    return whole.substr(0, last + 1);
}

// The four identity lines replaced by numbers no catalogue index or
// reserved mark takes.
std::string withNegativeHeader(const std::string& whole)
{
    std::size_t body = 0;
    for (int line = 0; line < 4; ++line)
        body = whole.find('\n', body) + 1;
    return "-9\r\n-9\r\n-9\r\n-99\r\n" + whole.substr(body);
}

class CliDamagedShow : public CliRun, public ::testing::WithParamInterface<DamageCase> { };

TEST_P(CliDamagedShow, PrintsWhatItReadAndSaysItWasDamaged)
{
    const std::string path = dir.file("pump.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", path}), ExitDone)
        << err.str();
    test::writeFile(path, GetParam().damage(test::readFile(path)));
    EXPECT_EQ(run({"show", path}), GetParam().status) << err.str();
    EXPECT_NE(out.str().find(GetParam().firstRow), std::string::npos) << "the rows read are shown";
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDamagedShow,
    ::testing::Values(DamageCase {"Whole", [](const std::string& whole) { return whole; }, ExitDone},
        DamageCase {"LastValueMissing", withoutLastLine, ExitInputDamaged},
        DamageCase {"NegativeHeader", withNegativeHeader, ExitInputDamaged, "----------"},
        DamageCase {
            "CutToHalf", [](const std::string& whole) { return whole.substr(0, whole.size() / 2); }, ExitInputDamaged}),
    test::CaseName {});

class CliDamagedExport : public CliRun, public ::testing::WithParamInterface<DamageCase> { };

// The values were read whole, so the copy is kept; the status and the
// message say where it came from.
TEST_P(CliDamagedExport, WritesTheCopyAndSaysTheFileWasDamaged)
{
    const std::string path = dir.file("pump.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", path}), ExitDone)
        << err.str();
    const std::string csv = dir.file("copy.csv");
    test::writeFile(path, GetParam().damage(test::readFile(path)));
    EXPECT_EQ(run({"export", path, "-o", csv}), GetParam().status) << err.str();
    EXPECT_FALSE(test::readFile(csv).empty()) << "the copy is written";
    if (GetParam().status != ExitDone) {
        EXPECT_NE(err.str().find(path), std::string::npos) << "the message names the file: " << err.str();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDamagedExport,
    ::testing::Values(DamageCase {"Whole", [](const std::string& whole) { return whole; }, ExitDone},
        DamageCase {"NegativeHeader", withNegativeHeader, ExitInputDamaged}),
    test::CaseName {});

struct TableDamageCase {
    const char* name;
    // Makes the parameter table's bytes what the case shows.
    std::string (*damage)(const std::string& whole);
    int status;

    friend void PrintTo(const TableDamageCase& c, std::ostream* os) { *os << c.name; }
};

std::string withLineFeeds(const std::string& whole)
{
    std::string bytes = whole;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at))
        bytes.erase(at, 1);
    return bytes;
}

// The line end of the table's third line made a LF alone.
std::string withOneLineFeed(const std::string& whole)
{
    std::string bytes = whole;
    std::size_t at = 0;
    for (int line = 0; line < 3; ++line)
        at = bytes.find("\r\n", line == 0 ? 0 : at + 2);
    bytes.erase(at, 1);
    return bytes;
}

class CliDamagedTable : public CliRun, public ::testing::WithParamInterface<TableDamageCase> { };

// Every command that takes the table does its work and says, by its status
// and a message naming the table file, that the table was not whole.
TEST_P(CliDamagedTable, EveryCommandSaysTheTableWasDamaged)
{
    const std::string table = dir.file("QM71/QM71S01-A1.bkh");
    test::writeFile(table, GetParam().damage(test::readFile(table)));
    const std::string path = dir.file("pump.csl");
    const int status = GetParam().status;
    const std::vector<std::vector<std::string>> commands {
        {"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", path},
        {"show", path},
        {"export", path, "-o", dir.file("copy.csv")},
        {"set", path, "A-3=210"},
    };
    for (const std::vector<std::string>& command : commands) {
        EXPECT_EQ(run(command), status) << command.front() << ": " << err.str();
        if (status != ExitDone) {
            EXPECT_NE(err.str().find(table + ", line "), std::string::npos)
                << command.front() << ": the message names the table and the line: " << err.str();
        }
    }
    EXPECT_FALSE(test::readFile(dir.file("copy.csv")).empty()) << "the copy is written";
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDamagedTable,
    ::testing::Values(TableDamageCase {"Whole", [](const std::string& whole) { return whole; }, ExitDone},
        TableDamageCase {"LineFeedsThroughout", withLineFeeds, ExitDone},
        TableDamageCase {"LastLineEndCut", [](const std::string& whole) { return whole.substr(0, whole.size() - 2); },
            ExitInputDamaged},
        TableDamageCase {"LastLineFeedCut", [](const std::string& whole) { return whole.substr(0, whole.size() - 1); },
            ExitInputDamaged},
        TableDamageCase {"LineEndsMixed", withOneLineFeed, ExitInputDamaged}),
    test::CaseName {});

struct SettingsDamageCase {
    const char* name;
    const char* line; // a line of the demo's FileVersion.INI
    const char* damaged; // what it is made
    int lineNumber;
    int status;

    friend void PrintTo(const SettingsDamageCase& c, std::ostream* os) { *os << c.name; }
};

class CliDamagedSettings : public CliRun, public ::testing::WithParamInterface<SettingsDamageCase> {
protected:
    std::string ini() const { return dir.file("FileVersion.INI"); }

    void damageTheLine()
    {
        std::string bytes = test::readFile(ini());
        const std::size_t at = bytes.find(std::string(GetParam().line) + "\r\n");
        ASSERT_NE(at, std::string::npos);
        bytes.replace(at, std::string(GetParam().line).size(), GetParam().damaged);
        test::writeFile(ini(), bytes);
    }

    bool errorNamesTheLine() const
    {
        const SettingsDamageCase& c = GetParam();
        return err.str().find(ini() + ", line " + std::to_string(c.lineNumber) + ": \"" + c.damaged + "\"")
            != std::string::npos;
    }
};

// A line of the settings file that could not be used is named with its file
// and number, whether New could still make the data set or not.
TEST_P(CliDamagedSettings, NewNamesTheLineThatCouldNotBeUsed)
{
    damageTheLine();
    EXPECT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "-o", dir.file("pump.csl")}), GetParam().status)
        << err.str();
    EXPECT_TRUE(errorNamesTheLine()) << err.str();
}

// Every other command names them too, and goes on as it would.
TEST_P(CliDamagedSettings, ShowNamesTheLineThatCouldNotBeUsed)
{
    const std::string dataSet = dir.file("pump.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "-o", dataSet}), ExitDone) << err.str();
    damageTheLine();
    run({"show", dataSet});
    EXPECT_TRUE(errorNamesTheLine()) << err.str();
}

INSTANTIATE_TEST_SUITE_P(Cases, CliDamagedSettings,
    ::testing::Values(SettingsDamageCase {"NewVerNotANumber", "New_Ver=18", "New_Ver=1x8", 6, ExitRefused},
        SettingsDamageCase {"EqualsSignLost", "New_Ver=18", "New_Ver18", 6, ExitRefused},
        SettingsDamageCase {"ViewNotANumber", "Value=0", "Value=O", 57, ExitInputDamaged}),
    test::CaseName {});

} // namespace
} // namespace tess::cli
