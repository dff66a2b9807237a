#include "domain/tables/ValueFormat.h"

#include "domain/catalogue/ModelCatalogue.h"

#include <algorithm>
#include <charconv>

namespace tess::tables {

std::string formatMask(int decimals)
{
    if (decimals <= 0)
        return "0";
    return "0." + std::string(static_cast<std::size_t>(decimals), '0');
}

std::string formatScaledValue(std::int64_t value, int decimals)
{
    std::string text;
    formatScaledValueInto(value, decimals, text);
    return text;
}

void formatScaledValueInto(std::int64_t value, int decimals, std::string& text)
{
    const int d = std::clamp(decimals, 0, MaxDecimals);
    // Below 2^23 the single-precision quotient lies nearer to the exact
    // decimal than half its last place, so rounding it to d places gives that
    // decimal back: the value's digits with the point put in, never "-0".
    constexpr std::int64_t ExactBelow = std::int64_t {1} << 23;
    if (value > -ExactBelow && value < ExactBelow) {
        char digits[24];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value < 0 ? -value : value);
        const auto count = static_cast<std::size_t>(end.ptr - digits);
        const auto places = static_cast<std::size_t>(d);
        text.clear();
        if (value < 0)
            text.push_back('-');
        if (count <= places) {
            text.append("0.").append(places - count, '0').append(digits, count);
        } else {
            text.append(digits, count - places);
            if (places > 0)
                text.append(".").append(digits + count - places, places);
        }
        return;
    }
    // Every power of ten up to 10^9 is exact in single precision, so the only
    // rounding is the one of the quotient, as the shown values have always had.
    float scale = 1.0f;
    for (int i = 0; i < d; ++i)
        scale *= 10.0f;
    const float shown = static_cast<float>(value) / scale;
    // Written as printf's "%.*f" writes it: the exact binary value rounded to
    // d places.
    char buffer[64];
    const std::to_chars_result written
        = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(shown), std::chars_format::fixed, d);
    std::string_view shownText(buffer, static_cast<std::size_t>(written.ptr - buffer));
    // A value that rounds to zero is shown without a sign.
    if (shownText.front() == '-' && shownText.find_first_not_of("-0.") == std::string_view::npos)
        shownText.remove_prefix(1);
    text.assign(shownText);
}

std::optional<std::string> formatDecimalText(std::string_view text, int decimals)
{
    std::string out;
    if (!formatDecimalTextInto(text, decimals, out))
        return std::nullopt;
    return out;
}

bool formatDecimalTextInto(std::string_view text, int decimals, std::string& out)
{
    const int d = std::clamp(decimals, 0, MaxDecimals);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::string_view number = text.substr(pos);
    const std::size_t point = number.find('.');
    const std::string_view whole = number.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    const auto digitsOnly = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digitsOnly(whole) || !digitsOnly(fraction) || (whole.empty() && fraction.empty()))
        return false;

    // The digits kept, as one run: whole part then d fraction digits.
    const auto keep = static_cast<std::size_t>(d);
    const bool roundUp = fraction.size() > keep && fraction[keep] >= '5';
    out.assign(whole);
    out.append(fraction.substr(0, keep));
    out.append(keep - std::min(keep, fraction.size()), '0');
    if (roundUp) {
        std::size_t i = out.size();
        while (i > 0 && out[i - 1] == '9')
            out[--i] = '0';
        if (i == 0)
            out.insert(out.begin(), '1');
        else
            ++out[i - 1];
    }
    // The whole part without leading zeros, "0" when nothing is left.
    const std::size_t wholeLength = out.size() - keep;
    std::size_t leadingZeros = 0;
    while (leadingZeros < wholeLength && out[leadingZeros] == '0')
        ++leadingZeros;
    if (leadingZeros == wholeLength)
        out.replace(0, leadingZeros, "0");
    else
        out.erase(0, leadingZeros);

    const bool zero = out.find_first_not_of('0') == std::string::npos;
    if (d > 0)
        out.insert(out.size() - keep, 1, '.');
    if (negative && !zero)
        out.insert(out.begin(), '-');
    return true;
}

std::optional<std::int32_t> toScaledInteger(std::string_view text)
{
    const std::size_t point = text.rfind('.');
    if (point == std::string_view::npos)
        return parseInteger(text);
    const std::string_view before = text.substr(0, point);
    const std::string_view after = text.substr(point + 1);
    char buffer[64];
    if (text.size() <= sizeof buffer) {
        std::copy(before.begin(), before.end(), buffer);
        std::copy(after.begin(), after.end(), buffer + before.size());
        return parseInteger(std::string_view(buffer, text.size() - 1));
    }
    std::string joined(before);
    joined.append(after);
    return parseInteger(joined);
}

bool isClass400V(int model, int capacity, int romVersion)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    if (!known)
        return false;
    if (*known == catalogue::Model::LX71RTP) {
        if (romVersion < 0)
            return false;
        if (romVersion >= FirstEarlyLx71RtpRom && romVersion <= LastEarlyLx71RtpRom)
            return capacity >= FirstCapacity400VEarlyLx71Rtp;
        return capacity >= FirstCapacity400V;
    }
    return capacity >= FirstCapacity400V;
}

// The decimal text of a number of stored units with d decimal places, exact.
std::string formatUnits(std::int64_t units, int d)
{
    const bool negative = units < 0;
    std::string digits = std::to_string(negative ? -units : units);
    const auto places = static_cast<std::size_t>(d);
    if (digits.size() <= places)
        digits = std::string(places + 1 - digits.size(), '0') + digits;
    std::string out = negative ? "-" : "";
    out.append(digits, 0, digits.size() - places);
    if (places > 0) {
        out.push_back('.');
        out.append(digits, digits.size() - places, places);
    }
    return out;
}

} // namespace tess::tables
