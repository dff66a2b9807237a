#pragma once

// What the benchmark programs share: a Ui that stays quiet, a scratch
// folder removed at exit, and the timing of a floor to set a benchmark
// against.

#include "app/common/Ui.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

namespace tess::bench {

class QuietUi final : public Ui {
public:
    void showMessage(const Message&, Language) override { ++messages; }
    Answer ask(const Message&, const Message&, Buttons, Language) override { return Answer::Cancel; }
    void setBusy(bool) override { }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const FileDialogRequest&) override { return std::nullopt; }
    // The benchmarks write made-up values, whatever their rows allow.
    bool confirmSendingNotAllowed(const Message&, const Message&, Language) override { return true; }
    int messages = 0;
};

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaline-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern + "/";
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// The mean seconds of one run of work, run again and again for at least
// `minimum`: the floor a benchmark's own time is set against in the same run.
template <typename Work>
double secondsPerRun(Work&& work, std::chrono::duration<double> minimum = std::chrono::milliseconds(300))
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    std::int64_t runs = 0;
    Clock::duration elapsed {};
    do {
        work();
        ++runs;
        elapsed = Clock::now() - start;
    } while (elapsed < minimum);
    return std::chrono::duration<double>(elapsed).count() / static_cast<double>(runs);
}

// Times the benchmark loop itself, so that its mean can be set against a
// floor measured in the same run.
class LoopTimer {
public:
    LoopTimer()
        : m_start(std::chrono::steady_clock::now())
    {
    }
    double secondsPerIteration(const benchmark::State& state) const
    {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
        return state.iterations() > 0 ? elapsed.count() / static_cast<double>(state.iterations()) : 0.0;
    }

private:
    std::chrono::steady_clock::time_point m_start;
};

// Files just written are read again by every load until they have stood
// unchanged for two seconds (the capacity default files' cache does not
// trust a newer file); an installed program's files have.
inline void waitUntilSettled()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
}

} // namespace tess::bench
