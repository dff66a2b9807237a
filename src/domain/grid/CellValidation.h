#pragma once

#include "domain/common/Message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tess {

// Grid rows whose value column the cross-parameter rules read: in the
// parameter tables they hold "Fund.-0", "Fund.-1", "Fund.-2", "A-0", "A-1".
constexpr std::array<int, 5> CrossRuleRows {1, 2, 3, 12, 13};

// The longest entry the value cell takes; longer texts are refused.
constexpr std::size_t MaxCellEntryLength = 63;

// Every parameter is limited to five significant digits.
constexpr int MaxSignificantDigits = 5;

// Everything one Enter in the value column looks at, as the grid holds it.
struct CellEntry {
    std::string_view typed; // the value cell as the editor left it
    std::string_view defaultText; // column 3; only its first character counts
    std::string_view decimalsText; // column 5
    std::string_view code; // column 0
    // The value column of CrossRuleRows as it stands: the edited row already
    // holds the typed text.
    std::array<std::string_view, CrossRuleRows.size()> ruleTexts {};
    std::int32_t stored = 0; // the ParameterSet value of the row
    bool rawDataSet = false;
    int row = 0; // grid row, named in the status text of a raw data set
};

enum class CellOutcome {
    Accepted, // store `value`, show `status`
    Refused, // show `message`, put the cell back
    Unchanged, // the value is already stored: no message, empty status bar, put the cell back
    OutsideArea, // a text could not be read as a number: show `message`, empty the cell
};

struct CellVerdict {
    CellOutcome outcome = CellOutcome::Refused;
    std::int32_t value = 0;
    Message message;
    Message status;
};

// The checks of one Enter in the value column, in their fixed order: the
// pre-check on the first characters, the form of the text (digits, sign,
// decimal point, decimal places, significant digits), the rules between
// "Fund.-0".."Fund.-2", "A-0" and "A-1", and the comparison with the stored
// value. Pure: the caller applies the verdict.
CellVerdict validateCellEntry(const CellEntry& entry);

} // namespace tess
