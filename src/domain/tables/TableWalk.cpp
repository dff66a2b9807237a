#include "domain/tables/TableWalk.h"

#include "domain/common/FileIo.h"
#include "domain/tables/TableFiles.h"
#include "domain/tables/ValueFormat.h"

#include <algorithm>
#include <initializer_list>

namespace tess::tables {
namespace {

bool oneOf(std::string_view code, std::initializer_list<std::string_view> codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
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

std::optional<std::uint16_t> unsigned16At(const RecordFields& fields, std::size_t index)
{
    const std::optional<std::int32_t> value = integerAt(fields, index);
    if (!value || *value < 0 || *value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

} // namespace

std::optional<std::int32_t> integerAt(const RecordFields& fields, std::size_t index)
{
    const std::optional<std::string_view> field = fields.at(index);
    return field ? parseInteger(*field) : std::nullopt;
}

std::optional<int> decimalsOf(std::optional<std::string_view> text)
{
    if (!text)
        return std::nullopt;
    const std::optional<std::int32_t> d = parseInteger(*text);
    if (!d || *d < 0 || *d > MaxDecimals)
        return std::nullopt;
    return *d;
}

WalkResult walkTableRecords(const TableText& text, std::array<std::uint16_t, AreaCount>& areaFirst,
    std::array<std::uint16_t, AreaCount>& areaLast, const RecordVisitor& visit)
{
    WalkResult result;
    const auto endAt = [&](int area, RecordStep step, std::size_t line, bool missing = false) {
        result.area = area;
        result.step = step;
        result.line = static_cast<int>(line);
        result.lineMissing = missing;
        return result;
    };

    // Areas a damaged table never reaches hold nothing.
    areaFirst.fill(1);
    areaLast.fill(0);
    RecordFields fields;
    RecordFields record;
    int line = 2;
    for (int area = 0; area < AreaCount; ++area) {
        const auto areaLineIndex = static_cast<std::size_t>(2 + area);
        const std::optional<std::string_view> areaLine = text.decodedLine(areaLineIndex);
        if (!areaLine)
            return endAt(area, RecordStep::Failed, areaLineIndex, true);
        fields.split(*areaLine);
        const std::optional<std::uint16_t> first = unsigned16At(fields, FieldAreaFirst);
        const std::optional<std::uint16_t> last = unsigned16At(fields, FieldAreaLast);
        if (!first || !last)
            return endAt(area, RecordStep::Failed, areaLineIndex);
        areaFirst[static_cast<std::size_t>(area)] = *first;
        areaLast[static_cast<std::size_t>(area)] = *last;

        for (int s = *first; s <= *last; ++s) {
            result.slot = s;
            const auto lineIndex = static_cast<std::size_t>(line);
            const std::optional<std::string_view> recordLine = text.decodedLine(lineIndex);
            // A slot past the ParameterSet is the area line's fault; a file
            // that ends too early, the missing record's.
            if (s >= SlotCount)
                return endAt(area, RecordStep::Failed, areaLineIndex);
            if (!recordLine)
                return endAt(area, RecordStep::Failed, lineIndex, true);
            record.split(*recordLine);
            if (const RecordStep step = visit(line, s, record); step != RecordStep::Ok)
                return endAt(area, step, lineIndex);
            ++line;
        }
    }
    return result;
}

Message lineFaultCause(const LineFault& fault)
{
    return fault.missing ? fileEndsBeforeLineCause(fault.path, fault.line + 1)
                         : fileLineCause(fault.path, fault.line + 1);
}

Message areaFailureMessage(int area, int slot, const LineFault& fault)
{
    const Message a = message(TextId::TableAreaFailureArea);
    const Message n = message(TextId::TableAreaFailureSlot);
    const std::string i = std::to_string(area);
    const std::string s = std::to_string(slot);
    return withCause(Message {a.ja + i + n.ja + s, a.en + i + n.en + s}, lineFaultCause(fault));
}

Message lineEndFaultMessage(const std::string& path, const LineEndFault& fault)
{
    const TextId id
        = fault.kind == LineEndFault::Kind::LastLineCut ? TextId::TableLastLineCut : TextId::TableLineEndsMixed;
    return withCause(message(id), fileLineCause(path, static_cast<int>(fault.line) + 1));
}

MotorGroup motorGroupOf(std::string_view code, ModelFamily family)
{
    if (oneOf(code, {"A-2", "L-1"}))
        return MotorGroup::A;
    if (oneOf(code, {"A-4", "L-3"}))
        return MotorGroup::D;
    if (family == ModelFamily::QM) {
        if (oneOf(code, {"A-17", "A-18", "L-9", "L-10"}))
            return MotorGroup::B;
        if (oneOf(code, {"A-19", "A-20", "L-11", "L-12"}))
            return MotorGroup::C;
    } else {
        if (oneOf(code, {"A-17", "L-8"}))
            return MotorGroup::B;
        if (oneOf(code, {"A-18", "A-19", "L-9", "L-10"}))
            return MotorGroup::C;
    }
    return MotorGroup::None;
}

MotorGroupRules::MotorGroupRules(std::vector<Message>& notices, Setup setup)
    : m_notices(notices)
    , m_setup(std::move(setup))
{
}

RecordStep MotorGroupRules::capacityFields(const RecordFields*& fields)
{
    if (m_capacityState == CapacityState::NotRead) {
        const std::string& name = m_capacityFileName;
        const std::string path = capacityDefaultFilePath(m_setup.applicationFolder, name);
        IoError error;
        if (name.empty()) {
            const Message m = message(TextId::TableCapacityFileUnnamed);
            m_notices.push_back(Message {m.ja + m_setup.tablePath, m.en + m_setup.tablePath});
            m_capacityState = CapacityState::Unusable;
        } else if (m_capacityPathLookedAt = path; !fileExists(path) && !isDirectory(path)) {
            const Message m = message(TextId::TableCapacityFileMissing);
            m_notices.push_back(Message {m.ja + path, m.en + path});
            m_capacityState = CapacityState::Unusable;
        } else if (m_capacityText = capacityFileCache().read(path, &error); !m_capacityText) {
            m_notices.push_back(withCause(message(m_setup.unreadable), fileReasonCause(path, error.detail)));
            m_capacityState = CapacityState::Unusable;
        } else {
            const int lineNumber = m_setup.capacity + 1;
            const std::optional<std::string_view> line
                = lineNumber >= 1 ? m_capacityText->decodedLine(static_cast<std::size_t>(lineNumber)) : std::nullopt;
            m_capacityPath = path;
            if (line) {
                m_capacity.split(*line);
                m_capacityState = CapacityState::Read;
            } else {
                m_capacityState = CapacityState::NoLine;
                m_capacityFault = LineFault {path, lineNumber, true};
            }
        }
    }
    switch (m_capacityState) {
    case CapacityState::Read:
        fields = &m_capacity;
        return RecordStep::Ok;
    case CapacityState::NoLine:
        return RecordStep::Failed;
    default:
        return RecordStep::Stopped;
    }
}

RecordStep MotorGroupRules::apply(int line, const RecordFields& record, int ownDecimals, MotorGroupDecimals& out)
{
    if (line == 2 && !takeCapacityFileName(record))
        return RecordStep::Failed;

    const std::string_view code = record[0];
    out = MotorGroupDecimals {};
    out.decimals = ownDecimals;
    out.group = motorGroupOf(code, m_setup.family);
    RecordInHand r(out);
    if (const RecordStep st = m_setup.vf ? applyVfGroups(line, code, r) : applyGroupDecimals(r); st != RecordStep::Ok)
        return st;
    if (const RecordStep st = applyGroupD(r); st != RecordStep::Ok)
        return st;
    out.inA = out.group == MotorGroup::A || r.joinsA;
    out.inB = out.group == MotorGroup::B || r.joinsB;
    chooseDecimalsText(r);
    return RecordStep::Ok;
}

bool MotorGroupRules::takeCapacityFileName(const RecordFields& record)
{
    const std::optional<std::string_view> number = record.at(FieldCapacityFile);
    std::optional<std::string> name = number ? capacityDefaultFileName(*number) : std::nullopt;
    if (!name)
        return false;
    m_capacityFileName = std::move(*name);
    return true;
}

RecordStep MotorGroupRules::readCapacity(RecordInHand& r)
{
    return r.cap ? RecordStep::Ok : capacityFields(r.cap);
}

// A capacity field that is unusable is the capacity line's fault.
bool MotorGroupRules::capacityLineFault()
{
    m_capacityFault = LineFault {m_capacityPath, m_setup.capacity + 1, false};
    return false;
}

bool MotorGroupRules::takeDecimals(RecordInHand& r, std::size_t field, std::optional<std::string_view>& textOut)
{
    const std::optional<int> value = decimalsOf(r.cap->at(field));
    if (!value)
        return capacityLineFault();
    r.out.decimals = *value;
    textOut = (*r.cap)[field];
    return true;
}

bool MotorGroupRules::takeInteger(const RecordInHand& r, std::size_t field, std::optional<std::int32_t>& value)
{
    if (!m_setup.withVfDefaults)
        return true;
    value = integerAt(*r.cap, field);
    return value.has_value() || capacityLineFault();
}

RecordStep MotorGroupRules::applyGroupDecimals(RecordInHand& r)
{
    const MotorGroup group = r.out.group;
    if (group != MotorGroup::A && group != MotorGroup::B && group != MotorGroup::C)
        return RecordStep::Ok;
    if (const RecordStep st = readCapacity(r); st != RecordStep::Ok)
        return st;
    const std::size_t field = group == MotorGroup::A ? CapDecimalsA
        : group == MotorGroup::B                     ? CapDecimalsB
                                                     : CapDecimalsC;
    return takeDecimals(r, field, r.groupDecimalsText) ? RecordStep::Ok : RecordStep::Failed;
}

RecordStep MotorGroupRules::applyVfGroups(int line, std::string_view code, RecordInHand& r)
{
    const bool reads = line == GroupALeadLine || line == GroupBLeadLine
        || oneOf(code, {"A-2", "A-17", "A-18", "A-19", "A-20", "L-1", "L-8", "L-9", "L-10", "L-11", "L-12"});
    if (reads) {
        if (const RecordStep st = readCapacity(r); st != RecordStep::Ok)
            return st;
    }
    if (line == GroupALeadLine || code == "L-1") {
        r.joinsA = true;
        if (!takeDecimals(r, CapDecimalsA, m_groupADecimalsText) || !takeInteger(r, CapVfDefaultA, m_groupADefault))
            return RecordStep::Failed;
    }
    if (line == GroupBLeadLine || code == "L-9") {
        r.joinsB = true;
        if (!takeDecimals(r, CapDecimalsB, m_groupBDecimalsText) || !takeInteger(r, CapVfDefaultB, m_groupBDefault))
            return RecordStep::Failed;
    }
    const bool a10 = code == "A-10";
    const bool a11To16 = oneOf(code, {"A-11", "A-12", "A-13", "A-14", "A-15", "A-16"});
    if (m_setup.withVfDefaults && (a10 || a11To16)) {
        if (const RecordStep st = readCapacity(r); st != RecordStep::Ok)
            return st;
        if (!takeInteger(r, a10 ? CapVfDefaultA10 : CapVfDefaultA11To16, r.out.vfDefault))
            return RecordStep::Failed;
    }
    return RecordStep::Ok;
}

RecordStep MotorGroupRules::applyGroupD(RecordInHand& r)
{
    if (r.out.group != MotorGroup::D)
        return RecordStep::Ok;
    if (const RecordStep st = readCapacity(r); st != RecordStep::Ok)
        return st;
    if (!takeDecimals(r, CapDecimalsD, r.groupDecimalsText))
        return RecordStep::Failed;
    if (m_setup.vf && !takeInteger(r, CapVfDefaultD, r.out.vfDefault))
        return RecordStep::Failed;
    return RecordStep::Ok;
}

void MotorGroupRules::chooseDecimalsText(RecordInHand& r)
{
    MotorGroupDecimals& out = r.out;
    // In V/F mode groups A and B show the values of the last record that
    // set them.
    if (!m_setup.vf) {
        out.decimalsText = r.groupDecimalsText;
        return;
    }
    if (out.inA && m_groupADecimalsText)
        out.decimalsText = m_groupADecimalsText;
    if (out.inB && m_groupBDecimalsText)
        out.decimalsText = m_groupBDecimalsText;
    if (out.group == MotorGroup::D && r.groupDecimalsText)
        out.decimalsText = r.groupDecimalsText;
}

} // namespace tess::tables
