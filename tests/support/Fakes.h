#pragma once

#include "core/common/Clock.h"
#include "core/common/FileIo.h"

#include <functional>
#include <string>

namespace tess::test {

// A writer that fails: for the calls that `shouldFail` picks (by call number,
// from 0, and path) it writes nothing and reports a failure; the others go to
// the real file system.
class FailingFileWriter : public FileWriter {
public:
    explicit FailingFileWriter(std::function<bool(int call, const std::string& path)> shouldFail)
        : m_shouldFail(std::move(shouldFail))
    {
    }
    bool replaceFile(const std::string& path, std::string_view bytes, IoError* error) override;
    int calls = 0;

private:
    std::function<bool(int, const std::string&)> m_shouldFail;
};

// A clock that moves only when told to (or when slept on).
class FakeClock : public Clock {
public:
    std::int64_t seconds() override { return m_ms / 1000; }
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

// Writes bytes to a file (creating folders on the way); for fixtures.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

} // namespace tess::test
