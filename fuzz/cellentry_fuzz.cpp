// Feeds arbitrary typed texts (and default, decimals and rule texts cut from
// the same bytes) to the value-cell checks. An accepted entry always stores
// the integer its text reads as, with the decimal places of its row and at
// most five significant digits.
#include "domain/grid/CellValidation.h"
#include "domain/tables/ValueFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
    entry.defaultText = fields[1];
    entry.decimalsText = fields[2];
    entry.code = fields[3];
    for (std::size_t i = 0; i < entry.ruleTexts.size(); ++i)
        entry.ruleTexts[i] = fields[4 + i];
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
