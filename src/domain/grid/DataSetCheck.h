#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Message.h"
#include "domain/tables/ParameterTable.h"

#include <string>
#include <vector>

namespace tess {

// Why a stored value would not be taken in its row.
enum class ValueFault {
    OutsideRange, // below or above the range its table row gives
    Refused, // the grid would refuse it on entry: its decimal places or a rule between the first parameters
};

// One value of a data set that its table row does not allow.
struct ValueFailure {
    int slot = 0;
    ValueFault fault = ValueFault::OutsideRange;
    std::string code; // the row's code, e.g. "D-9"
    std::string valueText; // the value as the grid shows it
    std::string allowedText; // OutsideRange: the row's range text
    Message reason; // Refused: what the grid says on entry
};

// `checkDataSet`: every value of a data set shown with a table that its row
// would not take: outside the row's range, or refused as if typed into its
// cell (decimal places, the rules between "Fund.-0".."Fund.-2", "A-0" and
// "A-1"). Reserved slots, slots without a record and the capacity word are
// not looked at. In slot order; empty when every value holds. A value read
// from a file is never checked by anything else: a damaged digit or a hand
// edit is a valid number, and this is where it is told.
std::vector<ValueFailure> checkDataSet(const ParameterTable& table, const ParameterSet& values, int capacity);

// One failure as a line: "D-9 = 8, allowed 0/1", or the code and value with
// the grid's message.
Message describeValueFailure(const ValueFailure& failure);

} // namespace tess
