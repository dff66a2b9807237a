#pragma once

#include <string>
#include <string_view>

namespace tess {

// The names of the temporary files a save writes beside its target, the
// same on every system so that a folder shared between them is cleaned up
// by either.

// A digest of a name that is the same in every process (FNV-1a), in 16
// hexadecimal digits.
std::string nameDigest(std::string_view name);
// The start of every temporary name of the file called name.
std::string temporaryPrefix(const std::string& name);
// Whether what follows that start is one of the random endings.
bool isTemporarySuffix(std::string_view suffix);
// A new random ending.
std::string randomSuffix();

} // namespace tess
