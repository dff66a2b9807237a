#pragma once

#include <string>
#include <string_view>

namespace tess {

// Windows takes file names and texts as UTF-16; the program keeps them in
// UTF-8 and converts only where it calls the system.

std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);
// The system's reason for an error code (GetLastError), in English where
// the system has it, without the closing full stop and line end.
std::string systemErrorText(unsigned long error);
// The same for the last error of the calling thread.
std::string lastSystemErrorText();

} // namespace tess
