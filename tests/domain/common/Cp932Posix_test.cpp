// The conversions look characters up once they have learnt them; whatever
// the bytes, they must give what the system's converter gives when it is
// run over the whole text, stepping over what it refuses.
#include "domain/common/Cp932.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <string>
#include <string_view>

namespace tess {
namespace {

// The system converter over a whole text: a sequence it refuses becomes
// `replacement`, `skip` tells how many bytes that steps over.
class SystemConverter {
public:
    SystemConverter(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~SystemConverter() { iconv_close(m_cd); }
    SystemConverter(const SystemConverter&) = delete;
    SystemConverter& operator=(const SystemConverter&) = delete;

    std::string convert(
        std::string_view in, std::string_view replacement, std::size_t (*skip)(std::string_view), bool* lossy = nullptr)
    {
        std::string out;
        if (lossy)
            *lossy = false;
        for (std::size_t done = 0; done < in.size();) {
            const std::size_t taken = convertWhatItTakes(in.substr(done), out);
            done += taken;
            if (done == in.size())
                break;
            // Refused here: replaced, and stepped over.
            done += std::min(in.size() - done, skip(in.substr(done)));
            out += replacement;
            if (lossy)
                *lossy = true;
        }
        return out;
    }

private:
    // Converts from the converter's first state until it refuses a sequence
    // or the text ends; returns how many bytes it took.
    std::size_t convertWhatItTakes(std::string_view in, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string room(in.size() * 4 + 16, '\0');
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char* dst = room.data();
        std::size_t space = room.size();
        iconv(m_cd, &src, &left, &dst, &space);
        out.append(room.data(), static_cast<std::size_t>(dst - room.data()));
        return in.size() - left;
    }

    iconv_t m_cd;
};

std::size_t oneByte(std::string_view)
{
    return 1;
}

// A lead byte's length, cut short at the first byte that continues nothing.
std::size_t utf8Sequence(std::string_view s)
{
    const auto c = static_cast<unsigned char>(s[0]);
    const std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    for (std::size_t i = 1; i < n && i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return i;
    return n;
}

std::string systemDecoding(std::string_view bytes)
{
    static SystemConverter converter("UTF-8", "CP932");
    return converter.convert(bytes, "\xEF\xBF\xBD", oneByte);
}

std::string systemEncoding(std::string_view utf8, bool* lossy)
{
    static SystemConverter converter("CP932", "UTF-8");
    return converter.convert(utf8, "?", utf8Sequence, lossy);
}

// Whether text holds a byte below 0x40: the separators, quotes, blanks and
// line ends of a table are all such bytes.
bool holdsSeparatorRange(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x40)
            return true;
    return false;
}

// Every byte from 0x80 up, alone and followed by any byte. The table files
// are split into lines and fields after decoding, which takes for granted
// that decoding makes no separator and swallows none: a lead byte before a
// byte below 0x40 stands alone.
TEST(Cp932Decoding, EveryByteAndPairAsTheSystemConverter)
{
    for (int lead = 0; lead < 256; ++lead) {
        const std::string alone(1, static_cast<char>(lead));
        ASSERT_EQ(cp932ToUtf8(alone), systemDecoding(alone)) << std::hex << lead;
        if (lead < 0x80)
            continue;
        EXPECT_FALSE(holdsSeparatorRange(cp932ToUtf8(alone))) << std::hex << lead;
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string decoded = cp932ToUtf8(pair);
            ASSERT_EQ(decoded, systemDecoding(pair)) << std::hex << lead << ' ' << trail;
            if (trail < 0x40)
                ASSERT_EQ(decoded, cp932ToUtf8(alone) + static_cast<char>(trail)) << std::hex << lead << ' ' << trail;
            else
                ASSERT_FALSE(holdsSeparatorRange(decoded)) << std::hex << lead << ' ' << trail;
        }
    }
}

struct DecodingCase {
    const char* name;
    std::string bytes;
};

class Cp932Texts : public ::testing::TestWithParam<DecodingCase> { };

TEST_P(Cp932Texts, DecodeAsTheSystemConverter)
{
    EXPECT_EQ(cp932ToUtf8(GetParam().bytes), systemDecoding(GetParam().bytes));
    std::string appended = "x";
    appendCp932AsUtf8(GetParam().bytes, appended);
    EXPECT_EQ(appended, "x" + systemDecoding(GetParam().bytes));
}

std::string repeated(std::string_view text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out.append(text);
    return out;
}

INSTANTIATE_TEST_SUITE_P(, Cp932Texts,
    ::testing::Values(DecodingCase {"Ascii", "Fund.-0,\"Max frequency\",0/400\r\n"},
        DecodingCase {"KanjiBetweenAscii", "A-1,\"\x89\xC1\x91\xAC\x8E\x9E\x8A\xD4\",1"},
        DecodingCase {"HalfWidthKana", "\xC3\xBD\xC4 \xB1"}, DecodingCase {"LeadByteAtTheEnd", "abc\x83"},
        DecodingCase {"LeadByteBeforeAComma", "\x83,\x83\x5C"}, DecodingCase {"RefusedPairThenAscii", "\x85\x40z"},
        DecodingCase {"LeadByteBeforeALeadByte", "\x81\x81\x40"},
        DecodingCase {"BytesAssignedToNothing", "\xA0\xFD\xFE\xFF"},
        DecodingCase {"LongRunOfKanji", repeated("\x89\xC1\x91\xAC", 200)}, DecodingCase {"Empty", ""}),
    test::CaseName {});

// Every character of the Basic Multilingual Plane (the surrogates are no
// characters), each alone.
TEST(Cp932Encoding, EveryCharacterOfThePlaneAsTheSystemConverter)
{
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        std::string utf8;
        if (c < 0x800) {
            utf8 = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            utf8 = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
        }
        bool lossy = false;
        bool systemLossy = false;
        ASSERT_EQ(utf8ToCp932(utf8, &lossy), systemEncoding(utf8, &systemLossy))
            << std::hex << static_cast<std::uint32_t>(c);
        ASSERT_EQ(lossy, systemLossy) << std::hex << static_cast<std::uint32_t>(c);
    }
}

class Utf8Texts : public ::testing::TestWithParam<DecodingCase> { };

TEST_P(Utf8Texts, EncodeAsTheSystemConverter)
{
    bool lossy = false;
    bool systemLossy = false;
    EXPECT_EQ(utf8ToCp932(GetParam().bytes, &lossy), systemEncoding(GetParam().bytes, &systemLossy));
    EXPECT_EQ(lossy, systemLossy);
}

INSTANTIATE_TEST_SUITE_P(, Utf8Texts,
    ::testing::Values(DecodingCase {"AsciiAndKanji", "A-1,加速時間,1.5"}, DecodingCase {"Emoji", "a\xF0\x9F\x98\x80z"},
        DecodingCase {"OverlongSlash", "a\xC0\xAFz"}, DecodingCase {"Surrogate", "a\xED\xA0\x80z"},
        DecodingCase {"CutShortAtTheEnd", "あ\xE3\x81"}, DecodingCase {"CutShortBeforeAscii", "\xE3\x81z"},
        DecodingCase {"StrayContinuation", "\x80\xBFz"}, DecodingCase {"AboveTheLastCharacter", "\xF4\x90\x80\x80z"},
        DecodingCase {"MalformedBetweenCharacters", "あ\xC3(い"}, DecodingCase {"Empty", ""}),
    test::CaseName {});

} // namespace
} // namespace tess
