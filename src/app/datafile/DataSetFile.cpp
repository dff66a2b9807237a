#include "app/datafile/DataSetFile.h"

#include "app/common/Workspace.h"

#include <algorithm>

namespace tess::datafile {
namespace {

InverterIdentity headerIdentity(const Workspace& ws, SaveMode mode, const InverterIdentity& received)
{
    switch (mode) {
    case SaveMode::InverterRead:
        return received;
    case SaveMode::UnsupportedMachine:
        return InverterIdentity {UnsupportedModel, UnsupportedModel, UnsupportedModel, UnsupportedRomVersion};
    case SaveMode::UnsupportedRom:
        return InverterIdentity {received.model, received.controlMode, received.capacity, UnsupportedRomVersion};
    case SaveMode::Save:
    case SaveMode::SaveAs:
        break;
    }
    return ws.doc.identity;
}

} // namespace

std::optional<ParsedDataSet> readDataSetFile(const std::string& path, Ui& ui, Language language)
{
    DataSetFileRead read = readDataSetFile(path);
    if (read.notice)
        ui.showMessage(*read.notice, language);
    return std::move(read.parsed);
}

int readDataSet(Workspace& ws, Ui& ui, const std::string& path)
{
    const std::optional<ParsedDataSet> parsed = readDataSetFile(path, ui, ws.language);
    if (!parsed)
        return -1;
    Document& doc = ws.doc;
    doc.identity = parsed->identity;
    std::copy_n(parsed->values.begin(), parsed->valueCount, doc.values.begin());
    if (!doc.state.compareMode)
        doc.loadedIdentity = parsed->identity;
    doc.identityFromDataSet = true;
    return 0;
}

int writeDataSet(const Workspace& ws, Ui& ui, const std::string& path, SaveMode mode, const InverterIdentity& received)
{
    std::optional<CsvCopy> csv;
    if (mode != SaveMode::InverterRead)
        csv.emplace(CsvCopy {ws.doc.identity, ws.doc.rows, ws.language});
    const DataSetFileWrite written
        = writeDataSetFiles(path, headerIdentity(ws, mode, received), ws.doc.values, csv, *ws.writer);
    if (written.failure)
        ui.showMessage(*written.failure, ws.language);
    return written.result;
}

} // namespace tess::datafile
