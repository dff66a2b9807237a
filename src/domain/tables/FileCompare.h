#pragma once

#include "domain/common/GridRows.h"
#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// File comparison: a second data set laid out beside the open one in the
// same grid.
namespace tess::tables {

// The data set of the compared file, kept apart from the open one: the open
// data set's identity and values stay what Save, Save As and data write use.
struct ComparedDataSet {
    InverterIdentity identity;
    ParameterSet values {};
};

// What the comparison of a second data set with the open one needs.
struct CompareRequest {
    std::string applicationFolder;
    InverterIdentity openIdentity;
    ParameterSet openValues {};
    GridRows openRows; // as the grid shows the open data set
    Language language = Language::English;
};

// The rows of a comparison and what to tell the user, in order.
struct TableComparison {
    bool done = false; // the whole walk succeeded: rows and area limits hold the comparison
    GridRows rows;
    std::array<std::uint16_t, AreaCount> areaFirst {};
    std::array<std::uint16_t, AreaCount> areaLast {};
    std::vector<Message> notices;
};

// The rules of `compareParameterTable` below as a function of values.
TableComparison compareWithTable(const CompareRequest& request, const ComparedDataSet& compared);

} // namespace tess::tables
