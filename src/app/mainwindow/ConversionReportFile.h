#pragma once

#include "domain/common/Language.h"
#include "domain/tables/ConversionReport.h"

#include <string>

namespace tess {

class FileWriter;
class Ui;

// Saves the report as .csv at path through writer, replacing the file
// completely or not at all. False, after a message naming the file and the
// reason, when it could not be written.
bool saveConversionReport(
    const tables::ConversionReport& report, Language language, const std::string& path, FileWriter& writer, Ui& ui);

} // namespace tess
