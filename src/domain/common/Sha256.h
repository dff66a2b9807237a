#pragma once

#include <string>
#include <string_view>

namespace tess {

// The SHA-256 digest of data as 64 lower-case hex digits: what a record
// names a file by, so that the file can be told from an edited copy later.
std::string sha256Hex(std::string_view data);

} // namespace tess
