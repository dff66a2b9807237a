#include "domain/grid/CellValidation.h"

#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <optional>
#include <string>

namespace tess {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

CellVerdict refused(TextId id)
{
    CellVerdict verdict;
    verdict.outcome = CellOutcome::Refused;
    verdict.message = message(id);
    return verdict;
}

CellVerdict outsideArea()
{
    CellVerdict verdict;
    verdict.outcome = CellOutcome::OutsideArea;
    verdict.message = message(TextId::MsgCellOutsideArea);
    return verdict;
}

// The form of the typed text: steps on characters, sign, decimal point,
// decimal places and significant digits. Empty when the form is right.
std::optional<TextId> checkForm(std::string_view typed, std::int32_t d)
{
    if (typed.empty())
        return TextId::MsgCellPleaseInput;
    if (typed.size() > MaxCellEntryLength)
        return TextId::MsgCellInputWrong;

    const bool negative = typed.front() == '-';
    // A text with a sign is not checked character by character here; what is
    // not a number fails its conversion further on.
    if (!negative && !std::all_of(typed.begin(), typed.end(), [](char c) { return isDigit(c) || c == '.'; }))
        return TextId::MsgCellInputWrong;
    const auto k = static_cast<std::size_t>(std::count(typed.begin(), typed.end(), '.'));
    std::size_t n = typed.size() - k;

    std::string_view s = typed;
    if (negative) {
        if (n < 2)
            return TextId::MsgCellInputWrong;
        s.remove_prefix(1);
        --n;
    }

    // With one "." the character after the n digits is the last one: the
    // point must stand between digits.
    if (s.front() == '.' || (n < s.size() && s[n] == '.'))
        return TextId::MsgCellPointPosition;

    if (k == 0) {
        if (s.starts_with("00"))
            return TextId::MsgCellLeadingZero;
        if (negative && s.starts_with("0"))
            return TextId::MsgCellInputWrong;
        if (d != 0)
            return TextId::MsgCellDecimalPosition;
        if (n > MaxSignificantDigits)
            return TextId::MsgCellSignificantFigures;
        return std::nullopt;
    }
    if (k >= 2)
        return TextId::MsgCellPluralPoints;

    if (n > MaxSignificantDigits)
        return TextId::MsgCellSignificantFigures;
    const std::size_t places = s.size() - s.find('.') - 1;
    if (static_cast<long long>(places) != d)
        return TextId::MsgCellDecimalPosition;
    if (s.starts_with("00"))
        return TextId::MsgCellLeadingZero;
    return std::nullopt;
}

// The second line under a refusal for the decimal places: the form the row
// wants, shown with the number typed when it has one that passes ("7" with
// one place: "Type 7.0: 1 decimal place"), otherwise with the stored value,
// which the cell shows again after the refusal. Nothing for decimal places
// that no text can have.
std::optional<Message> decimalPlacesForm(const CellEntry& entry, std::int32_t d)
{
    if (d < 0 || d > tables::MaxDecimals)
        return std::nullopt;
    std::optional<std::string> sample = tables::formatDecimalText(entry.typed, d);
    if (!sample || checkForm(*sample, d))
        sample = tables::formatScaledValue(entry.stored, d);
    if (d == 0)
        return message(TextId::HintCellNoDecimalPoint, *sample);
    if (d == 1)
        return message(TextId::HintCellOneDecimalPlace, *sample);
    return message(TextId::HintCellDecimalPlaces, *sample, std::to_string(d));
}

// The fixed rules between the first parameters of the Fund. and A areas,
// compared in stored units (without decimal points).
std::optional<TextId> checkCrossRules(
    std::string_view code, std::int16_t f0, std::int16_t f1, std::int16_t f2, std::int16_t a0, std::int16_t a1)
{
    if (code == "Fund.-0" && (f0 > a0 || f0 < -a0))
        return TextId::MsgCellFund0AboveA0;
    if (code == "Fund.-1" && f1 < a1)
        return TextId::MsgCellFund1BelowA1;
    if (code == "Fund.-2" && f2 > -a1)
        return TextId::MsgCellFund2AboveA1;
    if (code == "A-0") {
        if (a0 < f0)
            return TextId::MsgCellA0BelowFund0;
        if (a0 > 14700 || a0 < 300)
            return TextId::MsgCellA0OutOfRange;
    }
    if (code == "A-1" && a1 >= a0)
        return TextId::MsgCellA1NotBelowA0;
    return std::nullopt;
}

Message statusText(const CellEntry& entry)
{
    if (entry.rawDataSet) {
        const std::string index = std::to_string(entry.row - 1);
        const TextPair& suffix = textPair(TextId::StatusCellChangedByIndex);
        return Message {index + std::string(suffix.ja), index + std::string(suffix.en)};
    }
    const std::string code(entry.code);
    const TextPair& suffix = textPair(TextId::StatusCellChangedByCode);
    return Message {code + std::string(suffix.ja), code + std::string(suffix.en)};
}

// The stored word of a grid row as the rules between the first parameters
// read it; nothing for a row the grid shows no value in.
std::optional<std::int16_t> ruleWord(
    GridContent content, const ParameterTable& table, const ParameterSet& values, int capacity, int row)
{
    const int slot = row - 1;
    if (content == GridContent::Raw)
        return static_cast<std::int16_t>(values[static_cast<std::size_t>(slot)]);
    const std::optional<ParameterDef>& def = table.def(slot);
    if (content != GridContent::Table || !def)
        return std::nullopt;
    const std::int32_t word = def->capacityWord ? capacity : values[static_cast<std::size_t>(slot)];
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(word));
}

} // namespace

CellEntry cellEntryFor(GridContent content, const ParameterTable& table, const ParameterSet& values, int capacity,
    int row, std::string_view typed)
{
    CellEntry entry;
    entry.typed = typed;
    const int slot = row - 1;
    if (content == GridContent::Raw) {
        // A raw data set shows plain integers, its own values as defaults.
        entry.decimals = 0;
        entry.negativeDefault = values[static_cast<std::size_t>(slot)] < 0;
    } else if (const std::optional<ParameterDef>& def = table.def(slot); content == GridContent::Table && def) {
        entry.decimals = def->decimals;
        entry.negativeDefault = !def->capacityWord && def->defaultUnits < 0;
        entry.code = def->code;
    }
    for (std::size_t i = 0; i < CrossRuleRows.size(); ++i)
        entry.ruleWords[i] = ruleWord(content, table, values, capacity, CrossRuleRows[i]);
    entry.stored = values[static_cast<std::size_t>(slot)];
    entry.rawDataSet = content == GridContent::Raw;
    entry.row = row;
    return entry;
}

CellVerdict validateCellEntry(const CellEntry& entry)
{
    // The decimal places are read first: a row without parameter has none,
    // and whatever is typed there is outside the setting area.
    if (!entry.decimals)
        return outsideArea();
    const int d = *entry.decimals;

    // Only the first characters decide whether the entry is looked at: a
    // default below zero lets any through, otherwise it must begin with a
    // sign or a digit.
    const char typedFirst = entry.typed.empty() ? '\0' : entry.typed.front();
    if (typedFirst != '-' && !entry.negativeDefault && !isDigit(typedFirst))
        return refused(TextId::MsgCellPrecheckWrong);

    if (const std::optional<TextId> wrong = checkForm(entry.typed, d)) {
        CellVerdict verdict = refused(*wrong);
        if (*wrong == TextId::MsgCellDecimalPosition) {
            if (const std::optional<Message> form = decimalPlacesForm(entry, d))
                verdict.message = withCause(verdict.message, *form);
        }
        return verdict;
    }

    std::array<std::int16_t, CrossRuleRows.size()> rule {};
    for (std::size_t i = 0; i < rule.size(); ++i) {
        // The edited row counts with the value typed.
        const std::optional<std::int32_t> v = CrossRuleRows[i] == entry.row
            ? tables::toScaledInteger(entry.typed)
            : std::optional<std::int32_t>(entry.ruleWords[i]);
        if (!v)
            return outsideArea();
        rule[i] = static_cast<std::int16_t>(*v); // the parameter words are 16 bits wide
    }
    if (const std::optional<TextId> broken = checkCrossRules(entry.code, rule[0], rule[1], rule[2], rule[3], rule[4]))
        return refused(*broken);

    const std::optional<std::int32_t> value = tables::toScaledInteger(entry.typed);
    if (!value)
        return outsideArea();

    CellVerdict verdict;
    verdict.value = *value;
    if (*value == entry.stored) {
        verdict.outcome = CellOutcome::Unchanged;
        return verdict;
    }
    verdict.outcome = CellOutcome::Accepted;
    verdict.status = statusText(entry);
    return verdict;
}

} // namespace tess
