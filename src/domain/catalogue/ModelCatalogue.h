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
// with the control mode list disabled (LX71 below ROM index 11, LX71RTP
// outside 19..27 and 55..108).
bool controlModeLockedToP(Model model, int romVersion);

} // namespace tess::catalogue
