#include "app/comm/CommSettingsPresenter.h"

#include "app/common/Workspace.h"
#include "domain/common/TextParse.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <cstdlib>

namespace tess::comm {
namespace {

constexpr std::string_view PortPrefix = "COM";

// The port number of "COM" + digits, or 0 when the rest is no number from
// 1 to 255 in the list's own spelling (no sign, no leading zero).
int portNumber(std::string_view digits)
{
    if (digits.empty() || digits.front() == '0')
        return 0;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
        if (number > PortCount)
            return 0;
    }
    return number;
}

} // namespace

std::string portItem(int index)
{
    return std::string(PortPrefix) + std::to_string(index + 1);
}

int portIndexOfStored(std::string_view stored)
{
    if (!stored.starts_with(PortPrefix))
        return 0;
    const int number = portNumber(stored.substr(PortPrefix.size()));
    return number > 0 ? number - 1 : 0;
}

std::string transferPortName(std::string_view stored)
{
    return stored.empty() ? portItem(portIndexOfStored(stored)) : std::string(stored);
}

int portIndexOfTyped(std::string_view typed)
{
    typed = trimSpacesAndTabs(typed);
    if (typed.size() < PortPrefix.size())
        return -1;
    for (std::size_t i = 0; i < PortPrefix.size(); ++i)
        if (upperAscii(typed[i]) != PortPrefix[i])
            return -1;
    const int number = portNumber(typed.substr(PortPrefix.size()));
    return number > 0 ? number - 1 : -1;
}

DeviceLookup systemDeviceLookup()
{
    return DeviceLookup {
        [](const char* name) -> const char* { return std::getenv(name); },
        [] { return listSerialDevices(); },
    };
}

CommSettingsPresenter::CommSettingsPresenter(Workspace& ws, UserStore& store, DeviceLookup devices)
    : m_ws(ws)
    , m_store(store)
    , m_env(std::move(devices.env))
{
    m_items.reserve(PortCount);
    for (int i = 0; i < PortCount; ++i)
        m_items.push_back(portItem(i));
    const std::string stored = m_store.readString(UserValueCom);
    m_selected = portIndexOfStored(stored);
    listDevices(devices.list ? devices.list() : std::vector<SerialDevice> {}, stored);
    setWriteWaitMs(m_ws.settings.writeWaitMs);
}

void CommSettingsPresenter::listDevices(const std::vector<SerialDevice>& present, const std::string& stored)
{
    const Language l = m_ws.settings.language;
    m_devicePaths.assign(1, std::string());
    m_deviceItems.assign(1, std::string(text(TextId::ComSetDeviceNone, l)));
    for (const SerialDevice& device : present) {
        m_devicePaths.push_back(device.path);
        m_deviceItems.push_back(device.target.empty()
                ? device.path
                : message(TextId::ComSetLinkedDevice, device.path, device.target).in(l));
    }
    // A stored device name is a device picked here before; the COM list
    // shows COM1 for it, the device list the device, there or not.
    if (!isDeviceName(stored))
        return;
    const auto found = std::find(m_devicePaths.begin() + 1, m_devicePaths.end(), stored);
    if (found != m_devicePaths.end()) {
        m_device = static_cast<int>(found - m_devicePaths.begin());
        return;
    }
    m_devicePaths.push_back(stored);
    m_deviceItems.push_back(message(TextId::ComSetDeviceAbsent, stored).in(l));
    m_device = static_cast<int>(m_devicePaths.size()) - 1;
}

CommSetCaptions CommSettingsPresenter::captions() const
{
    const Language l = m_ws.settings.language;
    return CommSetCaptions {
        std::string(text(TextId::ComSetCaption, l)),
        std::string(text(TextId::ComSetPortFrame, l)),
        std::string(text(TextId::ComSetWaitLabel, l)),
        std::string(text(TextId::ComSetWaitUnit, l)),
        std::string(text(TextId::ComSetClose, l)),
        std::string(text(TextId::ComSetDeviceLabel, l)),
    };
}

void CommSettingsPresenter::selectPort(int index)
{
    m_selected = (index >= 0 && index < PortCount) ? index : -1;
    m_device = 0;
}

std::string CommSettingsPresenter::portDevice() const
{
    if (m_selected < 0)
        return {};
    const std::optional<std::string> path = serialDevicePath(m_items[static_cast<std::size_t>(m_selected)], m_env);
    return path ? message(TextId::ComSetPortDevice, *path).in(m_ws.settings.language) : std::string();
}

void CommSettingsPresenter::selectDevice(int index)
{
    m_device = (index > 0 && index < static_cast<int>(m_devicePaths.size())) ? index : 0;
}

void CommSettingsPresenter::setWriteWaitMs(int ms)
{
    m_writeWaitMs = std::clamp(ms, WriteWaitMinMs, WriteWaitMaxMs);
}

bool CommSettingsPresenter::close()
{
    m_ws.settings.writeWaitMs = m_writeWaitMs;
    if (m_device > 0)
        m_ws.settings.portName = m_devicePaths[static_cast<std::size_t>(m_device)];
    else if (m_selected >= 0)
        m_ws.settings.portName = m_items[static_cast<std::size_t>(m_selected)];
    else
        return true;
    return m_store.writeString(UserValueCom, m_ws.settings.portName);
}

} // namespace tess::comm
