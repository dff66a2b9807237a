#include "domain/comm/SerialDevices.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#if __has_include(<linux/serial.h>)
#include <linux/serial.h>
#endif

namespace tess::comm {
namespace {

bool inProcessGroups(gid_t group)
{
    if (getegid() == group)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

} // namespace

std::vector<SerialDevice> listSerialDevices()
{
    return listSerialDevices("/dev", onBoardPortAnswers);
}

bool onBoardPortAnswers(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EPERM || errno == EBUSY;
    bool answers = false;
#if defined(TIOCGSERIAL) && defined(PORT_UNKNOWN)
    serial_struct info {};
    if (ioctl(fd, TIOCGSERIAL, &info) == 0) {
        answers = info.type != PORT_UNKNOWN;
        ::close(fd);
        return answers;
    }
#endif
    termios settings {};
    answers = tcgetattr(fd, &settings) == 0;
    ::close(fd);
    return answers;
}

std::optional<DeviceAccess> deviceAccess(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    DeviceAccess access;
    const group* entry = getgrgid(info.st_gid);
    access.group = entry && entry->gr_name ? std::string(entry->gr_name) : std::to_string(info.st_gid);
    access.rootGroup = info.st_gid == 0;
    access.member = inProcessGroups(info.st_gid);
    access.mode = static_cast<unsigned>(info.st_mode & 07777);
    return access;
}

} // namespace tess::comm
