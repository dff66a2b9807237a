#pragma once

#include "domain/common/Identity.h"
#include "domain/tables/ParameterTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess::tables {

// What an inverter change did to one word of the data set. The values are
// kept slot by slot, so each kind says how the kept word reads under the new
// table.
enum class ConversionKind {
    Meaning, // both tables hold a parameter here, with another code or name
    OutOfRange, // the kept value lies outside the new table's range
    DecimalPlaces, // the decimal places differ: the kept word reads as another number
    DefaultDiffers, // the effective default differs
    NowParameter, // the slot was reserved (or had no record) and is a parameter now
    NowReserved, // the slot held a parameter and is reserved (or has no record) now
    SetFromCapacity, // the capacity word, set to the new capacity index
    // Any other word whose value is not the one it had before: a word the
    // drive sends is converted on its way into the data set (the 400 V
    // class doubling). An Inverter change keeps its words and never has one.
    ValueConverted,
};
constexpr int ConversionKindCount = 8;

// A word may have changed in several ways at once (a new parameter whose
// kept value lies outside its range), so a row carries every kind that
// holds rather than the first by some precedence; NowParameter and
// NowReserved exclude Meaning, DecimalPlaces and DefaultDiffers, which
// compare two parameters.
struct ConversionRow {
    int slot = 0;
    std::uint8_t kinds = 0; // bit (1 << ConversionKind)
    std::string codeBefore, codeAfter;
    std::string nameJapaneseBefore, nameJapaneseAfter;
    std::string nameEnglishBefore, nameEnglishAfter;
    std::string valueBefore, valueAfter; // as the grid shows the word under each table
    std::string defaultBefore, defaultAfter;
    std::string rangeAfter; // the new table's range text

    bool has(ConversionKind kind) const { return (kinds & (1u << static_cast<unsigned>(kind))) != 0; }
};

struct ConversionReport {
    // One row per slot whose situation changed, in slot order.
    std::vector<ConversionRow> rows;
    // How many rows carry each kind (a row may count under several).
    std::array<int, ConversionKindCount> counts {};
    // The slots that read as before: rows.size() + unchanged == SlotCount.
    int unchanged = 0;

    int count(ConversionKind kind) const { return counts[static_cast<std::size_t>(kind)]; }
};

// The parameter's range as the stored units with `decimals` places: the
// lowest and highest. Nothing when the range text is not "MIN/MAX" of two
// decimal numbers (a leading "LABEL:" and a trailing "[UNIT]" are allowed),
// so a range of any other form is never claimed to be broken.
struct UnitRange {
    std::int64_t low = 0;
    std::int64_t high = 0;
};
std::optional<UnitRange> parseRange(std::string_view rangeText, int decimals);

// The range text a record shows: its own, or the 400 V class's fixed one.
std::string effectiveRangeText(const ParameterDef& def);

// Whether a stored value lies outside the range its record gives. A range
// that cannot be read, and the capacity word, never count as broken.
bool outsideRange(const ParameterDef& def, std::int32_t value);

// Whether the slot is a parameter rather than a reserved one ("予備" /
// "Reserved") or one without a record.
bool isParameter(const std::optional<ParameterDef>& def);

// The stored value as the record reads it: its low 16 bits, signed or not by
// the sign flag.
std::int64_t storedValue(std::int32_t value, std::int16_t signFlag);

// `reportConversion`: what the change from `before` to `after` did to each
// word, given the values under each (the values kept, with the capacity word
// set to the new capacity index) and the capacity indices before and after.
ConversionReport reportConversion(const ParameterTable& before, const ParameterTable& after,
    const ParameterSet& valuesBefore, const ParameterSet& valuesAfter, int capacityBefore, int capacityAfter);

} // namespace tess::tables
