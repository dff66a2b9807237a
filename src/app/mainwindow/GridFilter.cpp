#include "app/mainwindow/GridFilter.h"

#include "app/mainwindow/Document.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/common/TextFold.h"
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

bool allWordsFound(std::span<const std::string_view> texts, const std::vector<SearchField>& words)
{
    if (words.empty())
        return true;
    std::vector<SearchField> fields;
    fields.reserve(texts.size());
    for (const std::string_view text : texts)
        fields.emplace_back(text);
    return std::all_of(words.begin(), words.end(), [&](const SearchField& word) {
        return std::any_of(
            fields.begin(), fields.end(), [&](const SearchField& field) { return field.contains(word); });
    });
}

bool matchesSearch(const std::string& code, const std::string& name, const std::optional<RowNames>& names,
    const std::vector<SearchField>& words)
{
    if (names) {
        const std::array<std::string_view, 3> fields {code, names->japanese, names->english};
        return allWordsFound(fields, words);
    }
    const std::array<std::string_view, 2> fields {code, name};
    return allWordsFound(fields, words);
}

} // namespace

bool matchesGridSearch(std::string_view searchText, std::span<const std::string_view> fields)
{
    return allWordsFound(fields, searchWords(searchText));
}

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
