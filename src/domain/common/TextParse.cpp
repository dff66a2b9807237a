#include "domain/common/TextParse.h"

#include <charconv>

namespace tess {

std::string_view trimSpacesAndTabs(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::int32_t> parseInteger(std::string_view text, IntegerSign signs)
{
    // from_chars takes a '-' of its own but no '+'; a '+' it is given must
    // not be followed by a second sign.
    if (signs == IntegerSign::PlusOrMinus && text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-'))
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    // Up to nine digits cannot leave the range: read them directly, as most
    // numbers of tables and data files are.
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (!digits.empty() && digits.size() <= 9) {
        std::uint32_t magnitude = 0;
        bool allDigits = true;
        for (const char c : digits) {
            const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(c)) - '0';
            allDigits = allDigits && digit <= 9;
            magnitude = magnitude * 10 + digit;
        }
        if (allDigits)
            return negative ? -static_cast<std::int32_t>(magnitude) : static_cast<std::int32_t>(magnitude);
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace tess
