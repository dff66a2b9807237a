#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tess {

// Files on disk are code page 932 (Shift-JIS); the program works in UTF-8.
//
// The conversions give what the system's converter (iconv) gives, byte for
// byte, but learn each character from it only once per thread and then look
// it up: a table of hundreds of lines takes one pass over its bytes instead
// of a converter call per field.

// True for a byte that starts a double-byte character.
constexpr bool isCp932LeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Bytes that are no CP932 character become U+FFFD; the conversion never fails.
std::string cp932ToUtf8(std::string_view bytes);

// The same, appended to out.
void appendCp932AsUtf8(std::string_view bytes, std::string& out);

// The characters of bytes from pos on, for as long as they start with a
// byte of 0x80 or above, appended to out as UTF-8 (U+FFFD for a byte that
// starts no character). Returns the position after them.
std::size_t appendCp932RunAsUtf8(std::string_view bytes, std::size_t pos, std::string& out);

// Characters without a CP932 form (and malformed UTF-8) become '?'. When
// lossy is given it tells whether that happened.
std::string utf8ToCp932(std::string_view utf8, bool* lossy = nullptr);

} // namespace tess
