#include "domain/datafile/DataSetFormat.h"

#include "domain/common/TextParse.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace tess::datafile {
namespace {

// The blanks a formatted read skips: those of the "C" locale's isspace.
constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Walks the text, counting lines (CR LF, LF and a lone CR each end one).
class Scanner {
public:
    explicit Scanner(std::string_view text)
        : m_text(text)
    {
    }

    int line() const { return m_line; }
    bool atEnd() const { return m_pos >= m_text.size(); }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
            const char c = m_text[m_pos];
            if (c == '\n' || (c == '\r' && (m_pos + 1 >= m_text.size() || m_text[m_pos + 1] != '\n')))
                ++m_line;
            ++m_pos;
        }
    }

    // A signed integer of at most `width` characters, sign included, like
    // scanf's "%2d": the rest of a longer number is left for the next read.
    std::optional<int> fixedWidthInteger(int width)
    {
        skipBlanks();
        int taken = 0;
        bool negative = false;
        if (m_pos < m_text.size() && (m_text[m_pos] == '-' || m_text[m_pos] == '+')) {
            negative = m_text[m_pos] == '-';
            ++m_pos;
            ++taken;
        }
        int value = 0;
        int digits = 0;
        while (taken < width && m_pos < m_text.size() && isDigit(m_text[m_pos])) {
            value = value * 10 + (m_text[m_pos] - '0');
            ++m_pos;
            ++taken;
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        return negative ? -value : value;
    }

    // The next blank-delimited token, without consuming it.
    std::string_view peekToken()
    {
        skipBlanks();
        std::size_t end = m_pos;
        while (end < m_text.size() && !isBlank(m_text[end]))
            ++end;
        return m_text.substr(m_pos, end - m_pos);
    }

    void consume(std::string_view token) { m_pos += token.size(); }

    // The line on which the next item would stand once the text has ended:
    // after a final line end that is the (empty) line being scanned, otherwise
    // the one after it.
    int lineAfterEnd() const
    {
        if (m_text.empty())
            return m_line;
        const char last = m_text.back();
        return (last == '\n' || last == '\r') ? m_line : m_line + 1;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
};

// An optional sign and at least one digit, nothing else.
bool isNumberShaped(std::string_view token)
{
    if (!token.empty() && (token[0] == '-' || token[0] == '+'))
        token.remove_prefix(1);
    if (token.empty())
        return false;
    for (const char c : token)
        if (!isDigit(c))
            return false;
    return true;
}

void appendRightAligned(std::string& out, long value, int width)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const auto length = static_cast<int>(result.ptr - buffer);
    if (length < width)
        out.append(static_cast<std::size_t>(width - length), ' ');
    out.append(buffer, result.ptr);
    out.append("\r\n");
}

constexpr bool fitsWidth(int value, int width)
{
    int lowest = -9;
    int highest = 99;
    for (int w = 2; w < width; ++w) {
        lowest = lowest * 10 - 9;
        highest = highest * 10 + 9;
    }
    return value >= lowest && value <= highest;
}

} // namespace

ParsedDataSet parseDataSet(std::string_view bytes)
{
    ParsedDataSet result;
    Scanner scanner(bytes);

    const auto model = scanner.fixedWidthInteger(IdentityFieldWidth);
    const auto controlMode = model ? scanner.fixedWidthInteger(IdentityFieldWidth) : std::nullopt;
    const auto capacity = controlMode ? scanner.fixedWidthInteger(IdentityFieldWidth) : std::nullopt;
    const auto romVersion = capacity ? scanner.fixedWidthInteger(RomVersionFieldWidth) : std::nullopt;
    if (!romVersion) {
        result.status = ParseStatus::InvalidHeader;
        return result;
    }
    // The widths keep every number within -99..999.
    result.identity = InverterIdentity {static_cast<std::int16_t>(*model), static_cast<std::int16_t>(*controlMode),
        static_cast<std::int16_t>(*capacity), static_cast<std::int16_t>(*romVersion)};

    // The separator line is any token that starts with '-' and is no number;
    // a number (a negative one too) is the first value of the older layout
    // without separator.
    const std::string_view first = scanner.peekToken();
    if (!first.empty() && first[0] == '-' && !isNumberShaped(first)) {
        result.hasSeparator = true;
        scanner.consume(first);
    }

    while (result.valueCount < SlotCount) {
        const std::string_view token = scanner.peekToken();
        if (token.empty()) {
            result.status = ParseStatus::MissingValues;
            result.problemLine = scanner.lineAfterEnd();
            return result;
        }
        const auto value = parseInteger(token);
        if (!value) {
            result.status = ParseStatus::InvalidValue;
            result.problemLine = scanner.line();
            return result;
        }
        result.values[static_cast<std::size_t>(result.valueCount++)] = *value;
        scanner.consume(token);
    }
    // Whatever follows the last value is not part of the data set.
    result.status = ParseStatus::Complete;
    return result;
}

bool identityFitsFile(const InverterIdentity& identity)
{
    return fitsWidth(identity.model, IdentityFieldWidth) && fitsWidth(identity.controlMode, IdentityFieldWidth)
        && fitsWidth(identity.capacity, IdentityFieldWidth) && fitsWidth(identity.romVersion, RomVersionFieldWidth);
}

bool identityHasNegativeIndex(const InverterIdentity& identity)
{
    return identity.model < 0 || identity.controlMode < 0 || identity.capacity < 0 || identity.romVersion < 0;
}

std::string formatDataSet(const InverterIdentity& identity, const ParameterSet& values)
{
    std::string out;
    out.reserve(32 + Separator.size() + values.size() * 10);
    appendRightAligned(out, identity.model, IdentityFieldWidth);
    appendRightAligned(out, identity.controlMode, IdentityFieldWidth);
    appendRightAligned(out, identity.capacity, IdentityFieldWidth);
    appendRightAligned(out, identity.romVersion, RomVersionFieldWidth);
    out.append(Separator);
    out.append("\r\n");
    for (const std::int32_t value : values)
        appendRightAligned(out, value, 8);
    return out;
}

} // namespace tess::datafile
