#include "domain/settings/IniFile.h"

#include "domain/common/Cp932.h"
#include "domain/common/TextParse.h"

#include <charconv>
#include <limits>

namespace tess {
namespace {

// The form under which a name is indexed and looked up: CP932 bytes with
// only single-byte ASCII letters folded (the second byte of a double-byte
// character may look like a letter and must match exactly). Two names match
// when their forms are equal. A name that ends in the first byte of a
// double-byte character matches no name, not even itself, and has no form.
std::optional<std::string> foldedName(std::string_view name)
{
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (isCp932LeadByte(static_cast<unsigned char>(folded[i]))) {
            if (++i >= folded.size())
                return std::nullopt;
            continue;
        }
        folded[i] = upperAscii(folded[i]);
    }
    return folded;
}

struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view in(const std::string& bytes) const { return std::string_view(bytes).substr(begin, end - begin); }
};

ByteRange trimmed(const std::string& bytes, std::size_t begin, std::size_t end)
{
    const std::string_view kept = trimSpacesAndTabs(std::string_view(bytes).substr(begin, end - begin));
    const auto first = static_cast<std::size_t>(kept.data() - bytes.data());
    return {first, first + kept.size()};
}

enum class LineKind { Other, Section, Key };

struct Line {
    LineKind kind = LineKind::Other;
    std::size_t end = 0; // first byte of its line end
    std::size_t next = 0; // first byte after its line end
    ByteRange name; // section or key name
    ByteRange value; // key value, blanks trimmed, quotes kept
    bool blank = false;
    bool comment = false;
};

Line classify(const std::string& bytes, std::size_t begin, std::size_t end, std::size_t next)
{
    Line line;
    line.end = end;
    line.next = next;
    const ByteRange body = trimmed(bytes, begin, end);
    if (body.begin == body.end) {
        line.blank = true;
        return line;
    }
    const char first = bytes[body.begin];
    if (first == ';') {
        line.comment = true;
        return line;
    }
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

// Calls visit with every line of bytes, in order; a line ends at CR LF, LF
// or CR.
template <typename Visit> void forEachLine(const std::string& bytes, Visit&& visit)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        std::size_t next = i + 1;
        if (c == '\r' && next < bytes.size() && bytes[next] == '\n')
            ++next;
        visit(classify(bytes, start, i, next));
        start = next;
        i = next - 1;
    }
    if (start < bytes.size())
        visit(classify(bytes, start, bytes.size(), bytes.size()));
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

IniFile::IniFile(std::string bytes)
    : m_bytes(std::move(bytes))
{
    index();
}

// Only the first section of a name counts, and in it only the first key of a
// name; keys before any section, and the lines of a later section of the
// same name, are never found.
void IniFile::index()
{
    m_sections.clear();
    Section* current = nullptr;
    int number = 0;
    forEachLine(m_bytes, [&](const Line& line) {
        ++number;
        if (line.kind == LineKind::Section) {
            current = nullptr;
            if (const auto name = foldedName(line.name.in(m_bytes))) {
                const auto [it, added] = m_sections.try_emplace(*name);
                if (added)
                    current = &it->second;
            }
        } else if (current && line.kind == LineKind::Key) {
            if (const auto name = foldedName(line.name.in(m_bytes)))
                current->keys.try_emplace(*name, Span {line.value.begin, line.value.end, number});
        } else if (current && line.kind == LineKind::Other && !line.blank && !line.comment) {
            current->strayLines.push_back(number);
        }
        if (current && !line.blank) {
            current->insertAt = line.next;
            current->insertAfterUnendedLine = line.next == line.end;
        }
    });
}

const IniFile::Section* IniFile::findSection(std::string_view section) const
{
    const auto name = foldedName(section);
    if (!name)
        return nullptr;
    const auto it = m_sections.find(*name);
    return it == m_sections.end() ? nullptr : &it->second;
}

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
    const Section* found = findSection(utf8ToCp932(section));
    if (!found)
        return std::nullopt;
    const auto name = foldedName(utf8ToCp932(key));
    if (!name)
        return std::nullopt;
    const auto it = found->keys.find(*name);
    if (it == found->keys.end())
        return std::nullopt;
    const Span value = it->second;
    return cp932ToUtf8(unquoted(std::string_view(m_bytes).substr(value.begin, value.end - value.begin)));
}

std::optional<int> IniFile::lineOf(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(utf8ToCp932(section));
    const auto name = foldedName(utf8ToCp932(key));
    if (!found || !name)
        return std::nullopt;
    const auto it = found->keys.find(*name);
    if (it == found->keys.end())
        return std::nullopt;
    return it->second.line;
}

std::vector<int> IniFile::strayLines(std::string_view section) const
{
    const Section* found = findSection(utf8ToCp932(section));
    return found ? found->strayLines : std::vector<int> {};
}

std::string IniFile::lineText(int number) const
{
    std::string text;
    int at = 0;
    std::size_t start = 0;
    forEachLine(m_bytes, [&](const Line& line) {
        if (++at == number)
            text = cp932ToUtf8(std::string_view(m_bytes).substr(start, line.end - start));
        start = line.next;
    });
    return text;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto value = readString(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

std::optional<std::int64_t> parseIniInteger(std::string_view text)
{
    text = trimSpacesAndTabs(text);
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
    const Section* found = findSection(sectionBytes);
    if (!found) {
        if (!m_bytes.empty() && m_bytes.back() != '\n' && m_bytes.back() != '\r')
            m_bytes += lineEnd;
        m_bytes += "[" + sectionBytes + "]" + lineEnd + keyBytes + "=" + std::string(valueText) + lineEnd;
        index();
        return true;
    }
    const auto name = foldedName(keyBytes);
    const auto it = name ? found->keys.find(*name) : found->keys.end();
    if (it != found->keys.end()) {
        const Span span = it->second;
        if (std::string_view(m_bytes).substr(span.begin, span.end - span.begin) == valueText)
            return false;
        m_bytes.replace(span.begin, span.end - span.begin, valueText);
        index();
        return true;
    }
    // A new key goes after the last non-blank line of its section.
    std::string insert = keyBytes + "=" + std::string(valueText) + lineEnd;
    if (found->insertAfterUnendedLine)
        insert = lineEnd + insert;
    m_bytes.insert(found->insertAt, insert);
    index();
    return true;
}

bool writeIniBool(FileWriter& writer, const std::string& path, std::string_view section, std::string_view key,
    bool value, IoError* error)
{
    std::string bytes;
    if (!readFileBytes(path, bytes, error)) {
        if (fileExists(path) || isDirectory(path))
            return false;
        bytes.clear();
    }
    IniFile file(std::move(bytes));
    if (!file.writeBool(section, key, value))
        return true;
    return writer.replaceFile(path, file.bytes(), error);
}

} // namespace tess
