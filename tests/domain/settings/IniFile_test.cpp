#include "domain/common/Cp932.h"
#include "domain/settings/FileVersionSettings.h"
#include "domain/settings/IniFile.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tess {
namespace {

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::int64_t expected; // the fallback is 77
};

class IniReadInteger : public ::testing::TestWithParam<ReadCase> { };

TEST_P(IniReadInteger, FollowsPrivateProfileRules)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniFile(c.file).readInteger(c.section, c.key, 77), c.expected);
}

INSTANTIATE_TEST_SUITE_P(, IniReadInteger,
    ::testing::Values(ReadCase {"Decimal", "[QM71]\r\nVer_max=12\r\n", "QM71", "Ver_max", 12},
        ReadCase {"SectionInOtherCase", "[qm71]\r\nVer_max=5\r\n", "QM71", "Ver_max", 5},
        ReadCase {"KeyInOtherCase", "[QM71]\r\nVER_MAX=5\r\n", "QM71", "Ver_max", 5},
        ReadCase {"Hexadecimal", "[QM71]\r\nVer_max=0x1F\r\n", "QM71", "Ver_max", 31},
        ReadCase {"HexadecimalUpperPrefix", "[QM71]\r\nVer_max=0X1f\r\n", "QM71", "Ver_max", 31},
        ReadCase {"Negative", "[QM71]\r\nVer_max=-3\r\n", "QM71", "Ver_max", -3},
        ReadCase {"BlanksAroundNamesAndValue", "  [ QM71 ]  \r\n  Ver_max  =  7  \r\n", "QM71", "Ver_max", 7},
        ReadCase {"QuotedValue", "[QM71]\r\nVer_max=\"8\"\r\n", "QM71", "Ver_max", 8},
        ReadCase {"LfLineEnds", "[QM71]\nVer_max=9\n", "QM71", "Ver_max", 9},
        ReadCase {"NoIntegerGivesFallback", "[QM71]\r\nVer_max=abc\r\n", "QM71", "Ver_max", 77},
        ReadCase {"TrailingTextGivesFallback", "[QM71]\r\nVer_max=12abc\r\n", "QM71", "Ver_max", 77},
        ReadCase {"EmptyValueGivesFallback", "[QM71]\r\nVer_max=\r\n", "QM71", "Ver_max", 77},
        ReadCase {"BarePrefixGivesFallback", "[QM71]\r\nVer_max=0x\r\n", "QM71", "Ver_max", 77},
        ReadCase {"OverflowGivesFallback", "[QM71]\r\nVer_max=99999999999999999999\r\n", "QM71", "Ver_max", 77},
        ReadCase {"MissingKey", "[QM71]\r\nNew_Ver=3\r\n", "QM71", "Ver_max", 77},
        ReadCase {"KeyOfAnotherSection", "[QM71]\r\n[LX71]\r\nVer_max=4\r\n", "QM71", "Ver_max", 77},
        ReadCase {"KeyBeforeAnySection", "Ver_max=4\r\n[QM71]\r\n", "QM71", "Ver_max", 77},
        ReadCase {"MisspeltSectionNotRecognised", "[specialfunc]\r\nused=1\r\n", "spcialfunc", "used", 77},
        ReadCase {"CommentedOut", "[QM71]\r\n;Ver_max=4\r\n", "QM71", "Ver_max", 77},
        ReadCase {"FirstSectionAndKeyWin", "[QM71]\r\nVer_max=1\r\nVer_max=2\r\n[QM71]\r\nVer_max=3\r\n", "QM71",
            "Ver_max", 1},
        ReadCase {"EmptyFile", "", "QM71", "Ver_max", 77}),
    test::CaseName {});

TEST(IniRead, BooleansAreIntegers)
{
    const IniFile file("[a]\r\nzero=0\r\ntwo=2\r\nword=yes\r\n");
    EXPECT_FALSE(file.readBool("a", "zero", true));
    EXPECT_TRUE(file.readBool("a", "two", false));
    EXPECT_TRUE(file.readBool("a", "word", true));
    EXPECT_FALSE(file.readBool("a", "word", false));
}

TEST(IniRead, TextIsCp932AndABracketInADoubleByteCharacterDoesNotCloseTheHeader)
{
    // U+2010 is 81 5D in CP932: its second byte is ']'.
    const std::string file = utf8ToCp932("[A\xE2\x80\x90"
                                         "B]\r\nname=版1.2\r\n");
    EXPECT_EQ(IniFile(file).readString("A\xE2\x80\x90"
                                       "B",
                  "name"),
        "版1.2");
}

// Lookups are answered from what one pass over the file found: reading every
// key of a file of many keys does not go over the file again for each.
TEST(IniRead, EveryKeyOfALargeFileIsFoundWithItsValue)
{
    constexpr int sectionCount = 200;
    constexpr int keysPerSection = 500;
    std::string ini;
    for (int s = 0; s < sectionCount; ++s) {
        ini += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < keysPerSection; ++k)
            ini += "Key" + std::to_string(k) + "=" + std::to_string(s * keysPerSection + k) + "\r\n";
    }
    ini += "[SECTION0]\r\nkey0=-1\r\nExtra=1\r\n"; // a later section of a name is never read
    const IniFile file(std::move(ini));

    for (int s = 0; s < sectionCount; ++s)
        for (int k = 0; k < keysPerSection; ++k)
            if (file.readInteger("section" + std::to_string(s), "KEY" + std::to_string(k), -7)
                != s * keysPerSection + k) {
                ADD_FAILURE() << "section " << s << ", key " << k;
                return;
            }
    EXPECT_EQ(file.readInteger("Section0", "Extra", -7), -7);
}

TEST(FileVersionSettingsRead, MissingFileGivesEveryDefault)
{
    test::TempDir dir;
    const FileVersionSettings s = readFileVersionSettings(dir.file("FileVersion.INI"));
    EXPECT_EQ(s.fileVersion, "1");
    for (const RomLimits& limits : s.limits) {
        EXPECT_EQ(limits.verMax, 1);
        EXPECT_EQ(limits.newVer, 1);
    }
    EXPECT_TRUE(s.view);
    EXPECT_FALSE(s.specialFunctions);
}

TEST(FileVersionSettingsRead, ReadsEverySectionByItsOwnKeys)
{
    std::string ini = "[Version]\r\nFileVersion=2.30\r\n[View]\r\nValue=0\r\n[spcialfunc]\r\nused=1\r\n";
    for (std::size_t i = 0; i < limitKeys.size(); ++i)
        ini += "[" + std::string(limitKeys[i].section) + "]\r\n" + limitKeys[i].verMaxKey + "=" + std::to_string(10 + i)
            + "\r\n" + limitKeys[i].newVerKey + "=" + std::to_string(i) + "\r\n";
    const FileVersionSettings s = readFileVersionSettings(IniFile(ini));
    EXPECT_EQ(s.fileVersion, "2.30");
    for (std::size_t i = 0; i < limitKeys.size(); ++i) {
        EXPECT_EQ(s.limits[i].verMax, static_cast<int>(10 + i)) << limitKeys[i].section;
        EXPECT_EQ(s.limits[i].newVer, static_cast<int>(i)) << limitKeys[i].section;
    }
    EXPECT_FALSE(s.view);
    EXPECT_TRUE(s.specialFunctions);
}

TEST(FileVersionSettingsRead, RomIndexOutsideSixteenBitsOrNegativeTakesTheDefault)
{
    const FileVersionSettings s = readFileVersionSettings(IniFile("[QM71]\r\nVer_max=70000\r\nNew_Ver=-2\r\n"));
    EXPECT_EQ(s.of(LimitSection::QM71).verMax, 1);
    EXPECT_EQ(s.of(LimitSection::QM71).newVer, 1);
}

struct UnusableCase {
    const char* name;
    std::string file;
    std::vector<SettingsLine> unusable;
};

class FileVersionUnusableLines : public ::testing::TestWithParam<UnusableCase> { };

// Each value that took its default, and each line of a section read that is
// no key, is named by its line, so that a damaged file can be told.
TEST_P(FileVersionUnusableLines, NameEachLineThatTookItsDefault)
{
    EXPECT_EQ(readFileVersionSettings(IniFile(GetParam().file)).unusableLines, GetParam().unusable);
}

INSTANTIATE_TEST_SUITE_P(, FileVersionUnusableLines,
    ::testing::Values(
        UnusableCase {"Sound", "[QM71]\r\nVer_max=20\r\n; a comment\r\n\r\nNew_Ver=0x12\r\n[View]\r\nValue=0\r\n", {}},
        UnusableCase {"MissingKeysAreNoLines", "[QM71]\r\nVer_max=20\r\n", {}},
        UnusableCase {"ForeignSectionIsNotRead", "[Other]\r\nnothing here\r\nk=v\r\n", {}},
        UnusableCase {"RomIndexNotANumber", "[Version]\r\nFileVersion=1\r\n[QM71]\r\nVer_max=20\r\nNew_Ver=1x8\r\n",
            {{5, "New_Ver=1x8"}}},
        UnusableCase {"RomIndexOutsideSixteenBits", "[QM71]\nVer_max=70000\nNew_Ver=-2\n",
            {{2, "Ver_max=70000"}, {3, "New_Ver=-2"}}},
        UnusableCase {"EqualsSignLost", "[LX71]\r\nVer_max_LX 13\r\nNew_Ver_LX=12\r\n", {{2, "Ver_max_LX 13"}}},
        UnusableCase {
            "SwitchNotANumber", "[spcialfunc]\r\nused=yes\r\n[View]\r\nValue=\r\n", {{2, "used=yes"}, {4, "Value="}}},
        UnusableCase {"OnlyTheFirstSectionCounts", "[QM71]\r\nVer_max=2\r\n[QM71]\r\nNew_Ver=x\r\n", {}}),
    test::CaseName {});

// A settings file grown far beyond its settings: blank lines, comments and a
// long section of foreign keys, with a later duplicate of a model section.
std::string grownSettingsFile(std::size_t fillerBytes)
{
    std::string ini = "[QM71]\r\nVer_max=7\r\n";
    ini.reserve(fillerBytes + 1000);
    const std::size_t blankEnd = fillerBytes / 2;
    while (ini.size() < blankEnd)
        ini += "\r\n";
    const std::size_t commentEnd = blankEnd + fillerBytes / 4;
    while (ini.size() < commentEnd)
        ini += "; kept for the record\r\n";
    ini += "[Other]\r\n";
    for (int i = 0; ini.size() < fillerBytes; ++i)
        ini += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    ini += "[QM71]\r\nVer_max=9\r\nNew_Ver=2\r\n[View]\r\nValue=0\r\n[spcialfunc]\r\nused=1\r\n";
    return ini;
}

// Start-up and exit each take one pass over the file, however long it is.
TEST(FileVersionSettingsRead, TenMegabyteFileIsReadAndWrittenInOnePass)
{
    test::TempDir dir;
    const std::string path = dir.file("FileVersion.INI");
    const std::string before = grownSettingsFile(10'000'000);
    test::writeFile(path, before);

    const FileVersionSettings s = readFileVersionSettings(path);
    EXPECT_EQ(s.of(LimitSection::QM71).verMax, 7);
    EXPECT_EQ(s.of(LimitSection::QM71).newVer, 1) << "only the first section of a name counts";
    EXPECT_FALSE(s.view);
    EXPECT_TRUE(s.specialFunctions);

    ASSERT_TRUE(writeIniBool(systemFileWriter(), path, "spcialfunc", "used", false));
    std::string expected = before;
    expected[expected.size() - 3] = '0';
    EXPECT_TRUE(test::readFile(path) == expected);
}

struct WriteCase {
    const char* name;
    std::string before;
    std::string after;
};

class IniWriteUsedLine : public ::testing::TestWithParam<WriteCase> { };

TEST_P(IniWriteUsedLine, ChangesOnlyTheOneLine)
{
    test::TempDir dir;
    const std::string path = dir.file("FileVersion.INI");
    test::writeFile(path, GetParam().before);
    ASSERT_TRUE(writeIniBool(systemFileWriter(), path, "spcialfunc", "used", false));
    EXPECT_EQ(test::readFile(path), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(, IniWriteUsedLine,
    ::testing::Values(
        WriteCase {"ValueReplaced",
            "; settings\r\n[Version]\r\nFileVersion=1.5 \r\n\r\n[SPCIALFUNC]\r\n  Used = 1  \r\nx=\x8B\x40\r\n",
            "; settings\r\n[Version]\r\nFileVersion=1.5 \r\n\r\n[SPCIALFUNC]\r\n  Used = 0  \r\nx=\x8B\x40\r\n"},
        WriteCase {"KeyAddedAtEndOfSection", "[spcialfunc]\r\nother=3\r\n\r\n[Next]\r\na=1\r\n",
            "[spcialfunc]\r\nother=3\r\nused=0\r\n\r\n[Next]\r\na=1\r\n"},
        WriteCase {
            "KeyAddedToLastLineWithoutLineEnd", "[spcialfunc]\r\nother=3", "[spcialfunc]\r\nother=3\r\nused=0\r\n"},
        WriteCase {"SectionAdded", "[View]\r\nValue=0", "[View]\r\nValue=0\r\n[spcialfunc]\r\nused=0\r\n"},
        WriteCase {"LineEndsOfTheFileKept", "[spcialfunc]\nused=1\n[View]\n", "[spcialfunc]\nused=0\n[View]\n"},
        WriteCase {"MisspeltSectionLeftAlone", "[specialfunc]\r\nused=1\r\n",
            "[specialfunc]\r\nused=1\r\n[spcialfunc]\r\nused=0\r\n"},
        WriteCase {"AlreadyClear", "[spcialfunc]\r\nused=0\r\n", "[spcialfunc]\r\nused=0\r\n"}),
    test::CaseName {});

TEST(IniWriteUsed, MissingFileIsCreated)
{
    test::TempDir dir;
    const std::string path = dir.file("FileVersion.INI");
    ASSERT_TRUE(writeIniBool(systemFileWriter(), path, "spcialfunc", "used", false));
    EXPECT_EQ(test::readFile(path), "[spcialfunc]\r\nused=0\r\n");
}

TEST(IniWriteUsed, FailedWriteKeepsTheFile)
{
    test::TempDir dir;
    const std::string path = dir.file("FileVersion.INI");
    const std::string before = "[View]\r\nValue=1\r\n[spcialfunc]\r\nused=1\r\n";
    test::writeFile(path, before);
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    EXPECT_FALSE(writeIniBool(failing, path, "spcialfunc", "used", false));
    EXPECT_EQ(test::readFile(path), before);
}

TEST(IniWriteUsed, UnreadableFileIsNotReplaced)
{
    test::TempDir dir;
    const std::string path = dir.file("FileVersion.INI");
    std::filesystem::create_directory(path); // exists, but cannot be read as a file
    EXPECT_FALSE(writeIniBool(systemFileWriter(), path, "spcialfunc", "used", false));
    EXPECT_TRUE(isDirectory(path));
}

} // namespace
} // namespace tess
