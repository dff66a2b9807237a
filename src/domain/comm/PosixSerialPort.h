#pragma once

#include "domain/comm/SerialPort.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tess::comm {

// Looks up an environment variable; nullptr when it is not set.
using EnvLookup = std::function<const char*(const char* name)>;

// The device behind a port name. The settings store names ports "COM1" to
// "COM255" as the settings dialog offers them; on Linux:
// - a name that is already a path ("/dev/ttyUSB0") is used as it is;
// - "COMk" is the device named by the environment variable TESSALINE_COMk
//   when that is set and not empty, otherwise "/dev/ttyS{k-1}" (COM1 is
//   /dev/ttyS0), the way the kernel numbers the on-board serial ports;
// - anything else (empty, "COM0", "COM256", "COMx") names no device.
std::optional<std::string> serialDevicePath(std::string_view portName, const EnvLookup& env);
// The same with the process environment.
std::optional<std::string> serialDevicePath(std::string_view portName);

// A serial line through a POSIX terminal device (termios).
class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    PortOpenResult open(const std::string& name) override;
    PortFailure lastOpenFailure() const override { return m_openFailure; }
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    bool write(std::string_view bytes) override;
    // termios reports no line error flags: the flags are always none.
    PortStatus status() override;
    std::string read(std::size_t maxBytes) override;
    bool waitForInput(int timeoutMs) override;

private:
    int m_fd = -1;
    PortFailure m_openFailure;
};

} // namespace tess::comm
