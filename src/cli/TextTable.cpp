#include "cli/TextTable.h"

#include <algorithm>

namespace tess::cli {
namespace {

// One code point from the front of text; false (and one byte used) for a
// byte that starts no valid sequence.
bool nextCodePoint(std::string_view text, std::size_t& pos, char32_t& cp)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
    if (lead < 0x80) {
        cp = lead;
        ++pos;
        return true;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07u;
    } else {
        ++pos;
        return false;
    }
    if (pos + static_cast<std::size_t>(length) > text.size()) {
        ++pos;
        return false;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char c = byte(pos + static_cast<std::size_t>(i));
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        cp = (cp << 6) | (c & 0x3Fu);
    }
    pos += static_cast<std::size_t>(length);
    return true;
}

bool isWide(char32_t cp)
{
    struct Range {
        char32_t first;
        char32_t last;
    };
    // East Asian Wide and Fullwidth blocks; half-width katakana
    // (U+FF61..U+FF9F) lies between the two full-width form ranges.
    static constexpr Range wide[] = {
        {0x1100, 0x115F}, // Hangul Jamo initials
        {0x2E80, 0x303E}, // CJK radicals, ideographic punctuation
        {0x3041, 0x33FF}, // kana, CJK symbols and compatibility
        {0x3400, 0x4DBF}, // CJK extension A
        {0x4E00, 0x9FFF}, // CJK unified ideographs
        {0xA000, 0xA4CF}, // Yi
        {0xAC00, 0xD7A3}, // Hangul syllables
        {0xF900, 0xFAFF}, // CJK compatibility ideographs
        {0xFE30, 0xFE4F}, // CJK compatibility forms
        {0xFF00, 0xFF60}, // full-width forms
        {0xFFE0, 0xFFE6}, // full-width signs
        {0x20000, 0x3FFFD}, // CJK extensions B and beyond
    };
    return std::any_of(std::begin(wide), std::end(wide), [&](const Range& r) { return cp >= r.first && cp <= r.last; });
}

// The columns the character at pos takes; pos moves past it.
int nextCharWidth(std::string_view text, std::size_t& pos)
{
    char32_t cp = 0;
    return nextCodePoint(text, pos, cp) && isWide(cp) ? 2 : 1;
}

std::string flattened(std::string_view cell)
{
    std::string text(cell);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

} // namespace

int displayWidth(std::string_view utf8)
{
    int width = 0;
    std::size_t pos = 0;
    while (pos < utf8.size())
        width += nextCharWidth(utf8, pos);
    return width;
}

std::string cutToWidth(std::string_view utf8, int columns)
{
    int width = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t next = pos;
        const int charWidth = nextCharWidth(utf8, next);
        if (width + charWidth > columns)
            break;
        width += charWidth;
        pos = next;
    }
    return std::string(utf8.substr(0, pos));
}

void writeAligned(std::ostream& out, const std::vector<TextRow>& rows)
{
    std::vector<int> widths;
    for (const TextRow& row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(flattened(row[c])));
    }
    for (const TextRow& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string cell = flattened(row[c]);
            line += cell;
            if (c + 1 < row.size())
                line.append(static_cast<std::size_t>(widths[c] - displayWidth(cell) + 2), ' ');
        }
        // Cells left empty at the end of a row leave no trailing spaces.
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

void writeTabSeparated(std::ostream& out, const std::vector<TextRow>& rows)
{
    for (const TextRow& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out << '\t';
            out << flattened(row[c]);
        }
        out << '\n';
    }
}

} // namespace tess::cli
