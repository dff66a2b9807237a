#pragma once

#include "core/catalogue/InverterSelectionPresenter.h"

#include <string>

namespace tess::catalogue {

// An inverter as a script names it: what a user would choose in the
// selection dialog, one list after the other.
struct SelectionChoice {
    int model = 0;
    int controlMode = 0;
    std::string capacityText; // the entry of the capacity list, e.g. "1R122"
    int capacityIndex = -1; // used when capacityText is empty
    std::string romCode; // picked from the ROM version picker; empty keeps the preselected one
};

// How a scripted selection ended.
enum class ScriptOutcome {
    Accepted, // the dialog stored exactly the identity asked for
    Refused, // a rule refused a step (its message was shown) or OK stayed unavailable
    Deviated, // the dialog ended on another choice than the one asked for
};

// Drives the selection dialog for the document's purpose as a user would:
// model, control mode, ROM version, capacity, OK. Every rule and message is
// the dialog's own. When the dialog would store anything but the choice, it
// is cancelled instead and nothing is stored.
ScriptOutcome runSelectionScript(Workspace& ws, Ui& ui, const SelectionChoice& choice);

} // namespace tess::catalogue
