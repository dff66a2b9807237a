// Reads arbitrary bytes as FileVersion.INI, as start-up does, and clears the
// special-function switch in them, as the exit does (in memory only). Every
// ROM version index read lies in 0..32767; after the write the switch reads
// as written, a second write changes nothing, and the settings read before
// are still read the same (the write touches one line only).
#include "domain/settings/FileVersionSettings.h"
#include "domain/settings/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace tess;

namespace {

bool sameLimits(const FileVersionSettings& a, const FileVersionSettings& b)
{
    for (std::size_t i = 0; i < a.limits.size(); ++i)
        if (a.limits[i].verMax != b.limits[i].verMax || a.limits[i].newVer != b.limits[i].newVer)
            return false;
    return a.fileVersion == b.fileVersion && a.view == b.view;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IniFile file(std::string(reinterpret_cast<const char*>(data), size));
    const FileVersionSettings before = readFileVersionSettings(file);
    for (const RomLimits& limits : before.limits)
        if (limits.verMax < 0 || limits.newVer < 0)
            std::abort();

    const bool value = size > 0 && (data[0] & 1) != 0;
    file.writeBool("spcialfunc", "used", value);
    const FileVersionSettings after = readFileVersionSettings(file);
    if (after.specialFunctions != value || !sameLimits(before, after))
        std::abort();
    if (file.writeBool("spcialfunc", "used", value))
        std::abort();

    // A copy answers from its own bytes.
    const IniFile copy = file;
    if (copy.readString("spcialfunc", "used") != file.readString("spcialfunc", "used"))
        std::abort();
    return 0;
}
