#include "domain/tables/TableFill.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "domain/tables/TableFiles.h"
#include "domain/tables/TableWalk.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tess::tables {
namespace {

// Message boxes are no place for a whole line of megabytes.
constexpr std::size_t MaxShownLineBytes = 400;

std::string shownLine(std::string_view cp932Line)
{
    std::string text = cp932ToUtf8(cp932Line.substr(0, MaxShownLineBytes * 2));
    if (text.size() <= MaxShownLineBytes && cp932Line.size() <= MaxShownLineBytes * 2)
        return text;
    std::size_t cut = std::min(text.size(), MaxShownLineBytes);
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text + "...";
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

// One fill of the rows from one table file.
class TableFiller {
public:
    TableFiller(const TableFillRequest& request, TableFill& fill)
        : m_request(request)
        , m_fill(fill)
        , m_vf(request.controlModeLetter == 'O')
    {
    }

    void run(const TableText& text);

private:
    RecordStep processRecord(int line, int slot, std::string_view bytes);

    const TableFillRequest& m_request;
    TableFill& m_fill;
    bool m_vf;
    std::int16_t m_signFlag = 0;
    std::optional<MotorGroupRules> m_groups;
};

void TableFiller::run(const TableText& text)
{
    ParameterTable& table = m_fill.table;
    MotorGroupRules::Setup setup;
    setup.applicationFolder = m_request.applicationFolder;
    setup.tablePath = table.path;
    setup.capacity = m_request.identity.capacity;
    setup.family = m_request.family;
    setup.vf = m_vf;
    m_groups.emplace(m_fill.notices, std::move(setup));

    const WalkResult walk = walkTableRecords(text, table.areaFirst, table.areaLast,
        [this](int line, int slot, std::string_view record) { return processRecord(line, slot, record); });
    table.capacityFileName = m_groups->capacityFileName();
    if (walk.step == RecordStep::Failed) {
        const LineFault fault = m_groups->capacityFault().value_or(LineFault {table.path, walk.line, walk.lineMissing});
        m_fill.notices.push_back(areaFailureMessage(walk.area, walk.slot, fault));
        m_fill.outcome = FillOutcome::Incomplete;
    } else if (walk.step == RecordStep::Stopped) {
        m_fill.outcome = FillOutcome::Unreadable;
    }
}

RecordStep TableFiller::processRecord(int line, int slot, std::string_view bytes)
{
    const InverterIdentity& id = m_request.identity;
    const std::vector<std::string> r = splitRecord(bytes);
    if (r.size() <= FieldSign)
        return RecordStep::Failed;

    // A sign flag that is no integer is reported, and the previous one holds.
    if (const std::optional<std::int32_t> sign = parseInteger(r[FieldSign])) {
        // Any number but 0 means unsigned, also one whose low 16 bits are 0.
        m_signFlag = static_cast<std::int16_t>(*sign);
        if (*sign != 0 && m_signFlag == 0)
            m_signFlag = 1;
    } else {
        m_fill.notices.push_back(Message::same(shownLine(bytes)));
    }

    const std::string& code = r[0];
    const bool class400 = code == "F-0" && isClass400V(id.model, id.capacity, id.romVersion);
    std::array<std::string, GridColumnCount> row;
    row[ColCode] = code;
    row[ColName] = m_request.language == Language::Japanese ? r[1] : r[2];
    row[ColRange] = class400 ? std::string(text(TextId::TableRange400V, m_request.language)) : r[3];

    const std::optional<int> decimals = decimalsOf(&r[FieldDecimals]);
    if (!decimals)
        return RecordStep::Failed;
    MotorGroupDecimals motor;
    if (const RecordStep st = m_groups->apply(line, r, *decimals, motor); st != RecordStep::Ok)
        return st;
    const int d = motor.decimals;
    const MotorGroup group = motor.group;
    const bool inB = motor.inB;
    const std::optional<std::int32_t>& vfDefault = motor.vfDefault;
    const std::optional<std::int32_t>& groupADefault = m_groups->groupADefault();
    const std::optional<std::int32_t>& groupBDefault = m_groups->groupBDefault();

    // The default.
    std::string t = r[4];
    if (m_vf) {
        if (vfDefault && group != MotorGroup::D)
            t = formatScaledValue(*vfDefault, d);
        // A record in group A or B by its code alone takes the values of the
        // last record that set them; before any did, it keeps its own.
        if ((line == 15 || code == "L-1" || inB) && groupADefault)
            t = formatScaledValue(*groupADefault, d);
        if (inB && groupBDefault)
            t = formatScaledValue(*groupBDefault, d);
        if (group == MotorGroup::D && vfDefault)
            t = formatScaledValue(*vfDefault, d);
    }
    if (class400)
        t = "680.0";

    if (m_request.keepValues && m_vf && (line == 15 || line == 30 || inB)) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return RecordStep::Failed;
        t = formatScaledValue(static_cast<std::int16_t>(*units), d);
    } else if (d == 0) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return RecordStep::Failed;
        t = std::to_string(static_cast<std::int16_t>(*units));
    } else {
        std::optional<std::string> formatted = formatDecimalText(t, d);
        if (!formatted)
            return RecordStep::Failed;
        t = std::move(*formatted);
    }

    // V/F mode of the 400 V class doubles these two defaults.
    if (m_vf && m_request.family == ModelFamily::QM && (code == "A-3" || code == "L-2") && id.capacity >= 16) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return RecordStep::Failed;
        t = formatUnits(2 * static_cast<std::int64_t>(*units), d);
    }
    row[ColDefault] = t;

    // The value.
    std::string v;
    if (!m_request.keepValues) {
        v = t;
    } else {
        const auto low = static_cast<std::uint16_t>(m_fill.values[static_cast<std::size_t>(slot)]);
        const std::int64_t stored = m_signFlag == 0 ? static_cast<std::int16_t>(low) : low;
        v = d == 0 ? std::to_string(stored) : formatScaledValue(stored, d);
    }
    if (code == "S-2") {
        v = std::to_string(id.capacity);
        row[ColDefault] = v;
    }
    row[ColValue] = v;
    std::optional<std::int32_t> newValue;
    if (!m_request.keepValues) {
        newValue = toScaledInteger(v);
        if (!newValue)
            return RecordStep::Failed;
    }

    const std::optional<std::int32_t> figures = parseInteger(r[FieldFigures]);
    if (!figures)
        return RecordStep::Failed;
    row[ColDecimals] = r[FieldDecimals];
    row[ColFigures] = std::to_string(*figures);
    if (motor.decimalsText)
        row[ColDecimals] = *motor.decimalsText;

    // Only a complete record reaches the grid and the ParameterSet.
    const auto index = static_cast<std::size_t>(slot);
    if (newValue)
        m_fill.values[index] = *newValue;
    ParameterDef def;
    def.code = code;
    def.nameJapanese = r[1];
    def.nameEnglish = r[2];
    def.rangeText = r[3];
    def.defaultText = r[4];
    def.decimals = d;
    def.significantFigures = *figures;
    def.signFlag = m_signFlag;
    def.slot = slot;
    def.line = line;
    m_fill.table.defs[index] = std::move(def);
    for (int col = 0; col < GridColumnCount; ++col)
        m_fill.rows.setText(slot + 1, col, std::move(row[static_cast<std::size_t>(col)]));
    return RecordStep::Ok;
}

} // namespace

TableFill fillFromTable(const TableFillRequest& request, GridRows rows, const ParameterSet& values)
{
    TableFill fill;
    fill.rows = std::move(rows);
    fill.values = values;
    TableText text;
    IoError error;
    if (!text.read(request.tablePath, &error)) {
        fill.notices.push_back(
            withCause(message(TextId::TableCloseBkhFiles), fileReasonCause(request.tablePath, error.detail)));
        fill.outcome = FillOutcome::Unreadable;
        return fill;
    }
    fill.tableRead = true;
    fill.table.path = request.tablePath;
    fill.table.substitute = request.substitute;
    TableFiller(request, fill).run(text);
    return fill;
}

} // namespace tess::tables
