// The serial port and the device list on Windows until the Win32 port is
// written: no port opens, and no device is listed, so every transfer stops
// at its start with the reason instead of doing anything half.
#include "domain/comm/PosixSerialPort.h"
#include "domain/comm/SerialDevices.h"

namespace tess::comm {

std::optional<std::string> serialDevicePath(std::string_view portName, const EnvLookup&)
{
    return std::string(portName);
}

std::optional<std::string> serialDevicePath(std::string_view portName)
{
    return serialDevicePath(portName, EnvLookup());
}

PosixSerialPort::~PosixSerialPort() = default;

PortOpenResult PosixSerialPort::open(const std::string& name)
{
    m_openFailure = PortFailure {name, "not available"};
    return PortOpenResult::OpenFailed;
}

void PosixSerialPort::close() { }

bool PosixSerialPort::write(std::string_view)
{
    return false;
}

PortStatus PosixSerialPort::status()
{
    return {};
}

std::string PosixSerialPort::read(std::size_t)
{
    return {};
}

bool PosixSerialPort::waitForInput(int)
{
    return false;
}

std::vector<SerialDevice> listSerialDevices(const std::string&, const PortAnswers&)
{
    return {};
}

std::vector<SerialDevice> listSerialDevices()
{
    return {};
}

bool onBoardPortAnswers(const std::string&)
{
    return false;
}

std::optional<DeviceAccess> deviceAccess(const std::string&)
{
    return std::nullopt;
}

std::string permissionReason(std::string_view systemReason, const std::optional<DeviceAccess>&)
{
    return std::string(systemReason);
}

} // namespace tess::comm
