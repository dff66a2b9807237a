#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
// On Windows:
// - a device name ("\\.\COM12", "\\.\CNCA0") is used as it is;
// - "COMk" is "\\.\COMk", the form that opens COM10 and above as well;
// - anything else names no device; the environment plays no part.
std::optional<std::string> serialDevicePath(std::string_view portName, const EnvLookup& env);
// The same with the process environment.
std::optional<std::string> serialDevicePath(std::string_view portName);
// Whether a port name is a device itself, as the device list names one,
// rather than a "COMk": a path on Linux ("/dev/ttyUSB0"), a device name on
// Windows ("\\.\CNCA0").
bool isDeviceName(std::string_view portName);

// A serial device present on this machine, as the settings dialog offers it.
struct SerialDevice {
    // What the port opens: "/dev/ttyUSB0", "/dev/serial/by-id/usb-…-port0";
    // on Windows "COM3", or a device name ("\\.\CNCA0") for a port the
    // system names otherwise.
    std::string path;
    // For a /dev/serial/by-id link, the device it points to; on Windows the
    // port's name in the device manager ("USB Serial Port (COM3)"), or else
    // the system's device behind it ("\Device\Serial0"); empty otherwise.
    std::string target;

    friend bool operator==(const SerialDevice&, const SerialDevice&) = default;
};

// Whether the on-board port at the path is really there.
using PortAnswers = std::function<bool(const std::string& path)>;

// The k of "COMk" for k from 1 to 255; nothing for any other name.
std::optional<int> comPortNumber(std::string_view name);

// Text order, except that runs of digits compare by their value: "COM2"
// before "COM10".
bool naturalLess(std::string_view a, std::string_view b);

// The serial devices under devRoot (normally "/dev"), in this order: the
// on-board ports ttyS<n> for which `answers` holds, ttyUSB<n> and ttyACM<n>,
// all sorted by name with numbers compared as numbers (ttyS2 before
// ttyS10); then each link of serial/by-id whose device exists, sorted the
// same way. The kernel creates ttyS0 .. ttyS31 whether or not a UART sits
// behind them, hence the check; USB adapters appear only when plugged in.
std::vector<SerialDevice> listSerialDevices(const std::string& devRoot, const PortAnswers& answers);
// The same for /dev with onBoardPortAnswers. On Windows: the COM ports the
// system has made, in natural order, each with its name in the device
// manager where there is one.
std::vector<SerialDevice> listSerialDevices();

// An on-board port answers when it opens and the driver reports a real UART
// behind it (or, for a driver without that report, when it has terminal
// settings). One that is refused for lack of permission or because another
// program holds it is there all the same.
bool onBoardPortAnswers(const std::string& path);

// Who may open a device: its group and whether this process is in it.
struct DeviceAccess {
    std::string group; // the group's name, or its number when it has none
    bool rootGroup = false; // the group is root's own (gid 0)
    bool member = false; // this process already belongs to the group
    unsigned mode = 0; // the permission bits, e.g. 0660
};

// The device's access, or nothing when it cannot be looked at (always
// nothing on Windows, where no group opens a port).
std::optional<DeviceAccess> deviceAccess(const std::string& path);

// Why a device could not be opened for lack of permission, after the system's
// own reason ("Permission denied"): the group to join and how, or, when the
// process is in that group already, that the device's mode keeps it out.
// English only, as the system's reasons are.
std::string permissionReason(std::string_view systemReason, const std::optional<DeviceAccess>& access);

} // namespace tess::comm
