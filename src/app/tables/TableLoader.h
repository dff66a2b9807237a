#pragma once

#include <cstdint>
#include <optional>

namespace tess {
class Ui;
struct Document;
struct Workspace;
} // namespace tess

namespace tess::tables {

// Results of `loadParameterTable`.
enum LoadResult : int {
    LoadDone = 0, // filled; also after the funcset2 message
    LoadUnreadable = 1, // a table or capacity default file cannot be read
    // The filling ended early at a damaged or missing line (the "Area:"
    // message): the rows before it are filled, the rest are not. Never a
    // complete table, so never a new data set.
    LoadIncomplete = 2,
    LoadUnsupportedSpecial = -1, // model 99 with the special functions on
    LoadUnsupported = -2, // model 99, or no table, with the special functions off
};

// Which table the load takes.
enum class TableSource {
    // The table the last lookup recorded (the selection dialog's choice, or
    // the table shown before): New, Inverter change, a language switch.
    Recorded,
    // The table of the identity of a data set just read, looked up now, with
    // an older ROM version's in its place where the special functions allow
    // it: Open and a data read.
    DataSetIdentity,
};

// `loadParameterTable`: chooses the table of the document's identity (an
// older ROM version's when the special functions allow it), reads it and
// fills grid rows 1..685 of the slots it defines, applying the capacity,
// motor-group, V/F and 400 V rules. keepValues 0 (a new data set) also
// writes every shown value into the ParameterSet; any other value shows the
// stored values. The loaded table (area limits, records) replaces the
// document's once its file could be read. Messages go to ui.
int loadParameterTable(Workspace& ws, Ui& ui, int keepValues, TableSource source = TableSource::Recorded);

// The data set's capacity word ("S-2" of the loaded table) is its capacity
// index: the grid, the .csv and the drive must not be told two capacities.
// Sets the word; returns the word it held when that differed.
std::optional<std::int32_t> alignCapacityWord(Document& doc);

} // namespace tess::tables
