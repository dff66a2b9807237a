#pragma once

#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"

#include <array>
#include <string>
#include <vector>

namespace tess::test {

using GridRowTexts = std::array<std::string, GridColumnCount>;

// The texts the grid shows in one row of the open document.
inline GridRowTexts gridRowTexts(const Workspace& ws, int row)
{
    GridRowTexts texts;
    for (int col = 0; col < GridColumnCount; ++col)
        texts[static_cast<std::size_t>(col)] = gridText(ws, row, col);
    return texts;
}

// Every row's texts, the title row first.
inline std::vector<GridRowTexts> gridTexts(const Workspace& ws)
{
    std::vector<GridRowTexts> rows;
    for (int row = 0; row < GridRowsWithTable; ++row)
        rows.push_back(gridRowTexts(ws, row));
    return rows;
}

} // namespace tess::test
