#pragma once

#include <string>
#include <string_view>

namespace tess {

// Files on disk are code page 932 (Shift-JIS); the program works in UTF-8.

// True for a byte that starts a double-byte character.
constexpr bool isCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Bytes that are no CP932 character become U+FFFD; the conversion never fails.
std::string cp932ToUtf8(std::string_view bytes);

// Characters without a CP932 form (and malformed UTF-8) become '?'. When
// lossy is given it tells whether that happened.
std::string utf8ToCp932(std::string_view utf8, bool* lossy = nullptr);

} // namespace tess
