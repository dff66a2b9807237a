#pragma once

#include "domain/text/Texts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tess {

struct Workspace;

// One accepted value entry: the value of `row` before and after it.
struct ValueEntry {
    int row = 0; // grid row, slot + 1
    std::int32_t before = 0;
    std::int32_t after = 0;
};

// What emptied the history last. A language switch reloads the table under
// the rows and an Inverter change moves the values to another table: the
// entries no longer describe the grid, and the Undo and Redo items say why
// they have nothing to offer.
enum class HistoryCleared { Nothing, ByLanguageSwitch, ByInverterChange };

// The value entries since the data set was opened or made, to take back and
// make again in order. The history knows the point at which the document
// matches its file: an undo or redo that reaches it makes the document saved
// again, any other step leaves it unsaved. Save moves the point; an entry
// made after undoing past it makes it unreachable.
class EditHistory {
public:
    // Forgets every entry. `documentSaved` tells whether the document as it
    // now stands matches its file. Nothing (a data set opened, made or
    // closed) starts afresh; a language switch or an Inverter change is kept
    // as the reason only when it had something to forget.
    void clear(HistoryCleared reason, bool documentSaved);
    // An accepted entry; the entries taken back are dropped.
    void record(ValueEntry entry);
    // The entry to take back, the history stepped back past it; nothing
    // when there is none.
    std::optional<ValueEntry> stepBack();
    // The entry to make again, the history stepped forward past it.
    std::optional<ValueEntry> stepForward();
    // The document now matches its file.
    void markSaved();

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_entries.size(); }
    // Whether the document stands where it was last saved (or opened).
    bool atSavedPoint() const { return m_savedPoint == m_done; }
    HistoryCleared clearedBy() const { return m_clearedBy; }

private:
    std::vector<ValueEntry> m_entries;
    std::size_t m_done = 0; // entries in force, from the front
    std::optional<std::size_t> m_savedPoint = 0;
    HistoryCleared m_clearedBy = HistoryCleared::Nothing;
};

// Edit > Undo: the last entry in force taken back. The stored value and the
// cell's text are as before the entry, the document saved exactly when that
// is where it was saved. Nothing while no document is open or a comparison is
// shown (its values are for looking only). Returns the grid row changed, 0
// when nothing was.
int undoValueEntry(Workspace& ws);
// Edit > Redo: the last entry taken back made again.
int redoValueEntry(Workspace& ws);

// Sets the Undo and Redo command states from the history and the document.
void showEditHistoryCommands(Workspace& ws);

// The caption of Undo and Redo: the usual one, or, while there is nothing to
// offer because a language switch or an Inverter change emptied the history,
// one that says so.
TextId undoCommandText(const Workspace& ws);
TextId redoCommandText(const Workspace& ws);

} // namespace tess
