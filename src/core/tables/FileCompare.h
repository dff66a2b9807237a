#pragma once

#include "core/common/GridRows.h"
#include "core/common/Identity.h"
#include "core/common/Language.h"
#include "core/common/Message.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

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

enum CompareResult : int {
    CompareDone = 0,
    CompareFailed = -1, // its message is shown; the document is as it was
};

// `compareParameterTable`: checks the compared identity against the open
// data set's (a different model, control mode or ROM version fails with its
// message, a different capacity only warns), then walks the table of the
// compared identity as the loader does and rewrites grid columns 0, 1, 2, 5
// and 6 of every row it defines: code, name, range (the 400 V text for "F-0"
// of the 400 V class), the compared value (its low 16 bits as a signed
// number, the compared capacity index for "S-2") and the difference marker
// where columns 4 and 5 differ as signed 16-bit stored numbers. Columns 3
// and 4 keep the open data set's texts. The rows and the comparison's area
// limits (doc.compareAreaFirst/Last) change only when the whole walk
// succeeds; the open data set's identity, values, table and recorded table
// lookup never change.
int compareParameterTable(Workspace& ws, Ui& ui, const ComparedDataSet& compared);

} // namespace tess::tables
