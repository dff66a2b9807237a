#pragma once

#include "domain/comm/SerialDevices.h"
#include "domain/comm/SerialPort.h"

#include <string>
#include <string_view>

namespace tess::comm {

// Before a name in the system's namespace of devices: "\\.\COM12".
constexpr std::string_view Win32DevicePrefix = "\\\\.\\";

// A serial line through a Windows communications device ("\\.\COM3").
//
// The driver's own timeouts make the waits: a wait for input is a read that
// returns once bytes have come and the line has paused for a moment, or
// empty when its time is up, so that a reply costs a few waits rather than
// one a byte (each is a call into the driver, under wine a round trip to its
// server). The bytes a wait takes are kept and handed out first, so nothing
// is lost to it and no thread is needed. A read asks for no more than the
// driver holds, so it returns at once whatever timeout the last wait set,
// and the timeouts change only when the wait's length does.
class Win32SerialPort final : public SerialPort {
public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    PortOpenResult open(const std::string& name) override;
    PortFailure lastOpenFailure() const override { return m_openFailure; }
    void close() override;
    bool isOpen() const override { return m_handle != nullptr; }
    bool write(std::string_view bytes) override;
    PortStatus status() override;
    std::string read(std::size_t maxBytes) override;
    bool waitForInput(int timeoutMs) override;

private:
    bool setReadWait(unsigned long ms);

    void* m_handle = nullptr; // the device's HANDLE; windows.h stays out of this header
    PortFailure m_openFailure;
    std::string m_taken; // bytes a wait read ahead of the next read
    unsigned long m_readWaitMs = 0; // the read timeout now set; 0: a wait returns at once
    unsigned long m_heldErrors = 0; // line errors a read found, for the next status
    bool m_lost = false; // the device went away (an adapter pulled out, a hang-up)
};

} // namespace tess::comm
