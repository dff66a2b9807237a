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
    CellEntry entry;
    entry.typed = typed;
    entry.defaultText = doc.rows.text(row, ColDefault);
    entry.decimalsText = doc.rows.text(row, ColDecimals);
    entry.code = doc.rows.text(row, ColCode);
    for (std::size_t i = 0; i < CrossRuleRows.size(); ++i)
        entry.ruleTexts[i] = doc.rows.text(CrossRuleRows[i], ColValue);
    entry.stored = doc.values[static_cast<std::size_t>(row - 1)];
    entry.rawDataSet = doc.state.rawDataSetMode;
    entry.row = row;
    return entry;
}

} // namespace

void restoreCell(Document& doc, int row)
{
    if (!isGridRow(row))
        return;
    if (!hasSlot(row)) {
        doc.rows.setText(row, ColValue, {});
        return;
    }
    const std::int32_t value = doc.values[static_cast<std::size_t>(row - 1)];
    // Without readable decimal places the plain stored integer is shown.
    const std::optional<std::int32_t> d = parseInteger(doc.rows.text(row, ColDecimals));
    doc.rows.setText(row, ColValue, d ? tables::formatScaledValue(value, *d) : std::to_string(value));
}

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

    // The cell holds the entry while it is checked: the rules between the
    // first parameters read the edited row from the grid like the others.
    const std::string typed(typedText);
    std::string shownBefore = doc.rows.text(row, ColValue);
    doc.rows.setText(row, ColValue, typed);

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
        doc.history.record({row, stored, verdict.value, std::move(shownBefore), typed});
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
        restoreCell(doc, row);
        break;
    case CellOutcome::Refused:
        ui.showMessage(verdict.message, ws.settings.language);
        restoreCell(doc, row);
        break;
    case CellOutcome::OutsideArea:
        ui.showMessage(verdict.message, ws.settings.language);
        doc.rows.setText(row, ColValue, {});
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
    if (doc.rows.text(row, ColCode).empty()) {
        doc.rows.setText(row, ColValue, {});
    } else if (doc.state.compareMode) {
        // a comparison shows its own texts; they stay
    } else if (doc.state.rawDataSetMode) {
        if (hasSlot(row))
            doc.rows.setText(row, ColValue, std::to_string(doc.values[static_cast<std::size_t>(row - 1)]));
    } else {
        restoreCell(doc, row);
    }
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
    if (!isGridRow(row))
        return 0;
    if (doc.rows.text(row, ColCode).empty())
        doc.rows.setText(row, ColValue, {});
    else
        restoreCell(doc, row);
    return row;
}

} // namespace tess
