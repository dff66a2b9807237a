#pragma once

#include "domain/comm/SerialDevices.h"
#include "domain/comm/SerialPort.h"

#include <string>
#include <string_view>

namespace tess::comm {

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
