#include "domain/settings/UserStore.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tess {
namespace {

// HOME, or the password database's for an unset or relative one.
std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return home;
    passwd entry {};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

} // namespace

std::string defaultUserStorePath()
{
    return userStorePath(std::getenv("XDG_CONFIG_HOME"), homeFolder().c_str());
}

std::string defaultUserDataFolder()
{
    return userDataFolderPath(std::getenv("XDG_DATA_HOME"), homeFolder().c_str());
}

} // namespace tess
