// Several data files in one command: each is a transaction of its own, with
// the outcome the same command has on that file alone.
#include "cli/Runner.h"

#include "domain/common/FileIo.h"

#include "cli/CliRun.h"
#include "support/CaseName.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace tess::cli {
namespace {

struct BatchCase {
    const char* name;
    std::string command;
    std::vector<std::string> files; // data sets by name: a, c (QM71), b (LX71RTP), bad (no data set)
    std::vector<std::string> after; // the arguments after the files
    int status;
    std::vector<std::string> untouched; // the files the command must leave as they were
    bool messagesNameFiles; // every line of the messages is led by the name of a file it left untouched
};

class CliBatch : public CliRun, public ::testing::WithParamInterface<BatchCase> {
protected:
    // The same data sets in two folders: one for the command on each file
    // alone, one for the command on all of them.
    void SetUp() override
    {
        CliRun::SetUp();
        for (const std::string folder : {"alone", "together"}) {
            std::filesystem::create_directories(dir.file(folder));
            makeDataSet(folder, "a", {"--model", "QM71", "--capacity", "1R122", "--rom", "01-A1"});
            makeDataSet(folder, "b", {"--model", "LX71RTP", "--capacity", "2R222"});
            makeDataSet(folder, "c", {"--model", "QM71", "--capacity", "1122", "--rom", "01-A1"});
            test::writeFile(path(folder, "bad", ".csl"), "no data set\r\n");
        }
    }

    void makeDataSet(const std::string& folder, const std::string& name, std::vector<std::string> choice)
    {
        std::vector<std::string> args {"new"};
        args.insert(args.end(), choice.begin(), choice.end());
        args.insert(args.end(), {"-o", path(folder, name, ".csl")});
        ASSERT_EQ(run(args), ExitDone) << err.str();
    }

    std::string path(const std::string& folder, const std::string& name, const std::string& extension) const
    {
        return dir.file(folder + "/" + name + extension);
    }

    std::vector<std::string> commandLine(const std::string& folder, const std::vector<std::string>& names) const
    {
        const BatchCase& c = GetParam();
        std::vector<std::string> args {c.command};
        for (const std::string& name : names)
            args.push_back(path(folder, name, ".csl"));
        args.insert(args.end(), c.after.begin(), c.after.end());
        return args;
    }
};

TEST_P(CliBatch, HandlesEachFileAsOnItsOwn)
{
    const BatchCase& c = GetParam();
    const auto untouched = [&](const std::string& name) {
        return std::find(c.untouched.begin(), c.untouched.end(), name) != c.untouched.end();
    };
    // Each file alone gives the files the command should give it among others.
    for (const std::string& name : c.files) {
        if (untouched(name))
            continue;
        ASSERT_EQ(run(commandLine("alone", {name})), ExitDone) << name << ": " << err.str();
    }

    const std::vector<std::string> together = commandLine("together", c.files);
    EXPECT_EQ(run(together), c.status) << err.str();

    for (const std::string& name : c.files)
        for (const std::string extension : {".csl", ".csv"}) {
            SCOPED_TRACE(name + extension);
            const std::string file = path("together", name, extension);
            EXPECT_EQ(fileExists(file), fileExists(path("alone", name, extension)));
            if (fileExists(file)) {
                EXPECT_EQ(test::readFile(file), test::readFile(path("alone", name, extension)));
            }
        }
    if (c.messagesNameFiles) {
        for (const std::string& line : linesOf(err.str()))
            EXPECT_TRUE(std::any_of(c.untouched.begin(), c.untouched.end(), [&](const std::string& name) {
                return line.starts_with(path("together", name, ".csl") + ": ");
            })) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliBatch,
    ::testing::Values(BatchCase {"ExportAllGood", "export", {"a", "b", "c"}, {}, ExitDone, {}, true},
        BatchCase {"ExportOneRefusedInTheMiddle", "export", {"a", "bad", "c"}, {}, ExitRefused, {"bad"}, true},
        BatchCase {"SetAllGood", "set", {"a", "c"}, {"A-3=210", "Fund.-3=12.5"}, ExitDone, {}, true},
        BatchCase {"SetOneRefusedInTheMiddle", "set", {"a", "bad", "c"}, {"A-3=210"}, ExitRefused, {"bad"}, true},
        // LX71RTP has no A-56.
        BatchCase {
            "SetEntryRefusedByOneModel", "set", {"a", "b", "c"}, {"A-3=210", "A-56=0"}, ExitRefused, {"b"}, true},
        BatchCase {"ExportOfSeveralToOneOutput", "export", {"a", "c"}, {"-o", "x.csv"}, ExitUsage, {"a", "c"}, false}),
    test::CaseName {});

TEST_F(CliRun, ShowOfSeveralFilesThroughAPipeLeadsEachLineWithItsFile)
{
    const std::string a = dir.file("a.csl");
    const std::string b = dir.file("b.csl");
    ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", a}), ExitDone);
    ASSERT_EQ(run({"new", "--model", "LX71RTP", "--capacity", "2R222", "-o", b}), ExitDone);
    std::vector<std::string> expected;
    for (const std::string& file : {a, b}) {
        ASSERT_EQ(run({"show", file, "--area", "A"}), ExitDone);
        for (const std::string& line : linesOf(out.str()))
            expected.push_back(file + "\t" + line);
    }

    ASSERT_EQ(run({"show", a, b, "--area", "A"}), ExitDone) << err.str();
    EXPECT_EQ(linesOf(out.str()), expected);
}

} // namespace
} // namespace tess::cli
