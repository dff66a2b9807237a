#pragma once

#include "support/Fakes.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace tess::cli {

// The real program as a process of its own, its standard output dropped and
// its standard error kept in a file; killed if it still runs when it goes.
class CliProcess {
public:
    // In the test's own environment and working folder.
    CliProcess(std::vector<std::string> args, const std::string& errFile)
        : m_errFile(errFile)
    {
        spawn(std::move(args), environ, nullptr);
    }

    // With journal, runtime and home folders of its own below folder, which
    // is its working folder too (its writelog.txt goes there); its standard
    // error in folder + "stderr.txt".
    static CliProcess inFolder(std::vector<std::string> args, const std::string& folder)
    {
        std::vector<std::string> variables {
            "XDG_STATE_HOME=" + folder + "state", "XDG_RUNTIME_DIR=" + folder + "run", "HOME=" + folder + "home"};
        for (char** e = environ; *e; ++e) {
            const std::string_view v = *e;
            if (!v.starts_with("XDG_STATE_HOME=") && !v.starts_with("XDG_RUNTIME_DIR=") && !v.starts_with("HOME="))
                variables.emplace_back(v);
        }
        std::vector<char*> envp;
        for (std::string& v : variables)
            envp.push_back(v.data());
        envp.push_back(nullptr);
        return CliProcess(std::move(args), folder + "stderr.txt", envp.data(), folder);
    }

    ~CliProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            wait();
        }
    }
    CliProcess(CliProcess&& other) noexcept
        : m_pid(std::exchange(other.m_pid, -1))
        , m_errFile(std::move(other.m_errFile))
    {
    }
    CliProcess& operator=(CliProcess&&) = delete;

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
    void kill9() { ::kill(m_pid, SIGKILL); }
    std::string errText() const { return test::readFile(m_errFile); }

private:
    CliProcess(std::vector<std::string> args, std::string errFile, char** envp, const std::string& folder)
        : m_errFile(std::move(errFile))
    {
        spawn(std::move(args), envp, folder.c_str());
    }

    void spawn(std::vector<std::string> args, char** envp, const char* workingFolder)
    {
        args.insert(args.begin(), TESS_CLI);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (workingFolder)
            posix_spawn_file_actions_addchdir_np(&actions, workingFolder);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(
            &actions, STDERR_FILENO, m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, TESS_CLI, &actions, nullptr, argv.data(), envp) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    pid_t m_pid = -1;
    std::string m_errFile;
};

} // namespace tess::cli
