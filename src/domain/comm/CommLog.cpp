#include "domain/comm/CommLog.h"

#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "domain/text/Texts.h"

#include <filesystem>
#include <system_error>

namespace tess::comm {
namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD"; // U+FFFD, which code page 932 never produces

// Something is there, or the system cannot tell whether it is.
bool pathExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(pathOf(path), error) || error;
}

} // namespace

void CommLog::insert(std::size_t index, std::string line)
{
    if (index > m_lines.size())
        index = m_lines.size();
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

std::string commLogPath(const std::string& folder)
{
    if (folder.empty())
        return std::string(CommLogFileName);
    if (folder.back() == '/')
        return folder + std::string(CommLogFileName);
    return folder + '/' + std::string(CommLogFileName);
}

std::string encodeCommLog(const std::vector<std::string>& lines, bool* lossy)
{
    std::string text;
    for (const std::string& line : lines) {
        // An empty line is a line too; splitLines would give it no piece.
        if (line.empty()) {
            text += "\r\n";
            continue;
        }
        for (const std::string_view piece : splitLines(line)) {
            text += piece;
            text += "\r\n";
        }
    }
    return utf8ToCp932(text, lossy);
}

CommLogSave saveCommLog(FileWriter& writer, const std::vector<std::string>& lines, const std::string& folder)
{
    bool lossy = false;
    IoError error;
    CommLogSave saved;
    saved.written = writer.replaceFile(commLogPath(folder), encodeCommLog(lines, &lossy), &error);
    if (!saved.written)
        saved.notice = withCause(message(TextId::CommLogCannotWrite), fileReasonCause(error.path, error.detail));
    else if (lossy)
        saved.notice = message(TextId::CommLogCharactersReplaced);
    return saved;
}

CommLogFile readCommLog(const std::string& folder)
{
    CommLogFile file;
    const std::string path = commLogPath(folder);
    std::string bytes;
    if (!readFileBytes(path, bytes)) {
        file.status = pathExists(path) ? CommLogReadStatus::Unreadable : CommLogReadStatus::Missing;
        return file;
    }
    const std::string text = cp932ToUtf8(bytes);
    file.status
        = text.find(Replacement) == std::string::npos ? CommLogReadStatus::Read : CommLogReadStatus::Undecodable;
    for (const std::string_view line : splitLines(text))
        file.lines.emplace_back(line);
    return file;
}

} // namespace tess::comm
