#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Message.h"
#include "domain/grid/CellText.h"
#include "domain/tables/ParameterTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tess {

// Grid rows whose values the cross-parameter rules read: in the parameter
// tables they hold "Fund.-0", "Fund.-1", "Fund.-2", "A-0", "A-1".
constexpr std::array<int, 5> CrossRuleRows {1, 2, 3, 12, 13};

// The longest entry the value cell takes; longer texts are refused.
constexpr std::size_t MaxCellEntryLength = 63;

// Every parameter is limited to five significant digits.
constexpr int MaxSignificantDigits = 5;

// Everything one Enter in the value column looks at.
struct CellEntry {
    std::string_view typed; // the value cell as the editor left it
    // The row's decimal places; nothing for a row that holds no parameter.
    std::optional<int> decimals;
    // The row's default is below zero: any entry is then looked at.
    bool negativeDefault = false;
    std::string_view code;
    // The stored words of CrossRuleRows; nothing for a row without a value.
    // The edited row's is taken from the typed text.
    std::array<std::optional<std::int16_t>, CrossRuleRows.size()> ruleWords {};
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

// The entry of `typed` in the value cell of grid row `row` of a data set
// shown as `content` with `table` over `values` (capacity: the identity's
// capacity index, which the capacity word holds): the row's decimal places,
// its code and the words the rules between the first parameters read.
// The one place that says what an Enter in a row is checked against, for
// the grid and for the check of a whole data set.
CellEntry cellEntryFor(GridContent content, const ParameterTable& table, const ParameterSet& values, int capacity,
    int row, std::string_view typed);

} // namespace tess
