#include "domain/settings/FileVersionSettings.h"

#include "domain/settings/IniFile.h"

namespace tess {
namespace {

std::int16_t readRomIndex(const IniFile& file, const char* section, const char* key, std::int16_t fallback)
{
    const std::int64_t value = file.readInteger(section, key, fallback);
    if (value < 0 || value > 32767)
        return fallback;
    return static_cast<std::int16_t>(value);
}

} // namespace

FileVersionSettings readFileVersionSettings(const IniFile& file)
{
    FileVersionSettings settings;
    settings.fileVersion = file.readString("Version", "FileVersion", "1");
    for (std::size_t i = 0; i < limitKeys.size(); ++i) {
        const LimitKeys& keys = limitKeys[i];
        RomLimits& limits = settings.limits[i];
        limits.verMax = readRomIndex(file, keys.section, keys.verMaxKey, limits.verMax);
        limits.newVer = readRomIndex(file, keys.section, keys.newVerKey, limits.newVer);
    }
    settings.view = file.readBool("View", "Value", true);
    settings.specialFunctions = file.readBool("spcialfunc", "used", false);
    return settings;
}

FileVersionSettings readFileVersionSettings(const std::string& path)
{
    return readFileVersionSettings(IniFile::load(path));
}

} // namespace tess
