#include "domain/common/Cp932.h"

#include "domain/common/Cp932Converter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace tess {
namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

std::size_t utf8SequenceLength(std::string_view s)
{
    const auto c = static_cast<unsigned char>(s[0]);
    std::size_t n = 1;
    if (c >= 0xF0)
        n = 4;
    else if (c >= 0xE0)
        n = 3;
    else if (c >= 0xC0)
        n = 2;
    // Stop early at a byte that is not a continuation: it starts the next character.
    for (std::size_t i = 1; i < n && i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return i;
    return n;
}

// The position of the first byte of 0x80 or above from pos on, or the end.
std::size_t nextHighByte(std::string_view bytes, std::size_t pos)
{
    constexpr std::uint64_t highBits = 0x8080808080808080ULL;
    while (pos + 8 <= bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + pos, sizeof word);
        if (const std::uint64_t high = word & highBits)
            return pos + static_cast<std::size_t>(std::countr_zero(high) / 8);
        pos += 8;
    }
    while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) < 0x80)
        ++pos;
    return pos;
}

std::size_t nextAsciiByte(std::string_view bytes, std::size_t pos)
{
    while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) >= 0x80)
        ++pos;
    return pos;
}

// One converted character as learnt from the converter.
struct Learnt {
    enum class Kind : std::uint8_t { Unknown, Character, Invalid, Lead, Long };
    Kind kind = Kind::Unknown;
    std::uint8_t length = 0; // Character: of bytes; Long: index into the long texts
    char bytes[4] {};
};

// Code page 932 to UTF-8. Every byte below 0x80 is itself (as for the
// converter); a byte from 0x80 up is a character of its own, no character
// (U+FFFD), or the lead byte of a pair, which is a character or, when the
// converter refuses the pair, U+FFFD for the lead byte alone, after which
// the second byte is read again as the start of a character.
class Cp932Decoder {
public:
    bool usable() const { return m_converter.usable(); }

    // The characters from pos on for as long as they start with a byte of
    // 0x80 or above; returns the position after them.
    std::size_t appendRun(std::string_view bytes, std::size_t pos, std::string& out)
    {
        // Gathered here and appended at once: a run is usually a few
        // characters of a name.
        char gathered[128];
        std::size_t used = 0;
        const auto put = [&](std::string_view text) {
            if (used + text.size() > sizeof gathered) {
                out.append(gathered, used);
                used = 0;
            }
            if (text.size() > sizeof gathered) {
                out.append(text);
                return;
            }
            std::memcpy(gathered + used, text.data(), text.size());
            used += text.size();
        };
        while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) >= 0x80) {
            const auto lead = static_cast<unsigned char>(bytes[pos]);
            Learnt& single = m_single[lead - 0x80u];
            if (single.kind == Learnt::Kind::Unknown)
                learn(single, bytes.substr(pos, 1));
            if (single.kind != Learnt::Kind::Lead) {
                put(textOf(single));
                ++pos;
                continue;
            }
            if (pos + 1 >= bytes.size()) {
                put(ReplacementCharacter);
                ++pos;
                continue;
            }
            if (!m_pairs)
                m_pairs = std::make_unique<Learnt[]>(128 * 256);
            const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
            Learnt& pair = m_pairs[(lead - 0x80u) * 256 + trail];
            if (pair.kind == Learnt::Kind::Unknown)
                learn(pair, bytes.substr(pos, 2));
            put(textOf(pair));
            pos += pair.kind == Learnt::Kind::Invalid ? 1 : 2;
        }
        out.append(gathered, used);
        return pos;
    }

private:
    void learn(Learnt& entry, std::string_view bytes)
    {
        switch (m_converter.probe(bytes, m_scratch)) {
        case Cp932Converter::Verdict::Incomplete:
            // Only a byte alone can be a lead byte; a pair that is still
            // incomplete is no character.
            entry.kind = bytes.size() == 1 ? Learnt::Kind::Lead : Learnt::Kind::Invalid;
            return;
        case Cp932Converter::Verdict::Invalid:
            entry.kind = Learnt::Kind::Invalid;
            return;
        case Cp932Converter::Verdict::Converted:
            break;
        }
        if (m_scratch.size() <= sizeof entry.bytes) {
            entry.kind = Learnt::Kind::Character;
            entry.length = static_cast<std::uint8_t>(m_scratch.size());
            std::memcpy(entry.bytes, m_scratch.data(), m_scratch.size());
        } else {
            entry.kind = Learnt::Kind::Long;
            entry.length = static_cast<std::uint8_t>(m_long.size());
            m_long.push_back(m_scratch);
        }
    }

    std::string_view textOf(const Learnt& entry) const
    {
        if (entry.kind == Learnt::Kind::Character)
            return std::string_view(entry.bytes, entry.length);
        if (entry.kind == Learnt::Kind::Long)
            return m_long[entry.length];
        return ReplacementCharacter;
    }

    Cp932Converter m_converter {Cp932Converter::Direction::ToUtf8};
    std::array<Learnt, 128> m_single {};
    std::unique_ptr<Learnt[]> m_pairs;
    std::vector<std::string> m_long;
    std::string m_scratch;
};

Cp932Decoder& decoder()
{
    thread_local Cp932Decoder instance;
    return instance;
}

// The length of the well-formed UTF-8 sequence at the start of s (no
// overlong form, no surrogate, nothing above U+10FFFF), 0 when it is not one.
std::size_t wellFormedLength(std::string_view s, char32_t& codePoint)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto continuation = [&](std::size_t i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < s.size() && at(i) >= low && at(i) <= high;
    };
    const unsigned char c = at(0);
    if (c >= 0xC2 && c <= 0xDF && continuation(1)) {
        codePoint = (c & 0x1Fu) << 6 | (at(1) & 0x3Fu);
        return 2;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char low = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = c == 0xED ? 0x9F : 0xBF;
        if (!continuation(1, low, high) || !continuation(2))
            return 0;
        codePoint = (c & 0x0Fu) << 12 | (at(1) & 0x3Fu) << 6 | (at(2) & 0x3Fu);
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char low = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = c == 0xF4 ? 0x8F : 0xBF;
        if (!continuation(1, low, high) || !continuation(2) || !continuation(3))
            return 0;
        codePoint = (c & 0x07u) << 18 | (at(1) & 0x3Fu) << 12 | (at(2) & 0x3Fu) << 6 | (at(3) & 0x3Fu);
        return 4;
    }
    return 0;
}

// UTF-8 to code page 932, one well-formed character at a time, each
// character of the Basic Multilingual Plane learnt from the converter once.
// Malformed input is left to the converter itself, from that point on, so
// that it is skipped and replaced exactly as the converter's errors are.
class Cp932Encoder {
public:
    void run(std::string_view utf8, std::string& out, bool* lossy)
    {
        if (!m_converter.usable()) {
            out.append(utf8);
            return;
        }
        std::size_t pos = 0;
        while (pos < utf8.size()) {
            const std::size_t high = nextHighByte(utf8, pos);
            out.append(utf8.data() + pos, high - pos);
            pos = high;
            if (pos == utf8.size())
                break;
            char32_t codePoint = 0;
            const std::size_t length = wellFormedLength(utf8.substr(pos), codePoint);
            if (length == 0) {
                m_converter.run(utf8.substr(pos), "?", utf8SequenceLength, out, lossy);
                return;
            }
            const Learnt& entry = learnt(utf8.substr(pos, length), codePoint);
            if (entry.kind == Learnt::Kind::Character) {
                out.append(entry.bytes, entry.length);
            } else if (entry.kind == Learnt::Kind::Long) {
                out.append(m_long[entry.length]);
            } else {
                out.push_back('?');
                if (lossy)
                    *lossy = true;
            }
            pos += length;
        }
    }

private:
    const Learnt& learnt(std::string_view sequence, char32_t codePoint)
    {
        Learnt* entry = &m_beyondPlane;
        if (codePoint < 0x10000) {
            if (!m_plane)
                m_plane = std::make_unique<Learnt[]>(0x10000);
            entry = &m_plane[codePoint];
            if (entry->kind != Learnt::Kind::Unknown)
                return *entry;
        }
        *entry = Learnt {};
        if (m_converter.probe(sequence, m_scratch) != Cp932Converter::Verdict::Converted) {
            entry->kind = Learnt::Kind::Invalid;
        } else if (m_scratch.size() <= sizeof entry->bytes) {
            entry->kind = Learnt::Kind::Character;
            entry->length = static_cast<std::uint8_t>(m_scratch.size());
            std::memcpy(entry->bytes, m_scratch.data(), m_scratch.size());
        } else {
            entry->kind = Learnt::Kind::Long;
            entry->length = static_cast<std::uint8_t>(m_long.size());
            m_long.push_back(m_scratch);
        }
        return *entry;
    }

    Cp932Converter m_converter {Cp932Converter::Direction::FromUtf8};
    std::unique_ptr<Learnt[]> m_plane;
    Learnt m_beyondPlane; // asked again each time: CP932 has nothing there
    std::vector<std::string> m_long;
    std::string m_scratch;
};

} // namespace

std::size_t appendCp932RunAsUtf8(std::string_view bytes, std::size_t pos, std::string& out)
{
    Cp932Decoder& d = decoder();
    if (d.usable())
        return d.appendRun(bytes, pos, out);
    const std::size_t end = nextAsciiByte(bytes, pos);
    out.append(bytes.substr(pos, end - pos));
    return end;
}

void appendCp932AsUtf8(std::string_view bytes, std::string& out)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t high = nextHighByte(bytes, pos);
        out.append(bytes.data() + pos, high - pos);
        if (high == bytes.size())
            break;
        pos = appendCp932RunAsUtf8(bytes, high, out);
    }
}

std::string cp932ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    appendCp932AsUtf8(bytes, out);
    return out;
}

std::string utf8ToCp932(std::string_view utf8, bool* lossy)
{
    if (lossy)
        *lossy = false;
    thread_local Cp932Encoder encoder;
    std::string out;
    out.reserve(utf8.size());
    encoder.run(utf8, out, lossy);
    return out;
}

} // namespace tess
