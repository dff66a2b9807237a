#include "cli/CliProcess.h"
#include "cli/CliRun.h"

#include "domain/common/FileIo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tess::cli {
namespace {

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

// What the next command prints about a .csv left from another save.
constexpr const char* CopyFromAnotherSave = "the readable copy (.csv) is from another save";

// A save killed at any moment leaves the data set whole, and its pair either
// agrees or is told as mixed by the next command; the next save or export then
// writes the matching copy. The moments are drawn from a fixed seed, so that
// a run that finds a fault can be repeated.
TEST_F(SaveTrial, KilledSavesLeaveAPairThatAgreesOrIsToldAndRepaired)
{
    // The moments span one whole save, and a little past its end.
    const auto started = std::chrono::steady_clock::now();
    CliProcess timed(setArgs(250), dir.file("err.txt"));
    ASSERT_EQ(timed.wait(), ExitDone) << test::readFile(dir.file("err.txt"));
    const auto saveTime
        = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    constexpr int Trials = 30;
    std::mt19937 random(20261211);
    std::uniform_int_distribution<std::int64_t> moment(0, saveTime.count() * 5 / 4);
    int killed = 0;
    int agreeing = 0;
    int repaired = 0;
    for (int trial = 0; trial < Trials; ++trial) {
        CliProcess save(setArgs(201 + trial), dir.file("err.txt"));
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(save.pid(), SIGKILL);
        killed += save.wait() == -SIGKILL ? 1 : 0;

        // The data set is whole whatever the moment: an export reads it
        // completely, and tells a .csv from another save.
        const std::string copy = dir.file("copy.csv");
        ASSERT_EQ(run({"export", csl, "-o", copy}), ExitDone) << "trial " << trial << ": " << err.str();
        if (err.str().find(CopyFromAnotherSave) == std::string::npos) {
            EXPECT_EQ(test::readFile(dir.file("out/c.csv")), test::readFile(copy)) << "trial " << trial;
            ++agreeing;
            continue;
        }
        // Told as mixed: a save and an export each write the matching copy.
        const std::vector<std::string> repair
            = trial % 2 == 0 ? std::vector<std::string> {"export", csl} : setArgs(201 + trial);
        ASSERT_EQ(run(repair), ExitDone) << "trial " << trial << ": " << err.str();
        expectMatchingPair();
        ASSERT_EQ(run({"show", csl}), ExitDone) << err.str();
        EXPECT_EQ(err.str().find(CopyFromAnotherSave), std::string::npos) << "trial " << trial << ": " << err.str();
        ++repaired;
    }
    EXPECT_EQ(agreeing + repaired, Trials);
    // A leftover of a killed save goes with the next save.
    ASSERT_EQ(run(setArgs(200)), ExitDone) << err.str();
    EXPECT_EQ(test::folderContents(dir.file("out")).size(), 2u) << "a temporary file was left";
    std::cout << "[ trials ] " << Trials << " saves killed at random moments (" << killed
              << " before they ended): " << agreeing << " pairs agreed, " << repaired
              << " mixed pairs told and repaired\n";
}

// Pairs of saves of one data set at once: each ends done, or refused with a
// message, never killed by a signal; the pair agrees after every pair and no
// temporary file stays.
TEST_F(SaveTrial, PairsOfConcurrentSavesEndCleanlyAndLeaveAPairThatAgrees)
{
    constexpr int Pairs = 12;
    int done = 0;
    int refused = 0;
    for (int pair = 0; pair < Pairs; ++pair) {
        std::vector<CliProcess> saves;
        for (int i = 0; i < 2; ++i)
            saves.emplace_back(setArgs(200 + pair * 2 + i), dir.file("err" + std::to_string(i) + ".txt"));
        for (int i = 0; i < 2; ++i) {
            const int status = saves[i].wait();
            const std::string message = test::readFile(dir.file("err" + std::to_string(i) + ".txt"));
            if (status == ExitDone) {
                ++done;
                continue;
            }
            ++refused;
            EXPECT_GT(status, 0) << "pair " << pair << ": ended by a signal";
            EXPECT_FALSE(message.empty()) << "pair " << pair << ": status " << status << " without a message";
        }
        expectMatchingPair();
        EXPECT_EQ(test::folderContents(dir.file("out")).size(), 2u) << "pair " << pair << ": a temporary file was left";
    }
    std::cout << "[ trials ] " << Pairs << " pairs of concurrent saves: " << done << " saves done, " << refused
              << " refused with a message, the pair agreeing after each\n";
}

} // namespace
} // namespace tess::cli
