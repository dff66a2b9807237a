#pragma once

#include "domain/common/FileIo.h"
#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"
#include "domain/datafile/DataSetFormat.h"
#include "domain/grid/CellText.h"

#include <optional>
#include <string>

// A data set on disk: its .csl and the readable .csv beside it, read and
// written as values. What to tell the user comes back with the result.
namespace tess::datafile {

struct DataSetFileRead {
    // Nothing when the file cannot be read or holds no identity.
    std::optional<ParsedDataSet> parsed;
    // Why it could not be read, or the line where reading stopped, naming
    // the file; nothing for a file read whole.
    std::optional<Message> notice;
};

DataSetFileRead readDataSetFile(const std::string& path);

// The .csv copy: the texts of the data set's grid under its identity.
struct CsvCopy {
    InverterIdentity identity;
    GridSource grid;
};

// How a save of the pair ended.
enum class SaveResult {
    Saved, // the .csl and, when asked for, its .csv
    NothingWritten, // both old files are as they were
    // The .csl written and its .csv copy not put in place: the moment
    // between the two renames.
    CsvNotSaved,
};

struct DataSetFileWrite {
    SaveResult result = SaveResult::Saved;
    std::optional<Message> failure; // names the file and the reason
};

// Writes the .csl at path (identity lines of header, then values) and, with
// csv, its .csv: both completely, flushed, before either replaces its old
// file, so that a failure up to then leaves both old files.
DataSetFileWrite writeDataSetFiles(const std::string& path, const InverterIdentity& header, const ParameterSet& values,
    const std::optional<CsvCopy>& csv, FileWriter& writer);

// Whether the .csv beside the .csl at cslPath is the copy a save of this
// data set writes: its bytes as they would be written in either language
// (the copy keeps the language it was saved in). A save cut short between
// its renames leaves the old .csv, which then differs. A .csv that is
// absent or cannot be read is not judged: there is nothing to mistake.
bool companionCsvMatches(const std::string& cslPath, const InverterIdentity& identity, GridSource grid);

} // namespace tess::datafile
