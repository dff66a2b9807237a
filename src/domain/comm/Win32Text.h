#pragma once

#include <string>
#include <string_view>

namespace tess::comm {

// Names are UTF-8 inside the program and wide only at the system's calls.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

// The system's text for an error code (GetLastError), in English where the
// system has it, as one line without the closing full stop: "Access is
// denied". The code in hex where the system has no text for it.
std::string win32ErrorText(unsigned long error);

} // namespace tess::comm
