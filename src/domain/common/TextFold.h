#pragma once

#include <string>
#include <string_view>

// Texts as the search and the name rules compare them: code points, with
// the widths of Japanese and ASCII characters folded.
namespace tess {

// The code points of a UTF-8 text. A byte that starts no valid sequence
// stands for itself, so a damaged name still matches what it shows.
std::u32string decodeUtf8(std::string_view text);
// ASCII in lower case, everything else as it is.
std::u32string lowerAscii(std::u32string text);
// The text as a search compares it: ASCII in lower case, full-width ASCII
// as ASCII, the ideographic space as a space, hiragana and half-width
// katakana (a sound mark joined to the kana before it) as full-width
// katakana.
std::u32string foldWidths(std::u32string_view text);
// A space, a tab or the ideographic space.
bool isBlank(char32_t c);
// Without the blanks at either end.
std::u32string_view trimmed(std::u32string_view text);

// Whether a parameter name marks an unused slot: "予備", "ヨビ" (as
// "ﾖﾋﾞ" folds) or "reserved"/"reserve", in any width and case, followed by
// nothing but blanks and digits.
bool isPlaceholderName(std::string_view name);

} // namespace tess
