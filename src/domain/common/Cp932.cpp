#include "domain/common/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace tess {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in pieces; on a sequence it cannot take, appends the replacement
    // and steps over `skip(in)` bytes.
    template <typename Skip>
    std::string run(std::string_view in, std::string_view replacement, Skip skip, bool* lossy)
    {
        std::string out;
        out.reserve(in.size() * 3 / 2 + 8);
        if (lossy)
            *lossy = false;
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return std::string(in);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (truncated sequence at the end): replace and go on.
            const std::size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
            src += n;
            srcLeft -= n;
            out.append(replacement);
            if (lossy)
                *lossy = true;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t m_cd;
};

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

} // namespace

std::string cp932ToUtf8(std::string_view bytes)
{
    // Plain ASCII needs no conversion; most table lines are largely ASCII but
    // not entirely, so only the whole-text shortcut is worth it.
    bool ascii = true;
    for (const char ch : bytes)
        if (static_cast<unsigned char>(ch) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return std::string(bytes);
    thread_local Converter converter("UTF-8", "CP932");
    return converter.run(bytes, "\xEF\xBF\xBD", [](std::string_view) { return std::size_t{1}; }, nullptr);
}

std::string utf8ToCp932(std::string_view utf8, bool* lossy)
{
    thread_local Converter converter("CP932", "UTF-8");
    return converter.run(utf8, "?", utf8SequenceLength, lossy);
}

} // namespace tess
