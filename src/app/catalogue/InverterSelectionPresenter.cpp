#include "app/catalogue/InverterSelectionPresenter.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/tables/TableLookup.h"
#include "domain/catalogue/ConversionMatrix.h"
#include "domain/common/FileIo.h"

#include <algorithm>
#include <array>

namespace tess::catalogue {
namespace {

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

std::string_view firstFive(std::string_view text)
{
    return text.substr(0, std::min<std::size_t>(5, text.size()));
}

// Level-1 items of the picker, in menu order.
constexpr std::array<std::string_view, 22> pickerPrefixes {"00", "01", "02", "03", "11", "12", "13", "21", "23", "24",
    "61", "62", "63", "71", "72", "A1", "A2", "A3", "C1", "C2", "A4", "25"};

bool startsWith(std::string_view code, std::string_view prefix)
{
    return code.substr(0, prefix.size()) == prefix;
}

// Whether the picker offers the code for the model; the groups left out are
// those whose tables the installation never carries for the model.
bool offered(Model model, int controlMode, std::string_view code)
{
    switch (model) {
    case Model::QM71:
        return !startsWith(code, "21-A") && !startsWith(code, "62-A");
    case Model::LX71:
        if (controlMode == ControlModeV)
            return startsWith(code, "01-B") && code.size() >= 5 && code[4] >= '3' && code[4] <= '9';
        return true;
    case Model::LX71ht:
        return !startsWith(code, "21-A") && !startsWith(code, "23-A");
    case Model::QM71K:
        return !startsWith(code, "A1-A");
    case Model::LX71K:
        return !startsWith(code, "A1-A") && !startsWith(code, "A3-A");
    case Model::QM71N:
        return !startsWith(code, "C1-A");
    case Model::QM71KRTP:
        return startsWith(code, "A1-A");
    case Model::LX71KRTP:
        return startsWith(code, "A2-A") || startsWith(code, "A3-A") || startsWith(code, "A4-A");
    default:
        return true;
    }
}

} // namespace

std::vector<PickerNode> romPickerTree(Model model, int controlMode)
{
    std::vector<std::string> codes;
    for (const std::string& code : romVersionList(model)) {
        if (code.size() == 5 && offered(model, controlMode, code))
            codes.push_back(code);
    }
    // Letters and digits in menu order, whatever the order of the list.
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());

    std::vector<PickerNode> tree;
    for (const std::string_view prefix : pickerPrefixes) {
        PickerNode series {std::string(prefix), {}, {}};
        const bool flat = prefix == "61" || prefix == "71" || prefix == "72";
        for (const std::string& code : codes) {
            if (!startsWith(code, prefix))
                continue;
            const std::string letter = code.substr(3, 1);
            const std::string digit = code.substr(4, 1);
            if (flat) {
                series.children.push_back(PickerNode {letter + digit, code, {}});
                continue;
            }
            if (series.children.empty() || series.children.back().label != letter)
                series.children.push_back(PickerNode {letter, {}, {}});
            series.children.back().children.push_back(PickerNode {digit, code, {}});
        }
        if (!series.children.empty())
            tree.push_back(std::move(series));
    }
    return tree;
}

std::optional<ConversionFiles> conversionFiles(Model dataSetModel, Model newModel)
{
    std::string_view group;
    switch (dataSetModel) {
    case Model::QM71:
    case Model::QM71K:
        group = "QM71_KGroupSet.txt";
        break;
    case Model::LX71RTP:
    case Model::LX71KRTP:
        group = "LX71RTP_KGroupSet.txt";
        break;
    case Model::LX71ht:
    case Model::LX71K:
        group = "LX71htKGroupSet.txt";
        break;
    case Model::LX75RTP:
        group = "LX75RTPGroupSet.txt";
        break;
    case Model::QM71KRTP:
        group = "QM71RTP_KGroupSet.txt";
        break;
    default:
        return std::nullopt;
    }
    const auto from = [&](Model m) { return dataSetModel == m; };
    switch (newModel) {
    case Model::QM71:
        return ConversionFiles {"QM71_KConvertMatrix.rcm", group, from(Model::QM71K) ? 203 : 159};
    case Model::LX71RTP:
        return ConversionFiles {"LX71RTP_KConvertMatrix.rcm", group, from(Model::LX75RTP) ? 80 : 63};
    case Model::LX71ht:
        return ConversionFiles {"LX71htKConvertMatrix.rcm", group, from(Model::LX71K) ? 124 : 89};
    case Model::LX75RTP:
        return ConversionFiles {"LX75RTPConvertMatrix.rcm", group, 35};
    case Model::QM71K:
        return ConversionFiles {"QM71_KConvertMatrix.rcm", group, 203};
    case Model::LX71K:
        return ConversionFiles {"LX71htKConvertMatrix.rcm", group, 124};
    case Model::QM71KRTP:
        return ConversionFiles {"QM71RTP_KConvertMatrix.rcm", group, 35};
    case Model::LX71KRTP:
        return ConversionFiles {"LX71RTP_KConvertMatrix.rcm", group, 90};
    default:
        return std::nullopt;
    }
}

// ---- the dialog

InverterSelectionPresenter::InverterSelectionPresenter(Workspace& ws, Ui& ui)
    : m_ws(ws)
    , m_ui(ui)
{
}

TextId InverterSelectionPresenter::captionId() const
{
    if (m_compare)
        return TextId::SelectCaptionCompare;
    return m_change ? TextId::HintInverterChange : TextId::SelectCaptionNew;
}

bool InverterSelectionPresenter::okEnabled() const
{
    if (!m_okEnabled || m_outcome != SelectionOutcome::Open)
        return false;
    if (m_controlMode < 0 || m_romVersion < 0 || m_capacity < 0)
        return false;
    return m_capacities[static_cast<std::size_t>(m_capacity)] != PlaceholderCapacity;
}

void InverterSelectionPresenter::tell(const Message& text)
{
    m_toldUser = true;
    m_ui.showMessage(text, m_ws.settings.language);
}

void InverterSelectionPresenter::show(TextId id)
{
    tell(message(id));
}

void InverterSelectionPresenter::showTableNotFound(Model model, int controlMode, int romIndex)
{
    const std::string sought
        = tables::tableFilePathInInstallation(m_ws.settings.applicationFolder, indexOf(model), controlMode, romIndex);
    const Message text = message(TextId::MsgRomTableNotFound);
    tell(sought.empty() ? text : withCause(text, fileMissingCause(sought)));
}

std::string InverterSelectionPresenter::dataSetRomText() const
{
    if (!m_change)
        return {};
    return std::string(romVersionText(m_dataSetModel, m_dataSet.romVersion).value_or(""));
}

void InverterSelectionPresenter::open(SelectionPurpose purpose)
{
    Document& doc = m_ws.doc;
    m_outcome = SelectionOutcome::Open;
    m_toldUser = false;
    doc.substituteTableShown = false;
    m_change = purpose == SelectionPurpose::InverterChange;
    m_compare = doc.state.compareMode;
    m_savedTablePath = doc.currentTablePath;
    m_okEnabled = false;
    m_diagnostics = {};
    m_acceptedRom.reset();
    m_listsModel.reset();
    m_controlModeEnabled = true;
    m_modelEnabled = true;

    if (m_change) {
        m_dataSet = doc.identity;
        const std::optional<Model> known = modelOf(m_dataSet.model);
        if (!known) {
            // A data set of a model the program does not know has nothing
            // it could move to.
            show(TextId::MsgMachineNotRight);
            closeUnchanged();
            return;
        }
        m_dataSetModel = *known;
        m_romText = dataSetRomText();
    } else {
        m_dataSet = InverterIdentity {0, 0, 0, -1};
        m_dataSetModel = Model::QM71;
        m_romText.clear();
    }

    applyModel(m_dataSetModel);
    if (!isOpen())
        return;

    if (m_change) {
        m_okEnabled = false;
        const Model m = m_dataSetModel;
        m_modelEnabled = m == Model::QM71 || m == Model::LX71RTP || m == Model::QM71RTP || m == Model::LX71ht
            || m == Model::LX75RTP || m == Model::QM71K || m == Model::LX71K;
        m_controlModeEnabled = false;
    }
}

void InverterSelectionPresenter::changeModel(Model model)
{
    if (!isOpen() || !m_modelEnabled || model == m_model)
        return;
    if (m_change && !modelChangeAllowed(m_dataSetModel, model)) {
        show(TextId::MsgMachineNotRight);
        // The lists must belong to the model shown, or OK would store the
        // data set's model with another model's capacity index.
        if (m_listsModel != m_dataSetModel)
            applyModel(m_dataSetModel);
        m_model = m_dataSetModel;
        return;
    }
    if (!m_change && model != m_listsModel) {
        // A ROM version picked for another model is no choice for this one.
        m_acceptedRom.reset();
        m_romText.clear();
    }
    applyModel(model);
}

void InverterSelectionPresenter::applyModel(Model n)
{
    m_model = n;
    std::optional<CapacityListId> fixedList;
    int capacity = m_change ? m_dataSet.capacity : defaultCapacity(n);
    if (m_change && checkMove(n, fixedList, capacity) == Move::Closed)
        return;

    const int rom = m_change ? m_dataSet.romVersion : m_acceptedRom.value_or(newVer(n, m_ws.settings.fileVersion));
    const std::optional<CapacityListId> list = fixedList ? fixedList : capacityListForSelection(n, rom);

    m_controlModes.clear();
    for (int mode = 0; mode < 3; ++mode)
        m_controlModes.emplace_back(controlModeName(n, mode, m_ws.settings.language));
    fillCapacities(list);
    fillRomVersions(n, static_cast<int>(romVersionList(n).size()));

    const int mode = m_change ? m_dataSet.controlMode : defaultControlMode(n);
    m_controlMode = inRange(mode, 0, static_cast<int>(m_controlModes.size()) - 1) ? mode : -1;
    selectCapacity(capacity);
    m_baseCapacity = m_capacity;
    selectRomVersion(rom);

    const Model m = m_dataSetModel;
    if (m_change && ((m == Model::QM71 && n == Model::QM71K) || (m == Model::LX71ht && n == Model::LX71K)))
        m_romText.clear(); // the old code is no code of the new list
    else if (m_change && n == m)
        m_romText = dataSetRomText();

    switch (n) {
    case Model::QM71:
        if (!(m_change && m == Model::QM71K && roms::Qm71KToQm71KeepsControlMode.contains(m_dataSet.romVersion)))
            m_controlModeEnabled = true;
        break;
    case Model::LX71RTP:
        // A new data set follows the ROM version in force; an inverter change
        // leaves the list as the ROM acceptance set it.
        if (!m_change) {
            m_controlModeEnabled = !controlModeLockedToP(n, rom);
            if (!m_controlModeEnabled)
                m_controlMode = ControlModeP;
        }
        break;
    case Model::LX71KRTP:
        break;
    default:
        m_controlModeEnabled = true;
        break;
    }
    m_listsModel = n;
}

InverterSelectionPresenter::Move InverterSelectionPresenter::checkMove(
    Model n, std::optional<CapacityListId>& fixedList, int& capacity)
{
    const Model m = m_dataSetModel;
    const int r = m_dataSet.romVersion;
    const auto refuseRom = [&] {
        show(TextId::MsgCannotChangeRomVersionHere);
        closeUnchanged();
        return Move::Closed;
    };
    const auto remapInto = [&](CapacityListId list) {
        if (!remapCapacity(list, capacity)) {
            show(TextId::MsgCannotChangeRomWithCapVolt);
            closeUnchanged();
            return Move::Closed;
        }
        fixedList = list;
        return Move::Proceed;
    };

    if (n == Model::LX71RTP && m == Model::LX75RTP) {
        if (!roms::Lx75RtpListD.contains(r))
            return refuseRom();
        return remapInto(CapacityListId::E);
    }
    if (n == Model::LX75RTP && m == Model::LX71RTP) {
        if (!roms::Lx71Rtp03.contains(r))
            return refuseRom();
        return remapInto(CapacityListId::D);
    }
    if (n == Model::LX75RTP && m == Model::LX75RTP) {
        if (!roms::Lx75RtpListD.contains(r))
            return refuseRom();
        fixedList = CapacityListId::D;
        return Move::Proceed;
    }
    if (n == Model::LX71KRTP && m == Model::LX71RTP) {
        if (lx71RtpControlModeFree(r))
            fixedList = CapacityListId::D;
        else if (capacityList(Model::LX71RTP, r) == CapacityListId::E)
            fixedList = CapacityListId::E;
        else
            return refuseRom();
        return Move::Proceed;
    }
    if (n == Model::LX71KRTP && m == Model::LX75RTP) {
        if (!roms::Lx75RtpListD.contains(r))
            return refuseRom();
        return remapInto(CapacityListId::E);
    }
    if (n == Model::LX71ht && m == Model::LX71K && roms::Lx71KToLx71htListD.contains(r))
        fixedList = CapacityListId::D;
    return Move::Proceed;
}

bool InverterSelectionPresenter::remapCapacity(CapacityListId into, int& capacity)
{
    const std::optional<std::string_view> text = capacityText(m_dataSetModel, m_dataSet.romVersion, capacity);
    if (!text || *text == PlaceholderCapacity)
        return false;
    const auto entries = capacityListEntries(into);
    const std::size_t end = std::min<std::size_t>(entries.size(), 39);
    for (std::size_t i = 0; i < end; ++i) {
        if (firstFive(entries[i]) == firstFive(*text)) {
            capacity = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void InverterSelectionPresenter::fillCapacities(std::optional<CapacityListId> list)
{
    m_capacities.clear();
    if (list) {
        for (const std::string_view entry : capacityListEntries(*list))
            m_capacities.emplace_back(entry);
    }
    m_capacity = -1;
}

void InverterSelectionPresenter::fillRomVersions(Model model, int count)
{
    const auto& list = romVersionList(model);
    const std::size_t end = std::min(list.size(), static_cast<std::size_t>(std::max(count, 0)));
    m_romVersions.assign(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(end));
    m_romVersion = -1;
}

void InverterSelectionPresenter::selectCapacity(int capacity)
{
    m_capacity = inRange(capacity, 0, static_cast<int>(m_capacities.size()) - 1) ? capacity : -1;
}

void InverterSelectionPresenter::selectRomVersion(int romIndex)
{
    m_romVersion = inRange(romIndex, 0, static_cast<int>(m_romVersions.size()) - 1) ? romIndex : -1;
}

void InverterSelectionPresenter::changeControlMode(int controlMode)
{
    if (!isOpen() || !m_controlModeEnabled || !inRange(controlMode, 0, static_cast<int>(m_controlModes.size()) - 1))
        return;
    if (m_change) {
        m_controlMode = controlMode;
        return;
    }
    if (const std::optional<TextId> refusal = controlModeRefusal(m_model, controlMode)) {
        show(*refusal);
        m_controlMode = ControlModeP;
        return;
    }
    m_controlMode = controlMode;
    if (m_model == Model::LX71) {
        if (controlMode == ControlModeP) {
            applyModel(m_model);
        } else if (controlMode == ControlModeV && !lx71HasVMode(m_romVersion)) {
            // V Mode exists from 01-B3 on: the preselected version
            // cannot stand, the user picks one of the V Mode set.
            m_romVersion = -1;
            m_acceptedRom.reset();
            m_romText.clear();
        }
    }
}

void InverterSelectionPresenter::changeCapacity(int capacity)
{
    if (!isOpen() || !inRange(capacity, 0, static_cast<int>(m_capacities.size()) - 1))
        return;
    m_capacity = capacity;
    if (m_capacities[static_cast<std::size_t>(capacity)] == PlaceholderCapacity) {
        show(TextId::MsgSelectCapVolt);
        selectCapacity(m_baseCapacity);
        if (m_capacity >= 0 && m_capacities[static_cast<std::size_t>(m_capacity)] == PlaceholderCapacity)
            m_capacity = -1;
    }
    m_okEnabled = true;
}

void InverterSelectionPresenter::pickRomVersion(std::string_view code)
{
    if (!isOpen())
        return;
    const std::string shownBefore = m_romText;
    m_romText = std::string(code);
    const std::optional<int> index = romIndexOf(m_model, code, verMax(m_model, m_ws.settings.fileVersion));
    if (!index) {
        show(TextId::MsgTessalineVersionUp);
        m_romText = shownBefore;
        return;
    }
    m_ws.doc.romIndexShown = *index;
    m_ws.view.selection.pickedRomIndex = *index;
    acceptRomVersion(*index);
}

void InverterSelectionPresenter::acceptRomVersion(int p)
{
    if (!isOpen())
        return;
    selectRomVersion(p);
    if (!tableExists(m_model, m_controlMode, m_ws.view.selection.pickedRomIndex)) {
        refuseMissingTable();
        return;
    }
    m_okEnabled = true;
    if (m_change && !romChangeAllowed(p))
        return;
    fitListsToRom(p);
}

void InverterSelectionPresenter::refuseMissingTable()
{
    showTableNotFound(m_model, m_controlMode, m_ws.view.selection.pickedRomIndex);
    selectRomVersion(m_change ? m_dataSet.romVersion : -1);
    m_romText.clear();
    m_ws.doc.romIndexShown.reset();
    m_okEnabled = false;
    if (!m_change)
        m_acceptedRom.reset();
}

bool InverterSelectionPresenter::romChangeAllowed(int p)
{
    const Model m = m_dataSetModel;
    const int r = m_dataSet.romVersion;
    // The same index names the same version only within one model.
    const bool same = m_model == m && p == r;
    switch (m) {
    case Model::QM71RTP:
    case Model::QM71N:
        if (same)
            refuseSameRom();
        return !same;
    case Model::LX71:
        if (same) {
            refuseSameRom();
            return false;
        }
        if (m_controlMode == ControlModeV && lx71HasVMode(r) && !lx71HasVMode(p)) {
            refuseLeavingVMode();
            return false;
        }
        return true;
    case Model::QM73N:
        return true;
    default:
        return conversionAllows(p);
    }
}

void InverterSelectionPresenter::refuseSameRom()
{
    show(TextId::MsgSameRomVersion);
    m_okEnabled = false;
    m_romText = dataSetRomText();
}

void InverterSelectionPresenter::refuseLeavingVMode()
{
    const int r = m_dataSet.romVersion;
    show(TextId::MsgCannotChangeToRomVersion);
    selectRomVersion(r);
    m_romText = dataSetRomText();
    m_ws.doc.romIndexShown = r;
    m_okEnabled = false;
}

bool InverterSelectionPresenter::conversionAllows(int p)
{
    const Model m = m_dataSetModel;
    const Model n = m_model;
    ConversionResult result = lookUpConversion(m, n, m_dataSet.romVersion, p);
    if (result.status == ConversionResult::Status::Unreadable)
        return false;
    if (result.status == ConversionResult::Status::Answered && result.code == conversion::AskGroups) {
        result = lookUpConversion(m, n, result.groupFrom, result.groupTo);
        if (result.status == ConversionResult::Status::Unreadable)
            return false;
    }
    if (result.status != ConversionResult::Status::Answered || result.code != conversion::Allowed) {
        refuseRomChange();
        return false;
    }
    if (n == Model::LX71RTP && lx71RtpControlModeFree(p))
        m_controlModeEnabled = true;
    return true;
}

void InverterSelectionPresenter::fitListsToRom(int p)
{
    const Model n = m_model;
    const int capacityBefore = m_capacity;
    fillCapacities(capacityListForSelection(n, p));
    if (!m_change) {
        m_acceptedRom = p;
        if (n == Model::LX71RTP || n == Model::LX71) {
            m_controlModeEnabled = !controlModeLockedToP(n, p);
            if (!m_controlModeEnabled)
                m_controlMode = ControlModeP;
        }
    }
    selectCapacity(capacityAfterRom(p, capacityBefore));
    m_ws.doc.capacityIndexShown = m_capacity;
}

int InverterSelectionPresenter::capacityAfterRom(int p, int c)
{
    const int r = m_change ? m_dataSet.romVersion : -1;
    if (m_model == Model::LX71RTP) {
        bool& romZeroMark = m_ws.view.selection.lx71rtpRomZeroMark;
        if (p == 0) {
            romZeroMark = true;
            return 0;
        }
        if (romZeroMark) {
            romZeroMark = false;
            return 1;
        }
        // From list C down to the shorter list B.
        if (roms::Lx71RtpListB.contains(p) && roms::Lx71RtpListC.contains(r) && c > lastCapacity(CapacityListId::B))
            return lastCapacity(CapacityListId::B);
        return c;
    }
    // From list D down to the shorter list H.
    if (m_model == Model::LX71ht && roms::Lx71htListH.contains(p) && r > roms::Lx71htListH.last
        && c > lastCapacity(CapacityListId::H))
        return lastCapacity(CapacityListId::H);
    return c;
}

void InverterSelectionPresenter::refuseRomChange()
{
    const Model m = m_dataSetModel;
    const int r = m_dataSet.romVersion;
    restoreRomList(m);
    show(TextId::MsgCannotChangeToRomVersion);
    m_okEnabled = false;
    selectRomVersion(r);
    m_romText = dataSetRomText();
    if (m == Model::QM71 || m == Model::LX71RTP || m == Model::LX71KRTP)
        m_ws.doc.romIndexShown = r;
}

void InverterSelectionPresenter::restoreRomList(Model model)
{
    if (m_listsModel != model) {
        // Going back to the data set's model takes its lists with it, so that
        // the capacity index OK stores belongs to the list it was picked from.
        const bool controlModeEnabled = m_controlModeEnabled;
        applyModel(model);
        m_controlModeEnabled = controlModeEnabled;
    }
    m_model = model;
    fillRomVersions(model, verMax(model, m_ws.settings.fileVersion) + 1);
}

ConversionResult InverterSelectionPresenter::lookUpConversion(
    Model dataSetModel, Model newModel, int fromIndex, int toIndex)
{
    ConversionResult result;
    m_diagnostics = {};
    const std::optional<ConversionFiles> files = conversionFiles(dataSetModel, newModel);
    const std::optional<std::string_view> fromCode = romVersionText(dataSetModel, fromIndex);
    const std::optional<std::string_view> toCode = romVersionText(newModel, toIndex);
    if (!files || !fromCode || !toCode) {
        result.status = ConversionResult::Status::Malformed;
        return result;
    }

    // Both files are read whole and released before the lookup goes on.
    tables::TableText matrix;
    tables::TableText groups;
    IoError error;
    if (!matrix.read(m_ws.settings.applicationFolder + std::string(files->matrix), &error)
        || !groups.read(m_ws.settings.applicationFolder + std::string(files->group), &error)) {
        tell(withCause(message(TextId::MsgCloseRcmFiles), fileReasonCause(error.path, error.detail)));
        closeUnchanged();
        result.status = ConversionResult::Status::Unreadable;
        return result;
    }

    const MatrixCell cell = findMatrixCell(matrix, files->extent, *fromCode, *toCode);
    if (cell.status == MatrixCell::Status::Malformed) {
        result.status = ConversionResult::Status::Malformed;
        return result;
    }
    if (cell.status != MatrixCell::Status::NoRow) {
        m_diagnostics.rowCode = cell.rowCode;
        m_diagnostics.rowIndex = std::to_string(cell.row);
    }
    if (cell.status == MatrixCell::Status::Found) {
        m_diagnostics.columnCode = cell.columnCode;
        m_diagnostics.columnIndex = std::to_string(cell.column);
        if (cell.code) {
            result.code = *cell.code;
        } else {
            // No entry: any move is fine, but a version onto itself is none.
            const std::string current = dataSetRomText();
            if (m_romText == current) {
                show(TextId::MsgSameRomVersion);
                result.code = conversion::SameVersion;
            } else {
                result.code = conversion::Allowed;
            }
            if (m_ws.settings.fileVersion.view)
                tell(Message::same("Now:" + current + "\nChange" + m_romText));
        }
    }

    if (result.code != conversion::Refused && result.code != conversion::Allowed
        && result.code != conversion::SameVersion) {
        result.code = conversion::AskGroups;
        const std::optional<int> groupFrom = groupSetValue(groups, "[" + std::string(*fromCode) + "]");
        const std::optional<int> groupTo = groupSetValue(groups, "[" + std::string(*toCode) + "]");
        if (!groupFrom || !groupTo)
            result.status = ConversionResult::Status::Malformed;
        else {
            result.groupFrom = *groupFrom;
            result.groupTo = *groupTo;
        }
    }
    m_diagnostics.result = std::to_string(result.code);
    return result;
}

void InverterSelectionPresenter::ok()
{
    if (!okEnabled())
        return;
    const InverterIdentity choice {static_cast<std::int16_t>(indexOf(m_model)),
        static_cast<std::int16_t>(m_controlMode), static_cast<std::int16_t>(m_capacity),
        static_cast<std::int16_t>(m_romVersion)};
    const bool sameTable = m_change && choice.model == m_dataSet.model && choice.controlMode == m_dataSet.controlMode
        && choice.romVersion == m_dataSet.romVersion;
    // The main window loads the table the last lookup recorded: make that
    // the table of what is stored, not of whatever the dialog probed last.
    if (sameTable) {
        restoreTableRecord();
    } else if (!tableExists(m_model, m_controlMode, m_romVersion)) {
        showTableNotFound(m_model, m_controlMode, m_romVersion);
        m_okEnabled = false;
        return;
    }
    m_ws.doc.identity = choice;
    m_outcome = SelectionOutcome::Accepted;
}

void InverterSelectionPresenter::cancel()
{
    if (!isOpen())
        return;
    restoreTableRecord();
    m_outcome = SelectionOutcome::Cancelled;
}

void InverterSelectionPresenter::closeUnchanged()
{
    restoreTableRecord();
    m_outcome = SelectionOutcome::Closed;
}

void InverterSelectionPresenter::restoreTableRecord()
{
    m_ws.doc.currentTablePath = m_savedTablePath;
}

bool InverterSelectionPresenter::tableExists(Model model, int controlMode, int romIndex)
{
    return !tables::findTableFileForCurrent(m_ws, m_ui, tables::TableChoice {indexOf(model), controlMode, romIndex})
                .empty();
}

} // namespace tess::catalogue
