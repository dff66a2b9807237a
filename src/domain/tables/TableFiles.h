#pragma once

#include "domain/common/FileIo.h"
#include "domain/common/Identity.h"

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The parameter table files (.bkh, one per model, control mode and ROM
// version, in the model's folder of the installation) and the capacity
// default files (folder "MSEL"): where they lie, how they are named, and how
// their lines split into fields.
namespace tess::tables {

// Where the line ends of a table file show that it is not whole.
struct LineEndFault {
    enum class Kind {
        // The last line has no line end, or only the start of the file's
        // (CR where the lines end in CR LF): the file was cut short.
        LastLineCut,
        // A line ends otherwise than the first line does: bytes of the file
        // were lost or changed on the way.
        Mixed,
    };
    Kind kind = Kind::LastLineCut;
    std::size_t line = 0; // the line at fault, counted from 0

    friend bool operator==(const LineEndFault&, const LineEndFault&) = default;
};

// A table or capacity default file read whole, its lines split at CR LF, LF
// or CR. Lines are the file's own bytes (code page 932); each line is also
// there decoded to UTF-8, made in the same pass over the bytes.
class TableText {
public:
    // False (with the reason) when the file cannot be opened or read.
    bool read(const std::string& path, IoError* error = nullptr);
    // Takes bytes already in memory.
    void assign(std::string bytes);

    std::size_t lineCount() const { return m_lines.size(); }
    // The line's bytes without its line end; nothing for a line past the end.
    std::optional<std::string_view> line(std::size_t index) const;
    // The same line in UTF-8 (as cp932ToUtf8 gives it).
    std::optional<std::string_view> decodedLine(std::size_t index) const;
    // Whether text lies within the decoded lines, so that it lives as long
    // as this TableText.
    bool holds(std::string_view text) const;
    // The installation writes every line of a table with a line end, and all
    // of a file's lines with the same one; whichever the file uses (CR LF,
    // LF alone, CR alone) is taken, as long as the first line's end is kept
    // by every line, the last one included. The first line that does not keep
    // it; nothing for an empty or whole file.
    const std::optional<LineEndFault>& lineEndFault() const { return m_lineEndFault; }

private:
    void index();

    struct Line {
        std::size_t offset;
        std::size_t length;
        std::size_t decodedOffset;
        std::size_t decodedLength;
    };
    std::string m_bytes;
    std::string m_decoded;
    std::vector<Line> m_lines;
    std::optional<LineEndFault> m_lineEndFault;
};

// The fields of one line, split by the rules of `splitRecord`, as views
// into the line (or, for a quoted field with doubled quotes, into storage of
// its own). Each split replaces the fields of the one before, and a split
// allocates nothing once the storage has grown to the longest line.
class RecordFields {
public:
    void split(std::string_view line);

    std::size_t size() const { return m_fields.size(); }
    std::string_view operator[](std::size_t index) const { return m_fields[index]; }
    // The field; nothing past the last.
    std::optional<std::string_view> at(std::size_t index) const
    {
        return index < m_fields.size() ? std::optional<std::string_view>(m_fields[index]) : std::nullopt;
    }
    std::vector<std::string> strings() const { return {m_fields.begin(), m_fields.end()}; }

private:
    std::vector<std::string_view> m_fields;
    std::string m_unquoted;
};

// `splitRecord`: the fields of one line of code page 932 bytes, each converted
// to UTF-8. Comma separates and double quote quotes:
//  1. characters with codes 1 to 32 are skipped;
//  2. a field that starts with a double quote runs to the matching closing
//     quote (two double quotes inside stand for one; a missing closing quote
//     lets it run to the end of the line);
//  3. any other field runs up to the next comma or character 1 to 32;
//  4. characters 1 to 32 after a field are skipped; a comma there is consumed
//     with the characters 1 to 32 after it, and when it was the line's last
//     character one more, empty, field follows.
// A double-byte character is taken whole, so its second byte is never taken
// for a separator; a lead byte whose second byte cannot be one (a
// separator, a quote, the end of the line) stands alone.
std::vector<std::string> splitRecord(std::string_view cp932Line);
// The same split, the fields left in code page 932.
std::vector<std::string> splitRecordBytes(std::string_view cp932Line);

// Files read once and kept for the program's run: a capacity default file is
// read by every load of a table that needs it, and stays the same for as
// long as it is installed. A file is read again when its size, modification
// or change time or identity on disk differ from the read that is kept, and
// a read made while the file was new (changed less than `settled` before)
// is not kept: a second change within the file system's time step could not
// be told apart. Two seconds are more than any file system's step (FAT's).
class TableTextCache {
public:
    explicit TableTextCache(std::chrono::nanoseconds settled = std::chrono::seconds(2))
        : m_settled(settled)
    {
    }

    // The file's text, or nothing (with the reason, as TableText::read gives
    // it) when it cannot be read.
    std::shared_ptr<const TableText> read(const std::string& path, IoError* error = nullptr);

private:
    struct Entry;
    std::chrono::nanoseconds m_settled;
    std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<const Entry>, std::less<>> m_entries;
};

// The capacity default files' cache of the program's run.
TableTextCache& capacityFileCache();

// The control-mode letter of the model's family for a control-mode index:
// 'S', 'V', 'O' (QM) or 'P' (LX); 0 (no letter) for any other index.
char controlModeLetter(int model, int controlMode);

// What every table file name ends in.
inline constexpr std::string_view TableFileExtension = ".bkh";

// The bare table file name: model name, control-mode letter, ROM code,
// ".bkh" (QM71S01-A1.bkh). Empty when the model or the ROM version index is
// outside the catalogue.
std::string tableFileName(int model, int controlMode, int romVersion);

// Where the installation keeps the table file of this identity (in the
// model's folder), whether it is there or not; empty when the model or the
// ROM version index is outside the catalogue.
std::string tableFilePathInInstallation(
    const std::string& applicationFolder, int model, int controlMode, int romVersion);

// Where table files are looked for: the installation, and the user's own
// folder laid out like it (model folders), which takes the tables a user
// adds when the installation may not be written. Both end with '/'; an
// empty user folder is none. A bare installation folder converts, for the
// lookups that know no user.
struct TableFolders {
    TableFolders(std::string installationFolder, std::string userFolder = {})
        : installation(std::move(installationFolder))
        , user(std::move(userFolder))
    {
    }
    TableFolders(const char* installationFolder)
        : installation(installationFolder)
    {
    }

    std::string installation;
    std::string user;
};

// `findTableFile`: the table file of this identity. A file of the bare name
// in the working directory wins (the program finds tables beside itself);
// otherwise the file in the model's folder of the user's folder, then that
// of the installation (a user's file replaces the installation's of the same
// name); otherwise empty.
std::string findTableFile(const TableFolders& folders, int model, int controlMode, int romVersion);

// `findTableFileOrOlder`: the first table found from the ROM version index
// down to 0; empty when there is none.
std::string findTableFileOrOlder(const TableFolders& folders, int model, int controlMode, int romVersion);

// How many capacity default files there are, numbered from 0.
inline constexpr int CapacityDefaultFileCount = 16;

// The capacity default file of each number: "MSEL_DEFa8.bkh" for 0 ..
// "MSEL_DEF_73N.bkh" for 15.
const std::array<std::string_view, CapacityDefaultFileCount>& capacityDefaultFileNames();

// `capacityDefaultFileName`: the file of the number the text holds, an empty
// text for an integer outside 0 to 15, nothing when the text is not an
// integer.
std::optional<std::string> capacityDefaultFileName(std::string_view numberText);

// The capacity default file's path in the installation ("MSEL" folder).
std::string capacityDefaultFilePath(const std::string& applicationFolder, const std::string& fileName);

// `romCodeOfPath`: the five characters before ".bkh" (the ROM code of a
// table file); for a path too short to hold them, what there is of them.
std::string romCodeOfPath(std::string_view path);

} // namespace tess::tables
