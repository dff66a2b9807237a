#include "app/mainwindow/EditHistory.h"

#include "app/common/Workspace.h"

namespace tess {

void EditHistory::clear(HistoryCleared reason, bool documentSaved)
{
    const bool hadEntries = !m_entries.empty();
    m_entries.clear();
    m_done = 0;
    m_savedPoint = documentSaved ? std::optional<std::size_t>(0) : std::nullopt;
    if (reason == HistoryCleared::Nothing || hadEntries)
        m_clearedBy = reason;
}

void EditHistory::record(ValueEntry entry)
{
    m_entries.resize(m_done);
    // The saved state lay among the entries just dropped: no step leads back to it.
    if (m_savedPoint && *m_savedPoint > m_done)
        m_savedPoint.reset();
    m_entries.push_back(std::move(entry));
    ++m_done;
}

std::optional<ValueEntry> EditHistory::stepBack()
{
    if (!canUndo())
        return std::nullopt;
    --m_done;
    return m_entries[m_done];
}

std::optional<ValueEntry> EditHistory::stepForward()
{
    if (!canRedo())
        return std::nullopt;
    ++m_done;
    return m_entries[m_done - 1];
}

void EditHistory::markSaved()
{
    m_savedPoint = m_done;
}

namespace {

bool valuesEditable(const Document& doc)
{
    return doc.state.open && !doc.state.compareMode;
}

// One step through the history: the value on the side of the entry the step
// goes to, and the saved state where it leads. The grid
// row changed, 0 when nothing was.
int takeStep(Workspace& ws, bool forward)
{
    Document& doc = ws.doc;
    if (!valuesEditable(doc))
        return 0;
    const std::optional<ValueEntry> entry = forward ? doc.history.stepForward() : doc.history.stepBack();
    if (!entry)
        return 0;
    const int row = entry->row;
    doc.values[static_cast<std::size_t>(row - 1)] = forward ? entry->after : entry->before;
    // The changed cell is marked like an accepted entry; typing in progress
    // elsewhere ends here as a click elsewhere would end it.
    doc.edit.row = row;
    doc.edit.pendingRestore = false;
    doc.edit.justEdited = true;
    doc.state.saved = doc.history.atSavedPoint();
    ws.view.commands.saveItem = !doc.state.saved;
    showEditHistoryCommands(ws);
    return row;
}

} // namespace

int undoValueEntry(Workspace& ws)
{
    return takeStep(ws, false);
}

int redoValueEntry(Workspace& ws)
{
    return takeStep(ws, true);
}

void showEditHistoryCommands(Workspace& ws)
{
    const bool editable = valuesEditable(ws.doc);
    ws.view.commands.undoItem = editable && ws.doc.history.canUndo();
    ws.view.commands.redoItem = editable && ws.doc.history.canRedo();
}

namespace {

TextId historyCommandText(
    const EditHistory& history, bool offered, TextId usual, TextId afterLanguage, TextId afterInverterChange)
{
    if (offered)
        return usual;
    switch (history.clearedBy()) {
    case HistoryCleared::ByLanguageSwitch:
        return afterLanguage;
    case HistoryCleared::ByInverterChange:
        return afterInverterChange;
    case HistoryCleared::Nothing:
        break;
    }
    return usual;
}

} // namespace

TextId undoCommandText(const Workspace& ws)
{
    return historyCommandText(ws.doc.history, ws.doc.history.canUndo(), TextId::MenuUndo,
        TextId::MenuUndoClearedByLanguage, TextId::MenuUndoClearedByInverterChange);
}

TextId redoCommandText(const Workspace& ws)
{
    return historyCommandText(ws.doc.history, ws.doc.history.canRedo(), TextId::MenuRedo,
        TextId::MenuRedoClearedByLanguage, TextId::MenuRedoClearedByInverterChange);
}

} // namespace tess
