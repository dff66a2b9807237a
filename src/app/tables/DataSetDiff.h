#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::tables {

// One parameter whose value is not the same on the two sides, in the texts
// the grid shows.
struct DiffLine {
    int slot = 0;
    std::string code;
    std::string name;
    // Of data sets of different tables: the second table's code and name
    // where it holds another parameter in the slot, otherwise empty.
    std::string otherCode;
    std::string otherName;
    // Nothing on a side whose table has no parameter in the slot.
    std::optional<std::string> left;
    std::optional<std::string> right;
};

struct DataSetDiff {
    // The two data sets are of different models, control modes or ROM
    // versions: each word was read with its own file's table.
    bool ownTables = false;
    std::vector<DiffLine> lines; // by slot
};

// The parameters whose values differ between the data set open in `left`
// and the one open in `right`, both shown with their tables. Of one table
// they are compared as Compare Files compares them (its rules and notices:
// a different capacity is told and compared all the same), each value shown
// as its own data set's grid shows it. Of different tables they are compared
// slot by slot, each with its own table: a slot differs when the numbers
// the two grids show differ or only one table holds a parameter there. Nothing when
// the comparison could not be made; the notices have said why.
std::optional<DataSetDiff> diffDataSets(Workspace& left, const Workspace& right, Ui& ui);

// The parameters of the open data set whose values are changed from their
// table's default (the rule of the grid's "Changed from default"): the
// value on the left, the default on the right.
DataSetDiff diffWithDefaults(const Workspace& ws);

} // namespace tess::tables
