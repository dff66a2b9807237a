#pragma once

#include "domain/common/FileIo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tess {

// An INI file with the semantics of Windows private-profile files:
// "[section]" headers and "key=value" lines, names matched without regard to
// (ASCII) case, the first matching section and key winning, blanks around
// names and values ignored, a value in matching quotes taken without them.
// The file is kept as its CP932 bytes, so that a write changes one line and
// leaves every other byte as it was. The bytes are parsed once, into an index
// of the sections and keys that can win, and every lookup is answered from
// it: reading all the settings costs one pass over the file, however long.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string bytes);

    // A file that does not exist or cannot be read gives an empty file, so
    // every read falls back to its default. `found` tells which it was.
    static IniFile load(const std::string& path, bool* found = nullptr);

    const std::string& bytes() const { return m_bytes; }

    // The value as UTF-8; nothing when the section or key is missing.
    std::optional<std::string> readString(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;

    // Decimal, or hexadecimal with a "0x" prefix, with an optional sign.
    // A missing key, an empty value or text that is no integer (also "12abc")
    // gives the fallback.
    std::int64_t readInteger(std::string_view section, std::string_view key, std::int64_t fallback) const;

    // Booleans are integers: 0 false, any other number true.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    // The number (from 1) of the line the value of the key is read from;
    // nothing when the section or key is missing.
    std::optional<int> lineOf(std::string_view section, std::string_view key) const;
    // The lines (numbers from 1) of the section that are neither a key, a
    // comment nor blank, such as a key whose "=" was lost: no read finds
    // what they meant to hold.
    std::vector<int> strayLines(std::string_view section) const;
    // The line's text as UTF-8, without its line end; empty past the end.
    std::string lineText(int number) const;

    // Sets key to "1" or "0": the value of the first matching line is
    // replaced, a missing key is added at the end of its section, a missing
    // section at the end of the file. Every other byte stays. Returns whether
    // the bytes changed.
    bool writeBool(std::string_view section, std::string_view key, bool value);

private:
    // Byte offsets into m_bytes, so that copies and moves stay valid.
    struct Span {
        std::size_t begin = 0;
        std::size_t end = 0;
        int line = 0; // its line's number, from 1
    };
    // The first section of a name: its first key of each name, and where a
    // new key goes (after its last non-blank line).
    struct Section {
        std::unordered_map<std::string, Span> keys; // by folded name
        std::vector<int> strayLines;
        std::size_t insertAt = 0;
        bool insertAfterUnendedLine = false; // that line is the file's last and has no line end
    };

    void index();
    const Section* findSection(std::string_view section) const;

    std::string m_bytes;
    std::unordered_map<std::string, Section> m_sections; // by folded name
};

// Parses a whole integer text as the INI reader does; nothing for text that
// is no integer. Exposed for the settings readers.
std::optional<std::int64_t> parseIniInteger(std::string_view text);

// Writes a boolean into the INI file at path through writer. An existing file
// that cannot be read is left alone (its contents would otherwise be lost); a
// missing file is created. Nothing is written when the value already stands
// as wanted. False when the file could not be written.
bool writeIniBool(FileWriter& writer, const std::string& path, std::string_view section, std::string_view key,
    bool value, IoError* error = nullptr);

} // namespace tess
