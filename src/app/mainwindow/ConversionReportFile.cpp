#include "app/mainwindow/ConversionReportFile.h"

#include "app/common/Ui.h"
#include "domain/common/FileIo.h"
#include "domain/tables/ConversionReportCsv.h"
#include "domain/text/Texts.h"

namespace tess {

bool saveConversionReport(
    const tables::ConversionReport& report, Language language, const std::string& path, FileWriter& writer, Ui& ui)
{
    IoError error;
    if (writer.replaceFile(path, tables::formatConversionReportCsv(report, language), &error))
        return true;
    ui.showMessage(
        withCause(message(TextId::ConversionReportNotSaved), fileReasonCause(error.path, error.detail)), language);
    return false;
}

} // namespace tess
