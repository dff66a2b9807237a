#pragma once

#include "app/common/Ui.h"
#include "domain/common/Identity.h"
#include "domain/datafile/DataSetFiles.h"

#include <optional>
#include <string>

namespace tess {
struct Workspace;
}

// Reading and writing the console data file (.csl) of the open document and
// its readable .csv copy.
namespace tess::datafile {

// What the writer puts into the identity lines, and whether a .csv follows.
enum class SaveMode : int {
    Save = 0, // the document's identity; .csv
    SaveAs = 1, // the document's identity; .csv
    InverterRead = 2, // the identity received from the inverter; no .csv
    UnsupportedMachine = 3, // 99, 99, 99, 999; .csv
    UnsupportedRom = 4, // model, control mode and capacity received, then 999; .csv
};

// The identity lines a save of mode writes: the document's identity for
// Save and Save As, the identity received from the inverter for
// InverterRead, 99/99/99/999 for UnsupportedMachine, and the received model,
// control mode and capacity with 999 for UnsupportedRom.
InverterIdentity savedIdentity(SaveMode mode, const InverterIdentity& document, const InverterIdentity& received);

// Reads and parses the .csl at path and tells the user what is wrong with
// it, naming the file with the system's reason or the line. Nothing when the
// file cannot be read or holds no identity; a file with a bad or missing
// value comes back with the values before it (and its status says so).
std::optional<ParsedDataSet> readDataSetFile(const std::string& path, Ui& ui, Language language);

// `readDataSet`: reads the .csl at path into the document. 0 when the
// identity was read (the identity and the values read replace the
// document's, and the loaded-identity copy follows unless a comparison is
// shown; the caller then loads the table of the data set's identity with
// tables::TableSource::DataSetIdentity); when a value is bad or missing
// the values before it are loaded, the rest keep theirs, and the user is told
// the line. False when the file cannot be opened or holds no identity: the
// message is shown and nothing in memory changes.
bool readDataSet(Workspace& ws, Ui& ui, const std::string& path);
// The same, answering how much was read: Complete, InvalidValue or
// MissingValues when the identity was read, nothing when not.
std::optional<ParseStatus> readDataSetIntoDocument(Workspace& ws, Ui& ui, const std::string& path);

// After a data set read whole from path is shown with its table: tells the
// user when the .csv beside it is not its copy (a save cut short between
// its two renames leaves the new .csl beside the old .csv), naming the
// .csv, and leaves the data set waiting for a save, as after an entry, so
// that the next save puts the matching copy in place; true then. Raw data
// sets have no copy to judge.
bool noticeStaleCompanionCsv(Workspace& ws, Ui& ui, const std::string& path);

// `writeDataSet`: writes the document's values to the .csl at path with the
// identity lines of mode (received is the identity read from the inverter,
// for InverterRead and UnsupportedRom), then, except for InverterRead, the
// .csv from the grid texts. Both files are written completely beside their
// targets before either is replaced. NothingWritten with a message naming
// the file and the reason when neither file was replaced (both old files
// unchanged); CsvNotSaved with a message saying so when only the .csv could
// not be put in place.
SaveResult writeDataSet(
    const Workspace& ws, Ui& ui, const std::string& path, SaveMode mode, const InverterIdentity& received = {});

} // namespace tess::datafile
