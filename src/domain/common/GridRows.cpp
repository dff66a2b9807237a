#include "domain/common/GridRows.h"

#include <utility>

namespace tess {
namespace {

// The one column of empty cells every new grid starts from.
const std::shared_ptr<std::vector<std::string>>& emptyColumn()
{
    static const auto column = std::make_shared<std::vector<std::string>>(GridRowsWithTable);
    return column;
}

} // namespace

GridRows::GridRows()
{
    m_columns.fill(emptyColumn());
}

GridRows::GridRows(GridRows&& other) noexcept
    : GridRows()
{
    std::swap(m_columns, other.m_columns);
    std::swap(m_rowCount, other.m_rowCount);
}

GridRows& GridRows::operator=(GridRows&& other) noexcept
{
    if (this != &other) {
        m_columns = std::move(other.m_columns);
        m_rowCount = other.m_rowCount;
        other.m_columns.fill(emptyColumn());
        other.m_rowCount = GridRowsEmpty;
    }
    return *this;
}

std::array<std::string, GridColumnCount> GridRows::row(int row) const
{
    std::array<std::string, GridColumnCount> texts;
    for (int c = 0; c < GridColumnCount; ++c)
        texts[static_cast<std::size_t>(c)] = text(row, c);
    return texts;
}

GridRows::Column& GridRows::writableColumn(int col)
{
    std::shared_ptr<Column>& column = m_columns.at(col);
    // Only this grid holds a column whose count is one: no other can be
    // reading it while it is written.
    if (column.use_count() != 1)
        column = std::make_shared<Column>(*column);
    return *column;
}

void GridRows::clearBody()
{
    for (int c = 0; c < GridColumnCount; ++c) {
        const Column& column = *m_columns.at(c);
        bool empty = true;
        for (std::size_t r = 1; r < column.size() && empty; ++r)
            empty = column[r].empty();
        if (empty)
            continue;
        Column& cells = writableColumn(c);
        for (std::size_t r = 1; r < cells.size(); ++r)
            cells[r].clear();
    }
    m_rowCount = GridRowsEmpty;
}

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
