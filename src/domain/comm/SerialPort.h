#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tess::comm {

enum class PortOpenResult {
    Ok,
    OpenFailed, // no such device, not a serial line, or in use
    GetStateFailed, // the line settings could not be read
    SetStateFailed, // the line settings could not be written
};

// Line error flags a driver may report with its status.
enum PortErrorFlag : std::uint32_t {
    PortErrorOverrun = 0x01, // the driver's receive buffer overflowed
    PortErrorFraming = 0x02,
    PortErrorParity = 0x04,
    PortErrorBreak = 0x08,
    PortErrorOther = 0x80,
};

struct PortStatus {
    bool ok = false; // false: the status query itself failed
    std::uint32_t errors = 0; // PortErrorFlag bits
    std::size_t bytesWaiting = 0; // bytes that a read would return at once
    bool closed = false; // the line was hung up: nothing more comes or goes
};

// Why an open failed: the device and the system's reason. Empty where the
// port cannot tell.
struct PortFailure {
    std::string device;
    std::string reason;
};

// One serial line to the inverter. The link never touches a device itself:
// the program runs on the POSIX tty implementation, the tests on a fake.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the named device for reading and writing, for this program alone,
    // and sets 9600 baud, 8 data bits, no parity, 1 stop bit with reads that
    // never block, and a raw line: no flow control, no translation, no echo.
    // On failure nothing stays open.
    virtual PortOpenResult open(const std::string& name) = 0;
    // After a failed open: which device it was and why.
    virtual PortFailure lastOpenFailure() const { return {}; }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Sends the bytes; false when the device refused them.
    virtual bool write(std::string_view bytes) = 0;
    // Error flags and bytes waiting; reading it clears the flags.
    virtual PortStatus status() = 0;
    // Returns at once with at most maxBytes of what is queued (maybe nothing).
    virtual std::string read(std::size_t maxBytes) = 0;
    // Sleeps until input arrives or timeoutMs have passed, whichever is
    // first, so that waiting for a reply costs no processor time. True when
    // something may be read (or the line changed state); false on time-out.
    virtual bool waitForInput(int timeoutMs) = 0;
};

} // namespace tess::comm
