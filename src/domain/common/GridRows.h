#pragma once

#include "domain/common/Identity.h"

#include <array>
#include <memory>
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
//
// A copy shares the columns with the rows it was made from until one of them
// writes into a column: a reload of an unchanged table hands every document
// the same columns, and the comparison's copy of the grid costs nothing.
class GridRows {
public:
    GridRows();
    GridRows(const GridRows&) = default;
    GridRows& operator=(const GridRows&) = default;
    // A grid moved from is left as a new one: its cells stay readable.
    GridRows(GridRows&& other) noexcept;
    GridRows& operator=(GridRows&& other) noexcept;
    ~GridRows() = default;

    int rowCount() const { return m_rowCount; }
    void setRowCount(int rows) { m_rowCount = rows; }

    const std::string& text(int row, int col) const { return m_columns.at(col)->at(row); }
    // A column shared with other rows is copied first. The cell keeps its
    // storage: refilling the rows allocates nothing for texts no longer than
    // the ones before.
    void setText(int row, int col, std::string_view text) { writableColumn(col).at(row).assign(text); }
    // A copy of the row's texts.
    std::array<std::string, GridColumnCount> row(int row) const;

    // Empties every cell of rows 1 to 685 and shows 20 rows; the header stays.
    void clearBody();

    // Whether both hold the very same cells of a column (equal without
    // looking at them).
    bool sharesColumn(const GridRows& other, int col) const { return m_columns.at(col) == other.m_columns.at(col); }

private:
    using Column = std::vector<std::string>;
    Column& writableColumn(int col);

    std::array<std::shared_ptr<Column>, GridColumnCount> m_columns;
    int m_rowCount = GridRowsEmpty;
};

// The rows of values without a table: each slot's value under dashes, so that
// a data set no table can show can still be looked at, edited as plain
// integers and saved with a readable copy of its own values.
void fillRawRows(GridRows& rows, const ParameterSet& values);

} // namespace tess
