#pragma once

#include "domain/common/Message.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {
class FileWriter;
} // namespace tess

namespace tess::comm {

// The log file of the last transaction (and of the last edit in the viewer).
constexpr std::string_view CommLogFileName = "writelog.txt";

// The progress and error lines of one read or write transaction, in UTF-8.
class CommLog {
public:
    void append(std::string line) { m_lines.push_back(std::move(line)); }
    // Inserts before the line at index (0 is the first line); an index past
    // the end appends, so a late insertion never loses its line.
    void insert(std::size_t index, std::string line);
    const std::vector<std::string>& lines() const { return m_lines; }
    std::size_t size() const { return m_lines.size(); }
    void clear() { m_lines.clear(); }

private:
    std::vector<std::string> m_lines;
};

// "writelog.txt" in folder; an empty folder means the working directory.
// A folder without a trailing '/' gets one.
std::string commLogPath(const std::string& folder = {});

// The file's bytes: every line in code page 932 followed by CR LF (the last
// one too). A line break inside a line is written as CR LF as well, so the
// file never mixes line ends. lossy tells whether a character had no code
// page 932 form and was written as '?'.
std::string encodeCommLog(const std::vector<std::string>& lines, bool* lossy = nullptr);

// What saving the log came to: whether the file now holds the lines, and
// what the user is to be told — why the file was not written, or that
// characters were saved as '?'.
struct CommLogSave {
    bool written = false;
    std::optional<Message> notice;
};

// replaces "writelog.txt" in folder with the lines, through
// writer. A failed write keeps the old file. Characters without a code page
// 932 form are saved as '?'.
CommLogSave saveCommLog(FileWriter& writer, const std::vector<std::string>& lines, const std::string& folder = {});
inline CommLogSave saveCommLog(FileWriter& writer, const CommLog& log, const std::string& folder = {})
{
    return saveCommLog(writer, log.lines(), folder);
}

enum class CommLogReadStatus {
    Read, // every byte decoded
    Missing, // no such file: no lines
    Undecodable, // read, but some bytes are no code page 932 text (shown as U+FFFD)
    Unreadable, // the file exists but could not be read: no lines
};

struct CommLogFile {
    CommLogReadStatus status = CommLogReadStatus::Missing;
    std::vector<std::string> lines;
};

// Reads "writelog.txt" in folder as UTF-8 lines (CR LF, LF or CR ends).
// Shows nothing; the viewer decides what to tell.
CommLogFile readCommLog(const std::string& folder = {});

} // namespace tess::comm
