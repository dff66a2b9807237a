#pragma once

#include "domain/common/Identity.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

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

// The texts the parameter grid shows, row 0 being the header. Several rules
// read and write these texts (validation reads the value column, the .csv is
// written from them), so they are data owned by the document, not view state.
// Cells always exist for all 686 rows; the row count only says how many the
// grid shows.
class GridRows {
public:
    GridRows() : m_cells(GridRowsWithTable) {}

    int rowCount() const { return m_rowCount; }
    void setRowCount(int rows) { m_rowCount = rows; }

    const std::string& text(int row, int col) const { return m_cells.at(row).at(col); }
    // The cell keeps its storage: refilling the rows (a reload of the table)
    // allocates nothing for texts no longer than the ones before.
    void setText(int row, int col, std::string_view text) { m_cells.at(row).at(col).assign(text); }
    const std::array<std::string, GridColumnCount>& row(int row) const { return m_cells.at(row); }

    // Empties every cell of rows 1 to 685 and shows 20 rows; the header stays.
    void clearBody()
    {
        for (std::size_t r = 1; r < m_cells.size(); ++r)
            for (auto& cell : m_cells[r])
                cell.clear();
        m_rowCount = GridRowsEmpty;
    }

private:
    std::vector<std::array<std::string, GridColumnCount>> m_cells;
    int m_rowCount = GridRowsEmpty;
};

// The rows of values without a table: each slot's value under dashes, so that
// a data set no table can show can still be looked at, edited as plain
// integers and saved with a readable copy of its own values.
void fillRawRows(GridRows& rows, const ParameterSet& values);

} // namespace tess
