// Feeds arbitrary typed texts (and the default's sign, the decimal places and
// the rule words read from texts cut from the same bytes) to the value-cell
// checks. An accepted entry always stores
// the integer its text reads as, with the decimal places of its row and at
// most five significant digits.
#include "domain/grid/CellValidation.h"
#include "domain/tables/ValueFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

using namespace tess;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Fields separated by NUL bytes: typed, default, decimals, code, then the
    // five rule texts.
    std::vector<std::string_view> fields;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (fields.size() < 9) {
        const std::size_t end = rest.find('\0');
        fields.push_back(rest.substr(0, end));
        if (end == std::string_view::npos) {
            rest = {};
            continue;
        }
        rest.remove_prefix(end + 1);
    }

    CellEntry entry;
    entry.typed = fields[0];
    entry.negativeDefault = fields[1].starts_with('-');
    entry.decimals = parseInteger(fields[2]);
    entry.code = fields[3];
    for (std::size_t i = 0; i < entry.ruleWords.size(); ++i) {
        if (const std::optional<std::int32_t> word = tables::toScaledInteger(fields[4 + i]))
            entry.ruleWords[i] = static_cast<std::int16_t>(*word);
    }
    entry.row = 20;
    entry.stored = 7;
    const CellVerdict verdict = validateCellEntry(entry);

    if (verdict.outcome == CellOutcome::Accepted) {
        const auto value = tables::toScaledInteger(entry.typed);
        if (!value || *value != verdict.value || verdict.value == entry.stored)
            std::abort();
        if (entry.typed.size() > MaxCellEntryLength)
            std::abort();
        int digits = 0;
        for (const char c : entry.typed)
            digits += c >= '0' && c <= '9';
        if (digits > MaxSignificantDigits)
            std::abort();
    }
    return 0;
}
