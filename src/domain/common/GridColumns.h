#pragma once

namespace tess {

// The parameter grid: row 0 holds the column titles, row s + 1 slot s.
constexpr int GridColumnCount = 7;
constexpr int GridRowsWithTable = 686; // header + 685
constexpr int GridRowsEmpty = 20;

enum GridColumn : int {
    ColCode = 0,
    ColName = 1,
    ColRange = 2,
    ColDefault = 3,
    ColValue = 4,
    ColDecimals = 5,
    ColFigures = 6,
};

} // namespace tess
