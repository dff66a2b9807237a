#pragma once

#include "app/catalogue/InverterSelectionPresenter.h"
#include "app/mainwindow/Commands.h"

#include <deque>
#include <optional>
#include <string>

namespace tess::catalogue {

// An inverter as a script names it: what a user would choose in the
// selection dialog, one list after the other.
struct SelectionChoice {
    Model model = Model::QM71;
    int controlMode = 0;
    std::string capacityText; // the entry of the capacity list, e.g. "1R122"
    int capacityIndex = -1; // used when capacityText is empty
    std::string romCode; // picked from the ROM version picker; empty keeps the preselected one
};

// How a scripted selection ended.
enum class ScriptOutcome {
    Accepted, // the dialog stored exactly the identity asked for
    Refused, // a rule refused a step and the dialog said why
    Deviated, // the dialog ended on another choice than the one asked for, and said why
    // The choice could not be made and the dialog said nothing: an entry not
    // in its lists, OK unavailable, or another choice without a word.
    NotOffered,
};

// Drives the selection dialog for the document's purpose as a user would:
// model, control mode, ROM version, capacity, OK. Every rule and message is
// the dialog's own. When the dialog would store anything but the choice, it
// is cancelled instead and nothing is stored.
ScriptOutcome runSelectionScript(Workspace& ws, Ui& ui, SelectionPurpose purpose, const SelectionChoice& choice);

// The selection dialog of the commands (New, Inverter change) without a
// window: each run takes the next choice and drives the dialog with it. An
// empty queue, or an empty entry, opens the dialog and cancels it.
class ScriptedSelection : public SelectionHost {
public:
    SelectionOutcome runSelectionDialog(Workspace& ws, Ui& ui, SelectionPurpose purpose) override;

    std::deque<std::optional<SelectionChoice>> choices;
    // Set: a run that does not store exactly its choice ends as cancelled,
    // whatever the dialog did; only the inverter asked for goes on to a data
    // set. Clear: it ends as the dialog ended, as after a user's own clicks.
    bool cancelUnlessAccepted = false;

    // How the last run ended; nothing when it had no choice.
    std::optional<ScriptOutcome> lastOutcome;
    int runs = 0;
};

} // namespace tess::catalogue
