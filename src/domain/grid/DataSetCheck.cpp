#include "domain/grid/DataSetCheck.h"

#include "domain/grid/CellText.h"
#include "domain/grid/CellValidation.h"
#include "domain/tables/ConversionReport.h"
#include "domain/text/Texts.h"

#include <algorithm>

namespace tess {

std::vector<ValueFailure> checkDataSet(const ParameterTable& table, const ParameterSet& values, int capacity)
{
    std::vector<ValueFailure> failures;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::optional<ParameterDef>& def = table.def(slot);
        if (!tables::isParameter(def) || def->capacityWord)
            continue;
        const std::int32_t value = values[static_cast<std::size_t>(slot)];
        ValueFailure failure;
        failure.slot = slot;
        failure.code = def->code;
        failure.valueText = valueText(value, def->decimals, def->signFlag);
        if (tables::outsideRange(*def, value)) {
            failure.fault = ValueFault::OutsideRange;
            failure.allowedText = tables::effectiveRangeText(*def);
            failures.push_back(std::move(failure));
            continue;
        }
        // The value as it is shown, entered again: whatever the grid would
        // refuse of it, the drive should not be given either.
        const CellVerdict verdict
            = validateCellEntry(cellEntryFor(GridContent::Table, table, values, capacity, slot + 1, failure.valueText));
        // Outside the area: a row the rules read holds no value (a table
        // without it), so there is nothing to hold this value against.
        if (verdict.outcome != CellOutcome::Refused)
            continue;
        failure.fault = ValueFault::Refused;
        failure.reason = verdict.message;
        failures.push_back(std::move(failure));
    }
    return failures;
}

Message describeValueFailure(const ValueFailure& failure)
{
    if (failure.fault == ValueFault::OutsideRange)
        return message(TextId::CheckValueOutsideRange, failure.code, failure.valueText, failure.allowedText);
    // The grid's message may run over two lines; a failure is one.
    const auto oneLine = [](std::string text) {
        std::replace(text.begin(), text.end(), '\n', ' ');
        return text;
    };
    const Message head = message(TextId::CheckValueRefused, failure.code, failure.valueText);
    return Message {head.ja + oneLine(failure.reason.ja), head.en + oneLine(failure.reason.en)};
}

} // namespace tess
