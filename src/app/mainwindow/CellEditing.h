#pragma once

#include "app/common/Ui.h"
#include "domain/grid/CellValidation.h"

#include <string_view>

namespace tess {

struct Document;
struct Workspace;

struct CellCommitResult {
    bool handled = false; // false: no document open or no such row, nothing happened
    CellOutcome outcome = CellOutcome::Refused;
};

// Enter in the value cell of grid row `row` holding `typedText`: checks the
// entry (validateCellEntry) and applies the verdict. Accepted: the value is
// stored (the cell shows it as every value is shown), the just-edited flag
// and the status text are set, the document is unsaved and Save enabled, and
// the entry joins the edit history (Undo enabled, Redo dropped). Refused: the
// message is shown and the cell shows the stored value again.
CellCommitResult commitCellEdit(Workspace& ws, Ui& ui, int row, std::string_view typedText);

// An arrow key leaves the cell: the typed text is dropped and the cell shows
// what it showed before.
void abandonCellEdit(Document& doc, int row);

// Any other key in the value cell of `row`: the user is typing.
void noteCellTyping(Document& doc, int row);

// A mouse button pressed in the grid. When the user had typed into a cell
// without Enter, the typing is dropped; returns that cell's row (0 when
// nothing was dropped).
int cellMouseDown(Document& doc);

} // namespace tess
