#include "domain/common/Cp932Converter.h"

#include "domain/common/WideText.h"

#include <algorithm>

#include <windows.h>

namespace tess {
namespace {

constexpr UINT CodePage932 = 932;

Cp932Converter::Verdict toUtf8(std::string_view in, std::string& out)
{
    out.clear();
    const int size = static_cast<int>(in.size());
    wchar_t wide[8];
    const int length = ::MultiByteToWideChar(CodePage932, MB_ERR_INVALID_CHARS, in.data(), size, wide, 8);
    if (length <= 0) {
        // A lead byte alone is the start of a character the rest would end.
        const bool lead = in.size() == 1 && ::IsDBCSLeadByteEx(CodePage932, static_cast<BYTE>(in[0]));
        return lead ? Cp932Converter::Verdict::Incomplete : Cp932Converter::Verdict::Invalid;
    }
    out = utf8Text(std::wstring_view(wide, static_cast<std::size_t>(length)));
    return Cp932Converter::Verdict::Converted;
}

Cp932Converter::Verdict fromUtf8(std::string_view in, std::string& out)
{
    out.clear();
    const int size = static_cast<int>(in.size());
    wchar_t wide[8];
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data(), size, wide, 8);
    if (length <= 0)
        return Cp932Converter::Verdict::Invalid;
    // No "best fit": a character without a form of its own is no character
    // of the code page, as for iconv.
    char bytes[16];
    BOOL usedDefault = FALSE;
    const int written = ::WideCharToMultiByte(
        CodePage932, WC_NO_BEST_FIT_CHARS, wide, length, bytes, sizeof bytes, nullptr, &usedDefault);
    if (written <= 0 || usedDefault)
        return Cp932Converter::Verdict::Invalid;
    out.assign(bytes, static_cast<std::size_t>(written));
    return Cp932Converter::Verdict::Converted;
}

} // namespace

Cp932Converter::Cp932Converter(Direction direction)
    : m_direction(direction)
{
}

Cp932Converter::~Cp932Converter() = default;

bool Cp932Converter::usable() const
{
    return ::IsValidCodePage(CodePage932) != 0;
}

Cp932Converter::Verdict Cp932Converter::probe(std::string_view in, std::string& out)
{
    return m_direction == Direction::ToUtf8 ? toUtf8(in, out) : fromUtf8(in, out);
}

// One character at a time: the system converts whole texts only, and would
// not tell where one it cannot take ends.
void Cp932Converter::run(std::string_view in, std::string_view replacement, Skip skip, std::string& out, bool* lossy)
{
    std::string piece;
    while (!in.empty()) {
        const std::size_t n = std::clamp<std::size_t>(skip(in), 1, in.size());
        if (probe(in.substr(0, n), piece) == Verdict::Converted) {
            out.append(piece);
        } else {
            out.append(replacement);
            if (lossy)
                *lossy = true;
        }
        in.remove_prefix(n);
    }
}

} // namespace tess
