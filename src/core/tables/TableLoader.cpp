#include "core/tables/TableLoader.h"

#include "core/app/Texts.h"
#include "core/app/Workspace.h"
#include "core/catalogue/ModelCatalogue.h"
#include "core/common/Cp932.h"
#include "core/common/FileIo.h"
#include "core/common/Ui.h"
#include "core/tables/TableFiles.h"
#include "core/tables/TableWalk.h"
#include "core/tables/ValueFormat.h"

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
    void fill(const TableText& text);
    RecordStep processRecord(int line, int slot, std::string_view bytes);
    void show(const Message& msg) { m_ui.showMessage(msg, m_ws.language); }
    void show(TextId id) { show(message(id)); }

    Workspace& m_ws;
    Ui& m_ui;
    bool m_keepValues;
    bool m_unsupported = false;
    bool m_error = false;
    bool m_incomplete = false;
    bool m_vf = false;
    ModelFamily m_family = ModelFamily::QM;

    std::int16_t m_signFlag = 0;
    std::optional<MotorGroupRules> m_groups;
};

int Loader::run()
{
    Document& doc = m_ws.doc;
    const bool special = m_ws.settings.specialFunctions;
    const auto result = [&] {
        if (m_unsupported)
            return special ? LoadUnsupportedSpecial : LoadUnsupported;
        if (m_error)
            return LoadUnreadable;
        return m_incomplete ? LoadIncomplete : LoadDone;
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
                const InverterIdentity& id = doc.identity;
                const std::string sought
                    = tableFilePathInInstallation(m_ws.applicationFolder, id.model, id.controlMode, id.romVersion);
                show(sought.empty() ? message(TextId::TableNotFoundForRom)
                                    : withCause(message(TextId::TableNotFoundForRom), fileMissingCause(sought)));
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
    IoError error;
    if (path == NoRomVersionPath) {
        // "No ROM Version." has said why there is no file.
        show(TextId::TableCloseBkhFiles);
        m_error = true;
        return result();
    }
    if (!text.read(path, &error)) {
        show(withCause(message(TextId::TableCloseBkhFiles), fileReasonCause(path, error.detail)));
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

void Loader::fill(const TableText& text)
{
    ParameterTable& table = m_ws.doc.table;
    MotorGroupRules::Setup setup;
    setup.applicationFolder = m_ws.applicationFolder;
    setup.tablePath = table.path;
    setup.capacity = m_ws.doc.identity.capacity;
    setup.family = m_family;
    setup.vf = m_vf;
    m_groups.emplace(m_ui, m_ws.language, std::move(setup));

    const WalkResult walk = walkTableRecords(text, table.areaFirst, table.areaLast,
        [this](int line, int slot, std::string_view record) { return processRecord(line, slot, record); });
    table.capacityFileName = m_groups->capacityFileName();
    if (walk.step == RecordStep::Failed) {
        const LineFault fault = m_groups->capacityFault().value_or(LineFault {table.path, walk.line, walk.lineMissing});
        show(areaFailureMessage(walk.area, walk.slot, fault));
        m_incomplete = true;
    } else if (walk.step == RecordStep::Stopped)
        m_error = true;
}

RecordStep Loader::processRecord(int line, int slot, std::string_view bytes)
{
    Document& doc = m_ws.doc;
    const InverterIdentity& id = doc.identity;
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
        show(Message::same(shownLine(bytes)));
    }

    const std::string& code = r[0];
    const bool class400 = code == "F-0" && isClass400V(id.model, id.capacity, id.romVersion);
    std::array<std::string, GridColumnCount> row;
    row[ColCode] = code;
    row[ColName] = m_ws.language == Language::Japanese ? r[1] : r[2];
    row[ColRange] = class400 ? std::string(text(TextId::TableRange400V, m_ws.language)) : r[3];

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

    if (m_keepValues && m_vf && (line == 15 || line == 30 || inB)) {
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
    if (m_vf && m_family == ModelFamily::QM && (code == "A-3" || code == "L-2") && id.capacity >= 16) {
        const std::optional<std::int32_t> units = toScaledInteger(t);
        if (!units)
            return RecordStep::Failed;
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
    return RecordStep::Ok;
}

} // namespace

int loadParameterTable(Workspace& ws, Ui& ui, int keepValues)
{
    return Loader(ws, ui, keepValues != 0).run();
}

} // namespace tess::tables
