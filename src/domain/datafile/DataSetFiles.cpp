#include "domain/datafile/DataSetFiles.h"

#include "domain/datafile/CompanionCsv.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
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

// The fields of one .csv line: split at commas; a field in double quotes
// is one field, its doubled quotes single.
std::vector<std::string> csvFields(std::string_view line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The code and the setting value of each row line (line 3 on) of a .csv;
// the identity line and the column titles follow the language.
std::vector<std::pair<std::string, std::string>> rowCodesAndValues(std::string_view csv)
{
    std::vector<std::pair<std::string, std::string>> rows;
    const std::vector<std::string_view> lines = splitLines(csv);
    for (std::size_t i = 2; i < lines.size(); ++i) {
        std::vector<std::string> fields = csvFields(lines[i]);
        fields.resize(std::max<std::size_t>(fields.size(), ColValue + 1));
        rows.emplace_back(std::move(fields[ColCode]), std::move(fields[ColValue]));
    }
    return rows;
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
        written.result = -1;
        written.failure = message(TextId::DataFileIdentityTooWide);
        return written;
    }
    // The replacements only view the bytes: they live here until the end.
    const std::string dataFile = formatDataSet(header, values);
    const std::string csvFile = csv ? formatCompanionCsv(csv->identity, csv->rows, csv->language) : std::string();
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
        written.result = -1;
        written.failure = failure;
        return written;
    }
    // Only the .csv is left: the one moment between the two renames.
    const TextId state = fileExists(files[1].path) ? TextId::DataFileCsvKeptPrevious : TextId::DataFileCsvNotWritten;
    written.result = WriteCsvNotSaved;
    written.failure = withCause(failure, message(state));
    return written;
}

std::optional<Message> companionCsvMismatch(
    const std::string& cslPath, const InverterIdentity& identity, const ParameterSet& values, const CsvCopy& csv)
{
    const std::string csvPath = companionCsvPath(cslPath);
    const std::array<std::string, 2> paths {cslPath, csvPath};
    const std::vector<std::optional<std::string>> files = readFilesTogether(paths);
    if (!files[0] || !files[1])
        return std::nullopt;
    const ParsedDataSet now = parseDataSet(*files[0]);
    if (now.status == ParseStatus::InvalidHeader || now.identity != identity
        || !std::equal(now.values.begin(), now.values.begin() + now.valueCount, values.begin()))
        return std::nullopt;
    if (rowCodesAndValues(*files[1]) == rowCodesAndValues(formatCompanionCsv(csv.identity, csv.rows, csv.language)))
        return std::nullopt;
    return message(TextId::DataFileCsvMismatch, csvPath, cslPath);
}

} // namespace tess::datafile
