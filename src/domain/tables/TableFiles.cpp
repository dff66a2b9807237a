#include "domain/tables/TableFiles.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/tables/ValueFormat.h"

#include <algorithm>
#include <array>

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

// A byte that can follow a lead byte as the second half of a character.
constexpr bool isCp932TrailByte(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Bytes of the character that starts at pos: 2 for a complete double-byte
// character, else 1.
std::size_t characterLength(std::string_view s, std::size_t pos)
{
    const auto c = static_cast<unsigned char>(s[pos]);
    if (isCp932LeadByte(c) && pos + 1 < s.size() && isCp932TrailByte(static_cast<unsigned char>(s[pos + 1])))
        return 2;
    return 1;
}

} // namespace

bool TableText::read(const std::string& path, IoError* error)
{
    m_lines.clear();
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

void TableText::index()
{
    m_lines.clear();
    for (const std::string_view line : splitLines(m_bytes))
        m_lines.emplace_back(static_cast<std::size_t>(line.data() - m_bytes.data()), line.size());
}

std::optional<std::string_view> TableText::line(std::size_t index) const
{
    if (index >= m_lines.size())
        return std::nullopt;
    return std::string_view(m_bytes).substr(m_lines[index].first, m_lines[index].second);
}

std::vector<std::string> splitRecordBytes(std::string_view line)
{
    std::vector<std::string> fields;
    const std::size_t end = line.size();
    std::size_t p = 0;
    const auto skipBlanks = [&] {
        while (p < end && isBlank(static_cast<unsigned char>(line[p])))
            ++p;
    };

    skipBlanks();
    while (p < end) {
        std::string field;
        if (line[p] == '"') {
            ++p;
            while (p < end) {
                if (line[p] == '"') {
                    if (p + 1 < end && line[p + 1] == '"') {
                        field.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                const std::size_t n = characterLength(line, p);
                field.append(line.substr(p, n));
                p += n;
            }
        } else {
            const std::size_t start = p;
            while (p < end && line[p] != ',' && !isBlank(static_cast<unsigned char>(line[p])))
                p += characterLength(line, p);
            field.assign(line.substr(start, p - start));
        }
        fields.push_back(std::move(field));

        skipBlanks();
        if (p < end && line[p] == ',') {
            if (p + 1 == end)
                fields.emplace_back();
            ++p;
            skipBlanks();
        }
    }
    return fields;
}

std::vector<std::string> splitRecord(std::string_view cp932Line)
{
    std::vector<std::string> fields = splitRecordBytes(cp932Line);
    for (std::string& field : fields)
        field = cp932ToUtf8(field);
    return fields;
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

std::string tableFilePathInInstallation(const std::string& applicationFolder, int model, int controlMode, int romVersion)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    const std::string name = tableFileName(model, controlMode, romVersion);
    if (!known || name.empty())
        return {};
    return applicationFolder + std::string(catalogue::modelName(*known)) + "/" + name;
}

std::string findTableFile(const std::string& applicationFolder, int model, int controlMode, int romVersion)
{
    const std::string name = tableFileName(model, controlMode, romVersion);
    if (name.empty())
        return {};
    if (fileExists(name))
        return name;
    const std::string inFolder = tableFilePathInInstallation(applicationFolder, model, controlMode, romVersion);
    if (fileExists(inFolder))
        return inFolder;
    return {};
}

std::string findTableFileOrOlder(const std::string& applicationFolder, int model, int controlMode, int romVersion)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    if (!known)
        return {};
    // Indices past the end of the model's list name no file; start at its end.
    const int last = static_cast<int>(catalogue::romVersionList(*known).size()) - 1;
    for (int rom = std::min(romVersion, last); rom >= 0; --rom) {
        std::string path = findTableFile(applicationFolder, model, controlMode, rom);
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
