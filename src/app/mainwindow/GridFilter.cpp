#include "app/mainwindow/GridFilter.h"

#include "app/mainwindow/Document.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/grid/DataSetCheck.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tess {
namespace {

// ---------------------------------------------------------------------------
// Search texts

// The code points of a UTF-8 text. A byte that starts no valid sequence
// stands for itself, so a damaged name still matches what it shows.
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

char32_t lowerAscii(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

std::u32string lowerAscii(std::u32string text)
{
    for (char32_t& c : text)
        c = lowerAscii(c);
    return text;
}

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

// The text as the search compares it: ASCII in lower case, full-width ASCII
// as ASCII, the ideographic space as a space, hiragana and half-width
// katakana (a sound mark joined to the kana before it) as full-width
// katakana.
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

// One field the search looks in, in both forms.
struct SearchField {
    std::u32string asTyped; // ASCII in lower case, otherwise as written
    std::u32string folded;

    explicit SearchField(std::u32string_view text)
        : asTyped(lowerAscii(std::u32string(text)))
        , folded(foldWidths(asTyped))
    {
    }
    explicit SearchField(std::string_view utf8)
        : SearchField(decodeUtf8(utf8))
    {
    }

    bool contains(const SearchField& word) const
    {
        return asTyped.find(word.asTyped) != std::u32string::npos || folded.find(word.folded) != std::u32string::npos;
    }
};

std::vector<SearchField> searchWords(std::string_view searchText)
{
    std::vector<SearchField> words;
    const std::u32string text = decodeUtf8(searchText);
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        std::size_t end = i;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        if (end > i)
            words.emplace_back(std::u32string_view(text).substr(i, end - i));
        i = end;
    }
    return words;
}

// ---------------------------------------------------------------------------
// Rows

// The open data set's table record behind a grid row: not for a data set
// shown without its table (the document may still hold the table of an
// earlier one).
const ParameterDef* recordOf(const Document& doc, int row)
{
    if (doc.content != GridContent::Table || row < 1 || row > SlotCount)
        return nullptr;
    const std::optional<ParameterDef>& def = doc.table.def(row - 1);
    return def ? &*def : nullptr;
}

// The names a row shows, in both languages: the compared file's while a
// comparison lays its row over the open one's.
struct RowNames {
    std::string_view japanese;
    std::string_view english;
};
std::optional<RowNames> namesOf(const Document& doc, int row, const ParameterDef* record)
{
    if (doc.state.compareMode && doc.comparison && row >= 1 && row <= SlotCount) {
        if (const auto& compared = doc.comparison->rows[static_cast<std::size_t>(row - 1)])
            return RowNames {compared->nameJapanese, compared->nameEnglish};
    }
    if (record)
        return RowNames {record->nameJapanese, record->nameEnglish};
    return std::nullopt;
}

bool changedFromDefault(const Document& doc, int row, const ParameterDef* record)
{
    if (!record)
        return false;
    const std::int64_t byDefault = record->capacityWord ? doc.identity.capacity : record->defaultUnits;
    const std::int32_t stored = doc.values[static_cast<std::size_t>(row - 1)];
    return static_cast<std::uint16_t>(stored) != static_cast<std::uint16_t>(byDefault);
}

// "予備", "ヨビ" (as "ﾖﾋﾞ" folds) and "reserved"/"reserve", followed by
// nothing but blanks and digits.
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

bool isReserved(const std::string& code, const std::string& name, const std::optional<RowNames>& names)
{
    if (code.empty())
        return true;
    if (names)
        return isPlaceholderName(names->japanese) || isPlaceholderName(names->english);
    return isPlaceholderName(name);
}

bool differsInComparison(const Document& doc, int row)
{
    if (!doc.state.compareMode || !doc.comparison || row < 1 || row > SlotCount)
        return false;
    const auto slot = static_cast<std::size_t>(row - 1);
    return doc.comparison->rows[slot] && doc.comparison->differs[slot];
}

bool matchesSearch(const std::string& code, const std::string& name, const std::optional<RowNames>& names,
    const std::vector<SearchField>& words)
{
    if (words.empty())
        return true;
    std::vector<SearchField> fields;
    fields.emplace_back(code);
    if (names) {
        fields.emplace_back(names->japanese);
        fields.emplace_back(names->english);
    } else {
        fields.emplace_back(name);
    }
    return std::all_of(words.begin(), words.end(), [&](const SearchField& word) {
        return std::any_of(
            fields.begin(), fields.end(), [&](const SearchField& field) { return field.contains(word); });
    });
}

} // namespace

GridFilterResult filterGridRows(const Document& doc, const GridFilterSettings& settings)
{
    GridFilterResult result;
    const std::vector<SearchField> words = searchWords(settings.searchText);
    const bool differencesOnly = settings.differencesOnly && doc.state.compareMode;
    // Whatever the language: the search looks at both names.
    const GridSource grid = gridSource(doc, Language::English);
    const int lastRow = std::clamp(gridRowCount(grid), 1, GridRowsWithTable) - 1;
    result.rows.reserve(static_cast<std::size_t>(lastRow));
    if (doc.content == GridContent::Table) {
        for (const ValueFailure& failure : checkDataSet(doc.table, doc.values, doc.identity.capacity))
            result.notAllowed[static_cast<std::size_t>(failure.slot + 1)] = true;
        result.notAllowedCount = static_cast<int>(result.notAllowed.count());
    }
    for (int row = 1; row <= lastRow; ++row) {
        const ParameterDef* record = recordOf(doc, row);
        const std::string code = cellText(grid, row, ColCode);
        const std::optional<RowNames> names = namesOf(doc, row, record);
        const std::string name = names ? std::string() : cellText(grid, row, ColName);
        const bool parameter = !code.empty();
        const bool changed = changedFromDefault(doc, row, record);
        const bool differs = differsInComparison(doc, row);
        const auto bit = static_cast<std::size_t>(row);
        result.changed[bit] = changed;
        result.differs[bit] = differs;
        result.changedCount += changed ? 1 : 0;
        result.differenceCount += differs ? 1 : 0;

        if (settings.changedOnly && !changed)
            continue;
        if (differencesOnly && !differs)
            continue;
        if (settings.hideReserved && isReserved(code, name, names))
            continue;
        if (!matchesSearch(code, name, names, words))
            continue;
        result.rows.push_back(row);
        result.shownParameters += parameter ? 1 : 0;
    }
    return result;
}

std::optional<std::size_t> stepToDifference(
    const GridFilterResult& result, std::optional<std::size_t> from, bool forward)
{
    const std::size_t count = result.rows.size();
    if (count == 0)
        return std::nullopt;
    const auto differs
        = [&](std::size_t position) { return result.differs[static_cast<std::size_t>(result.rows[position])]; };
    // Starting before the first row (or after the last), every row is
    // tried once, the one the step starts from last.
    std::size_t position = from ? std::min(*from, count - 1) : (forward ? count - 1 : 0);
    for (std::size_t tried = 0; tried < count; ++tried) {
        position = forward ? (position + 1) % count : (position + count - 1) % count;
        if (differs(position))
            return position;
    }
    return std::nullopt;
}

Message gridCountsText(const GridFilterResult& result, bool comparing)
{
    const auto number = [](int n) { return std::to_string(n); };
    Message text = message(
        result.shownParameters == 1 ? TextId::CountOneRow : TextId::CountRows, number(result.shownParameters));
    const auto append = [&](const Message& part) {
        text.ja += part.ja;
        text.en += part.en;
    };
    append(message(TextId::CountChangedFromDefault, number(result.changedCount)));
    if (comparing)
        append(message(result.differenceCount == 1 ? TextId::CountOneDifference : TextId::CountDifferences,
            number(result.differenceCount)));
    if (result.notAllowedCount > 0)
        append(message(result.notAllowedCount == 1 ? TextId::CountOneNotAllowed : TextId::CountNotAllowed,
            number(result.notAllowedCount)));
    return text;
}

} // namespace tess
