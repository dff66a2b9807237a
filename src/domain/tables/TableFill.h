#pragma once

#include "domain/common/GridRows.h"
#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"
#include "domain/tables/ParameterTable.h"

#include <string>
#include <vector>

namespace tess::tables {

// What filling the grid rows from one table file needs to know.
struct TableFillRequest {
    std::string applicationFolder; // where the capacity default files lie ("MSEL")
    std::string tablePath;
    bool substitute = false; // an older ROM version's table stands in
    InverterIdentity identity;
    char controlModeLetter = 0; // of the identity's family: 'O' is V/F mode
    ModelFamily family = ModelFamily::QM;
    Language language = Language::English; // of the names in column 1
    // false: a new data set, whose values become the shown defaults; true:
    // the values are shown as they are.
    bool keepValues = false;
};

enum class FillOutcome {
    Done, // every area was walked
    Unreadable, // the table or a capacity default file cannot be read
    Incomplete, // a damaged or missing line ended the filling early
};

// The grid rows, values and table a fill made, and what to tell the user,
// in the order it arose.
struct TableFill {
    FillOutcome outcome = FillOutcome::Done;
    bool tableRead = false; // the table file could be read: table holds it
    ParameterTable table;
    GridRows rows;
    ParameterSet values {};
    std::vector<Message> notices;
};

// Reads the table file and fills the rows of the slots it defines (rows s + 1
// of rows, the other rows as given), applying the capacity, motor-group, V/F
// and 400 V rules; without keepValues every shown value is also written into
// values. The notices are the messages of the described loader: an
// unreadable file, a sign flag that is no number, a capacity default file
// that is missing or unusable, and where the filling ended early.
TableFill fillFromTable(const TableFillRequest& request, GridRows rows, const ParameterSet& values);

} // namespace tess::tables
