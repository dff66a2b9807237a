#pragma once

#include "domain/comm/PosixSerialPort.h"
#include "domain/comm/SerialDevices.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {
struct Workspace;
class UserStore;
} // namespace tess

namespace tess::comm {

constexpr int PortCount = 255; // "COM1" .. "COM255"
constexpr int WriteWaitMinMs = 120;
constexpr int WriteWaitMaxMs = 1000;
constexpr int WriteWaitStepMs = 1;

// The port list item at index (0 is "COM1").
std::string portItem(int index);
// The item a stored port name selects: "COM" followed by a decimal number
// from 1 to 255 as the list spells it selects that port; anything else, an empty
// value included, selects the first item. The prefix is matched exactly,
// as the program itself writes it.
int portIndexOfStored(std::string_view stored);
// The port a transfer opens: the stored one; with none stored, the one the
// settings dialog shows as chosen then (COM1), so that a first transfer goes
// where the dialog pointed.
std::string transferPortName(std::string_view stored);
// The item a text typed into the port list names, or -1 when it names none.
// Typing is forgiving: spaces around the name and letter case do not matter.
int portIndexOfTyped(std::string_view typed);

struct CommSetCaptions {
    std::string title;
    std::string portFrame; // RadioGroup1
    std::string waitLabel; // Label1
    std::string waitUnit; // Label2
    std::string close; // Button2
    std::string deviceLabel; // beside the device list
};

// What the ports mean on this machine: the environment that may name the
// device of a COMk, and the serial devices present.
struct DeviceLookup {
    EnvLookup env;
    std::function<std::vector<SerialDevice>()> list;
};
// The process environment and /dev.
DeviceLookup systemDeviceLookup();

// The rules of the serial port settings dialog (`CommSettingsDialog`) without a
// window. Opening reads the stored port and the current write wait; only
// Close takes them, so closing by the title-bar button needs no call at all.
//
// Beside the COM list the dialog shows which device the chosen COMk opens
// here, and offers the devices present to be picked directly. The port is
// the device picked, or else the COMk; either is stored in the one value
// "COM" (a device by its path, which the link opens as it is).
class CommSettingsPresenter {
public:
    CommSettingsPresenter(Workspace& ws, UserStore& store, DeviceLookup devices = systemDeviceLookup());

    CommSetCaptions captions() const;
    const std::vector<std::string>& portItems() const { return m_items; }

    // The list's item; -1 when the list shows no item.
    int selectedPort() const { return m_selected; }
    // Choosing a COM item (again) makes the COMk the port.
    void selectPort(int index);
    // The device the selected COMk opens on this machine ("→ /dev/ttyS2");
    // empty when the list shows no item.
    std::string portDevice() const;

    // The device list: item 0 stands for no device (the COMk is the port),
    // then the devices present; a stored device that is absent now comes
    // last, marked so.
    const std::vector<std::string>& deviceItems() const { return m_deviceItems; }
    // The device list's item, 0 when no device is picked.
    int selectedDevice() const { return m_device; }
    // Picking a device makes it the port; item 0 gives the port back to the COMk.
    void selectDevice(int index);
    int writeWaitMs() const { return m_writeWaitMs; }
    // Held within 120 .. 1000.
    void setWriteWaitMs(int ms);

    // Close: the picked device or else the selected item becomes the port
    // name and is stored (a list showing no item leaves the port as it was);
    // the wait is taken. False
    // when the store could not keep the port for the next start (the port is
    // taken for this run all the same).
    bool close();

private:
    void listDevices(const std::vector<SerialDevice>& present, const std::string& stored);

    Workspace& m_ws;
    UserStore& m_store;
    EnvLookup m_env;
    std::vector<std::string> m_items;
    int m_selected = 0;
    std::vector<std::string> m_devicePaths; // by device item; item 0 has none
    std::vector<std::string> m_deviceItems;
    int m_device = 0;
    int m_writeWaitMs = WriteWaitMinMs;
};

} // namespace tess::comm
