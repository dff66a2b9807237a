#include "core/app/IniFile.h"

#include "core/common/Cp932.h"

#include <charconv>
#include <limits>
#include <vector>

namespace tess {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

char foldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares two names in CP932 bytes, folding only single-byte ASCII letters:
// the second byte of a double-byte character may look like a letter and must
// match exactly.
bool namesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isCp932LeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i] || i + 1 >= a.size() || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view in(const std::string& bytes) const { return std::string_view(bytes).substr(begin, end - begin); }
};

Span trimmed(const std::string& bytes, std::size_t begin, std::size_t end)
{
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return {begin, end};
}

enum class LineKind { Other, Section, Key };

struct Line {
    LineKind kind = LineKind::Other;
    std::size_t begin = 0; // first byte of the line
    std::size_t end = 0; // first byte of its line end
    std::size_t next = 0; // first byte after its line end
    Span name; // section or key name
    Span value; // key value, blanks trimmed, quotes kept
    bool blank = false;
};

Line classify(const std::string& bytes, std::size_t begin, std::size_t end, std::size_t next)
{
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    const Span body = trimmed(bytes, begin, end);
    if (body.begin == body.end) {
        line.blank = true;
        return line;
    }
    const char first = bytes[body.begin];
    if (first == ';')
        return line;
    if (first == '[') {
        // The header runs to the last ']' of the line; ']' may also be the
        // second byte of a double-byte character, which does not count.
        std::size_t close = std::string::npos;
        for (std::size_t i = body.begin + 1; i < body.end; ++i) {
            if (isCp932LeadByte(static_cast<unsigned char>(bytes[i]))) {
                ++i;
                continue;
            }
            if (bytes[i] == ']')
                close = i;
        }
        if (close == std::string::npos)
            return line;
        line.kind = LineKind::Section;
        line.name = trimmed(bytes, body.begin + 1, close);
        return line;
    }
    std::size_t eq = std::string::npos;
    for (std::size_t i = body.begin; i < body.end; ++i) {
        if (isCp932LeadByte(static_cast<unsigned char>(bytes[i]))) {
            ++i;
            continue;
        }
        if (bytes[i] == '=') {
            eq = i;
            break;
        }
    }
    if (eq == std::string::npos)
        return line;
    line.kind = LineKind::Key;
    line.name = trimmed(bytes, body.begin, eq);
    line.value = trimmed(bytes, eq + 1, body.end);
    if (line.value.begin == line.value.end)
        line.value = {eq + 1, eq + 1};
    return line;
}

std::vector<Line> parseLines(const std::string& bytes)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        std::size_t next = i + 1;
        if (c == '\r' && next < bytes.size() && bytes[next] == '\n')
            ++next;
        lines.push_back(classify(bytes, start, i, next));
        start = next;
        i = next - 1;
    }
    if (start < bytes.size())
        lines.push_back(classify(bytes, start, bytes.size(), bytes.size()));
    return lines;
}

// Where a section's lines are: the header's index and one past its last line.
struct SectionRange {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionRange> findSection(
    const std::string& bytes, const std::vector<Line>& lines, std::string_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Section || !namesEqual(lines[i].name.in(bytes), section))
            continue;
        std::size_t j = i + 1;
        while (j < lines.size() && lines[j].kind != LineKind::Section)
            ++j;
        return SectionRange {i, j};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(
    const std::string& bytes, const std::vector<Line>& lines, const SectionRange& range, std::string_view key)
{
    for (std::size_t i = range.header + 1; i < range.end; ++i)
        if (lines[i].kind == LineKind::Key && namesEqual(lines[i].name.in(bytes), key))
            return i;
    return std::nullopt;
}

std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view lineEndOf(const std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            return "\n";
        if (bytes[i] == '\r')
            return (i + 1 < bytes.size() && bytes[i + 1] == '\n') ? "\r\n" : "\r";
    }
    return "\r\n";
}

} // namespace

IniFile IniFile::load(const std::string& path, bool* found)
{
    std::string bytes;
    const bool ok = readFileBytes(path, bytes);
    if (found)
        *found = ok;
    return IniFile(ok ? std::move(bytes) : std::string());
}

std::optional<std::string> IniFile::readString(std::string_view section, std::string_view key) const
{
    const std::string sectionBytes = utf8ToCp932(section);
    const std::string keyBytes = utf8ToCp932(key);
    const auto lines = parseLines(m_bytes);
    const auto range = findSection(m_bytes, lines, sectionBytes);
    if (!range)
        return std::nullopt;
    const auto index = findKey(m_bytes, lines, *range, keyBytes);
    if (!index)
        return std::nullopt;
    return cp932ToUtf8(unquoted(lines[*index].value.in(m_bytes)));
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto value = readString(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

std::optional<std::int64_t> parseIniInteger(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    // from_chars takes no sign of its own here: "--1" and "0x-1" are no integers.
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (magnitude > max + (negative ? 1 : 0))
        return std::nullopt;
    if (negative)
        return magnitude == max + 1 ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    return static_cast<std::int64_t>(magnitude);
}

std::int64_t IniFile::readInteger(std::string_view section, std::string_view key, std::int64_t fallback) const
{
    const auto value = readString(section, key);
    if (!value)
        return fallback;
    return parseIniInteger(*value).value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const
{
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    const std::string_view valueText = value ? "1" : "0";
    const std::string sectionBytes = utf8ToCp932(section);
    const std::string keyBytes = utf8ToCp932(key);
    const std::string lineEnd(lineEndOf(m_bytes));
    const auto lines = parseLines(m_bytes);
    const auto range = findSection(m_bytes, lines, sectionBytes);
    if (!range) {
        if (!m_bytes.empty() && m_bytes.back() != '\n' && m_bytes.back() != '\r')
            m_bytes += lineEnd;
        m_bytes += "[" + sectionBytes + "]" + lineEnd + keyBytes + "=" + std::string(valueText) + lineEnd;
        return true;
    }
    if (const auto index = findKey(m_bytes, lines, *range, keyBytes)) {
        const Span span = lines[*index].value;
        if (span.in(m_bytes) == valueText)
            return false;
        m_bytes.replace(span.begin, span.end - span.begin, valueText);
        return true;
    }
    // A new key goes after the last non-blank line of its section.
    std::size_t last = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i)
        if (!lines[i].blank)
            last = i;
    const Line& after = lines[last];
    std::string insert = keyBytes + "=" + std::string(valueText) + lineEnd;
    if (after.next == after.end) // the last line of the file, without a line end
        insert = lineEnd + insert;
    m_bytes.insert(after.next, insert);
    return true;
}

int writeIniBool(FileWriter& writer, const std::string& path, std::string_view section, std::string_view key,
    bool value, IoError* error)
{
    std::string bytes;
    if (!readFileBytes(path, bytes, error)) {
        if (fileExists(path) || isDirectory(path))
            return -1;
        bytes.clear();
    }
    IniFile file(std::move(bytes));
    if (!file.writeBool(section, key, value))
        return 0;
    return writer.replaceFile(path, file.bytes(), error) ? 0 : -1;
}

} // namespace tess
