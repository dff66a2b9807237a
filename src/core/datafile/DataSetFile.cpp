#include "core/datafile/DataSetFile.h"

#include "core/app/Texts.h"
#include "core/app/Workspace.h"
#include "core/common/FileIo.h"
#include "core/datafile/CompanionCsv.h"
#include "core/datafile/DataSetFormat.h"

#include <algorithm>
#include <vector>

namespace tess::datafile {
namespace {

Message lineMessage(int line, TextId suffix)
{
    const Message prefix = message(TextId::DataFileLinePrefix);
    const Message tail = message(suffix);
    const std::string number = std::to_string(line);
    return Message {prefix.ja + number + tail.ja, prefix.en + number + tail.en};
}

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
    std::string bytes;
    IoError error;
    if (!readFileBytes(path, bytes, &error)) {
        ui.showMessage(withCause(message(TextId::DataFileCannotOpen), fileReasonCause(path, error.detail)), language);
        return std::nullopt;
    }
    ParsedDataSet parsed = parseDataSet(bytes);
    if (parsed.status == ParseStatus::InvalidHeader) {
        ui.showMessage(withCause(message(TextId::DataFileNotConsoleData), Message::same(path)), language);
        return std::nullopt;
    }
    if (parsed.status == ParseStatus::InvalidValue)
        ui.showMessage(withCause(lineMessage(parsed.problemLine, TextId::DataFileInvalidValueSuffix),
                           fileLineCause(path, parsed.problemLine)),
            language);
    else if (parsed.status == ParseStatus::MissingValues)
        ui.showMessage(withCause(lineMessage(parsed.problemLine, TextId::DataFileMissingValueSuffix),
                           fileEndsBeforeLineCause(path, parsed.problemLine)),
            language);
    return parsed;
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
    const InverterIdentity identity = headerIdentity(ws, mode, received);
    // A number wider than its field would be read back as two, shifting the
    // whole identity: refuse rather than write a file that reads differently.
    if (!identityFitsFile(identity)) {
        ui.showMessage(message(TextId::DataFileIdentityTooWide), ws.language);
        return -1;
    }
    const std::string dataFile = formatDataSet(identity, ws.doc.values);
    std::vector<FileReplacement> files {{path, dataFile}};
    std::string csv;
    if (mode != SaveMode::InverterRead) {
        csv = formatCompanionCsv(ws.doc.identity, ws.doc.rows, ws.language);
        files.push_back({companionCsvPath(path), csv});
    }

    // Both files are written in full before either replaces its old one: a
    // failure up to then leaves the old pair as it was.
    IoError error;
    const std::size_t inPlace = ws.writer->replaceFiles(files, &error);
    if (inPlace == files.size())
        return 0;
    const Message failure = withCause(message(TextId::DataFileCannotOpen), fileReasonCause(error.path, error.detail));
    if (inPlace == 0) {
        ui.showMessage(failure, ws.language);
        return -1;
    }
    // Only the .csv is left: the one moment between the two renames.
    const TextId state = fileExists(files[1].path) ? TextId::DataFileCsvKeptPrevious : TextId::DataFileCsvNotWritten;
    ui.showMessage(withCause(failure, message(state)), ws.language);
    return WriteCsvNotSaved;
}

} // namespace tess::datafile
