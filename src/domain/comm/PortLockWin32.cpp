#include "domain/comm/PortLock.h"

#include "domain/common/OwnProcess.h"
#include "domain/common/WideText.h"

#include <windows.h>

namespace tess::comm {
namespace {

// The lock is a byte range far beyond the holder's name, so that a
// process that finds the port held can still read who holds it.
constexpr DWORD LockOffsetHigh = 0x7FFFFFFF;

HANDLE toHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

PortLock::Result PortLock::acquire(const std::string& folder, const std::string& device, const std::string& program)
{
    release();
    m_said.clear();
    m_path = lockFilePath(folder, device);
    // The file is kept after use, as on Linux.
    const HANDLE handle = ::CreateFileW(widePath(m_path).c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_said = m_path + ": " + lastSystemErrorText();
        return Result::Failed;
    }
    OVERLAPPED range {};
    range.OffsetHigh = LockOffsetHigh;
    if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_LOCK_VIOLATION) {
            char buffer[256];
            DWORD got = 0;
            OVERLAPPED start {};
            const bool read = ::ReadFile(handle, buffer, sizeof buffer - 1, &got, &start) != 0;
            m_said = holderOf(read ? std::string(buffer, got) : std::string());
        } else {
            m_said = m_path + ": " + systemErrorText(error);
        }
        ::CloseHandle(handle);
        return error == ERROR_LOCK_VIOLATION ? Result::Held : Result::Failed;
    }
    m_fd = reinterpret_cast<std::intptr_t>(handle);
    const std::string said = std::to_string(ownProcessId()) + " " + program + "\n";
    DWORD written = 0;
    OVERLAPPED start {};
    if (!::WriteFile(handle, said.data(), static_cast<DWORD>(said.size()), &written, &start)
        || !::SetFilePointerEx(
            handle, LARGE_INTEGER {.QuadPart = static_cast<LONGLONG>(said.size())}, nullptr, FILE_BEGIN)
        || !::SetEndOfFile(handle)) {
        // The lock holds all the same; only its holder goes unnamed.
    }
    return Result::Taken;
}

void PortLock::release()
{
    if (m_fd == -1)
        return;
    const HANDLE handle = toHandle(m_fd);
    ::SetFilePointerEx(handle, LARGE_INTEGER {}, nullptr, FILE_BEGIN);
    // Closing lets the lock go whatever the file says.
    ::SetEndOfFile(handle);
    ::CloseHandle(handle);
    m_fd = -1;
}

} // namespace tess::comm
