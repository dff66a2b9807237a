#include "app/mainwindow/CellEditing.h"

#include "app/common/Workspace.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include <optional>

namespace tess {
namespace {

bool hasSlot(int row)
{
    return row >= 1 && row <= SlotCount;
}
bool isGridRow(int row)
{
    return row >= 1 && row < GridRowsWithTable;
}

CellEntry entryOf(const Document& doc, int row, std::string_view typed)
{
    return cellEntryFor(doc.content, doc.table, doc.values, doc.identity.capacity, row, typed);
}

} // namespace

CellCommitResult commitCellEdit(Workspace& ws, Ui& ui, int row, std::string_view typedText)
{
    Document& doc = ws.doc;
    CellCommitResult result;
    // A comparison shows the compared values in the decimal-places column:
    // an entry checked against it would be checked against the wrong rule.
    if (!doc.state.open || doc.state.compareMode || !isGridRow(row))
        return result;
    result.handled = true;
    doc.edit.row = row;
    doc.edit.pendingRestore = false;

    const std::string typed(typedText);
    CellVerdict verdict;
    if (hasSlot(row)) {
        verdict = validateCellEntry(entryOf(doc, row, typed));
    } else {
        verdict.outcome = CellOutcome::OutsideArea;
        verdict.message = message(TextId::MsgCellOutsideArea);
    }
    result.outcome = verdict.outcome;

    switch (verdict.outcome) {
    case CellOutcome::Accepted: {
        std::int32_t& stored = doc.values[static_cast<std::size_t>(row - 1)];
        doc.history.record({row, stored, verdict.value});
        stored = verdict.value;
        doc.edit.statusText = verdict.status.in(ws.settings.language);
        doc.edit.justEdited = true;
        doc.state.saved = false;
        ws.view.commands.saveItem = true;
        showEditHistoryCommands(ws);
        break;
    }
    case CellOutcome::Unchanged:
        doc.edit.statusText.clear();
        break;
    case CellOutcome::Refused:
    case CellOutcome::OutsideArea:
        ui.showMessage(verdict.message, ws.settings.language);
        break;
    }
    return result;
}

void abandonCellEdit(Document& doc, int row)
{
    if (!doc.state.open || !isGridRow(row))
        return;
    doc.edit.row = row;
    doc.edit.pendingRestore = false;
}

void noteCellTyping(Document& doc, int row)
{
    if (!doc.state.open || !isGridRow(row))
        return;
    doc.edit.row = row;
    doc.edit.pendingRestore = true;
}

int cellMouseDown(Document& doc)
{
    if (!doc.edit.pendingRestore)
        return 0;
    doc.edit.pendingRestore = false;
    const int row = doc.edit.row;
    return isGridRow(row) ? row : 0;
}

} // namespace tess
