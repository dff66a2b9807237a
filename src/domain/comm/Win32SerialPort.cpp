#include "domain/comm/Win32SerialPort.h"

#include "domain/comm/Win32Text.h"

#include <algorithm>
#include <windows.h>

namespace tess::comm {
namespace {

constexpr std::string_view InUseReason = "is in use by another program";
// How long one write may wait for room in the driver's output buffer, and
// per byte on top of that: a byte takes 1.04 ms at 9600 baud.
constexpr DWORD WriteRoomTimeoutMs = 1000;
constexpr DWORD WriteMsPerByte = 2;
// A wait for input takes what comes until the line has been quiet this long
// (a byte takes 1.04 ms at 9600 baud), so that a reply costs a few waits and
// not one per byte. Past the last byte of a reply the link learns of it this
// much later.
constexpr DWORD QuietGapMs = 1;
// The most one wait takes: more than the longest reply.
constexpr DWORD WaitTakesBytes = 1024;

HANDLE handleOf(void* handle)
{
    return static_cast<HANDLE>(handle);
}

// 9600 baud, 8 data bits, no parity, 1 stop bit, and every byte of a frame
// through as it is: no flow control of any kind (an XOFF byte of line noise
// in a reply would stop every later request for good, a missing CTS or DSR
// would hold them back), no parity check, no error or null character
// replacing or dropping a byte, and no error aborting every later read and
// write until it is cleared. DTR and RTS are raised, as opening a terminal
// raises them.
void makeLine(DCB& line)
{
    line.BaudRate = CBR_9600;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fDsrSensitivity = FALSE;
    line.fTXContinueOnXoff = TRUE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fAbortOnError = FALSE;
}

bool lineIsSet(const DCB& line)
{
    return line.BaudRate == CBR_9600 && line.ByteSize == 8 && line.Parity == NOPARITY && line.StopBits == ONESTOPBIT
        && !line.fOutxCtsFlow && !line.fOutxDsrFlow && !line.fOutX && !line.fInX;
}

// Read timeouts: with none, a read returns at once with what is queued,
// maybe nothing; with some, a read returns once bytes have come and the line
// has then been quiet for the gap, or when its buffer is full, or empty when
// nothing came in that time. Either way a read of no more than is queued
// returns at once.
COMMTIMEOUTS timeouts(DWORD readWaitMs)
{
    COMMTIMEOUTS set {};
    set.ReadIntervalTimeout = readWaitMs == 0 ? MAXDWORD : QuietGapMs;
    set.ReadTotalTimeoutMultiplier = 0;
    set.ReadTotalTimeoutConstant = readWaitMs;
    set.WriteTotalTimeoutMultiplier = WriteMsPerByte;
    set.WriteTotalTimeoutConstant = WriteRoomTimeoutMs;
    return set;
}

// The errors a device gives once it is gone: a USB adapter pulled out, a
// line hung up. Nothing more comes or goes through it.
bool deviceGone(DWORD error)
{
    switch (error) {
    case ERROR_BAD_COMMAND:
    case ERROR_ACCESS_DENIED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY:
    case ERROR_BROKEN_PIPE:
        return true;
    default:
        return false;
    }
}

std::uint32_t errorFlags(DWORD errors)
{
    std::uint32_t flags = 0;
    if (errors & (CE_OVERRUN | CE_RXOVER))
        flags |= PortErrorOverrun;
    if (errors & CE_FRAME)
        flags |= PortErrorFraming;
    if (errors & CE_RXPARITY)
        flags |= PortErrorParity;
    if (errors & CE_BREAK)
        flags |= PortErrorBreak;
    if (errors & ~static_cast<DWORD>(CE_OVERRUN | CE_RXOVER | CE_FRAME | CE_RXPARITY | CE_BREAK))
        flags |= PortErrorOther;
    return flags;
}

} // namespace

bool isDeviceName(std::string_view portName)
{
    // The long path form names a device as well.
    constexpr std::string_view pathPrefix = "\\\\?\\";
    return (portName.starts_with(Win32DevicePrefix) || portName.starts_with(pathPrefix))
        && portName.size() > Win32DevicePrefix.size();
}

std::optional<std::string> serialDevicePath(std::string_view portName, const EnvLookup&)
{
    if (isDeviceName(portName))
        return std::string(portName);
    // Only this form opens COM10 and above; it opens COM1 to COM9 as well.
    if (const std::optional<int> number = comPortNumber(portName))
        return std::string(Win32DevicePrefix) + "COM" + std::to_string(*number);
    return std::nullopt;
}

std::optional<std::string> serialDevicePath(std::string_view portName)
{
    return serialDevicePath(portName, EnvLookup {});
}

Win32SerialPort::~Win32SerialPort()
{
    close();
}

PortOpenResult Win32SerialPort::open(const std::string& name)
{
    close();
    m_openFailure = {};
    const std::optional<std::string> path = serialDevicePath(name);
    if (!path) {
        m_openFailure = {name, "names no serial device"};
        return PortOpenResult::OpenFailed;
    }
    const auto failWith = [&](PortOpenResult result, std::string reason) {
        m_openFailure = {*path, std::move(reason)};
        return result;
    };
    // No sharing: the system refuses every other opener while the port is
    // open, another Tessaline as well.
    const HANDLE handle
        = CreateFileW(wideText(*path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
            return failWith(PortOpenResult::OpenFailed, std::string(InUseReason));
        return failWith(PortOpenResult::OpenFailed, win32ErrorText(error));
    }
    const auto fail = [&](PortOpenResult result, std::string reason) {
        CloseHandle(handle);
        return failWith(result, std::move(reason));
    };
    if (GetFileType(handle) != FILE_TYPE_CHAR)
        return fail(PortOpenResult::GetStateFailed, "is not a serial device");
    DCB line {};
    line.DCBlength = sizeof line;
    if (!GetCommState(handle, &line))
        return fail(PortOpenResult::GetStateFailed, win32ErrorText(GetLastError()));
    makeLine(line);
    if (!SetCommState(handle, &line))
        return fail(PortOpenResult::SetStateFailed, win32ErrorText(GetLastError()));
    DCB applied {};
    applied.DCBlength = sizeof applied;
    if (!GetCommState(handle, &applied) || !lineIsSet(applied))
        return fail(PortOpenResult::SetStateFailed, "refuses 9600 baud, 8 data bits, no parity");
    COMMTIMEOUTS waits = timeouts(0);
    if (!SetCommTimeouts(handle, &waits))
        return fail(PortOpenResult::SetStateFailed, win32ErrorText(GetLastError()));
    m_handle = handle;
    m_readWaitMs = 0;
    m_taken.clear();
    m_heldErrors = 0;
    m_lost = false;
    return PortOpenResult::Ok;
}

void Win32SerialPort::close()
{
    if (!m_handle)
        return;
    CloseHandle(handleOf(m_handle));
    m_handle = nullptr;
    m_taken.clear();
    m_lost = false;
}

bool Win32SerialPort::setReadWait(unsigned long ms)
{
    if (ms == m_readWaitMs)
        return true;
    COMMTIMEOUTS waits = timeouts(ms);
    if (!SetCommTimeouts(handleOf(m_handle), &waits))
        return false;
    m_readWaitMs = ms;
    return true;
}

bool Win32SerialPort::write(std::string_view bytes)
{
    if (!m_handle)
        return false;
    while (!bytes.empty()) {
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
        DWORD written = 0;
        if (!WriteFile(handleOf(m_handle), bytes.data(), size, &written, nullptr)) {
            m_lost = m_lost || deviceGone(GetLastError());
            return false;
        }
        // Nothing went within the write timeout: the line does not take bytes.
        if (written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

PortStatus Win32SerialPort::status()
{
    PortStatus status;
    if (!m_handle)
        return status;
    DWORD errors = 0;
    COMSTAT queues {};
    const bool queried = ClearCommError(handleOf(m_handle), &errors, &queues);
    if (!queried)
        m_lost = m_lost || deviceGone(GetLastError());
    // What a wait read ahead is there to read even when the device is gone.
    status.ok = queried || !m_taken.empty();
    status.errors = queried ? errorFlags(errors | m_heldErrors) : 0;
    if (queried)
        m_heldErrors = 0;
    status.bytesWaiting = m_taken.size() + (queried ? queues.cbInQue : 0);
    status.closed = status.bytesWaiting == 0 && m_lost;
    return status;
}

std::string Win32SerialPort::read(std::size_t maxBytes)
{
    if (!m_handle || maxBytes == 0)
        return {};
    std::string bytes = m_taken.substr(0, maxBytes);
    m_taken.erase(0, bytes.size());
    if (bytes.size() == maxBytes || m_lost)
        return bytes;
    // Only what the driver holds: with the wait's timeout still set, a read
    // of more would wait for the rest. The line errors the query clears are
    // kept for the next status.
    DWORD errors = 0;
    COMSTAT queues {};
    if (!ClearCommError(handleOf(m_handle), &errors, &queues)) {
        m_lost = deviceGone(GetLastError());
        return bytes;
    }
    m_heldErrors |= errors;
    const std::size_t have = bytes.size();
    const DWORD room = static_cast<DWORD>(std::min<std::size_t>({maxBytes - have, queues.cbInQue, MAXDWORD}));
    if (room == 0)
        return bytes;
    bytes.resize(have + room);
    DWORD got = 0;
    if (!ReadFile(handleOf(m_handle), bytes.data() + have, room, &got, nullptr)) {
        m_lost = deviceGone(GetLastError());
        got = 0;
    }
    bytes.resize(have + got);
    return bytes;
}

bool Win32SerialPort::waitForInput(int timeoutMs)
{
    if (!m_handle)
        return false;
    if (!m_taken.empty() || m_lost)
        return true;
    // A read that returns once bytes have come and the line has paused, or
    // empty when the time is up; the bytes are kept for the next read.
    if (!setReadWait(timeoutMs > 0 ? static_cast<DWORD>(timeoutMs) : 0))
        return false;
    char bytes[WaitTakesBytes];
    DWORD got = 0;
    if (!ReadFile(handleOf(m_handle), bytes, WaitTakesBytes, &got, nullptr)) {
        // An error counts as something to look at: the status query that
        // follows tells the link what it was.
        m_lost = deviceGone(GetLastError());
        return true;
    }
    m_taken.append(bytes, got);
    return got > 0;
}

} // namespace tess::comm
