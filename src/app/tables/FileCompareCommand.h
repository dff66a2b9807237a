#pragma once

#include "domain/tables/FileCompare.h"

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::tables {

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
