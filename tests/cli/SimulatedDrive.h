#pragma once

// The simulated inverter program on the master side of a pseudo-terminal,
// and a fixture of a data set held by it and a changed copy.
#include "cli/CliRun.h"

#include "domain/common/FileIo.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tess::cli {

// The simulated inverter program serving a data set. Its standard error
// tells how many words it has stored ("12 words written"); that count is
// the drive's own record of what a command sent it.
class SimulatedDrive {
public:
    SimulatedDrive() = default;
    ~SimulatedDrive() { stop(); }
    SimulatedDrive(const SimulatedDrive&) = delete;
    SimulatedDrive& operator=(const SimulatedDrive&) = delete;

    // Starts the program with args (options, then the data set); the slave
    // device's path, or "" when it did not come up.
    std::string start(const std::vector<std::string>& args)
    {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            return {};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        std::vector<std::string> words {TESS_SIMINVERTER};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        m_out = out[0];
        m_err = err[0];
        if (spawned != 0) {
            m_pid = -1;
            return {};
        }
        // The first line on its standard output is the device.
        std::string line;
        while (line.find('\n') == std::string::npos && readSome(m_out, line, 10000)) { }
        return line.substr(0, line.find('\n'));
    }

    // The words stored so far; waits up to timeoutMs for the count to change.
    int wordsWritten(int timeoutMs = 0)
    {
        while (readSome(m_err, m_errText, timeoutMs))
            timeoutMs = 0;
        return lastCount();
    }

    // The words stored once the program has told nothing new for quietMs.
    // After a writer was killed, a word it left on the line is still taken
    // and told, later on a loaded machine than any fixed wait allows for.
    int wordsWrittenOnceQuiet(int quietMs)
    {
        while (readSome(m_err, m_errText, quietMs)) { }
        return lastCount();
    }

    // Ends the program; the words it stored in all.
    int stop()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            while (readSome(m_err, m_errText, 10000)) { }
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
        for (int* fd : {&m_out, &m_err})
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        return lastCount();
    }

private:
    // Appends what fd has within timeoutMs; false at its end or when nothing came.
    static bool readSome(int fd, std::string& text, int timeoutMs)
    {
        pollfd input {fd, POLLIN, 0};
        if (fd < 0 || ::poll(&input, 1, timeoutMs) != 1)
            return false;
        char buffer[256];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        text.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    int lastCount() const
    {
        const std::string_view suffix = " words written\n";
        const std::size_t end = m_errText.rfind(suffix);
        if (end == std::string::npos)
            return 0;
        const std::size_t newline = m_errText.rfind('\n', end);
        const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
        return std::stoi(m_errText.substr(start, end - start));
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    std::string m_errText;
};

// A QM71 data set held by the drive ("held.csl", the table's defaults) and
// a copy of it with Fund.-3 (word 3) changed from 10.0 to 12.5
// ("changed.csl"); the transfers keep their log in the test's folder.
class CliDrive : public CliRun {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        env.workFolder = dir.path();
        held = dir.file("held.csl");
        changed = dir.file("changed.csl");
        ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", held}), ExitDone)
            << err.str();
        ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", changed}), ExitDone);
        ASSERT_EQ(run({"set", changed, "Fund.-3=12.5"}), ExitDone) << err.str();
    }

    // The drive started on the held data set with the options before it.
    void startDrive(std::vector<std::string> options = {})
    {
        options.push_back(held);
        port = drive.start(options);
        ASSERT_TRUE(port.starts_with("/dev/")) << "the simulated inverter did not start";
    }

    struct WriteOutcome {
        int status = -1;
        bool writing = false; // the drive took a word before the deadline
    };

    // Writes area C (48 words, some seconds of writing) on a thread of its
    // own; once the drive has taken a word, or after 30 seconds without one,
    // meanwhile(writing) runs beside the write, which is then waited for.
    template <typename Meanwhile> WriteOutcome writeAreaC(Meanwhile meanwhile)
    {
        WriteOutcome outcome;
        std::thread command([&] {
            outcome.status = run({"write", changed, "--port", port, "--from", "C", "--to", "C"});
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!outcome.writing && std::chrono::steady_clock::now() < deadline)
            outcome.writing = drive.wordsWritten(100) > 0;
        meanwhile(outcome.writing);
        command.join();
        return outcome;
    }

    // The same write stopped by signal as a terminal or a service sends it,
    // the signal's handling left to the program as it is outside the tests.
    WriteOutcome writeAreaCStoppedBy(int signal)
    {
        void (*previous)(int) = std::signal(signal, SIG_DFL);
        const WriteOutcome outcome = writeAreaC([signal](bool writing) {
            if (writing)
                std::raise(signal);
        });
        std::signal(signal, previous);
        return outcome;
    }

    std::string held;
    std::string changed;
    SimulatedDrive drive;
    std::string port;
};

} // namespace tess::cli
