#include "domain/datafile/DataSetFiles.h"

#include "domain/datafile/CompanionCsv.h"
#include "domain/text/Texts.h"

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

// Whether bytes is the copy of the data set in one of the two languages.
bool isCopyOf(const std::string& bytes, const InverterIdentity& identity, GridSource grid)
{
    for (const Language language : {Language::Japanese, Language::English}) {
        grid.language = language;
        if (bytes == formatCompanionCsv(identity, grid))
            return true;
    }
    return false;
}

} // namespace

DataSetFileRead readDataSetFile(const std::string& path)
{
    DataSetFileRead read;
    std::string bytes;
    IoError error;
    if (!readFileBytes(path, bytes, &error)) {
        read.notice = withCause(message(TextId::DataFileCannotOpen), fileReasonCause(path, error.detail));
        return read;
    }
    ParsedDataSet parsed = parseDataSet(bytes);
    if (parsed.status == ParseStatus::InvalidHeader) {
        read.notice = withCause(message(TextId::DataFileNotConsoleData), Message::same(path));
        return read;
    }
    if (parsed.status == ParseStatus::InvalidValue)
        read.notice = withCause(lineMessage(parsed.problemLine, TextId::DataFileInvalidValueSuffix),
            fileLineCause(path, parsed.problemLine));
    else if (parsed.status == ParseStatus::MissingValues)
        read.notice = withCause(lineMessage(parsed.problemLine, TextId::DataFileMissingValueSuffix),
            fileEndsBeforeLineCause(path, parsed.problemLine));
    read.parsed = std::move(parsed);
    return read;
}

DataSetFileWrite writeDataSetFiles(const std::string& path, const InverterIdentity& header, const ParameterSet& values,
    const std::optional<CsvCopy>& csv, FileWriter& writer)
{
    DataSetFileWrite written;
    // A number wider than its field would be read back as two, shifting the
    // whole identity: refuse rather than write a file that reads differently.
    if (!identityFitsFile(header)) {
        written.result = SaveResult::NothingWritten;
        written.failure = message(TextId::DataFileIdentityTooWide);
        return written;
    }
    // The replacements only view the bytes: they live here until the end.
    const std::string dataFile = formatDataSet(header, values);
    const std::string csvFile = csv ? formatCompanionCsv(csv->identity, csv->grid) : std::string();
    std::vector<FileReplacement> files {{path, dataFile}};
    if (csv)
        files.push_back({companionCsvPath(path), csvFile});

    // Both files are written in full before either replaces its old one: a
    // failure up to then leaves the old pair as it was.
    IoError error;
    const std::size_t inPlace = writer.replaceFiles(files, &error);
    if (inPlace == files.size())
        return written;
    const Message failure = withCause(message(TextId::DataFileCannotOpen), fileReasonCause(error.path, error.detail));
    if (inPlace == 0) {
        written.result = SaveResult::NothingWritten;
        written.failure = failure;
        return written;
    }
    // Only the .csv is left: the one moment between the two renames.
    const TextId state = fileExists(files[1].path) ? TextId::DataFileCsvKeptPrevious : TextId::DataFileCsvNotWritten;
    written.result = SaveResult::CsvNotSaved;
    written.failure = withCause(failure, message(state));
    return written;
}

bool companionCsvMatches(const std::string& cslPath, const InverterIdentity& identity, GridSource grid)
{
    const std::string csvPath = companionCsvPath(cslPath);
    std::string bytes;
    if (!readFileBytes(csvPath, bytes))
        return true;
    return isCopyOf(bytes, identity, grid);
}

} // namespace tess::datafile
