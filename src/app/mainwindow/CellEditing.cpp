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

// The stored word of a grid row as the rules between the first parameters
// read it; nothing for a row the grid shows no value in.
std::optional<std::int16_t> ruleWord(const Document& doc, int row)
{
    const int slot = row - 1;
    if (doc.content == GridContent::Raw)
        return static_cast<std::int16_t>(doc.values[static_cast<std::size_t>(slot)]);
    const std::optional<ParameterDef>& def = doc.table.def(slot);
    if (doc.content != GridContent::Table || !def)
        return std::nullopt;
    const std::int32_t word = def->capacityWord ? doc.identity.capacity : doc.values[static_cast<std::size_t>(slot)];
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(word));
}

CellEntry entryOf(const Document& doc, int row, std::string_view typed)
{
    CellEntry entry;
    entry.typed = typed;
    const int slot = row - 1;
    if (doc.content == GridContent::Raw) {
        // A raw data set shows plain integers, its own values as defaults.
        entry.decimals = 0;
        entry.negativeDefault = doc.values[static_cast<std::size_t>(slot)] < 0;
    } else if (const std::optional<ParameterDef>& def = doc.table.def(slot); doc.content == GridContent::Table && def) {
        entry.decimals = def->decimals;
        entry.negativeDefault = !def->capacityWord && def->defaultUnits < 0;
        entry.code = def->code;
    }
    for (std::size_t i = 0; i < CrossRuleRows.size(); ++i)
        entry.ruleWords[i] = ruleWord(doc, CrossRuleRows[i]);
    entry.stored = doc.values[static_cast<std::size_t>(slot)];
    entry.rawDataSet = doc.content == GridContent::Raw;
    entry.row = row;
    return entry;
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
