#include "domain/settings/FileVersionSettings.h"

#include "domain/settings/IniFile.h"

#include <algorithm>
#include <optional>

namespace tess {
namespace {

// What reading the file found unusable, line by line.
class UnusableLines {
public:
    explicit UnusableLines(const IniFile& file)
        : m_file(file)
    {
    }

    // The key's line, when the key is there.
    void add(std::string_view section, std::string_view key)
    {
        if (const std::optional<int> line = m_file.lineOf(section, key))
            m_numbers.push_back(*line);
    }
    void addStray(std::string_view section)
    {
        for (const int line : m_file.strayLines(section))
            m_numbers.push_back(line);
    }

    std::vector<SettingsLine> lines()
    {
        std::sort(m_numbers.begin(), m_numbers.end());
        m_numbers.erase(std::unique(m_numbers.begin(), m_numbers.end()), m_numbers.end());
        std::vector<SettingsLine> lines;
        for (const int number : m_numbers)
            lines.push_back({number, m_file.lineText(number)});
        return lines;
    }

private:
    const IniFile& m_file;
    std::vector<int> m_numbers;
};

std::optional<std::int64_t> integerOf(const IniFile& file, const char* section, const char* key)
{
    const std::optional<std::string> text = file.readString(section, key);
    return text ? parseIniInteger(*text) : std::nullopt;
}

std::int16_t readRomIndex(
    const IniFile& file, const char* section, const char* key, std::int16_t fallback, UnusableLines& unusable)
{
    const std::optional<std::int64_t> value = integerOf(file, section, key);
    if (!value || *value < 0 || *value > 32767) {
        unusable.add(section, key);
        return fallback;
    }
    return static_cast<std::int16_t>(*value);
}

bool readBool(const IniFile& file, const char* section, const char* key, bool fallback, UnusableLines& unusable)
{
    const std::optional<std::int64_t> value = integerOf(file, section, key);
    if (!value) {
        unusable.add(section, key);
        return fallback;
    }
    return *value != 0;
}

} // namespace

FileVersionSettings readFileVersionSettings(const IniFile& file)
{
    FileVersionSettings settings;
    UnusableLines unusable(file);
    settings.fileVersion = file.readString("Version", "FileVersion", "1");
    unusable.addStray("Version");
    for (std::size_t i = 0; i < limitKeys.size(); ++i) {
        const LimitKeys& keys = limitKeys[i];
        RomLimits& limits = settings.limits[i];
        limits.verMax = readRomIndex(file, keys.section, keys.verMaxKey, limits.verMax, unusable);
        limits.newVer = readRomIndex(file, keys.section, keys.newVerKey, limits.newVer, unusable);
        unusable.addStray(keys.section);
    }
    settings.view = readBool(file, "View", "Value", true, unusable);
    unusable.addStray("View");
    settings.specialFunctions = readBool(file, "spcialfunc", "used", false, unusable);
    unusable.addStray("spcialfunc");
    settings.unusableLines = unusable.lines();
    return settings;
}

FileVersionSettings readFileVersionSettings(const std::string& path)
{
    return readFileVersionSettings(IniFile::load(path));
}

} // namespace tess
