#include "domain/comm/PortLock.h"

#include "domain/common/OwnProcess.h"

namespace tess::comm {

PortLock::~PortLock()
{
    release();
}

std::string PortLock::lockFilePath(const std::string& folder, const std::string& device)
{
    // "/dev/ttyUSB0" becomes "tessaline-port-dev-ttyUSB0.lock" (and on
    // Windows \\.\COM5 becomes "tessaline-port-.-COM5.lock").
    std::string name;
    for (const char c : device) {
        if (PathSeparators.find(c) != std::string_view::npos) {
            if (!name.empty() && name.back() != '-')
                name += '-';
        } else {
            name += c;
        }
    }
    std::string base = folder;
    if (!base.empty() && PathSeparators.find(base.back()) == std::string_view::npos)
        base += '/';
    return base + "tessaline-port-" + name + ".lock";
}

std::string PortLock::holderOf(std::string said)
{
    // The file holds "PID PROGRAM\n".
    while (!said.empty() && (said.back() == '\n' || said.back() == '\0'))
        said.pop_back();
    const std::size_t space = said.find(' ');
    std::string holder
        = space == std::string::npos ? said : said.substr(space + 1) + ", process " + said.substr(0, space);
    return holder.empty() ? "?" : holder;
}

} // namespace tess::comm
