#include "app/datafile/DataSetFile.h"

#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/datafile/CompanionCsv.h"
#include "domain/text/Texts.h"

#include <algorithm>

namespace tess::datafile {
InverterIdentity savedIdentity(SaveMode mode, const InverterIdentity& document, const InverterIdentity& received)
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
    return document;
}

std::optional<ParsedDataSet> readDataSetFile(const std::string& path, Ui& ui, Language language)
{
    DataSetFileRead read = readDataSetFile(path);
    if (read.notice)
        ui.showMessage(*read.notice, language);
    return std::move(read.parsed);
}

std::optional<ParseStatus> readDataSetIntoDocument(Workspace& ws, Ui& ui, const std::string& path)
{
    const std::optional<ParsedDataSet> parsed = readDataSetFile(path, ui, ws.settings.language);
    if (!parsed)
        return std::nullopt;
    Document& doc = ws.doc;
    doc.identity = parsed->identity;
    std::copy_n(parsed->values.begin(), parsed->valueCount, doc.values.begin());
    if (!doc.state.compareMode)
        doc.loadedIdentity = parsed->identity;
    return parsed->status;
}

bool readDataSet(Workspace& ws, Ui& ui, const std::string& path)
{
    return readDataSetIntoDocument(ws, ui, path).has_value();
}

bool noticeStaleCompanionCsv(Workspace& ws, Ui& ui, const std::string& path)
{
    if (ws.doc.content != GridContent::Table || ws.doc.state.compareMode)
        return false;
    if (companionCsvMatches(path, ws.doc.identity, gridSource(ws)))
        return false;
    ui.showMessage(message(TextId::DataFileCsvFromOtherSave, companionCsvPath(path)), ws.settings.language);
    ws.doc.state.saved = false;
    ws.view.commands.saveItem = true;
    return true;
}

SaveResult writeDataSet(
    const Workspace& ws, Ui& ui, const std::string& path, SaveMode mode, const InverterIdentity& received)
{
    std::optional<CsvCopy> csv;
    if (mode != SaveMode::InverterRead)
        csv.emplace(CsvCopy {ws.doc.identity, gridSource(ws)});
    const DataSetFileWrite written
        = writeDataSetFiles(path, savedIdentity(mode, ws.doc.identity, received), ws.doc.values, csv, *ws.writer);
    if (written.failure)
        ui.showMessage(*written.failure, ws.settings.language);
    return written.result;
}

} // namespace tess::datafile
