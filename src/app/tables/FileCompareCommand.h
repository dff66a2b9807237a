#pragma once

#include "domain/tables/FileCompare.h"

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::tables {

enum class CompareResult {
    Done,
    Failed, // its message is shown; the document is as it was
};

// `compareParameterTable`: checks the compared identity against the open
// data set's (a different model, control mode or ROM version fails with its
// message, a different capacity only warns), then walks the table of the
// compared identity as the loader does: the grid then shows, in every row it
// defines, the compared table's code, name and range, the compared value and
// the difference marker (see cellText). The document's comparison changes
// only when the whole walk succeeds; the open data set's identity, values,
// table and recorded table lookup never change.
CompareResult compareParameterTable(Workspace& ws, Ui& ui, const ComparedDataSet& compared);

} // namespace tess::tables
