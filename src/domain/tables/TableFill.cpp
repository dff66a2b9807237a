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
#include <charconv>
#include <deque>
#include <memory>
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

// The text of an integer, into out (whose storage is reused).
void assignInteger(std::string& out, std::int64_t value)
{
    char buffer[24];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.assign(buffer, written.ptr);
}

// The stored units of a shown number ("-12.50" gives -1250): its digits
// without the point. Nothing when it does not fit 64 bits.
std::optional<std::int64_t> unitsOfShownText(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int64_t units = 0;
    bool digits = false;
    for (const char c : text) {
        if (c == '.')
            continue;
        if (c < '0' || c > '9' || units > (INT64_MAX - 9) / 10)
            return std::nullopt;
        units = units * 10 + (c - '0');
        digits = true;
    }
    if (!digits)
        return std::nullopt;
    return negative ? -units : units;
}

// The record whose word holds the capacity index.
constexpr std::string_view CapacityCode = "S-2";

// What the views of a loaded table's records point into: the decoded table
// file, and the few field texts a split had to make anew (doubled quotes
// made single), which live nowhere else.
struct RecordTexts {
    std::shared_ptr<const TableText> file;
    std::deque<std::string> rewritten;
};

// One fill of the rows from one table file.
class TableFiller {
public:
    TableFiller(const TableFillRequest& request, TableFill& fill, RecordTexts& texts)
        : m_request(request)
        , m_fill(fill)
        , m_texts(texts)
        , m_vf(request.controlModeLetter == 'O')
    {
    }

    void run();

private:
    // One record, step by step: its sign flag, decimal places and motor
    // group, its default text, then its row.
    RecordStep processRecord(int line, int slot, const RecordFields& r);
    void readSignFlag(int line, std::string_view field);
    // The motor group and V/F values the default takes in V/F mode.
    void takeVfDefaults(int line, std::string_view code, const MotorGroupDecimals& motor);
    // The default as the grid shows it, in the record's decimal places.
    bool formatDefault(int line, const MotorGroupDecimals& motor);
    bool doubleVf400VDefault(std::string_view code, int decimals);
    // The record's row in the table, and its value in a new data set.
    RecordStep storeRecord(int line, int slot, const RecordFields& r, const MotorGroupDecimals& motor, bool class400);
    // The field as a view that lives as long as the table.
    std::string_view kept(std::string_view field);

    const TableFillRequest& m_request;
    TableFill& m_fill;
    RecordTexts& m_texts;
    std::shared_ptr<ParameterDefs> m_defs = std::make_shared<ParameterDefs>();
    bool m_vf;
    std::int16_t m_signFlag = 0;
    std::optional<MotorGroupRules> m_groups;
    // The default text of the record in hand, its storage kept from record
    // to record.
    std::string m_default;
    std::string m_scratch;
};

void TableFiller::run()
{
    ParameterTable& table = m_fill.table;
    MotorGroupRules::Setup setup;
    setup.applicationFolder = m_request.applicationFolder;
    setup.tablePath = table.path;
    setup.capacity = m_request.identity.capacity;
    setup.family = m_request.family;
    setup.vf = m_vf;
    m_groups.emplace(m_fill.notices, std::move(setup));

    const WalkResult walk = walkTableRecords(*m_texts.file, table.areaFirst, table.areaLast,
        [this](int line, int slot, const RecordFields& record) { return processRecord(line, slot, record); });
    table.capacityFileName = m_groups->capacityFileName();
    m_fill.capacityPath = m_groups->capacityPathLookedAt();
    table.defs = std::move(m_defs);
    if (walk.step == RecordStep::Failed) {
        const LineFault fault = m_groups->capacityFault().value_or(LineFault {table.path, walk.line, walk.lineMissing});
        m_fill.notices.push_back(areaFailureMessage(walk.area, walk.slot, fault));
        m_fill.outcome = FillOutcome::Incomplete;
    } else if (walk.step == RecordStep::Stopped) {
        m_fill.outcome = FillOutcome::Unreadable;
    } else if (const std::optional<LineEndFault>& fault = m_texts.file->lineEndFault()) {
        // Every record could be read, yet a file cut short or with bytes lost
        // on the way is not the table it was: the rows stay, the user is told.
        m_fill.notices.push_back(lineEndFaultMessage(table.path, *fault));
        table.fileDamaged = true;
    }
}

std::string_view TableFiller::kept(std::string_view field)
{
    if (m_texts.file->holds(field))
        return field;
    return m_texts.rewritten.emplace_back(field);
}

RecordStep TableFiller::processRecord(int line, int slot, const RecordFields& r)
{
    if (r.size() <= FieldSign)
        return RecordStep::Failed;
    readSignFlag(line, r[FieldSign]);

    const InverterIdentity& id = m_request.identity;
    const bool class400 = r[0] == "F-0" && isClass400V(id.model, id.capacity, id.romVersion);
    const std::optional<int> decimals = decimalsOf(r[FieldDecimals]);
    if (!decimals)
        return RecordStep::Failed;
    MotorGroupDecimals motor;
    if (const RecordStep st = m_groups->apply(line, r, *decimals, motor); st != RecordStep::Ok)
        return st;

    m_default.assign(r[4]);
    if (m_vf)
        takeVfDefaults(line, r[0], motor);
    if (class400)
        m_default.assign("680.0");
    if (!formatDefault(line, motor) || !doubleVf400VDefault(r[0], motor.decimals))
        return RecordStep::Failed;
    return storeRecord(line, slot, r, motor, class400);
}

void TableFiller::readSignFlag(int line, std::string_view field)
{
    // A sign flag that is no integer is reported, and the previous one holds.
    if (const std::optional<std::int32_t> sign = parseInteger(field)) {
        // Any number but 0 means unsigned, also one whose low 16 bits are 0.
        m_signFlag = static_cast<std::int16_t>(*sign);
        if (*sign != 0 && m_signFlag == 0)
            m_signFlag = 1;
    } else {
        m_fill.notices.push_back(
            Message::same(shownLine(m_texts.file->line(static_cast<std::size_t>(line)).value_or(""))));
    }
}

void TableFiller::takeVfDefaults(int line, std::string_view code, const MotorGroupDecimals& motor)
{
    const int d = motor.decimals;
    const std::optional<std::int32_t>& vfDefault = motor.vfDefault;
    const std::optional<std::int32_t>& groupADefault = m_groups->groupADefault();
    const std::optional<std::int32_t>& groupBDefault = m_groups->groupBDefault();
    std::string& t = m_default;
    if (vfDefault && motor.group != MotorGroup::D)
        formatScaledValueInto(*vfDefault, d, t);
    // A record in group A or B by its code alone takes the values of the
    // last record that set them; before any did, it keeps its own.
    if ((line == GroupALeadLine || code == "L-1" || motor.inB) && groupADefault)
        formatScaledValueInto(*groupADefault, d, t);
    if (motor.inB && groupBDefault)
        formatScaledValueInto(*groupBDefault, d, t);
    if (motor.group == MotorGroup::D && vfDefault)
        formatScaledValueInto(*vfDefault, d, t);
}

bool TableFiller::formatDefault(int line, const MotorGroupDecimals& motor)
{
    const int d = motor.decimals;
    std::string& t = m_default;
    if (m_request.keepValues && m_vf && (line == GroupALeadLine || line == GroupBLeadLine || motor.inB)) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return false;
        formatScaledValueInto(static_cast<std::int16_t>(*units), d, t);
    } else if (d == 0) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return false;
        assignInteger(t, static_cast<std::int16_t>(*units));
    } else {
        if (!formatDecimalTextInto(t, d, m_scratch))
            return false;
        std::swap(t, m_scratch);
    }
    return true;
}

bool TableFiller::doubleVf400VDefault(std::string_view code, int decimals)
{
    // V/F mode of the 400 V class doubles these two defaults.
    if (!(m_vf && m_request.family == ModelFamily::QM && (code == "A-3" || code == "L-2")
            && m_request.identity.capacity >= FirstCapacity400V))
        return true;
    const std::optional<std::int32_t> units = toScaledInteger(m_default);
    if (!units)
        return false;
    m_default = formatUnits(2 * static_cast<std::int64_t>(*units), decimals);
    return true;
}

RecordStep TableFiller::storeRecord(
    int line, int slot, const RecordFields& r, const MotorGroupDecimals& motor, bool class400)
{
    const InverterIdentity& id = m_request.identity;
    const std::string_view code = r[0];
    const bool capacityRecord = code == CapacityCode;
    const std::optional<std::int64_t> defaultUnits
        = capacityRecord ? std::optional<std::int64_t>(id.capacity) : unitsOfShownText(m_default);
    if (!defaultUnits)
        return RecordStep::Failed;

    // The value of a new data set is its default; the capacity word holds
    // the capacity index.
    std::optional<std::int32_t> newValue;
    if (!m_request.keepValues) {
        newValue = capacityRecord ? std::optional<std::int32_t>(id.capacity) : toScaledInteger(m_default);
        if (!newValue)
            return RecordStep::Failed;
    }

    const std::optional<std::int32_t> figures = parseInteger(r[FieldFigures]);
    if (!figures)
        return RecordStep::Failed;

    // Only a complete record reaches the table and the ParameterSet.
    const auto index = static_cast<std::size_t>(slot);
    if (newValue)
        m_fill.values[index] = *newValue;
    ParameterDef& def = (*m_defs)[index].emplace();
    def.code = kept(code);
    def.nameJapanese = kept(r[1]);
    def.nameEnglish = kept(r[2]);
    def.rangeText = kept(r[3]);
    def.defaultText = kept(r[4]);
    def.decimals = motor.decimals;
    def.significantFigures = *figures;
    def.signFlag = m_signFlag;
    def.slot = slot;
    def.line = line;
    def.defaultUnits = *defaultUnits;
    def.decimalsText = kept(motor.decimalsText.value_or(r[FieldDecimals]));
    def.range400V = class400;
    def.capacityWord = capacityRecord;
    return RecordStep::Ok;
}

} // namespace

TableFill fillFromTable(const TableFillRequest& request, const ParameterSet& values)
{
    TableFill fill {.table = {}, .values = values, .notices = {}, .capacityPath = {}};
    auto text = std::make_shared<TableText>();
    IoError error;
    if (!text->read(request.tablePath, &error)) {
        fill.notices.push_back(
            withCause(message(TextId::TableCloseBkhFiles), fileReasonCause(request.tablePath, error.detail)));
        fill.outcome = FillOutcome::Unreadable;
        return fill;
    }
    fill.tableRead = true;
    fill.table.path = request.tablePath;
    fill.table.substitute = request.substitute;
    auto texts = std::make_shared<RecordTexts>();
    texts->file = std::move(text);
    TableFiller(request, fill, *texts).run();
    fill.table.texts = std::move(texts);
    return fill;
}

struct TableFillCache::Entry {
    TableFillRequest request;
    FileStamp tableStamp;
    std::optional<FileStamp> capacityStamp; // of made.capacityPath, nothing when it was not there
    TableFill made;

    bool filesUnchanged() const
    {
        return fileStamp(request.tablePath) == tableStamp
            && (made.capacityPath.empty() || fileStamp(made.capacityPath) == capacityStamp);
    }

    TableFill replay(const ParameterSet& values) const;
};

TableFill TableFillCache::Entry::replay(const ParameterSet& values) const
{
    TableFill fill = made;
    fill.values = values;
    // A new data set takes the defaults of the slots the table defines; an
    // opened one keeps its values as they are.
    if (!request.keepValues) {
        const ParameterDefs& defs = *made.table.defs;
        for (std::size_t slot = 0; slot < defs.size(); ++slot) {
            if (defs[slot])
                fill.values[slot] = made.values[slot];
        }
    }
    return fill;
}

TableFill TableFillCache::fill(const TableFillRequest& request, const ParameterSet& values)
{
    if (const std::shared_ptr<const Entry> entry = find(request))
        return entry->replay(values);
    const std::int64_t settled = settledMoment(m_settled);
    TableFill made = fillFromTable(request, values);
    if (made.tableRead)
        keep(request, made, settled);
    return made;
}
std::shared_ptr<const TableFillCache::Entry> TableFillCache::find(const TableFillRequest& request)
{
    std::shared_ptr<const Entry> entry;
    {
        const std::lock_guard lock(m_mutex);
        const auto found
            = std::find_if(m_entries.begin(), m_entries.end(), [&](const auto& e) { return e->request == request; });
        if (found == m_entries.end())
            return nullptr;
        entry = *found;
    }
    return entry->filesUnchanged() ? entry : nullptr;
}

void TableFillCache::keep(const TableFillRequest& request, const TableFill& made, std::int64_t settled)
{
    // Stamps taken after the fill: a file that stood settled then cannot
    // have changed while it was read.
    const std::optional<FileStamp> tableStamp = fileStamp(request.tablePath);
    const std::optional<FileStamp> capacityStamp
        = made.capacityPath.empty() ? std::nullopt : fileStamp(made.capacityPath);
    const bool keepable
        = tableStamp && settledBy(*tableStamp, settled) && (!capacityStamp || settledBy(*capacityStamp, settled));

    std::shared_ptr<Entry> entry;
    if (keepable) {
        entry = std::make_shared<Entry>();
        entry->request = request;
        entry->tableStamp = *tableStamp;
        entry->capacityStamp = capacityStamp;
        entry->made = made;
    }
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](const auto& e) { return e->request == request; });
    if (!entry)
        return;
    m_entries.push_back(std::move(entry));
    if (m_entries.size() > m_capacity)
        m_entries.erase(m_entries.begin());
}

void TableFillCache::clear()
{
    const std::lock_guard lock(m_mutex);
    m_entries.clear();
}

TableFillCache& tableFillCache()
{
    static TableFillCache cache;
    return cache;
}

} // namespace tess::tables
