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
// stored, the cell keeps the text as typed, the just-edited flag and the
// status text are set, the document is unsaved and Save enabled, and the
// entry joins the edit history (Undo enabled, Redo dropped). Refused: the message is
// shown and the cell shows the stored value again. An entry the validation
// cannot read as a number leaves an empty cell.
CellCommitResult commitCellEdit(Workspace& ws, Ui& ui, int row, std::string_view typedText);

// Writes the display text of the stored value into the value cell of `row`.
void restoreCell(Document& doc, int row);

// An arrow key leaves the cell: the typed text is dropped (an empty row stays
// empty, a raw data set shows plain integers, a comparison is left as it is).
void abandonCellEdit(Document& doc, int row);

// Any other key in the value cell of `row`: the user is typing.
void noteCellTyping(Document& doc, int row);

// A mouse button pressed in the grid. When the user had typed into a cell
// without Enter, that cell shows the stored value again; returns its row
// (0 when nothing was put back).
int cellMouseDown(Document& doc);

} // namespace tess
