#include "domain/comm/SerialDevices.h"

#include "domain/common/FileIo.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace tess::comm {
namespace {

namespace fs = std::filesystem;

constexpr int HighestComPort = 255;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "ttyUSB" followed by a number and nothing else.
bool isNumbered(std::string_view name, std::string_view prefix)
{
    if (!name.starts_with(prefix) || name.size() == prefix.size())
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), isDigit);
}

void sortNaturally(std::vector<SerialDevice>& devices)
{
    std::sort(devices.begin(), devices.end(),
        [](const SerialDevice& a, const SerialDevice& b) { return naturalLess(a.path, b.path); });
}

std::vector<SerialDevice> ttyDevices(const fs::path& root, const PortAnswers& answers)
{
    std::vector<SerialDevice> devices;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        const std::string name = utf8Of(it->path().filename());
        const bool onBoard = isNumbered(name, "ttyS");
        if (!onBoard && !isNumbered(name, "ttyUSB") && !isNumbered(name, "ttyACM"))
            continue;
        const std::string path = utf8Of(it->path());
        if (onBoard && !(answers && answers(path)))
            continue;
        devices.push_back({path, {}});
    }
    sortNaturally(devices);
    return devices;
}

// The links udev makes by the adapter's own name, which stays the same
// whichever ttyUSB number the adapter gets this time.
std::vector<SerialDevice> linkedDevices(const fs::path& folder)
{
    std::vector<SerialDevice> devices;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        if (!it->is_symlink(linkError))
            continue;
        fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError)
            continue;
        if (target.is_relative())
            target = it->path().parent_path() / target;
        target = target.lexically_normal();
        if (!fs::exists(target, linkError))
            continue;
        devices.push_back({utf8Of(it->path()), utf8Of(target)});
    }
    sortNaturally(devices);
    return devices;
}

} // namespace

std::vector<SerialDevice> listSerialDevices(const std::string& devRoot, const PortAnswers& answers)
{
    const fs::path root = pathOf(devRoot);
    std::vector<SerialDevice> devices = ttyDevices(root, answers);
    const std::vector<SerialDevice> linked = linkedDevices(root / "serial" / "by-id");
    devices.insert(devices.end(), linked.begin(), linked.end());
    return devices;
}

std::optional<int> comPortNumber(std::string_view name)
{
    constexpr std::string_view prefix = "COM";
    if (!name.starts_with(prefix))
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 3)
        return std::nullopt;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > HighestComPort)
        return std::nullopt;
    return number;
}

bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t runA
                = std::find_if_not(a.begin() + static_cast<std::ptrdiff_t>(i), a.end(), isDigit) - a.begin();
            const std::size_t runB
                = std::find_if_not(b.begin() + static_cast<std::ptrdiff_t>(j), b.end(), isDigit) - b.begin();
            std::string_view numberA = a.substr(i, runA - i);
            std::string_view numberB = b.substr(j, runB - j);
            while (numberA.size() > 1 && numberA.front() == '0')
                numberA.remove_prefix(1);
            while (numberB.size() > 1 && numberB.front() == '0')
                numberB.remove_prefix(1);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            i = runA;
            j = runB;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

std::string permissionReason(std::string_view systemReason, const std::optional<DeviceAccess>& access)
{
    std::string reason(systemReason);
    if (!access)
        return reason;
    if (access->member) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", access->mode);
        return reason + ": you are in its group " + access->group + " already, but its mode " + mode
            + " does not let you read and write it";
    }
    // Joining root's group would open far more than the serial line.
    if (access->rootGroup)
        return reason + ": it belongs to the group " + access->group + "; ask the administrator for access to it";
    return reason + ": add your user to the group " + access->group + " (sudo usermod -aG " + access->group
        + " $USER) and log in again";
}

} // namespace tess::comm
