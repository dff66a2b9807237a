#include "domain/tables/ConversionReport.h"

#include "domain/common/TextFold.h"
#include "domain/grid/CellText.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

namespace tess::tables {

namespace {

// Digits enough for any 16-bit word with the decimal places a table uses,
// few enough that the scaled numbers below stay far inside 64 bits.
constexpr std::size_t MaxRangeDigits = 12;

std::int64_t powerOfTen(int n)
{
    std::int64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// An optionally signed decimal number as its digits without the point and
// the number of places after it.
struct Decimal {
    std::int64_t scaled = 0;
    int places = 0;
};

std::optional<Decimal> parseDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    Decimal d;
    bool point = false;
    std::size_t digits = 0;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (++digits > MaxRangeDigits)
                return std::nullopt;
            d.scaled = d.scaled * 10 + (c - '0');
            if (point)
                ++d.places;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (negative)
        d.scaled = -d.scaled;
    return d;
}

// The number in units of `decimals` places; a number finer than the units
// is widened outwards (down for a lowest, up for a highest), so the range
// claimed is never narrower than the text's.
std::int64_t toUnits(const Decimal& d, int decimals, bool roundUp)
{
    if (d.places <= decimals)
        return d.scaled * powerOfTen(decimals - d.places);
    const std::int64_t divisor = powerOfTen(d.places - decimals);
    std::int64_t q = d.scaled / divisor;
    const std::int64_t r = d.scaled % divisor;
    if (r != 0 && roundUp && d.scaled > 0)
        ++q;
    if (r != 0 && !roundUp && d.scaled < 0)
        --q;
    return q;
}

// A slot the table keeps unused, by either of its names.
bool isReservedName(const ParameterDef& def)
{
    return isPlaceholderName(def.nameEnglish) || isPlaceholderName(def.nameJapanese);
}

std::string defaultText(const ParameterDef& def, int capacity)
{
    return def.capacityWord ? std::to_string(capacity) : formatUnits(def.defaultUnits, def.decimals);
}

std::string wordText(const std::optional<ParameterDef>& def, std::int32_t value)
{
    if (!def)
        return std::to_string(value);
    if (def->capacityWord)
        return std::to_string(value);
    return valueText(value, def->decimals, def->signFlag);
}

// Two defaults denote the same number, whatever their decimal places.
bool sameDefault(const ParameterDef& a, int capacityA, const ParameterDef& b, int capacityB)
{
    if (a.capacityWord || b.capacityWord)
        return a.capacityWord && b.capacityWord && capacityA == capacityB;
    const int places = std::max(a.decimals, b.decimals);
    if (places < 0 || places > MaxDecimals || a.decimals < 0 || b.decimals < 0)
        return a.defaultUnits == b.defaultUnits && a.decimals == b.decimals;
    return a.defaultUnits * powerOfTen(places - a.decimals) == b.defaultUnits * powerOfTen(places - b.decimals);
}

} // namespace

std::optional<UnitRange> parseRange(std::string_view rangeText, int decimals)
{
    if (decimals < 0 || decimals > MaxDecimals)
        return std::nullopt;
    std::string_view text = rangeText;
    if (const std::size_t colon = text.find(':'); colon != std::string_view::npos)
        text.remove_prefix(colon + 1);
    if (!text.empty() && text.back() == ']') {
        const std::size_t open = text.rfind('[');
        if (open == std::string_view::npos)
            return std::nullopt;
        text = text.substr(0, open);
    }
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::optional<Decimal> low = parseDecimal(text.substr(0, slash));
    const std::optional<Decimal> high = parseDecimal(text.substr(slash + 1));
    if (!low || !high)
        return std::nullopt;
    UnitRange range {toUnits(*low, decimals, false), toUnits(*high, decimals, true)};
    if (range.low > range.high)
        return std::nullopt;
    return range;
}

bool outsideRange(const ParameterDef& def, std::int32_t value)
{
    if (def.capacityWord || def.decimals < 0 || def.decimals > MaxDecimals)
        return false;
    const std::optional<UnitRange> range = parseRange(effectiveRangeText(def), def.decimals);
    if (!range)
        return false;
    const std::int64_t stored = storedValue(value, def.signFlag);
    return stored < range->low || stored > range->high;
}

std::string effectiveRangeText(const ParameterDef& def)
{
    return std::string(def.range400V ? text(TextId::TableRange400V, Language::English) : def.rangeText);
}

bool isParameter(const std::optional<ParameterDef>& def)
{
    return def && !isReservedName(*def);
}

std::int64_t storedValue(std::int32_t value, std::int16_t signFlag)
{
    const auto low = static_cast<std::uint16_t>(value);
    return signFlag == 0 ? static_cast<std::int16_t>(low) : low;
}

ConversionReport reportConversion(const ParameterTable& before, const ParameterTable& after,
    const ParameterSet& valuesBefore, const ParameterSet& valuesAfter, int capacityBefore, int capacityAfter)
{
    ConversionReport report;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const auto index = static_cast<std::size_t>(slot);
        const std::optional<ParameterDef>& was = before.def(slot);
        const std::optional<ParameterDef>& now = after.def(slot);
        const bool wasParameter = isParameter(was);
        const bool nowParameter = isParameter(now);

        unsigned kinds = 0;
        const auto mark = [&kinds](ConversionKind kind) { kinds |= 1u << static_cast<unsigned>(kind); };
        if (!wasParameter && nowParameter)
            mark(ConversionKind::NowParameter);
        if (wasParameter && !nowParameter)
            mark(ConversionKind::NowReserved);
        if (wasParameter && nowParameter) {
            if (was->code != now->code || was->nameJapanese != now->nameJapanese
                || was->nameEnglish != now->nameEnglish)
                mark(ConversionKind::Meaning);
            if (was->decimals != now->decimals && !now->capacityWord)
                mark(ConversionKind::DecimalPlaces);
            if (!sameDefault(*was, capacityBefore, *now, capacityAfter))
                mark(ConversionKind::DefaultDiffers);
        }
        if (nowParameter && outsideRange(*now, valuesAfter[index]))
            mark(ConversionKind::OutOfRange);
        if (valuesAfter[index] != valuesBefore[index])
            mark(now && now->capacityWord ? ConversionKind::SetFromCapacity : ConversionKind::ValueConverted);

        if (kinds == 0) {
            ++report.unchanged;
            continue;
        }
        ConversionRow row;
        row.slot = slot;
        row.kinds = static_cast<std::uint8_t>(kinds);
        if (was) {
            row.codeBefore = was->code;
            row.nameJapaneseBefore = was->nameJapanese;
            row.nameEnglishBefore = was->nameEnglish;
            row.defaultBefore = defaultText(*was, capacityBefore);
        }
        if (now) {
            row.codeAfter = now->code;
            row.nameJapaneseAfter = now->nameJapanese;
            row.nameEnglishAfter = now->nameEnglish;
            row.defaultAfter = defaultText(*now, capacityAfter);
            row.rangeAfter = effectiveRangeText(*now);
        }
        row.valueBefore = wordText(was, valuesBefore[index]);
        row.valueAfter = wordText(now, valuesAfter[index]);
        for (int k = 0; k < ConversionKindCount; ++k)
            if (row.has(static_cast<ConversionKind>(k)))
                ++report.counts[static_cast<std::size_t>(k)];
        report.rows.push_back(std::move(row));
    }
    return report;
}

} // namespace tess::tables
