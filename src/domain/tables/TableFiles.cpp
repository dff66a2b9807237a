#include "domain/tables/TableFiles.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/tables/ValueFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>

namespace tess::tables {
namespace {

constexpr std::array<std::string_view, CapacityDefaultFileCount> capacityFileNames {
    "MSEL_DEFa8.bkh",
    "MSEL_DEFa9.bkh",
    "MSEL_DEFb1.bkh",
    "MSEL_DEF.bkh",
    "MSEL_DEFlrb0.bkh",
    "MSEL_DEFlrb1.bkh",
    "MSEL_DEFlrc1.bkh",
    "MSEL_DEFlr02a1.bkh",
    "MSEL_DEFlr03a1.bkh",
    "MSEL_DEFqr.bkh",
    "MSEL_DEFlx.bkh",
    "MSEL_DEFlxht.bkh",
    "MSEL_DEFlr75.bkh",
    "MSEL_DEF_Pr.bkh",
    "MSEL_DEF_Pr_2.bkh",
    "MSEL_DEF_73N.bkh",
};

constexpr bool isBlank(unsigned char c)
{
    return c >= 1 && c <= 32;
}

// The position of the first line end (CR or LF) or byte of 0x80 or above
// from pos on, or the end: eight bytes at a time, since most of a table is
// plain ASCII text between them.
std::size_t nextLineEndOrHighByte(std::string_view bytes, std::size_t pos)
{
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highBits = 0x8080808080808080ULL;
    while (pos + 8 <= bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + pos, sizeof word);
        // A byte below 0x0E (CR, LF and a few other control characters) or
        // from 0x80 up; the lowest such byte is marked exactly.
        const std::uint64_t marked = ((word - ones * 0x0E) | word) & highBits;
        if (marked) {
            pos += static_cast<std::size_t>(std::countr_zero(marked) / 8);
            const auto c = static_cast<unsigned char>(bytes[pos]);
            if (c == '\r' || c == '\n' || c >= 0x80)
                return pos;
            ++pos;
            continue;
        }
        pos += 8;
    }
    while (pos < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[pos]);
        if (c == '\r' || c == '\n' || c >= 0x80)
            return pos;
        ++pos;
    }
    return pos;
}

} // namespace

bool TableText::read(const std::string& path, IoError* error)
{
    m_lines.clear();
    m_decoded.clear();
    if (!readFileBytes(path, m_bytes, error))
        return false;
    index();
    return true;
}

void TableText::assign(std::string bytes)
{
    m_bytes = std::move(bytes);
    index();
}

// Lines and their decoded text in one pass: ASCII runs are copied, the
// other characters decoded one by one, and the line ends mark both.
// A decoded character never holds a byte below 0x80, so the lines of the
// decoded text are the lines of the bytes.
void TableText::index()
{
    m_lines.clear();
    m_decoded.clear();
    m_decoded.reserve(m_bytes.size() + m_bytes.size() / 4);
    m_lines.reserve(m_bytes.size() / 32 + 1); // a table line is longer
    const std::string_view bytes = m_bytes;
    std::size_t lineStart = 0;
    std::size_t decodedLineStart = 0;
    std::size_t pos = 0;
    m_lineEndFault.reset();
    // The first line's end, as its bytes; the later lines are held to it.
    std::string_view firstEnd;
    const auto endLine = [&](std::size_t end, std::string_view lineEnd) {
        if (m_lines.empty())
            firstEnd = lineEnd;
        else if (lineEnd != firstEnd && !m_lineEndFault)
            m_lineEndFault = LineEndFault {LineEndFault::Kind::Mixed, m_lines.size()};
        m_lines.push_back(Line {lineStart, end - lineStart, decodedLineStart, m_decoded.size() - decodedLineStart});
    };
    while (pos < bytes.size()) {
        const std::size_t stop = nextLineEndOrHighByte(bytes, pos);
        m_decoded.append(bytes.data() + pos, stop - pos);
        if (stop == bytes.size())
            break;
        const char c = bytes[stop];
        if (c == '\r' || c == '\n') {
            pos = stop + (c == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n' ? 2 : 1);
            endLine(stop, bytes.substr(stop, pos - stop));
            lineStart = pos;
            decodedLineStart = m_decoded.size();
        } else {
            pos = appendCp932RunAsUtf8(bytes, stop, m_decoded);
        }
    }
    // A final line end does not start another (empty) line.
    if (lineStart < bytes.size())
        endLine(bytes.size(), {});
    // The last line is cut when it lacks its end, or holds only the start
    // of it; an earlier fault is the one told, since it came first.
    if (!m_lines.empty()) {
        const std::size_t last = m_lines.size() - 1;
        const std::string_view lastEnd = bytes.substr(m_lines[last].offset + m_lines[last].length);
        const bool cut = lastEnd.empty() || (lastEnd.size() < firstEnd.size() && firstEnd.starts_with(lastEnd));
        if (cut && (!m_lineEndFault || m_lineEndFault->line == last))
            m_lineEndFault = LineEndFault {LineEndFault::Kind::LastLineCut, last};
    }
}

std::optional<std::string_view> TableText::line(std::size_t index) const
{
    if (index >= m_lines.size())
        return std::nullopt;
    return std::string_view(m_bytes).substr(m_lines[index].offset, m_lines[index].length);
}

std::optional<std::string_view> TableText::decodedLine(std::size_t index) const
{
    if (index >= m_lines.size())
        return std::nullopt;
    return std::string_view(m_decoded).substr(m_lines[index].decodedOffset, m_lines[index].decodedLength);
}

bool TableText::holds(std::string_view text) const
{
    const std::less_equal<const char*> notAfter;
    return notAfter(m_decoded.data(), text.data())
        && notAfter(text.data() + text.size(), m_decoded.data() + m_decoded.size());
}

// The rules are applied byte by byte. That takes a double-byte character
// whole as well: its second byte (0x40 to 0xFC) is never a separator, a
// quote or a blank. So the split gives the same fields on the bytes of a
// line and on its decoded text, where no byte of a decoded character is
// below 0x80 either.
void RecordFields::split(std::string_view line)
{
    m_fields.clear();
    m_unquoted.clear();
    // Unquoted fields are never longer than the line: the views into this
    // storage stay valid while it fills.
    m_unquoted.reserve(line.size());
    const std::size_t end = line.size();
    std::size_t p = 0;
    const auto skipBlanks = [&] {
        while (p < end && isBlank(static_cast<unsigned char>(line[p])))
            ++p;
    };

    skipBlanks();
    while (p < end) {
        if (line[p] == '"') {
            ++p;
            const std::size_t start = p;
            const void* quote = std::memchr(line.data() + p, '"', end - p);
            p = quote ? static_cast<std::size_t>(static_cast<const char*>(quote) - line.data()) : end;
            if (p + 1 < end && line[p + 1] == '"') {
                // Doubled quotes: the field is made anew without them.
                const std::size_t from = m_unquoted.size();
                m_unquoted.append(line.substr(start, p - start));
                while (p < end) {
                    if (line[p] == '"') {
                        if (p + 1 < end && line[p + 1] == '"') {
                            m_unquoted.push_back('"');
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    m_unquoted.push_back(line[p]);
                    ++p;
                }
                m_fields.push_back(std::string_view(m_unquoted).substr(from));
            } else {
                m_fields.push_back(line.substr(start, p - start));
                if (p < end)
                    ++p; // the closing quote
            }
        } else {
            const std::size_t start = p;
            while (p < end && line[p] != ',' && !isBlank(static_cast<unsigned char>(line[p])))
                ++p;
            m_fields.push_back(line.substr(start, p - start));
        }

        skipBlanks();
        if (p < end && line[p] == ',') {
            if (p + 1 == end)
                m_fields.emplace_back();
            ++p;
            skipBlanks();
        }
    }
}

std::vector<std::string> splitRecordBytes(std::string_view line)
{
    RecordFields fields;
    fields.split(line);
    return fields.strings();
}

std::vector<std::string> splitRecord(std::string_view cp932Line)
{
    const std::string decoded = cp932ToUtf8(cp932Line);
    RecordFields fields;
    fields.split(decoded);
    return fields.strings();
}

struct TableTextCache::Entry {
    FileStamp stamp;
    std::shared_ptr<const TableText> text;
};

std::shared_ptr<const TableText> TableTextCache::read(const std::string& path, IoError* error)
{
    const std::optional<FileStamp> before = fileStamp(path);
    if (before && before->regular) {
        const std::lock_guard lock(m_mutex);
        const auto found = m_entries.find(path);
        if (found != m_entries.end() && found->second->stamp == *before)
            return found->second->text;
    }
    const std::int64_t settled = settledMoment(m_settled);
    auto text = std::make_shared<TableText>();
    const bool read = text->read(path, error);
    // Kept only when the file stood settled before the read and did not
    // change during it.
    const bool keep = read && before && settledBy(*before, settled) && fileStamp(path) == before;
    {
        const std::lock_guard lock(m_mutex);
        if (keep)
            m_entries[path] = std::make_shared<const Entry>(Entry {*before, text});
        else
            m_entries.erase(path);
    }
    if (!read)
        return nullptr;
    return text;
}

TableTextCache& capacityFileCache()
{
    static TableTextCache cache;
    return cache;
}

char controlModeLetter(int model, int controlMode)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    if (!known)
        return 0;
    const bool qm = catalogue::modelFamily(*known) == ModelFamily::QM;
    switch (controlMode) {
    case 0:
        return 'S';
    case 1:
        return 'V';
    case 2:
        return qm ? 'O' : 'P';
    default:
        return 0;
    }
}

std::string tableFileName(int model, int controlMode, int romVersion)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    if (!known)
        return {};
    const std::optional<std::string_view> rom = catalogue::romVersionText(*known, romVersion);
    if (!rom)
        return {};
    std::string name(catalogue::modelName(*known));
    if (const char letter = controlModeLetter(model, controlMode))
        name.push_back(letter);
    name.append(*rom);
    name.append(TableFileExtension);
    return name;
}

std::string tableFilePathInInstallation(
    const std::string& applicationFolder, int model, int controlMode, int romVersion)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    const std::string name = tableFileName(model, controlMode, romVersion);
    if (!known || name.empty())
        return {};
    return applicationFolder + std::string(catalogue::modelName(*known)) + "/" + name;
}

std::string findTableFile(const TableFolders& folders, int model, int controlMode, int romVersion)
{
    const std::string name = tableFileName(model, controlMode, romVersion);
    if (name.empty())
        return {};
    if (fileExists(name))
        return name;
    if (!folders.user.empty()) {
        const std::string own = tableFilePathInInstallation(folders.user, model, controlMode, romVersion);
        if (fileExists(own))
            return own;
    }
    const std::string inFolder = tableFilePathInInstallation(folders.installation, model, controlMode, romVersion);
    if (fileExists(inFolder))
        return inFolder;
    return {};
}

std::string findTableFileOrOlder(const TableFolders& folders, int model, int controlMode, int romVersion)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    if (!known)
        return {};
    // Indices past the end of the model's list name no file; start at its end.
    const int last = static_cast<int>(catalogue::romVersionList(*known).size()) - 1;
    for (int rom = std::min(romVersion, last); rom >= 0; --rom) {
        std::string path = findTableFile(folders, model, controlMode, rom);
        if (!path.empty())
            return path;
    }
    return {};
}

const std::array<std::string_view, CapacityDefaultFileCount>& capacityDefaultFileNames()
{
    return capacityFileNames;
}

std::optional<std::string> capacityDefaultFileName(std::string_view numberText)
{
    const std::optional<std::int32_t> number = parseInteger(numberText);
    if (!number)
        return std::nullopt;
    if (*number < 0 || *number >= static_cast<std::int32_t>(capacityFileNames.size()))
        return std::string();
    return std::string(capacityFileNames[static_cast<std::size_t>(*number)]);
}

std::string capacityDefaultFilePath(const std::string& applicationFolder, const std::string& fileName)
{
    return applicationFolder + "MSEL/" + fileName;
}

std::string romCodeOfPath(std::string_view path)
{
    constexpr std::size_t codeLength = 5;
    if (path.size() <= TableFileExtension.size())
        return {};
    const std::size_t end = path.size() - TableFileExtension.size();
    const std::size_t start = end > codeLength ? end - codeLength : 0;
    return std::string(path.substr(start, end - start));
}

} // namespace tess::tables
