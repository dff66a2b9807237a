#pragma once

#include <cstdint>
#include <string>

namespace tess::comm {

// An advisory lock on a serial device for a whole transaction with a drive,
// which closes and opens the port between its phases: a lock file named
// after the device in the user's runtime folder, held with flock (a byte
// range lock on Windows) and
// holding the holder's process id and program name. Another Tessaline
// asking for the same device is refused and told who holds it. The lock
// goes with the object (or the process).
class PortLock {
public:
    enum class Result { Taken, Held, Failed };

    PortLock() = default;
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // Takes the lock of device; program names this process in the file.
    Result acquire(const std::string& folder, const std::string& device, const std::string& program);
    void release();

    // After Held: who holds it ("tessaline-cli, process 4711"). After
    // Failed: why the lock file could not be used.
    const std::string& holder() const { return m_said; }
    const std::string& path() const { return m_path; }

    // The lock file's path for device in folder.
    static std::string lockFilePath(const std::string& folder, const std::string& device);

private:
    // Who the lock file's contents name, as holder() tells it.
    static std::string holderOf(std::string said);

    std::intptr_t m_fd = -1; // a descriptor on Linux, a HANDLE on Windows
    std::string m_path;
    std::string m_said;
};

} // namespace tess::comm
