#include "core/tables/TableLoader.h"

#include "core/app/Texts.h"
#include "core/app/Workspace.h"
#include "core/catalogue/ModelCatalogue.h"
#include "core/common/Cp932.h"
#include "core/common/Ui.h"
#include "core/tables/TableFiles.h"
#include "core/tables/ValueFormat.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace tess::tables {
namespace {

// Motor groups: parameters whose decimal places (and in V/F mode defaults)
// depend on the capacity.
enum class Group { None, A, B, C, D };

bool oneOf(std::string_view code, std::initializer_list<std::string_view> codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

Group groupByCode(std::string_view code, ModelFamily family)
{
    if (oneOf(code, {"A-2", "L-1"}))
        return Group::A;
    if (oneOf(code, {"A-4", "L-3"}))
        return Group::D;
    if (family == ModelFamily::QM) {
        if (oneOf(code, {"A-17", "A-18", "L-9", "L-10"}))
            return Group::B;
        if (oneOf(code, {"A-19", "A-20", "L-11", "L-12"}))
            return Group::C;
    } else {
        if (oneOf(code, {"A-17", "L-8"}))
            return Group::B;
        if (oneOf(code, {"A-18", "A-19", "L-9", "L-10"}))
            return Group::C;
    }
    return Group::None;
}

// Capacity-file fields of the groups' decimal places and V/F defaults.
constexpr std::size_t CapDecimalsC = 2;
constexpr std::size_t CapDecimalsB = 3;
constexpr std::size_t CapDecimalsD = 4;
constexpr std::size_t CapDecimalsA = 5;
constexpr std::size_t CapVfDefaultB = 6;
constexpr std::size_t CapVfDefaultA = 8;
constexpr std::size_t CapVfDefaultD = 9;
constexpr std::size_t CapVfDefaultA11To16 = 10;
constexpr std::size_t CapVfDefaultA10 = 11;

// Record fields.
constexpr std::size_t FieldDecimals = 6;
constexpr std::size_t FieldFigures = 7;
constexpr std::size_t FieldSign = 8;
constexpr std::size_t FieldAreaFirst = 9;
constexpr std::size_t FieldAreaLast = 10;
constexpr std::size_t FieldCapacityFile = 11;

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

const std::string* fieldAt(const std::vector<std::string>& fields, std::size_t index)
{
    return index < fields.size() ? &fields[index] : nullptr;
}

std::optional<std::int32_t> integerAt(const std::vector<std::string>& fields, std::size_t index)
{
    const std::string* field = fieldAt(fields, index);
    return field ? parseInteger(*field) : std::nullopt;
}

std::optional<int> decimalsOf(const std::string* text)
{
    if (!text)
        return std::nullopt;
    const std::optional<std::int32_t> d = parseInteger(*text);
    if (!d || *d < 0 || *d > MaxDecimals)
        return std::nullopt;
    return *d;
}

std::optional<std::uint16_t> unsigned16At(const std::vector<std::string>& fields, std::size_t index)
{
    const std::optional<std::int32_t> value = integerAt(fields, index);
    if (!value || *value < 0 || *value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(*value);
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

// One run of the loader over one table file.
class Loader {
public:
    Loader(Workspace& ws, Ui& ui, bool keepValues)
        : m_ws(ws)
        , m_ui(ui)
        , m_keepValues(keepValues)
    {
    }

    int run();

private:
    enum class Step {
        Ok,
        Failed, // the record or area line is unusable: "Area:" message, filling ends
        Stopped, // the capacity default file is unusable: its message is shown, load ends
    };

    bool fill(const TableText& text);
    Step processRecord(int line, int slot, std::string_view bytes);
    Step capacityFields(const std::vector<std::string>*& fields);
    void show(const Message& msg) { m_ui.showMessage(msg, m_ws.language); }
    void show(TextId id) { show(message(id)); }

    Workspace& m_ws;
    Ui& m_ui;
    bool m_keepValues;
    bool m_unsupported = false;
    bool m_error = false;
    bool m_vf = false;
    ModelFamily m_family = ModelFamily::QM;

    std::int16_t m_signFlag = 0;

    // The capacity line of this load, read when a record first needs it.
    enum class CapacityState { NotRead, Read, Unusable, NoLine };
    CapacityState m_capacityState = CapacityState::NotRead;
    std::vector<std::string> m_capacity;

    // V/F mode: the values the records on lines 15 and 30 (or "L-1", "L-9")
    // set for motor groups A and B; they hold for later records of the load.
    std::optional<std::string> m_groupADecimalsText;
    std::optional<std::int32_t> m_groupADefault;
    std::optional<std::string> m_groupBDecimalsText;
    std::optional<std::int32_t> m_groupBDefault;
};

int Loader::run()
{
    Document& doc = m_ws.doc;
    const bool special = m_ws.settings.specialFunctions;
    const auto result = [&] {
        if (m_unsupported)
            return special ? LoadUnsupportedSpecial : LoadUnsupported;
        return m_error ? LoadUnreadable : LoadDone;
    };

    doc.rows.setRowCount(GridRowsWithTable);
    if (doc.identity.model == UnsupportedModel) {
        show(TextId::TableUnsupportedMachine);
        m_unsupported = true;
        return result();
    }

    std::string path;
    bool substitute = false;
    if (doc.identityFromDataSet) {
        path = findTableFileForCurrent(m_ws, m_ui);
        if (path.empty()) {
            if (!special) {
                show(TextId::TableNotFoundForRom);
                m_unsupported = true;
                return result();
            }
            InverterIdentity& id = doc.identity;
            const bool unsupportedRom = id.romVersion == UnsupportedRomVersion;
            if (unsupportedRom && id.model >= 0 && id.model < catalogue::ModelCount)
                id.romVersion = catalogue::newVer(id.model, m_ws.settings);
            path = findTableFileOrOlder(m_ws.applicationFolder, id.model, id.controlMode, id.romVersion);
            const Message prefix = message(
                unsupportedRom ? TextId::TableSubstituteUnsupportedRomPrefix : TextId::TableSubstituteNoTablePrefix);
            const Message suffix = message(TextId::TableSubstituteSuffix);
            const std::string code = romCodeOfPath(path);
            show(Message {prefix.ja + code + suffix.ja, prefix.en + code + suffix.en});
            doc.substituteTableShown = true;
            substitute = true;
            // Later reloads (a language switch) show the same table again.
            doc.currentTablePath = path;
        }
    } else {
        path = doc.currentTablePath;
        substitute = path == doc.table.path && doc.table.substitute;
    }

    if (path.empty()) {
        show(TextId::TableNoParameterFile);
        return result();
    }

    TableText text;
    if (path == NoRomVersionPath || !text.read(path)) {
        show(TextId::TableCloseBkhFiles);
        m_error = true;
        return result();
    }

    doc.table = ParameterTable {};
    doc.table.path = path;
    doc.table.substitute = substitute;
    m_vf = doc.controlModeLetter == 'O';
    m_family = doc.family;
    fill(text);
    return result();
}

bool Loader::fill(const TableText& text)
{
    ParameterTable& table = m_ws.doc.table;
    int line = 2;
    int slot = 0;
    const auto areaFailure = [&](int area) {
        const Message a = message(TextId::TableAreaFailureArea);
        const Message n = message(TextId::TableAreaFailureSlot);
        const std::string i = std::to_string(area);
        const std::string s = std::to_string(slot);
        show(Message {a.ja + i + n.ja + s, a.en + i + n.en + s});
        return false;
    };

    // Areas a damaged table never reaches hold nothing.
    table.areaFirst.fill(1);
    table.areaLast.fill(0);
    for (int area = 0; area < AreaCount; ++area) {
        const std::optional<std::string_view> areaLine = text.line(static_cast<std::size_t>(2 + area));
        if (!areaLine)
            return areaFailure(area);
        const std::vector<std::string> fields = splitRecord(*areaLine);
        const std::optional<std::uint16_t> first = unsigned16At(fields, FieldAreaFirst);
        const std::optional<std::uint16_t> last = unsigned16At(fields, FieldAreaLast);
        if (!first || !last)
            return areaFailure(area);
        table.areaFirst[static_cast<std::size_t>(area)] = *first;
        table.areaLast[static_cast<std::size_t>(area)] = *last;

        for (int s = *first; s <= *last; ++s) {
            slot = s;
            const std::optional<std::string_view> record = text.line(static_cast<std::size_t>(line));
            // A slot past the ParameterSet, or a file that ends too early.
            if (s >= SlotCount || !record)
                return areaFailure(area);
            switch (processRecord(line, s, *record)) {
            case Step::Ok:
                break;
            case Step::Failed:
                return areaFailure(area);
            case Step::Stopped:
                m_error = true;
                return false;
            }
            ++line;
        }
    }
    return true;
}

Loader::Step Loader::capacityFields(const std::vector<std::string>*& fields)
{
    if (m_capacityState == CapacityState::NotRead) {
        const Document& doc = m_ws.doc;
        const std::string& name = doc.table.capacityFileName;
        const std::string path = capacityDefaultFilePath(m_ws.applicationFolder, name);
        TableText text;
        IoError error;
        if (name.empty()) {
            const Message m = message(TextId::TableCapacityFileUnnamed);
            show(Message {m.ja + doc.table.path, m.en + doc.table.path});
            m_capacityState = CapacityState::Unusable;
        } else if (!fileExists(path) && !isDirectory(path)) {
            const Message m = message(TextId::TableCapacityFileMissing);
            show(Message {m.ja + path, m.en + path});
            m_capacityState = CapacityState::Unusable;
        } else if (!text.read(path, &error)) {
            show(TextId::TableCloseBkhFiles);
            m_capacityState = CapacityState::Unusable;
        } else {
            const int lineNumber = doc.identity.capacity + 1;
            const std::optional<std::string_view> line
                = lineNumber >= 1 ? text.line(static_cast<std::size_t>(lineNumber)) : std::nullopt;
            if (line) {
                m_capacity = splitRecord(*line);
                m_capacityState = CapacityState::Read;
            } else {
                m_capacityState = CapacityState::NoLine;
            }
        }
    }
    switch (m_capacityState) {
    case CapacityState::Read:
        fields = &m_capacity;
        return Step::Ok;
    case CapacityState::NoLine:
        return Step::Failed;
    default:
        return Step::Stopped;
    }
}

Loader::Step Loader::processRecord(int line, int slot, std::string_view bytes)
{
    Document& doc = m_ws.doc;
    const InverterIdentity& id = doc.identity;
    const std::vector<std::string> r = splitRecord(bytes);
    if (r.size() <= FieldSign)
        return Step::Failed;

    // A sign flag that is no integer is reported, and the previous one holds.
    if (const std::optional<std::int32_t> sign = parseInteger(r[FieldSign])) {
        // Any number but 0 means unsigned, also one whose low 16 bits are 0.
        m_signFlag = static_cast<std::int16_t>(*sign);
        if (*sign != 0 && m_signFlag == 0)
            m_signFlag = 1;
    } else {
        show(Message::same(shownLine(bytes)));
    }

    const std::string& code = r[0];
    const bool class400 = code == "F-0" && isClass400V(id.model, id.capacity, id.romVersion);
    std::array<std::string, GridColumnCount> row;
    row[ColCode] = code;
    row[ColName] = m_ws.language == Language::Japanese ? r[1] : r[2];
    row[ColRange] = class400 ? std::string(text(TextId::TableRange400V, m_ws.language)) : r[3];

    std::optional<int> decimals = decimalsOf(&r[FieldDecimals]);
    if (!decimals)
        return Step::Failed;
    int d = *decimals;
    if (line == 2) {
        const std::string* number = fieldAt(r, FieldCapacityFile);
        const std::optional<std::string> name = number ? capacityDefaultFileName(*number) : std::nullopt;
        if (!name)
            return Step::Failed;
        doc.table.capacityFileName = *name;
    }

    // Motor groups.
    const Group group = groupByCode(code, m_family);
    const std::vector<std::string>* cap = nullptr;
    std::optional<std::string> groupDecimalsText; // the record's own, from the capacity line
    std::optional<std::int32_t> vfDefault;
    bool joinsA = false;
    bool joinsB = false;
    const auto readCapacity = [&]() -> Step { return cap ? Step::Ok : capacityFields(cap); };
    // d and the decimals text from a capacity field.
    const auto takeDecimals = [&](std::size_t field, std::optional<std::string>& textOut) {
        const std::optional<int> value = decimalsOf(fieldAt(*cap, field));
        if (!value)
            return false;
        d = *value;
        textOut = (*cap)[field];
        return true;
    };
    const auto takeInteger = [&](std::size_t field, std::optional<std::int32_t>& out) {
        out = integerAt(*cap, field);
        return out.has_value();
    };

    if (!m_vf) {
        if (group == Group::A || group == Group::B || group == Group::C) {
            if (const Step st = readCapacity(); st != Step::Ok)
                return st;
            const std::size_t field = group == Group::A ? CapDecimalsA
                : group == Group::B                     ? CapDecimalsB
                                                        : CapDecimalsC;
            if (!takeDecimals(field, groupDecimalsText))
                return Step::Failed;
        }
    } else {
        const bool reads = line == 15 || line == 30
            || oneOf(code, {"A-2", "A-17", "A-18", "A-19", "A-20", "L-1", "L-8", "L-9", "L-10", "L-11", "L-12"});
        if (reads) {
            if (const Step st = readCapacity(); st != Step::Ok)
                return st;
        }
        if (line == 15 || code == "L-1") {
            joinsA = true;
            if (!takeDecimals(CapDecimalsA, m_groupADecimalsText) || !takeInteger(CapVfDefaultA, m_groupADefault))
                return Step::Failed;
        }
        if (line == 30 || code == "L-9") {
            joinsB = true;
            if (!takeDecimals(CapDecimalsB, m_groupBDecimalsText) || !takeInteger(CapVfDefaultB, m_groupBDefault))
                return Step::Failed;
        }
        const bool a10 = code == "A-10";
        const bool a11To16 = oneOf(code, {"A-11", "A-12", "A-13", "A-14", "A-15", "A-16"});
        if (a10 || a11To16) {
            if (const Step st = readCapacity(); st != Step::Ok)
                return st;
            if (!takeInteger(a10 ? CapVfDefaultA10 : CapVfDefaultA11To16, vfDefault))
                return Step::Failed;
        }
    }
    if (group == Group::D) {
        if (const Step st = readCapacity(); st != Step::Ok)
            return st;
        if (!takeDecimals(CapDecimalsD, groupDecimalsText))
            return Step::Failed;
        if (m_vf && !takeInteger(CapVfDefaultD, vfDefault))
            return Step::Failed;
    }
    const bool inA = group == Group::A || joinsA;
    const bool inB = group == Group::B || joinsB;

    // The default.
    std::string t = r[4];
    if (m_vf) {
        if (vfDefault && group != Group::D)
            t = formatScaledValue(*vfDefault, d);
        // A record in group A or B by its code alone takes the values of the
        // last record that set them; before any did, it keeps its own.
        if ((line == 15 || code == "L-1" || inB) && m_groupADefault)
            t = formatScaledValue(*m_groupADefault, d);
        if (inB && m_groupBDefault)
            t = formatScaledValue(*m_groupBDefault, d);
        if (group == Group::D && vfDefault)
            t = formatScaledValue(*vfDefault, d);
    }
    if (class400)
        t = "680.0";

    if (m_keepValues && m_vf && (line == 15 || line == 30 || inB)) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return Step::Failed;
        t = formatScaledValue(static_cast<std::int16_t>(*units), d);
    } else if (d == 0) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return Step::Failed;
        t = std::to_string(static_cast<std::int16_t>(*units));
    } else {
        std::optional<std::string> formatted = formatDecimalText(t, d);
        if (!formatted)
            return Step::Failed;
        t = std::move(*formatted);
    }

    // V/F mode of the 400 V class doubles these two defaults.
    if (m_vf && m_family == ModelFamily::QM && (code == "A-3" || code == "L-2") && id.capacity >= 16) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return Step::Failed;
        t = formatUnits(2 * static_cast<std::int64_t>(*units), d);
    }
    row[ColDefault] = t;

    // The value.
    std::string v;
    if (!m_keepValues) {
        v = t;
    } else {
        const auto low = static_cast<std::uint16_t>(doc.values[static_cast<std::size_t>(slot)]);
        const std::int64_t stored = m_signFlag == 0 ? static_cast<std::int16_t>(low) : low;
        v = d == 0 ? std::to_string(stored) : formatScaledValue(stored, d);
    }
    if (code == "S-2") {
        v = std::to_string(id.capacity);
        row[ColDefault] = v;
    }
    row[ColValue] = v;
    std::optional<std::int32_t> newValue;
    if (!m_keepValues) {
        newValue = toScaledInteger(v);
        if (!newValue)
            return Step::Failed;
    }

    const std::optional<std::int32_t> figures = parseInteger(r[FieldFigures]);
    if (!figures)
        return Step::Failed;
    row[ColDecimals] = r[FieldDecimals];
    row[ColFigures] = std::to_string(*figures);
    if (!m_vf) {
        if (groupDecimalsText)
            row[ColDecimals] = *groupDecimalsText;
    } else {
        if (inA && m_groupADecimalsText)
            row[ColDecimals] = *m_groupADecimalsText;
        if (inB && m_groupBDecimalsText)
            row[ColDecimals] = *m_groupBDecimalsText;
        if (group == Group::D && groupDecimalsText)
            row[ColDecimals] = *groupDecimalsText;
    }

    // Only a complete record reaches the grid and the ParameterSet.
    const auto index = static_cast<std::size_t>(slot);
    if (newValue)
        doc.values[index] = *newValue;
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
    doc.table.defs[index] = std::move(def);
    for (int col = 0; col < GridColumnCount; ++col)
        doc.rows.setText(slot + 1, col, std::move(row[static_cast<std::size_t>(col)]));
    return Step::Ok;
}

} // namespace

int loadParameterTable(Workspace& ws, Ui& ui, int keepValues)
{
    return Loader(ws, ui, keepValues != 0).run();
}

} // namespace tess::tables
