#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/settings/FileVersionSettings.h"
#include "domain/text/Texts.h"

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

// "" for an index outside 0..11.
std::string_view modelName(int model);
// QM for an index outside 0..11.
ModelFamily modelFamily(int model);

// Entry of the model's control-mode list in the language; "" outside 0..2.
std::string_view controlModeName(int model, int controlMode, Language language);

// The capacity list the model and ROM version select; none where the rule
// gives no list (LX75RTP from ROM index 19 on, for the identity boxes; LX71RTP
// beyond index 153; any model outside 0..11 or negative ROM index).
std::optional<CapacityListId> capacityList(int model, int romVersion);
// The list the selection dialog offers: like capacityList, but LX75RTP keeps
// list D at every ROM index (and the .csv identity line uses it too).
std::optional<CapacityListId> capacityListForSelection(int model, int romVersion);
std::span<const std::string_view> capacityListEntries(CapacityListId list);
// Nothing when the rule gives no list or the index lies outside it.
std::optional<std::string_view> capacityText(int model, int romVersion, int capacity);

// Empty for a model outside 0..11.
const std::vector<std::string>& romVersionList(int model);
// Nothing when the index lies outside the list.
std::optional<std::string_view> romVersionText(int model, int romVersion);
// First index 0..limit (inclusive) whose entry equals the first five
// characters of code. A limit beyond the list searches the whole list; a
// negative limit or a code shorter than five characters finds nothing.
std::optional<int> romIndexOf(int model, std::string_view code, int limit);
// Entries 0..verMax (inclusive) of the model's list, cut at the list's end:
// the ROM versions the installation accepts.
std::span<const std::string> offeredRomVersions(int model, const FileVersionSettings& settings);

// The FileVersion.INI section of the model's limits (QM71N: "QMPr"). QM73N
// takes Ver_max from its own section; see newVer for its two New_Ver keys.
// A model outside 0..11 maps to QM71, the section of the empty identity.
LimitSection limitSection(int model);
// -1 (nothing accepted) for a model outside 0..11.
std::int16_t verMax(int model, const FileVersionSettings& settings);
// The ROM index preselected for a new data set ("New_Ver_W" for QM73N);
// -1 (no selection) for a model outside 0..11.
std::int16_t newVer(int model, const FileVersionSettings& settings);
// The New_Ver the identity check of a read uses ("New_Ver_QM73N" for QM73N).
std::int16_t newVerForIdentityCheck(int model, const FileVersionSettings& settings);

// Whether a data set of dataSetModel may move to newModel keeping its values;
// a refusal is told with TextId::MsgMachineNotRight.
bool modelChangeAllowed(int dataSetModel, int newModel);

// Defaults and rules for a new data set.
int defaultControlMode(int model);
int defaultCapacity(int model);
// True when the capacity index does not name a real capacity in the list the
// selection dialog offers for this model and ROM version: a "-----"
// placeholder, or an index outside the list. Answered with
// TextId::MsgSelectCapVolt.
bool placeholderRefused(int model, int romVersion, int capacity);

// The message refusing a control mode picked for a new data set (S Mode of
// LX71 and LX75RTP); nothing when the pick is fine. P Mode is then selected.
std::optional<TextId> controlModeRefusal(int model, int controlMode);
// True when a new data set of this model and ROM version is held at P Mode
// with the control mode list disabled (LX71 below ROM index 11, LX71RTP
// outside 19..27 and 55..108).
bool controlModeLockedToP(int model, int romVersion);

} // namespace tess::catalogue
