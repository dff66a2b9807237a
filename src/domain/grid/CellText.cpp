#include "domain/grid/CellText.h"

#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include <array>
#include <cstdint>

namespace tess {
namespace {

constexpr std::array<TextId, GridColumnCount> ColumnTitles {TextId::GridTitleCode, TextId::GridTitleName,
    TextId::GridTitleRange, TextId::GridTitleDefault, TextId::GridTitleValue, TextId::GridTitleDecimals,
    TextId::GridTitleFigures};

std::string titleText(const GridSource& source, int col)
{
    TextId id = ColumnTitles[static_cast<std::size_t>(col)];
    // A comparison shows the compared values and the judgment in the last two.
    if (source.comparison && col == ColDecimals)
        id = TextId::CompareTitleValue;
    if (source.comparison && col == ColFigures)
        id = TextId::CompareTitleJudgment;
    return std::string(text(id, source.language));
}

std::string rawText(const GridSource& source, int slot, int col)
{
    switch (col) {
    case ColCode:
        return "---";
    case ColName:
        return "----------";
    case ColRange:
        return "--------------";
    case ColDefault:
    case ColValue:
        return std::to_string((*source.values)[static_cast<std::size_t>(slot)]);
    case ColDecimals:
        return "0";
    default:
        return "5";
    }
}

std::string tableText(const GridSource& source, const ParameterDef& def, int col)
{
    const Language language = source.language;
    switch (col) {
    case ColCode:
        return std::string(def.code);
    case ColName:
        return std::string(language == Language::Japanese ? def.nameJapanese : def.nameEnglish);
    case ColRange:
        return std::string(def.range400V ? text(TextId::TableRange400V, language) : def.rangeText);
    case ColDefault:
        return def.capacityWord ? std::to_string(source.capacity) : tables::formatUnits(def.defaultUnits, def.decimals);
    case ColValue:
        return def.capacityWord
            ? std::to_string(source.capacity)
            : valueText((*source.values)[static_cast<std::size_t>(def.slot)], def.decimals, def.signFlag);
    case ColDecimals:
        return std::string(def.decimalsText);
    default:
        return std::to_string(def.significantFigures);
    }
}

// The compared file's texts of a slot its table walks: its own code, names
// and range, its value and whether it differs; the open data set's default
// and value stay beside them.
std::string comparedText(const GridSource& source, const tables::ComparedRow& row, int slot, int col)
{
    const Language language = source.language;
    const tables::Comparison& comparison = *source.comparison;
    switch (col) {
    case ColCode:
        return row.code;
    case ColName:
        return language == Language::Japanese ? row.nameJapanese : row.nameEnglish;
    case ColRange:
        return row.range400V ? std::string(text(TextId::CompareRange400V, language)) : row.rangeText;
    case ColDecimals: {
        if (row.capacityWord)
            return std::to_string(comparison.compared.identity.capacity);
        // The compared words are read as signed, whatever the sign flag.
        const auto word = static_cast<std::int16_t>(
            static_cast<std::uint16_t>(comparison.compared.values[static_cast<std::size_t>(slot)]));
        return row.decimals == 0 ? std::to_string(word) : tables::formatScaledValue(word, row.decimals);
    }
    case ColFigures:
        return comparison.differs[static_cast<std::size_t>(slot)] ? std::string(text(TextId::CompareMarker, language))
                                                                  : std::string();
    default:
        return {};
    }
}

} // namespace

int gridRowCount(const GridSource& source)
{
    return source.content == GridContent::None ? GridRowsEmpty : GridRowsWithTable;
}

std::string cellText(const GridSource& source, int row, int col)
{
    if (col < 0 || col >= GridColumnCount || row < 0 || row >= GridRowsWithTable)
        return {};
    if (row == 0)
        return titleText(source, col);
    const int slot = row - 1;
    if (slot >= SlotCount || source.content == GridContent::None)
        return {};
    if (source.content == GridContent::Raw)
        return rawText(source, slot, col);

    if (source.comparison && col != ColDefault && col != ColValue) {
        if (const auto& compared = source.comparison->rows[static_cast<std::size_t>(slot)])
            return comparedText(source, *compared, slot, col);
    }
    if (!source.table)
        return {};
    const std::optional<ParameterDef>& def = source.table->def(slot);
    return def ? tableText(source, *def, col) : std::string();
}

std::string valueText(std::int32_t value, int decimals, std::int16_t signFlag)
{
    const auto low = static_cast<std::uint16_t>(value);
    const std::int64_t stored = signFlag == 0 ? static_cast<std::int16_t>(low) : low;
    return decimals == 0 ? std::to_string(stored) : tables::formatScaledValue(stored, decimals);
}

} // namespace tess
