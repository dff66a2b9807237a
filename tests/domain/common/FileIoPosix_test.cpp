#include "domain/common/FileIo.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tess {
namespace {

bool holdsTemporaryFile(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(TemporaryFileMarker) != std::string::npos)
            return true;
    return false;
}

std::string namePartOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

mode_t permissionsOf(const std::string& path)
{
    struct stat st { };
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct ModeCase {
    const char* name;
    mode_t mode;
};

class KeptPermissions : public ::testing::TestWithParam<ModeCase> { };

// The replacement is the same file to whoever may read or change it.
TEST_P(KeptPermissions, AreThoseOfTheReplacedFile)
{
    test::TempDir dir;
    const std::string path = dir.file("pump.csl");
    test::writeFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), GetParam().mode), 0);
    IoError error;
    ASSERT_TRUE(systemFileWriter().replaceFile(path, "new", &error)) << error.detail;
    EXPECT_EQ(test::readFile(path), "new");
    EXPECT_EQ(permissionsOf(path), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(, KeptPermissions,
    ::testing::Values(ModeCase {"Private", 0600}, ModeCase {"GroupReads", 0640}, ModeCase {"GroupWrites", 0664},
        ModeCase {"Executable", 0755}),
    test::CaseName {});

TEST(FileWriter, KeepsOwnerAndGroupWhereAllowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only a privileged process may give a file to another user";
    test::TempDir dir;
    const std::string path = dir.file("pump.csl");
    test::writeFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
    ASSERT_TRUE(systemFileWriter().replaceFile(path, "new", nullptr));
    struct stat st { };
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
}

TEST(FileWriter, NewFileGetsThePermissionsOfAnyNewFile)
{
    test::TempDir dir;
    const mode_t mask = ::umask(022);
    const bool written = systemFileWriter().replaceFile(dir.file("new.csl"), "x", nullptr);
    ::umask(mask);
    ASSERT_TRUE(written);
    EXPECT_EQ(permissionsOf(dir.file("new.csl")), 0644);
}

struct LinkCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links; // name, where it points (relative to the folder)
    std::string named; // the path saved to
    std::string target; // the file that gets the contents
    bool targetExisted;
};

class LinkedPath : public ::testing::TestWithParam<LinkCase> { };

// A link the user keeps (to a shared folder, say) stays a link; the file it
// leads to is the one that is saved.
TEST_P(LinkedPath, ReplacesTheFileTheLinkLeadsTo)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("real"));
    if (GetParam().targetExisted) {
        test::writeFile(dir.file(GetParam().target), "old");
        ASSERT_EQ(::chmod(dir.file(GetParam().target).c_str(), 0600), 0);
    }
    for (const auto& [name, to] : GetParam().links)
        std::filesystem::create_symlink(to == "ABSOLUTE" ? dir.file(GetParam().target) : to, dir.file(name));

    IoError error;
    ASSERT_TRUE(systemFileWriter().replaceFile(dir.file(GetParam().named), "new", &error)) << error.detail;
    for (const auto& [name, to] : GetParam().links)
        EXPECT_TRUE(std::filesystem::is_symlink(dir.file(name))) << name;
    EXPECT_EQ(test::readFile(dir.file(GetParam().target)), "new");
    if (GetParam().targetExisted) {
        EXPECT_EQ(permissionsOf(dir.file(GetParam().target)), 0600u);
    }
    EXPECT_FALSE(holdsTemporaryFile(dir.file("real")));
}

INSTANTIATE_TEST_SUITE_P(, LinkedPath,
    ::testing::Values(LinkCase {"RelativeLink", {{"pump.csl", "real/pump.csl"}}, "pump.csl", "real/pump.csl", true},
        LinkCase {"AbsoluteLink", {{"pump.csl", "ABSOLUTE"}}, "pump.csl", "real/pump.csl", true},
        LinkCase {"LinkToLink", {{"real/b.csl", "pump.csl"}, {"a.csl", "real/b.csl"}}, "a.csl", "real/pump.csl", true},
        LinkCase {"LinkInsideLinkedFolder", {{"real/b.csl", "pump.csl"}, {"folder", "real"}}, "folder/b.csl",
            "real/pump.csl", true},
        LinkCase {"DanglingLink", {{"pump.csl", "real/pump.csl"}}, "pump.csl", "real/pump.csl", false}),
    test::CaseName {});

struct RefusedCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::string reason;
};

class RefusedPath : public ::testing::TestWithParam<RefusedCase> { };

// What is not a writable regular file is not replaced by one.
TEST_P(RefusedPath, IsLeftAsItIsAndNamed)
{
    test::TempDir dir;
    const std::string path = dir.file("out.csl");
    GetParam().make(path);
    struct stat before { };
    ASSERT_EQ(::lstat(path.c_str(), &before), 0);

    IoError error;
    EXPECT_FALSE(systemFileWriter().replaceFile(path, "new", &error));
    EXPECT_EQ(error.path, path);
    EXPECT_EQ(error.detail, GetParam().reason);
    struct stat after { };
    ASSERT_EQ(::lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_FALSE(holdsTemporaryFile(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(, RefusedPath,
    ::testing::Values(RefusedCase {"ReadOnlyFile",
                          [](const std::string& path) {
                              test::writeFile(path, "old");
                              ::chmod(path.c_str(), 0444);
                          },
                          "is read-only"},
        RefusedCase {"Fifo", [](const std::string& path) { ::mkfifo(path.c_str(), 0644); }, "is not a regular file"},
        RefusedCase {"LinkToDevice",
            [](const std::string& path) { std::filesystem::create_symlink("/dev/null", path); },
            "is not a regular file"},
        RefusedCase {"Folder", [](const std::string& path) { std::filesystem::create_directory(path); }, "is a folder"},
        RefusedCase {"LinkLoop", [](const std::string& path) { std::filesystem::create_symlink(path, path); },
            std::strerror(ELOOP)}),
    test::CaseName {});

// Only regular files are read; a FIFO is refused at once rather than
// waited on for a writer.
TEST(ReadFileBytes, RefusesWhatIsNoRegularFileWithoutWaiting)
{
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo.csl").c_str(), 0644), 0);
    std::filesystem::create_directory(dir.file("folder.csl"));
    const std::vector<std::pair<std::string, std::string>> cases {
        {dir.file("fifo.csl"), "is not a regular file"},
        {dir.file("folder.csl"), "is a folder"},
        {dir.file("missing.csl"), std::strerror(ENOENT)},
    };
    for (const auto& [path, reason] : cases) {
        std::string bytes = "stale";
        IoError error;
        EXPECT_FALSE(readFileBytes(path, bytes, &error)) << path;
        EXPECT_EQ(error.path, path);
        EXPECT_EQ(error.detail, reason);
        EXPECT_TRUE(bytes.empty());
    }
}

struct LongNameCase {
    const char* name;
    std::string stem; // the file name without ".csl": 230 to 255 bytes with it
};

std::string repeated(std::string_view piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

class LongName : public ::testing::TestWithParam<LongNameCase> { };

// A name as long as the file system takes is saved like any other, with
// the .csv of the same name beside it: their temporary names, which are
// longer than the names themselves, must still be told apart.
TEST_P(LongName, SavesThePairAndLeavesNoTemporaryBehind)
{
    test::TempDir dir;
    const std::string csl = dir.file(GetParam().stem + ".csl");
    const std::string csv = dir.file(GetParam().stem + ".csv");
    test::writeFile(csl, "old csl");
    test::writeFile(dir.file(GetParam().stem + ".csv"), "old csv");
    const std::vector<FileReplacement> pair {{csl, "new csl"}, {csv, "new csv"}};
    IoError error;
    ASSERT_EQ(systemFileWriter().replaceFiles(pair, &error), 2u) << error.path << ": " << error.detail;
    EXPECT_EQ(test::folderContents(dir.path()),
        (test::FolderContents {{GetParam().stem + ".csl", "new csl"}, {GetParam().stem + ".csv", "new csv"}}));
}

INSTANTIATE_TEST_SUITE_P(, LongName,
    ::testing::Values(LongNameCase {"Ascii230", std::string(226, 'a')},
        LongNameCase {"Ascii251", std::string(247, 'b')}, LongNameCase {"Ascii255", std::string(251, 'c')},
        LongNameCase {"Utf8Of253", repeated("\xE3\x81\x82", 83)}, // あ x 83
        LongNameCase {"Utf8CutMidCharacter", "x" + repeated("\xE3\x81\x82", 82)},
        LongNameCase {"Cp932Of254", repeated("\x82\xA0", 125)}), // あ in CP932 x 125
    test::CaseName {});

struct HardLinkCase {
    const char* name;
    std::string other; // the second name of each file, relative to the folder
};

class HardLinked : public ::testing::TestWithParam<HardLinkCase> { };

// A data set with a second name (a link in a project folder and one in a
// backup folder) is one file: a save through one name shows through both,
// and the file keeps both names.
TEST_P(HardLinked, SaveShowsThroughEveryName)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("backup"));
    const std::vector<std::string> names {"pump.csl", "pump.csv"};
    for (const std::string& name : names) {
        test::writeFile(dir.file(name), "old " + name);
        std::filesystem::create_hard_link(dir.file(name), dir.file(GetParam().other + name));
    }
    const std::vector<FileReplacement> pair {
        {dir.file("pump.csl"), "new data set"}, {dir.file("pump.csv"), "new copy"}};
    IoError error;
    ASSERT_EQ(systemFileWriter().replaceFiles(pair, &error), 2u) << error.detail;
    for (const FileReplacement& file : pair) {
        const std::string other = dir.file(GetParam().other + namePartOf(file.path));
        EXPECT_EQ(test::readFile(file.path), file.bytes);
        EXPECT_EQ(test::readFile(other), file.bytes);
        EXPECT_TRUE(sameFile(file.path, other));
    }
    EXPECT_FALSE(holdsTemporaryFile(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(, HardLinked,
    ::testing::Values(HardLinkCase {"OtherFolder", "backup/"}, HardLinkCase {"SameFolder", "copy-of-"}),
    test::CaseName {});

// The PDF printer writes to a file it is given by name: it gets a temporary
// one, and the target is replaced only when the printout is complete.
TEST(ReplaceFileMadeBy, ReplacesTheTargetOnlyWithACompleteFile)
{
    test::TempDir dir;
    const std::string path = dir.file("print.pdf");
    test::writeFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    const auto writeWhole = [](const std::string& temporary) {
        EXPECT_NE(temporary.find("/.print.pdf" + std::string(TemporaryFileMarker)), std::string::npos) << temporary;
        test::writeFile(temporary, "%PDF complete");
        return true;
    };
    IoError error;
    ASSERT_TRUE(replaceFileMadeBy(systemFileWriter(), path, writeWhole, &error)) << error.detail;
    EXPECT_EQ(test::folderContents(dir.path()), (test::FolderContents {{"print.pdf", "%PDF complete"}}));
    EXPECT_EQ(permissionsOf(path), 0600u);

    const auto failHalfway = [](const std::string& temporary) {
        test::writeFile(temporary, "%PDF half");
        return false;
    };
    EXPECT_FALSE(replaceFileMadeBy(systemFileWriter(), path, failHalfway, &error));
    EXPECT_TRUE(error.path.empty()); // the printer has said why
    EXPECT_EQ(test::folderContents(dir.path()), (test::FolderContents {{"print.pdf", "%PDF complete"}}));
}

} // namespace
} // namespace tess
