#include "domain/common/Cp932Converter.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace tess {
namespace {

iconv_t descriptor(void* state)
{
    return static_cast<iconv_t>(state);
}

const iconv_t NoDescriptor = reinterpret_cast<iconv_t>(-1);

} // namespace

Cp932Converter::Cp932Converter(Direction direction)
    : m_direction(direction)
    , m_state(direction == Direction::ToUtf8 ? iconv_open("UTF-8", "CP932") : iconv_open("CP932", "UTF-8"))
{
}

Cp932Converter::~Cp932Converter()
{
    if (usable())
        iconv_close(descriptor(m_state));
}

bool Cp932Converter::usable() const
{
    return descriptor(m_state) != NoDescriptor;
}

void Cp932Converter::run(std::string_view in, std::string_view replacement, Skip skip, std::string& out, bool* lossy)
{
    if (!usable()) {
        out.append(in);
        return;
    }
    const iconv_t cd = descriptor(m_state);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
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
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

Cp932Converter::Verdict Cp932Converter::probe(std::string_view in, std::string& out)
{
    const iconv_t cd = descriptor(m_state);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[64];
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const int error = errno;
    out.assign(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc != static_cast<std::size_t>(-1) && srcLeft == 0)
        return Verdict::Converted;
    return rc == static_cast<std::size_t>(-1) && error == EINVAL ? Verdict::Incomplete : Verdict::Invalid;
}

} // namespace tess
