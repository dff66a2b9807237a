#include "domain/tables/ValueFormat.h"

#include "domain/catalogue/ModelCatalogue.h"

#include <algorithm>
#include <cstdio>

namespace tess::tables {

std::string formatMask(int decimals)
{
    if (decimals <= 0)
        return "0";
    return "0." + std::string(static_cast<std::size_t>(decimals), '0');
}

std::string formatScaledValue(std::int64_t value, int decimals)
{
    const int d = std::clamp(decimals, 0, MaxDecimals);
    // Every power of ten up to 10^9 is exact in single precision, so the only
    // rounding is the one of the quotient, as the shown values have always had.
    float scale = 1.0f;
    for (int i = 0; i < d; ++i)
        scale *= 10.0f;
    const float shown = static_cast<float>(value) / scale;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", d, static_cast<double>(shown));
    std::string text(buffer);
    // A value that rounds to zero is shown without a sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::optional<std::string> formatDecimalText(std::string_view text, int decimals)
{
    const int d = std::clamp(decimals, 0, MaxDecimals);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::string whole;
    std::string fraction;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            (point ? fraction : whole).push_back(c);
        } else {
            return std::nullopt;
        }
    }
    if (whole.empty() && fraction.empty())
        return std::nullopt;

    // The digits kept, as one run: whole part then d fraction digits.
    const auto keep = static_cast<std::size_t>(d);
    const bool roundUp = fraction.size() > keep && fraction[keep] >= '5';
    fraction.resize(keep, '0');
    std::string digits = whole + fraction;
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
    }
    std::string intPart = digits.substr(0, digits.size() - keep);
    const std::string fracPart = digits.substr(digits.size() - keep);
    const std::size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);

    const bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = negative && !zero ? "-" : "";
    out += intPart;
    if (d > 0)
        out += "." + fracPart;
    return out;
}

std::optional<std::int32_t> toScaledInteger(std::string_view text)
{
    const std::size_t point = text.rfind('.');
    if (point == std::string_view::npos)
        return parseInteger(text);
    std::string joined(text.substr(0, point));
    joined.append(text.substr(point + 1));
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
        if (romVersion >= 1 && romVersion <= 18)
            return capacity >= 11;
        return capacity >= 16;
    }
    return capacity >= 16;
}

} // namespace tess::tables
