#include "domain/tables/FileCompare.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "domain/tables/TableFiles.h"
#include "domain/tables/TableWalk.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include <optional>

namespace tess::tables {
namespace {

// The identity checks, in their fixed order. Only a different capacity
// lets the comparison go on: its decimal places come from the compared
// capacity's line of the same capacity default file.
bool identitiesComparable(const InverterIdentity& open, const InverterIdentity& compared, std::vector<Message>& notices)
{
    const auto refuse = [&](TextId id) {
        notices.push_back(message(id));
        return false;
    };
    if (compared.model != open.model)
        return refuse(TextId::CompareModelMismatch);
    if (compared.controlMode != open.controlMode)
        return refuse(TextId::CompareControlModeMismatch);
    if (compared.capacity != open.capacity)
        notices.push_back(message(TextId::CompareCapacityMismatch));
    if (compared.romVersion != open.romVersion)
        return refuse(TextId::CompareRomMismatch);
    return true;
}

// One value as a signed 16-bit stored number.
std::int16_t low16(std::int32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

// The word the open data set shows in a slot: its capacity word shows the
// capacity index.
std::int16_t shownWord(const CompareRequest& request, int slot)
{
    if (request.openTable) {
        const std::optional<ParameterDef>& def = request.openTable->def(slot);
        if (def && def->capacityWord)
            return low16(request.openIdentity.capacity);
    }
    return low16(request.openValues[static_cast<std::size_t>(slot)]);
}

// The compared identity's table, read into table. Its path; nothing when
// there is none or it cannot be read, with notices saying why.
std::optional<std::string> readComparedTable(
    const TableFolders& folders, const InverterIdentity& id, TableText& table, std::vector<Message>& notices)
{
    // The lookup is made here rather than through the document's recorded
    // lookup, which the open data set's later reloads still depend on. There
    // is no older ROM version's table to fall back to: the rows of column 4
    // came from the exact table.
    const std::string path = findTableFile(folders, id.model, id.controlMode, id.romVersion);
    if (path.empty()) {
        const std::string sought
            = tableFilePathInInstallation(folders.installation, id.model, id.controlMode, id.romVersion);
        notices.push_back(sought.empty() ? message(TextId::CompareTableNotFound)
                                         : withCause(message(TextId::CompareTableNotFound), fileMissingCause(sought)));
        notices.push_back(message(TextId::CompareNotSupportVersion));
        return std::nullopt;
    }
    IoError error;
    if (!table.read(path, &error)) {
        notices.push_back(withCause(message(TextId::TableCloseCsvFiles), fileReasonCause(path, error.detail)));
        return std::nullopt;
    }
    return path;
}

// The motor group rules as a comparison takes them: decimal places only.
MotorGroupRules::Setup comparisonGroupSetup(
    const std::string& applicationFolder, const std::string& tablePath, const InverterIdentity& id)
{
    MotorGroupRules::Setup setup;
    setup.applicationFolder = applicationFolder;
    setup.tablePath = tablePath;
    setup.capacity = id.capacity;
    // A table was found, so the model is one of the catalogue's.
    const std::optional<catalogue::Model> model = catalogue::modelOf(id.model);
    setup.family = model ? catalogue::modelFamily(*model) : ModelFamily::QM;
    setup.vf = controlModeLetter(id.model, id.controlMode) == 'O';
    setup.withVfDefaults = false;
    setup.unreadable = TextId::TableCloseCsvFiles;
    return setup;
}

// The compared table's records, one by one, into the comparison: each
// record's row and whether its word differs from the open data set's.
class RecordComparer {
public:
    RecordComparer(const CompareRequest& request, MotorGroupRules& groups, Comparison& comparison)
        : m_request(request)
        , m_groups(groups)
        , m_comparison(comparison)
        , m_id(comparison.compared.identity)
        , m_class400(isClass400V(m_id.model, m_id.capacity, m_id.romVersion))
    {
    }

    RecordStep operator()(int line, int slot, const RecordFields& r)
    {
        if (r.size() <= FieldDecimals)
            return RecordStep::Failed;
        const std::optional<int> decimals = decimalsOf(r[FieldDecimals]);
        if (!decimals)
            return RecordStep::Failed;
        MotorGroupDecimals motor;
        if (const RecordStep st = m_groups.apply(line, r, *decimals, motor); st != RecordStep::Ok)
            return st;

        const auto index = static_cast<std::size_t>(slot);
        ComparedRow row;
        row.code = r[0];
        row.nameJapanese = r[1];
        row.nameEnglish = r[2];
        row.rangeText = r[3];
        row.range400V = row.code == "F-0" && m_class400;
        row.decimals = motor.decimals;
        row.capacityWord = row.code == "S-2";
        const std::int16_t theirs
            = row.capacityWord ? low16(m_id.capacity) : low16(m_comparison.compared.values[index]);
        m_comparison.differs[index] = shownWord(m_request, slot) != theirs;
        m_comparison.rows[index] = std::move(row);
        return RecordStep::Ok;
    }

private:
    const CompareRequest& m_request;
    MotorGroupRules& m_groups;
    Comparison& m_comparison;
    const InverterIdentity& m_id;
    bool m_class400;
};

} // namespace

TableComparison compareWithTable(const CompareRequest& request, const ComparedDataSet& compared)
{
    TableComparison out;
    const InverterIdentity& id = compared.identity;
    std::vector<Message>& notices = out.notices;
    if (!identitiesComparable(request.openIdentity, id, notices))
        return out;
    TableText table;
    const std::optional<std::string> path
        = readComparedTable({request.applicationFolder, request.userFolder}, id, table, notices);
    if (!path)
        return out;

    MotorGroupRules groups(notices, comparisonGroupSetup(request.applicationFolder, *path, id));
    Comparison comparison;
    comparison.compared = compared;
    const WalkResult walk = walkTableRecords(
        table, comparison.areaFirst, comparison.areaLast, RecordComparer(request, groups, comparison));
    if (walk.step == RecordStep::Failed) {
        const LineFault fault = groups.capacityFault().value_or(LineFault {*path, walk.line, walk.lineMissing});
        notices.push_back(areaFailureMessage(walk.area, walk.slot, fault));
    }
    if (walk.step != RecordStep::Ok)
        return out;

    out.done = true;
    out.comparison = std::move(comparison);
    return out;
}

} // namespace tess::tables
