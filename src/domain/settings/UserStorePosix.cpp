#include "domain/settings/UserStore.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tess {

std::string defaultUserStorePath()
{
    const char* home = std::getenv("HOME");
    std::string fromPasswd;
    if (!home || home[0] != '/') {
        passwd entry {};
        passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
            fromPasswd = found->pw_dir;
        home = fromPasswd.c_str();
    }
    return userStorePath(std::getenv("XDG_CONFIG_HOME"), home);
}

} // namespace tess
