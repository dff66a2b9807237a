#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tess {

// An I/O failure: what failed and the system's reason, for logs and tests.
// Messages to the user are chosen by the caller from its own texts.
struct IoError {
    std::string path;
    std::string detail;
};

// Reads a whole file as bytes. Returns false (with the reason) when the file
// cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes, IoError* error = nullptr);

// Splits text into lines at CR LF, LF or CR; the line ends are dropped. A final
// line end does not start another (empty) line.
std::vector<std::string_view> splitLines(std::string_view text);

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);

// Writes files so that a reader never sees a half-written one.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Replaces (or creates) path with bytes, only once they are completely
    // written: a failure leaves the previous file as it was.
    virtual bool replaceFile(const std::string& path, std::string_view bytes, IoError* error) = 0;
};

// The real file system: a temporary file in the same folder, flushed to disk,
// then renamed over the target.
FileWriter& systemFileWriter();
// The same without the flush to disk: for files that can always be made
// again, where thousands of flushes would only cost time.
FileWriter& unflushedFileWriter();

// Two names of one existing file (not a folder): the same path, a link, or
// another path to the same file on disk.
bool sameFile(const std::string& a, const std::string& b);

// Copies the file from into to (replacing it) through writer, so that a copy
// that fails leaves to as it was and no half-written file behind. When to
// already is from (the same path, or another name of the same file) the copy
// is done as it stands and nothing is written. Files are read whole: this is
// for the program's own tables and settings, not for large data.
bool copyFileSafely(const std::string& from, const std::string& to, FileWriter& writer, IoError* error = nullptr);

} // namespace tess
