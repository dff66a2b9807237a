#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/settings/FileVersionSettings.h"
#include "domain/text/Texts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The compiled-in knowledge of which inverters exist: models, control modes,
// capacity lists and ROM version lists. Every lookup is a pure function of
// this data and the two per-model limits of FileVersion.INI.
namespace tess::catalogue {

constexpr int ModelCount = 12;

enum class Model : int {
    QM71 = 0,
    LX71RTP = 1,
    QM71RTP = 2,
    LX71 = 3,
    LX71ht = 4,
    LX75RTP = 5,
    QM71K = 6,
    LX71K = 7,
    QM71N = 8,
    QM73N = 9,
    QM71KRTP = 10,
    LX71KRTP = 11,
};

enum class CapacityListId { A, B, C, D, E, F, G, H, K };

// Control mode indices. The QM family calls them Sensorless, Vector and V/F,
// the LX family S, V and P Mode.
constexpr int ControlModeS = 0;
constexpr int ControlModeV = 1;
constexpr int ControlModeP = 2;

constexpr std::string_view PlaceholderCapacity = "-----";

// A run of indices in one model's ROM version list, both ends included.
struct RomRange {
    int first;
    int last;

    constexpr bool contains(int romVersion) const { return romVersion >= first && romVersion <= last; }
};

// The ROM version series the rules single out, by their indices in the
// model's ROM version list.
namespace roms {
// LX71: 01-A4..01-A9 select capacity list G (the others list F); V Mode
// exists from 01-B3 on.
constexpr RomRange Lx71ListG {3, 8};
constexpr int Lx71FirstVMode = 11;
// LX71RTP by series; the capacity list each selects, and where a new data
// set may choose its control mode, are in the catalogue's LX71RTP table.
constexpr RomRange Lx71RtpListA {0, 0}; // 00-B0
constexpr RomRange Lx71RtpListB {1, 9}; // 00-B1..00-B9
constexpr RomRange Lx71RtpListC {10, 18}; // 00-C1..00-C9
constexpr RomRange Lx71Rtp02A {19, 27}; // 02-A1..02-A9
constexpr RomRange Lx71Rtp03And13A {28, 54}; // 03-A1..03-B9, 13-A1..13-A9
constexpr RomRange Lx71Rtp03 {28, 45}; // 03-A1..03-B9, shared with LX75RTP
constexpr RomRange Lx71Rtp12 {55, 108}; // 12-A1..12-F9
constexpr RomRange Lx71Rtp13BToF {109, 153}; // 13-B1..13-F9
// LX71ht: the 02-A series selects capacity list H, the others list D.
constexpr RomRange Lx71htListH {0, 8};
// LX75RTP: 01-A1..01-C1 select capacity list D; later versions no list
// (the selection dialog keeps list D).
constexpr RomRange Lx75RtpListD {0, 18};
// LX71KRTP: the A3 series selects capacity list E, the others list D.
constexpr RomRange Lx71KRtpListE {54, 107};
// LX71K's A1-A, A1-B and A3-A series: moving to LX71ht, they keep capacity
// list D.
constexpr RomRange Lx71KToLx71htListD {0, 26};
// QM71K's A1-A, A1-B, A2-A and A3-A series: moving to QM71, the control
// mode list keeps its state.
constexpr RomRange Qm71KToQm71KeepsControlMode {0, 35};
} // namespace roms

// The catalogue's models in index order.
constexpr std::array<Model, ModelCount> allModels {Model::QM71, Model::LX71RTP, Model::QM71RTP, Model::LX71,
    Model::LX71ht, Model::LX75RTP, Model::QM71K, Model::LX71K, Model::QM71N, Model::QM73N, Model::QM71KRTP,
    Model::LX71KRTP};

// The model a stored index (a data file, the inverter, a list position)
// names; nothing for an index outside 0..11, such as UnsupportedModel.
constexpr std::optional<Model> modelOf(int index)
{
    if (index < 0 || index >= ModelCount)
        return std::nullopt;
    return allModels[static_cast<std::size_t>(index)];
}
// The index a data set stores for the model.
constexpr int indexOf(Model model)
{
    return static_cast<int>(model);
}

std::string_view modelName(Model model);
ModelFamily modelFamily(Model model);

// Entry of the model's control-mode list in the language; "" outside 0..2.
std::string_view controlModeName(Model model, int controlMode, Language language);

// The capacity list the model and ROM version select; none where the rule
// gives no list (LX75RTP from ROM index 19 on, for the identity boxes; LX71RTP
// beyond index 153; a negative ROM index).
std::optional<CapacityListId> capacityList(Model model, int romVersion);
// The list the selection dialog offers: like capacityList, but LX75RTP keeps
// list D at every ROM index (and the .csv identity line uses it too).
std::optional<CapacityListId> capacityListForSelection(Model model, int romVersion);
std::span<const std::string_view> capacityListEntries(CapacityListId list);
// Nothing when the rule gives no list or the index lies outside it.
std::optional<std::string_view> capacityText(Model model, int romVersion, int capacity);

const std::vector<std::string>& romVersionList(Model model);
// Nothing when the index lies outside the list.
std::optional<std::string_view> romVersionText(Model model, int romVersion);
// First index 0..limit (inclusive) whose entry equals the first five
// characters of code. A limit beyond the list searches the whole list; a
// negative limit or a code shorter than five characters finds nothing.
std::optional<int> romIndexOf(Model model, std::string_view code, int limit);
// Entries 0..verMax (inclusive) of the model's list, cut at the list's end:
// the ROM versions the installation accepts.
std::span<const std::string> offeredRomVersions(Model model, const FileVersionSettings& settings);

// The FileVersion.INI section of the model's limits (QM71N: "QMPr"). QM73N
// takes Ver_max from its own section; see newVer for its two New_Ver keys.
LimitSection limitSection(Model model);
std::int16_t verMax(Model model, const FileVersionSettings& settings);
// The ROM index preselected for a new data set ("New_Ver_W" for QM73N).
std::int16_t newVer(Model model, const FileVersionSettings& settings);
// The New_Ver the identity check of a read uses ("New_Ver_QM73N" for QM73N).
std::int16_t newVerForIdentityCheck(Model model, const FileVersionSettings& settings);

// Whether a data set of dataSetModel may move to newModel keeping its values;
// a refusal is told with TextId::MsgMachineNotRight.
bool modelChangeAllowed(Model dataSetModel, Model newModel);

// Defaults and rules for a new data set.
int defaultControlMode(Model model);
int defaultCapacity(Model model);
// True when the capacity index does not name a real capacity in the list the
// selection dialog offers for this model and ROM version: a "-----"
// placeholder, or an index outside the list. Answered with
// TextId::MsgSelectCapVolt.
bool placeholderRefused(Model model, int romVersion, int capacity);

// The message refusing a control mode picked for a new data set (S Mode of
// LX71 and LX75RTP); nothing when the pick is fine. P Mode is then selected.
std::optional<TextId> controlModeRefusal(Model model, int controlMode);
// True when a new data set of this model and ROM version is held at P Mode
// with the control mode list disabled (LX71 before its V Mode versions,
// LX71RTP outside the series where its control mode is free).
bool controlModeLockedToP(Model model, int romVersion);
// LX71: whether the ROM version has V Mode (01-B3 on).
bool lx71HasVMode(int romVersion);
// LX71RTP: whether a data set at this ROM version may choose its control
// mode (the 02-A and 12 series).
bool lx71RtpControlModeFree(int romVersion);
// The last entry of a capacity list: where a capacity beyond a shorter list
// comes to rest.
int lastCapacity(CapacityListId list);

} // namespace tess::catalogue
