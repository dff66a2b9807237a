#include "core/datafile/DataSetFile.h"

#include "core/app/Texts.h"
#include "core/app/Workspace.h"
#include "core/common/FileIo.h"
#include "core/datafile/CompanionCsv.h"
#include "core/datafile/DataSetFormat.h"

#include <algorithm>

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

int readDataSet(Workspace& ws, Ui& ui, const std::string& path)
{
    std::string bytes;
    if (!readFileBytes(path, bytes)) {
        ui.showMessage(message(TextId::DataFileCannotOpen), ws.language);
        return -1;
    }
    const ParsedDataSet parsed = parseDataSet(bytes);
    if (parsed.status == ParseStatus::InvalidHeader) {
        ui.showMessage(message(TextId::DataFileNotConsoleData), ws.language);
        return -1;
    }

    Document& doc = ws.doc;
    doc.identity = parsed.identity;
    std::copy_n(parsed.values.begin(), parsed.valueCount, doc.values.begin());
    if (!doc.state.compareMode)
        doc.loadedIdentity = parsed.identity;
    doc.identityFromDataSet = true;

    if (parsed.status == ParseStatus::InvalidValue)
        ui.showMessage(lineMessage(parsed.problemLine, TextId::DataFileInvalidValueSuffix), ws.language);
    else if (parsed.status == ParseStatus::MissingValues)
        ui.showMessage(lineMessage(parsed.problemLine, TextId::DataFileMissingValueSuffix), ws.language);
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
    if (!ws.writer->replaceFile(path, formatDataSet(identity, ws.doc.values), nullptr)) {
        ui.showMessage(message(TextId::DataFileCannotOpen), ws.language);
        return -1;
    }
    if (mode == SaveMode::InverterRead)
        return 0;

    const std::string csvPath = companionCsvPath(path);
    if (!ws.writer->replaceFile(csvPath, formatCompanionCsv(ws.doc.identity, ws.doc.rows, ws.language), nullptr)) {
        const Message cannotOpen = message(TextId::DataFileCannotOpen);
        const Message saved = message(TextId::DataFileCsvNotWritten);
        ui.showMessage(Message {cannotOpen.ja + "\n" + csvPath + "\n" + saved.ja,
                           cannotOpen.en + "\n" + csvPath + "\n" + saved.en},
            ws.language);
        return -1;
    }
    return 0;
}

} // namespace tess::datafile
