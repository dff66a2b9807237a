#include "domain/settings/UserStore.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tess {
namespace {

TEST(FileUserStore, CreatedOnFirstWriteAndReadBackWithoutRegardToCase)
{
    test::TempDir dir;
    FileUserStore store(dir.file("config/tessaline/CON.conf"));
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
    FileUserStore store(dir.file("CON.conf"));
    EXPECT_FALSE(store.writeString("COM", "/dev/tty\nEIGO=1"));
    EXPECT_FALSE(store.writeString("A=B", "x"));
    EXPECT_FALSE(fileExists(store.path()));
}

TEST(FileUserStore, FailedWriteKeepsTheStore)
{
    test::TempDir dir;
    test::writeFile(dir.file("CON.conf"), "COM=/dev/ttyS0\n");
    test::FailingFileWriter failing([](int, const std::string&) { return true; });
    FileUserStore store(dir.file("CON.conf"), failing);
    EXPECT_FALSE(store.writeString("COM", "/dev/ttyS1"));
    EXPECT_EQ(store.readString("COM"), "/dev/ttyS0");
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
