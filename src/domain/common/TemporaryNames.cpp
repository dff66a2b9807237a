#include "domain/common/TemporaryNames.h"

#include "domain/common/FileIo.h"

#include <algorithm>
#include <cstdint>
#include <random>

namespace tess {
namespace {

constexpr std::size_t TemporarySuffixLength = 6;
// The longest name Linux file systems take, in bytes; Windows counts up to
// 255 UTF-16 units, never more than the UTF-8 bytes of the same name.
constexpr std::size_t MaxNameBytes = 255;

} // namespace

// A digest of a name that is the same in every process, to tell apart the
// temporary names of long names that begin alike (FNV-1a).
std::string nameDigest(std::string_view name)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    static constexpr std::string_view hex = "0123456789abcdef";
    std::string digits(16, '0');
    for (char& digit : digits) {
        digit = hex[hash >> 60];
        hash <<= 4;
    }
    return digits;
}

// ".NAME" + marker: the start of every temporary name of one target, and of
// no other target's. A name too long for that to fit the file system's
// limit keeps its beginning, cut before a UTF-8 character that would not fit
// whole, followed by "~" and a digest of the whole name: "pump.csl" and
// "pump.csv" of 250 bytes differ only at their ends, so a cut alone would
// give both the same temporary names, and the .csv's save would take the
// .csl's temporary file for a leftover.
std::string temporaryPrefix(const std::string& name)
{
    const std::size_t room = MaxNameBytes - 1 - TemporaryFileMarker.size() - TemporarySuffixLength;
    if (name.size() <= room)
        return "." + name + std::string(TemporaryFileMarker);
    const std::string digest = nameDigest(name);
    std::size_t cut = room - 1 - digest.size();
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return "." + name.substr(0, cut) + "~" + digest + std::string(TemporaryFileMarker);
}

bool isTemporarySuffix(std::string_view suffix)
{
    return suffix.size() == TemporarySuffixLength && std::all_of(suffix.begin(), suffix.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

std::string randomSuffix()
{
    static constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator {std::random_device {}()};
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    std::string suffix(TemporarySuffixLength, ' ');
    for (char& c : suffix)
        c = letters[pick(generator)];
    return suffix;
}

} // namespace tess
