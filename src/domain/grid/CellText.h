#pragma once

#include "domain/common/GridColumns.h"
#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/tables/FileCompare.h"
#include "domain/tables/ParameterTable.h"

#include <string>

namespace tess {

// What the parameter grid lays out.
enum class GridContent {
    None, // no data set: the titles and 19 empty rows
    Table, // the rows of the loaded table's records
    Raw, // a data set no table shows: each slot's plain value under dashes
};

// Everything the texts of the grid are computed from. It refers to the data
// set and does not own it.
struct GridSource {
    GridContent content = GridContent::None;
    const ParameterTable* table = nullptr; // with Table
    const ParameterSet* values = nullptr; // with Table and Raw
    int capacity = 0; // the identity's capacity index, which the capacity word shows
    // While comparing: the titles of columns 5 and 6 name the compared
    // value and the judgment, and the comparison's rows show beside the
    // open data set's. A comparison still being chosen has no rows yet.
    const tables::Comparison* comparison = nullptr;
    Language language = Language::English;
};

// How many rows the grid has, the title row included.
int gridRowCount(const GridSource& source);

// The text of one cell: the one place a row's texts are made, for the grid,
// the .csv copy, the printout, the command line and the communication log.
std::string cellText(const GridSource& source, int row, int col);

// The text of a stored value with the parameter's decimal places, its low 16
// bits read as signed or not by the sign flag.
std::string valueText(std::int32_t value, int decimals, std::int16_t signFlag);

} // namespace tess
