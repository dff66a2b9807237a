#include "domain/comm/SerialDevices.h"

#include "domain/comm/Win32SerialPort.h"
#include "domain/comm/Win32Text.h"

#include <algorithm>
#include <map>
#include <utility>
#include <windows.h>

#include <setupapi.h>

namespace tess::comm {
namespace {

constexpr int HighestComPort = 255;
// The device manager's class of serial and parallel ports.
constexpr GUID PortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::wstring registryText(HKEY key, const wchar_t* name)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return {};
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

// The ports the system has made, "COM3" to the device behind it
// ("\Device\Serial0"): each driver enters its ports in the registry.
std::map<std::string, std::string> registeredPorts()
{
    std::map<std::string, std::string> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t device[256];
        DWORD deviceLength = static_cast<DWORD>(std::size(device));
        wchar_t port[256];
        DWORD portBytes = sizeof port - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(
            key, index, device, &deviceLength, nullptr, &type, reinterpret_cast<BYTE*>(port), &portBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        port[portBytes / sizeof(wchar_t)] = L'\0';
        const std::string name = utf8Text(std::wstring_view(port, wcsnlen(port, std::size(port))));
        if (!name.empty())
            ports[name] = utf8Text(std::wstring_view(device, deviceLength));
    }
    RegCloseKey(key);
    return ports;
}

// The COM ports among the system's device names, each with the device
// behind it. Each name is asked for: a list of all names leaves out those
// some systems make on the fly (wine's links to a tty among them).
std::map<std::string, std::string> dosDevicePorts()
{
    std::map<std::string, std::string> ports;
    for (int number = 1; number <= HighestComPort; ++number) {
        const std::string port = "COM" + std::to_string(number);
        wchar_t target[512];
        const DWORD got = QueryDosDeviceW(wideText(port).c_str(), target, static_cast<DWORD>(std::size(target)));
        if (got > 0)
            ports[port] = utf8Text(std::wstring_view(target, wcsnlen(target, got)));
    }
    return ports;
}

// Each port's name in the device manager ("USB Serial Port (COM3)"), by
// its COM name.
std::map<std::string, std::string> friendlyNames()
{
    std::map<std::string, std::string> names;
    const HDEVINFO set = SetupDiGetClassDevsW(&PortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return names;
    SP_DEVINFO_DATA device {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        const std::string port = utf8Text(registryText(key, L"PortName"));
        RegCloseKey(key);
        wchar_t friendly[256] {};
        if (port.empty()
            || !SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                reinterpret_cast<BYTE*>(friendly), sizeof friendly - sizeof(wchar_t), nullptr))
            continue;
        names[port] = utf8Text(std::wstring_view(friendly, wcsnlen(friendly, std::size(friendly))));
    }
    SetupDiDestroyDeviceInfoList(set);
    return names;
}

} // namespace

std::vector<SerialDevice> listSerialDevices()
{
    // Both lists: a driver may enter its ports in one and not the other.
    std::map<std::string, std::string> ports = dosDevicePorts();
    for (const auto& [port, device] : registeredPorts())
        ports[port] = device;
    const std::map<std::string, std::string> friendly = friendlyNames();
    std::vector<SerialDevice> devices;
    for (const auto& [port, device] : ports) {
        const auto named = friendly.find(port);
        // A COMk is chosen by its name; a port the system names otherwise
        // ("CNCA0") opens only by its device name.
        std::string path = comPortNumber(port) ? port : std::string(Win32DevicePrefix) + port;
        devices.push_back({std::move(path), named != friendly.end() ? named->second : device});
    }
    std::sort(devices.begin(), devices.end(),
        [](const SerialDevice& a, const SerialDevice& b) { return naturalLess(a.path, b.path); });
    return devices;
}

bool onBoardPortAnswers(const std::string& path)
{
    const std::optional<std::string> device = serialDevicePath(path);
    const HANDLE handle = CreateFileW(
        wideText(device.value_or(path)).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    }
    DCB line {};
    line.DCBlength = sizeof line;
    const bool answers = GetCommState(handle, &line);
    CloseHandle(handle);
    return answers;
}

std::optional<DeviceAccess> deviceAccess(const std::string&)
{
    return std::nullopt;
}

} // namespace tess::comm
