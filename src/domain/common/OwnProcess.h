#pragma once

#include <string>
#include <string_view>

namespace tess {

// What the system tells about the running program and its user.

// The executable's full path (links resolved on Linux), or "" when the
// system does not tell.
std::string ownExecutablePath();
// The program's short name as it was started ("tessaline-cli").
std::string ownProgramName();
int ownProcessId();
// The user's login name, and the machine's name; "" when unknown.
std::string ownUserName();
std::string ownHostName();

// The characters that end a folder in a path: Windows takes '\' as well.
#ifdef _WIN32
inline constexpr std::string_view PathSeparators = "/\\";
#else
inline constexpr std::string_view PathSeparators = "/";
#endif

} // namespace tess
