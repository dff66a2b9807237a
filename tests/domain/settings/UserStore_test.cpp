#include "domain/settings/UserStore.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tess {
namespace {

// The stores of these tests have names of their own: wine takes the
// program's CON.conf for the console, and a read of it never ends there.
TEST(FileUserStore, CreatedOnFirstWriteAndReadBackWithoutRegardToCase)
{
    test::TempDir dir;
    FileUserStore store(dir.file("config/tessaline/user.conf"));
    EXPECT_EQ(store.readString("COM"), "");
    ASSERT_TRUE(store.writeString("COM", "/dev/ttyUSB0"));
    ASSERT_TRUE(store.writeInteger("EIGO", 1));
    ASSERT_TRUE(store.writeString("com", "/dev/ttyS0"));
    EXPECT_EQ(store.readString("Com"), "/dev/ttyS0");
    EXPECT_EQ(store.readInteger("eigo"), 1);
    EXPECT_EQ(test::readFile(store.path()), "com=/dev/ttyS0\nEIGO=1\n");
}

TEST(FileUserStore, RefusesValuesThatWouldBreakTheLineFormat)
{
    test::TempDir dir;
    FileUserStore store(dir.file("user.conf"));
    EXPECT_FALSE(store.writeString("COM", "/dev/tty\nEIGO=1"));
    EXPECT_FALSE(store.writeString("A=B", "x"));
    EXPECT_FALSE(fileExists(store.path()));
}

TEST(FileUserStore, FailedWriteKeepsTheStore)
{
    test::TempDir dir;
    test::writeFile(dir.file("user.conf"), "COM=/dev/ttyS0\n");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    FileUserStore store(dir.file("user.conf"), failing);
    EXPECT_FALSE(store.writeString("COM", "/dev/ttyS1"));
    EXPECT_EQ(store.readString("COM"), "/dev/ttyS0");
}

// The file's name is the one settings have always been kept under; only
// its folder follows the system.
TEST(FileUserStore, DefaultPathIsTheProgramsOwnFile)
{
#ifdef _WIN32
    constexpr std::string_view ending = "\\Tessaline\\CON.conf";
#else
    constexpr std::string_view ending = "/tessaline/CON.conf";
#endif
    const std::string path = defaultUserStorePath();
    EXPECT_TRUE(path.ends_with(ending)) << path;
    EXPECT_GT(path.size(), ending.size()) << path;
}

struct PathCase {
    const char* name;
    const char* xdg;
    const char* home;
    std::string expected;
};

class UserStorePath : public ::testing::TestWithParam<PathCase> { };

TEST_P(UserStorePath, FollowsXdgConfigHome)
{
    EXPECT_EQ(userStorePath(GetParam().xdg, GetParam().home), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, UserStorePath,
    ::testing::Values(PathCase {"XdgConfigHome", "/x/cfg/", "/home/u", "/x/cfg/tessaline/CON.conf"},
        PathCase {"UnsetFallsBackToHome", nullptr, "/home/u", "/home/u/.config/tessaline/CON.conf"},
        PathCase {"RelativeIsIgnored", "cfg", "/home/u", "/home/u/.config/tessaline/CON.conf"},
        PathCase {"NeitherUsable", "", nullptr, ""}),
    test::CaseName {});

class UserDataFolder : public ::testing::TestWithParam<PathCase> { };

TEST_P(UserDataFolder, FollowsXdgDataHome)
{
    EXPECT_EQ(userDataFolderPath(GetParam().xdg, GetParam().home), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, UserDataFolder,
    ::testing::Values(PathCase {"XdgDataHome", "/x/data/", "/home/u", "/x/data/tessaline/"},
        PathCase {"UnsetFallsBackToHome", nullptr, "/home/u", "/home/u/.local/share/tessaline/"},
        PathCase {"RelativeIsIgnored", "data", "/home/u", "/home/u/.local/share/tessaline/"},
        PathCase {"NeitherUsable", "", nullptr, ""}),
    test::CaseName {});

} // namespace
} // namespace tess
