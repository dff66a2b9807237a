#pragma once

#include "domain/common/Clock.h"
#include "domain/common/FileIo.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tess::test {

// A writer that fails: for the files that `shouldFail` picks (by call of
// prepare, from 0, and path) it writes nothing and reports a failure, as a
// full disk does; a file that `renameFails` picks (by path) is not put in
// place by commit, nor any after it. Everything else goes to the real file
// system.
class FailingFileWriter : public FileWriter {
public:
    explicit FailingFileWriter(std::function<bool(int call, const std::string& path)> shouldFail,
        std::function<bool(const std::string& path)> renameFails = {})
        : m_shouldFail(std::move(shouldFail))
        , m_renameFails(std::move(renameFails))
    {
    }
    std::optional<PendingFile> prepare(const std::string& path, std::string_view bytes, IoError* error) override;
    std::size_t commit(std::span<PendingFile> files, IoError* error) override;
    int calls = 0;

private:
    std::function<bool(int, const std::string&)> m_shouldFail;
    std::function<bool(const std::string&)> m_renameFails;
};

// The regular files of a folder (not of its subfolders), by name.
using FolderContents = std::map<std::string, std::string>;
FolderContents folderContents(const std::string& folder);

// A writer that stops for good after `steps` steps, as a process that is
// killed: a file prepared counts one step, a file put in place one. What it
// has done stays on disk; `leftOnDisk` is the folder as it was at the moment
// it stopped (nothing when it never did), before any clean-up of its caller.
class StoppingFileWriter : public FileWriter {
public:
    StoppingFileWriter(int steps, std::string folder)
        : m_steps(steps)
        , m_folder(std::move(folder))
    {
    }
    std::optional<PendingFile> prepare(const std::string& path, std::string_view bytes, IoError* error) override;
    std::size_t commit(std::span<PendingFile> files, IoError* error) override;
    std::optional<FolderContents> leftOnDisk;

private:
    bool step(const std::string& path, IoError* error);

    int m_steps;
    std::string m_folder;
};

// A clock that moves only when told to (or when slept on).
class FakeClock : public Clock {
public:
    std::int64_t seconds() override { return m_ms / 1000; }
    std::int64_t wallMilliseconds() override { return m_ms; }
    std::int64_t milliseconds() override { return m_ms; }
    void sleepMs(int ms) override { m_ms += ms; }
    void advanceMs(std::int64_t ms) { m_ms += ms; }

private:
    std::int64_t m_ms = 1'000'000;
};

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // With a trailing '/'.
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Takes the write permission off a folder and every folder in it for its
// lifetime, as a system installation is to its users. Root writes all the
// same: what the program tries is decided by its own check, which tests
// fake. Declare it after the TempDir it locks, so that it goes first.
class ReadOnlyTree {
public:
    explicit ReadOnlyTree(std::string folder);
    ~ReadOnlyTree();
    ReadOnlyTree(const ReadOnlyTree&) = delete;
    ReadOnlyTree& operator=(const ReadOnlyTree&) = delete;

private:
    std::vector<std::string> m_folders;
};

// Writes bytes to a file (creating folders on the way); for fixtures.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// A path as the system's own calls give it back: with '\' between the
// names on Windows, as it is on Linux.
std::string nativePath(const std::string& path);
// The system's reason why the file path cannot be opened when it is not
// there, in the words the file calls report it in (on Windows a missing
// file and a missing folder on the way have reasons of their own).
std::string missingReason(const std::string& path);

} // namespace tess::test
