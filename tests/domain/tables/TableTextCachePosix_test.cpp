// A kept read is given again only while the file on disk is the one read.
#include "domain/tables/TableFiles.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace tess::tables {
namespace {

constexpr const char* FirstText = "Cap,Name\r\n0,cap,1,2\r\n";

// The modification time of path set back to what it was.
void restoreModificationTime(const std::string& path, const struct stat& before)
{
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct CacheCase {
    const char* name;
    // What happens to the file between two reads (dir is the file's folder).
    std::function<void(const test::TempDir& dir, const std::string& path)> change;
    const char* secondLine; // line 1 of the second read; nothing when it fails
    bool keptReadGiven; // the second read is the first one's text
};

class TableTextCacheReads : public ::testing::TestWithParam<CacheCase> { };

TEST_P(TableTextCacheReads, GiveTheKeptTextOnlyForTheSameFile)
{
    const CacheCase& c = GetParam();
    test::TempDir dir;
    const std::string path = dir.file("MSEL_DEF.bkh");
    test::writeFile(path, FirstText);
    // Taken as settled at once: the file's time step is not what is tried here.
    TableTextCache cache(std::chrono::nanoseconds(0));

    const std::shared_ptr<const TableText> first = cache.read(path);
    ASSERT_TRUE(first);
    c.change(dir, path);
    IoError error;
    const std::shared_ptr<const TableText> second = cache.read(path, &error);

    if (!c.secondLine) {
        EXPECT_FALSE(second);
        EXPECT_EQ(error.path, path);
        EXPECT_FALSE(error.detail.empty());
        return;
    }
    ASSERT_TRUE(second);
    EXPECT_EQ(second->decodedLine(1), c.secondLine);
    EXPECT_EQ(second == first, c.keptReadGiven);
}

INSTANTIATE_TEST_SUITE_P(, TableTextCacheReads,
    ::testing::Values(CacheCase {"Unchanged", [](const test::TempDir&, const std::string&) {}, "0,cap,1,2", true},
        CacheCase {"Rewritten",
            [](const test::TempDir&, const std::string& path) { test::writeFile(path, "Cap,Name\r\n0,cap,1,2,3\r\n"); },
            "0,cap,1,2,3", false},
        // Same size, and the old modification time put back: the change time
        // still tells.
        CacheCase {"SameSizeOldTime",
            [](const test::TempDir&, const std::string& path) {
                struct stat before { };
                ASSERT_EQ(::stat(path.c_str(), &before), 0);
                test::writeFile(path, "Cap,Name\r\n0,cap,9,9\r\n");
                restoreModificationTime(path, before);
            },
            "0,cap,9,9", false},
        // Another file of the same size and time put in its place.
        CacheCase {"ReplacedByAnother",
            [](const test::TempDir& dir, const std::string& path) {
                struct stat before { };
                ASSERT_EQ(::stat(path.c_str(), &before), 0);
                const std::string other = dir.file("other.bkh");
                test::writeFile(other, "Cap,Name\r\n0,cap,7,7\r\n");
                restoreModificationTime(other, before);
                ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
            },
            "0,cap,7,7", false},
        CacheCase {"Removed", [](const test::TempDir&, const std::string& path) { std::remove(path.c_str()); }, nullptr,
            false}),
    test::CaseName {});

// A file changed less than the settled time before it was read could change
// again within its file system's time step without a trace: it is read anew.
TEST(TableTextCache, ReadsANewFileEachTime)
{
    test::TempDir dir;
    const std::string path = dir.file("MSEL_DEF.bkh");
    test::writeFile(path, FirstText);
    TableTextCache cache(std::chrono::hours(1));

    const std::shared_ptr<const TableText> first = cache.read(path);
    const std::shared_ptr<const TableText> second = cache.read(path);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(second->decodedLine(1), "0,cap,1,2");
}

} // namespace
} // namespace tess::tables
