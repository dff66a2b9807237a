#include "core/tables/FileCompare.h"

#include "core/app/Texts.h"
#include "core/app/Workspace.h"
#include "core/catalogue/ModelCatalogue.h"
#include "core/common/FileIo.h"
#include "core/common/Ui.h"
#include "core/tables/TableFiles.h"
#include "core/tables/TableWalk.h"
#include "core/tables/ValueFormat.h"

#include <optional>

namespace tess::tables {
namespace {

// The identity checks, in their fixed order. Only a different capacity
// lets the comparison go on: its decimal places come from the compared
// capacity's line of the same capacity default file.
bool identitiesComparable(const InverterIdentity& open, const InverterIdentity& compared, Ui& ui, Language language)
{
    const auto refuse = [&](TextId id) {
        ui.showMessage(message(id), language);
        return false;
    };
    if (compared.model != open.model)
        return refuse(TextId::CompareModelMismatch);
    if (compared.controlMode != open.controlMode)
        return refuse(TextId::CompareControlModeMismatch);
    if (compared.capacity != open.capacity)
        ui.showMessage(message(TextId::CompareCapacityMismatch), language);
    if (compared.romVersion != open.romVersion)
        return refuse(TextId::CompareRomMismatch);
    return true;
}

// One value as a signed 16-bit stored number.
std::int16_t low16(std::int32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

} // namespace

int compareParameterTable(Workspace& ws, Ui& ui, const ComparedDataSet& compared)
{
    Document& doc = ws.doc;
    const InverterIdentity& id = compared.identity;
    const auto show = [&](TextId text) { ui.showMessage(message(text), ws.language); };

    if (!identitiesComparable(doc.identity, id, ui, ws.language))
        return CompareFailed;

    // The lookup is made here rather than through the document's recorded
    // lookup, which the open data set's later reloads still depend on. There
    // is no older ROM version's table to fall back to: the rows of column 4
    // came from the exact table.
    const std::string path = findTableFile(ws.applicationFolder, id.model, id.controlMode, id.romVersion);
    if (path.empty()) {
        const std::string sought
            = tableFilePathInInstallation(ws.applicationFolder, id.model, id.controlMode, id.romVersion);
        ui.showMessage(sought.empty() ? message(TextId::CompareTableNotFound)
                                      : withCause(message(TextId::CompareTableNotFound), fileMissingCause(sought)),
            ws.language);
        show(TextId::CompareNotSupportVersion);
        return CompareFailed;
    }
    TableText table;
    IoError error;
    if (!table.read(path, &error)) {
        ui.showMessage(withCause(message(TextId::TableCloseCsvFiles), fileReasonCause(path, error.detail)), ws.language);
        return CompareFailed;
    }

    MotorGroupRules::Setup setup;
    setup.applicationFolder = ws.applicationFolder;
    setup.tablePath = path;
    setup.capacity = id.capacity;
    setup.family = catalogue::modelFamily(id.model);
    setup.vf = controlModeLetter(id.model, id.controlMode) == 'O';
    setup.withVfDefaults = false;
    setup.unreadable = TextId::TableCloseCsvFiles;
    std::vector<Message> notices;
    MotorGroupRules groups(notices, std::move(setup));

    const bool class400 = isClass400V(id.model, id.capacity, id.romVersion);
    const std::string marker(text(TextId::CompareMarker, ws.language));
    // Filled apart, so that a comparison that fails half way leaves the grid
    // as the open data set showed it.
    GridRows rows = doc.rows;
    rows.setRowCount(GridRowsWithTable);
    std::array<std::uint16_t, AreaCount> areaFirst {};
    std::array<std::uint16_t, AreaCount> areaLast {};

    const auto compareRecord = [&](int line, int slot, std::string_view bytes) {
        const std::vector<std::string> r = splitRecord(bytes);
        if (r.size() <= FieldDecimals)
            return RecordStep::Failed;
        const std::optional<int> decimals = decimalsOf(&r[FieldDecimals]);
        if (!decimals)
            return RecordStep::Failed;
        MotorGroupDecimals motor;
        if (const RecordStep st = groups.apply(line, r, *decimals, motor); st != RecordStep::Ok)
            return st;
        const int d = motor.decimals;

        const std::string& code = r[0];
        const int row = slot + 1;
        const auto index = static_cast<std::size_t>(slot);
        const std::int16_t x = low16(compared.values[index]);
        std::string value = d == 0 ? std::to_string(x) : formatScaledValue(x, d);
        if (code == "S-2")
            value = std::to_string(id.capacity);

        // A value cell left empty by a refused entry still stands for the
        // stored value it shows again.
        const std::optional<std::int32_t> a = toScaledInteger(rows.text(row, ColValue));
        const std::optional<std::int32_t> b = toScaledInteger(value);
        if (!b)
            return RecordStep::Failed;
        const std::int16_t shown = a ? low16(*a) : low16(doc.values[index]);

        rows.setText(row, ColCode, code);
        rows.setText(row, ColName, ws.language == Language::Japanese ? r[1] : r[2]);
        rows.setText(
            row, ColRange, code == "F-0" && class400 ? std::string(text(TextId::CompareRange400V, ws.language)) : r[3]);
        rows.setText(row, ColDecimals, std::move(value));
        rows.setText(row, ColFigures, shown != low16(*b) ? marker : std::string());
        return RecordStep::Ok;
    };

    const WalkResult walk = walkTableRecords(table, areaFirst, areaLast, compareRecord);
    for (const Message& notice : notices)
        ui.showMessage(notice, ws.language);
    if (walk.step == RecordStep::Failed) {
        const LineFault fault = groups.capacityFault().value_or(LineFault {path, walk.line, walk.lineMissing});
        ui.showMessage(areaFailureMessage(walk.area, walk.slot, fault), ws.language);
    }
    if (walk.step != RecordStep::Ok)
        return CompareFailed;

    doc.rows = std::move(rows);
    doc.compareAreaFirst = areaFirst;
    doc.compareAreaLast = areaLast;
    return CompareDone;
}

} // namespace tess::tables
