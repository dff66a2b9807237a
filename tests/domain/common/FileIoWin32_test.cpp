#include "domain/common/FileIo.h"
#include "domain/common/WideText.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <windows.h>

namespace tess {
namespace {

DWORD attributesOf(const std::string& path)
{
    return ::GetFileAttributesW(widePath(path).c_str());
}

struct AttributeCase {
    const char* name;
    DWORD attributes;
};

class KeptAttributes : public ::testing::TestWithParam<AttributeCase> { };

// What the user set on the file (hidden, system, not indexed) stays with
// it after a save.
TEST_P(KeptAttributes, AreThoseOfTheReplacedFile)
{
    test::TempDir dir;
    const std::string path = dir.file("pump.csl");
    test::writeFile(path, "old");
    ASSERT_TRUE(::SetFileAttributesW(widePath(path).c_str(), GetParam().attributes));
    IoError error;
    ASSERT_TRUE(systemFileWriter().replaceFile(path, "new", &error)) << error.detail;
    EXPECT_EQ(test::readFile(path), "new");
    constexpr DWORD userSet = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    EXPECT_EQ(attributesOf(path) & userSet, GetParam().attributes & userSet);
}

INSTANTIATE_TEST_SUITE_P(, KeptAttributes,
    ::testing::Values(AttributeCase {"Plain", FILE_ATTRIBUTE_NORMAL}, AttributeCase {"Hidden", FILE_ATTRIBUTE_HIDDEN},
        AttributeCase {"HiddenSystem", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}),
    test::CaseName {});

struct RefusedCase {
    const char* name;
    // Makes path what is refused; what it returns is held until the end of
    // the test (a handle another program would hold).
    std::function<HANDLE(const std::string& path)> make;
    std::string reason;
};

class RefusedPath : public ::testing::TestWithParam<RefusedCase> { };

// A file the save may not or cannot replace is left as it is, and the
// reason is named; nothing is left behind.
TEST_P(RefusedPath, IsLeftAsItIsAndNamed)
{
    test::TempDir dir;
    const std::string path = dir.file("pump.csl");
    test::writeFile(path, "old");
    const HANDLE held = GetParam().make(path);
    IoError error;
    EXPECT_FALSE(systemFileWriter().replaceFile(path, "new", &error));
    EXPECT_EQ(error.path, path);
    EXPECT_EQ(error.detail, GetParam().reason);
    if (held != INVALID_HANDLE_VALUE)
        ::CloseHandle(held);
    ::SetFileAttributesW(widePath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(test::folderContents(dir.path()), (test::FolderContents {{"pump.csl", "old"}}));
}

INSTANTIATE_TEST_SUITE_P(, RefusedPath,
    ::testing::Values(RefusedCase {"ReadOnly",
                          [](const std::string& path) {
                              ::SetFileAttributesW(widePath(path).c_str(), FILE_ATTRIBUTE_READONLY);
                              return INVALID_HANDLE_VALUE;
                          },
                          "is read-only"},
        // A spreadsheet that has the file open lets others read it, no
        // more. The sharing rules are those of each open handle, whichever
        // process holds it.
        RefusedCase {"OpenElsewhereForReadingOnly",
            [](const std::string& path) {
                return ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
            },
            "is in use by another program"},
        RefusedCase {"OpenElsewhereExclusively",
            [](const std::string& path) {
                return ::CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
            },
            "is in use by another program"}),
    test::CaseName {});

TEST(FileWriter, RefusesAFolder)
{
    test::TempDir dir;
    ::CreateDirectoryW(widePath(dir.file("pump.csl")).c_str(), nullptr);
    IoError error;
    EXPECT_FALSE(systemFileWriter().replaceFile(dir.file("pump.csl"), "new", &error));
    EXPECT_EQ(error.detail, "is a folder");
}

// Names are UTF-8 inside the program and UTF-16 to Windows: a data set
// with a Japanese name is saved, found, listed and read under that name.
TEST(FileWriter, JapaneseNamesRoundTrip)
{
    test::TempDir dir;
    const std::string folder = dir.file("\xE3\x83\x9D\xE3\x83\xB3\xE3\x83\x97"); // ポンプ
    IoError error;
    ASSERT_TRUE(makeFolders(folder, 0755, &error)) << error.detail;
    const std::string stem = folder + "/\xE8\xA8\xAD\xE5\xAE\x9A"; // 設定
    const std::vector<FileReplacement> pair {{stem + ".csl", "data set"}, {stem + ".csv", "copy"}};
    ASSERT_EQ(systemFileWriter().replaceFiles(pair, &error), 2u) << error.detail;
    std::vector<std::string> names = folderEntries(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> {"\xE8\xA8\xAD\xE5\xAE\x9A.csl", "\xE8\xA8\xAD\xE5\xAE\x9A.csv"}));
    for (const FileReplacement& file : pair) {
        std::string bytes;
        EXPECT_TRUE(fileExists(file.path)) << file.path;
        EXPECT_TRUE(readFileBytes(file.path, bytes, &error)) << error.detail;
        EXPECT_EQ(bytes, file.bytes);
        EXPECT_TRUE(fileStamp(file.path).has_value());
    }
    EXPECT_TRUE(copyFileSafely(stem + ".csl", stem + "2.csl", systemFileWriter(), &error)) << error.detail;
    EXPECT_EQ(test::readFile(stem + "2.csl"), "data set");
}

} // namespace
} // namespace tess
