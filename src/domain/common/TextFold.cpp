#include "domain/common/TextFold.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tess {

std::u32string decodeUtf8(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07;
        }
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(lead);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

namespace {

char32_t lowerAscii(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

} // namespace

std::u32string lowerAscii(std::u32string text)
{
    for (char32_t& c : text)
        c = lowerAscii(c);
    return text;
}

namespace {

// Half-width katakana and punctuation U+FF61 to U+FF9D as full-width
// characters; the two sound marks U+FF9E and U+FF9F follow.
constexpr std::array<char16_t, 0xFF9E - 0xFF61> HalfWidthKana {u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ',
    u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク',
    u'ケ', u'コ', u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ',
    u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ', u'ユ', u'ヨ', u'ラ', u'リ',
    u'ル', u'レ', u'ロ', u'ワ', u'ン'};

bool between(char32_t c, char32_t first, char32_t last)
{
    return c >= first && c <= last;
}

// The voiced (dakuten) or semi-voiced (handakuten) form of a full-width
// katakana, or nothing when it has none. Each voiced form follows its plain
// one, the semi-voiced ones of the H row one further.
std::optional<char32_t> withSoundMark(char32_t kana, bool semiVoiced)
{
    constexpr std::u32string_view Voiceable = U"カキクケコサシスセソタチツテトハヒフヘホ";
    constexpr std::u32string_view HRow = U"ハヒフヘホ";
    if (semiVoiced)
        return HRow.find(kana) != std::u32string_view::npos ? std::optional<char32_t>(kana + 2) : std::nullopt;
    if (Voiceable.find(kana) != std::u32string_view::npos)
        return kana + 1;
    if (kana == U'ウ')
        return U'ヴ';
    return std::nullopt;
}

} // namespace

std::u32string foldWidths(std::u32string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (between(c, 0xFF01, 0xFF5E)) {
            c = c - 0xFF01 + 0x21;
        } else if (c == 0x3000) {
            c = U' ';
        } else if (between(c, U'ぁ', U'ゖ') || c == U'ゝ' || c == U'ゞ') {
            c += 0x60;
        } else if (between(c, 0xFF61, 0xFF9D)) {
            c = HalfWidthKana[c - 0xFF61];
        } else if (c == 0xFF9E || c == 0xFF9F) {
            const bool semiVoiced = c == 0xFF9F;
            if (!out.empty())
                if (const std::optional<char32_t> marked = withSoundMark(out.back(), semiVoiced)) {
                    out.back() = *marked;
                    continue;
                }
            c = semiVoiced ? U'゜' : U'゛';
        }
        out.push_back(lowerAscii(c));
    }
    return out;
}

bool isBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == 0x3000;
}

std::u32string_view trimmed(std::u32string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isPlaceholderName(std::string_view name)
{
    const std::u32string folded = foldWidths(decodeUtf8(name));
    const std::u32string_view text = trimmed(folded);
    for (const std::u32string_view word : {std::u32string_view(U"予備"), std::u32string_view(U"ヨビ"),
             std::u32string_view(U"reserved"), std::u32string_view(U"reserve")}) {
        if (text.substr(0, word.size()) != word)
            continue;
        const std::u32string_view rest = text.substr(word.size());
        if (std::all_of(rest.begin(), rest.end(), [](char32_t c) { return isBlank(c) || between(c, U'0', U'9'); }))
            return true;
    }
    return false;
}

} // namespace tess
