#include "cli/CliRun.h"

#include "domain/common/FileIo.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tess::cli {
namespace {

// The real program, run as a process of its own.
class CliProcess {
public:
    CliProcess(std::vector<std::string> args, const std::string& errFile)
    {
        args.insert(args.begin(), TESS_CLI);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, TESS_CLI, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    // The exit status; -signal when a signal ended it.
    int wait()
    {
        int status = 0;
        if (m_pid < 0 || ::waitpid(m_pid, &status, 0) != m_pid)
            return -1000;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }

    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

class SaveTrial : public CliRun {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        std::filesystem::create_directory(dir.file("out"));
        ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl}), ExitDone)
            << err.str();
    }

    std::vector<std::string> setArgs(int value) const
    {
        return {"set", "--install", dir.path(), "--lang", "en", csl, "A-3=" + std::to_string(value)};
    }

    // The .csv beside the .csl is the one an export of the .csl writes.
    void expectMatchingPair()
    {
        const std::string copy = dir.file("copy.csv");
        ASSERT_EQ(run({"export", csl, "-o", copy}), ExitDone) << err.str();
        EXPECT_EQ(test::readFile(dir.file("out/c.csv")), test::readFile(copy)) << "the pair disagrees";
    }

    const std::string csl = dir.file("out/c.csl");
};

// Two programs saving one data set (two windows, a window and a script) do
// not break each other: each save is whole, and the pair always agrees.
TEST_F(SaveTrial, ConcurrentSavesOfOnePairEachCompleteAndThePairAgrees)
{
    constexpr int Rounds = 4;
    constexpr int Concurrent = 4;
    for (int round = 0; round < Rounds; ++round) {
        std::vector<CliProcess> saves;
        for (int i = 0; i < Concurrent; ++i)
            saves.emplace_back(setArgs(200 + round * 10 + i), dir.file("err" + std::to_string(i) + ".txt"));
        for (int i = 0; i < Concurrent; ++i)
            EXPECT_EQ(saves[i].wait(), ExitDone)
                << "round " << round << ": " << test::readFile(dir.file("err" + std::to_string(i) + ".txt"));
        expectMatchingPair();
        const test::FolderContents files = test::folderContents(dir.file("out"));
        EXPECT_EQ(files.size(), 2u) << "round " << round << ": a temporary file was left";
    }
}

} // namespace
} // namespace tess::cli
