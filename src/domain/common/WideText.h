#pragma once

#include <string>
#include <string_view>

namespace tess {

// Windows takes file names and texts as UTF-16; the program keeps them in
// UTF-8 and converts only where it calls the system.

std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);
// A path as the file calls take it: made full against the current folder,
// with one kind of separator, in the long form ("\\?\C:\...") in which no
// name stands for a device (the per-user store is CON.conf, CON being the
// console's name) and no length limit applies.
std::wstring widePath(std::string_view utf8);
// The system's reason for an error code (GetLastError), in English where
// the system has it, without the closing full stop and line end.
std::string systemErrorText(unsigned long error);
// The same for the last error of the calling thread.
std::string lastSystemErrorText();

} // namespace tess
