#include "domain/common/GridRows.h"

namespace tess {

void fillRawRows(GridRows& rows, const ParameterSet& values)
{
    rows.clearBody();
    rows.setRowCount(GridRowsWithTable);
    for (int slot = 0; slot < SlotCount; ++slot) {
        const int row = slot + 1;
        const std::string value = std::to_string(values[static_cast<std::size_t>(slot)]);
        rows.setText(row, ColCode, "---");
        rows.setText(row, ColName, "----------");
        rows.setText(row, ColRange, "--------------");
        rows.setText(row, ColDefault, value);
        rows.setText(row, ColValue, value);
        rows.setText(row, ColDecimals, "0");
        rows.setText(row, ColFigures, "5");
    }
}

} // namespace tess
