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
enum class LoadResult {
    Done, // filled; also after the funcset2 message
    Unreadable, // a table or capacity default file cannot be read
    // The filling ended early at a damaged or missing line (the "Area:"
    // message): the rows before it are filled, the rest are not. Never a
    // complete table, so never a new data set.
    Incomplete,
    UnsupportedSpecial, // model 99 with the special functions on
    Unsupported, // model 99, or no table, with the special functions off
};

// Which values the loaded table shows.
enum class TableValues {
    Defaults, // a new data set: the table's defaults, written into the values too
    Stored, // the document's values as they are
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
// motor-group, V/F and 400 V rules, showing the values asked for. The loaded table (area limits, records) replaces the
// document's once its file could be read. Messages go to ui.
LoadResult loadParameterTable(Workspace& ws, Ui& ui, TableValues values, TableSource source = TableSource::Recorded);

// The data set's capacity word ("S-2" of the loaded table) is its capacity
// index: the grid, the .csv and the drive must not be told two capacities.
// Sets the word; returns the word it held when that differed.
std::optional<std::int32_t> alignCapacityWord(Document& doc);

} // namespace tess::tables
