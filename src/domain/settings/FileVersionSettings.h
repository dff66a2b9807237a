#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tess {

// The model sections of FileVersion.INI, in the order they are read.
enum class LimitSection : int {
    QM71,
    LX71RTP,
    QM71RTP,
    LX71,
    LX71ht,
    LX75RTP,
    QM71K,
    LX71K,
    QMPr,
    QM73N,
    QM71KRTP,
    LX71KRTP,
    QM71W,
};
constexpr int LimitSectionCount = 13;

struct LimitKeys {
    const char* section;
    const char* verMaxKey;
    const char* newVerKey;
};

// Section and key names, exactly as they stand in the file.
constexpr std::array<LimitKeys, LimitSectionCount> limitKeys {{
    {"QM71", "Ver_max", "New_Ver"},
    {"LX71RTP", "Ver_max_LR", "New_Ver_LR"},
    {"QM71RTP", "Ver_max_QR", "New_Ver_QR"},
    {"LX71", "Ver_max_LX", "New_Ver_LX"},
    {"LX71ht", "Ver_max_LXh", "New_Ver_LXh"},
    {"LX75RTP", "Ver_max_LR75", "New_Ver_LR75"},
    {"QM71K", "Ver_max_K", "New_Ver_K"},
    {"LX71K", "Ver_max_LXK", "New_Ver_LXK"},
    {"QMPr", "Ver_max_QMPr", "New_Ver_QMPr"},
    {"QM73N", "Ver_max_QM73N", "New_Ver_QM73N"},
    {"QM71KRTP", "Ver_max_K_RTP", "New_Ver_K_RTP"},
    {"LX71KRTP", "Ver_max_LXK_RTP", "New_Ver_LXK_RTP"},
    {"QM71W", "Ver_max_W", "New_Ver_W"},
}};

struct RomLimits {
    std::int16_t verMax = 1; // highest ROM version index accepted
    std::int16_t newVer = 1; // ROM version index preselected for a new data set
};

// A line of the settings file whose value could not be used.
struct SettingsLine {
    int number = 0; // from 1
    std::string text;

    friend bool operator==(const SettingsLine&, const SettingsLine&) = default;
};

// FileVersion.INI as read once at start-up.
struct FileVersionSettings {
    std::string fileVersion = "1";
    std::array<RomLimits, LimitSectionCount> limits {};
    bool view = true; // show the program folder at start
    bool specialFunctions = false; // "spcialfunc"/"used", for one run
    // The lines of the sections read whose values took their defaults
    // instead: a value that is no integer or no ROM version index, or a line
    // that is no key at all. In the order of the file; none in a sound file.
    std::vector<SettingsLine> unusableLines;

    const RomLimits& of(LimitSection s) const { return limits[static_cast<std::size_t>(s)]; }
    RomLimits& of(LimitSection s) { return limits[static_cast<std::size_t>(s)]; }
};

class IniFile;

constexpr const char* FileVersionIniName = "FileVersion.INI";

// Reads the settings in the order of the sections above. Missing sections and
// keys, and values that are no integer, take their defaults. A ROM version
// index must lie in 0..32767: anything else (a negative number, a number that
// does not fit 16 bits) is no index and takes the default too. The lines of
// a value that took its default, and the lines of those sections that are no
// key, are kept in unusableLines.
FileVersionSettings readFileVersionSettings(const IniFile& file);
// A file that is missing or cannot be read gives every default.
FileVersionSettings readFileVersionSettings(const std::string& path);

} // namespace tess
