#include "app/catalogue/SelectionScript.h"

#include "app/common/Workspace.h"

#include <algorithm>

namespace tess::catalogue {

namespace {

ScriptOutcome driveDialog(InverterSelectionPresenter& dialog, const SelectionChoice& choice)
{
    const auto refused = [&] {
        if (dialog.isOpen())
            dialog.cancel();
        return ScriptOutcome::Refused;
    };

    dialog.open();
    if (!dialog.isOpen())
        return ScriptOutcome::Refused;
    if (dialog.model() != choice.model)
        dialog.changeModel(choice.model);
    if (!dialog.isOpen() || dialog.model() != choice.model)
        return refused();
    if (dialog.controlMode() != choice.controlMode)
        dialog.changeControlMode(choice.controlMode);
    if (!dialog.isOpen())
        return refused();
    if (!choice.romCode.empty())
        dialog.pickRomVersion(choice.romCode);
    if (!dialog.isOpen())
        return refused();

    int capacity = choice.capacityIndex;
    if (!choice.capacityText.empty()) {
        const auto& list = dialog.capacities();
        const auto found = std::find(list.begin(), list.end(), choice.capacityText);
        capacity = found == list.end() ? -1 : static_cast<int>(found - list.begin());
    }
    if (capacity < 0 || capacity >= static_cast<int>(dialog.capacities().size()))
        return refused();
    dialog.changeCapacity(capacity);

    const bool asked = dialog.model() == choice.model && dialog.controlMode() == choice.controlMode
        && dialog.capacity() == capacity
        && (choice.romCode.empty() || romVersionText(choice.model, dialog.romVersion()) == choice.romCode.substr(0, 5));
    if (!asked) {
        if (dialog.isOpen())
            dialog.cancel();
        return ScriptOutcome::Deviated;
    }
    dialog.ok();
    if (dialog.outcome() != SelectionOutcome::Accepted)
        return refused();
    return ScriptOutcome::Accepted;
}

} // namespace

ScriptOutcome runSelectionScript(Workspace& ws, Ui& ui, const SelectionChoice& choice)
{
    InverterSelectionPresenter dialog(ws, ui);
    const ScriptOutcome outcome = driveDialog(dialog, choice);
    if (outcome != ScriptOutcome::Accepted && !dialog.toldUser())
        return ScriptOutcome::NotOffered;
    return outcome;
}

void ScriptedSelection::runSelectionDialog(Workspace& ws, Ui& ui)
{
    ++runs;
    std::optional<SelectionChoice> choice;
    if (!choices.empty()) {
        choice = choices.front();
        choices.pop_front();
    }
    if (!choice) {
        InverterSelectionPresenter dialog(ws, ui);
        dialog.open();
        if (dialog.isOpen())
            dialog.cancel();
        lastOutcome.reset();
    } else {
        lastOutcome = runSelectionScript(ws, ui, *choice);
    }
    if (cancelUnlessAccepted && lastOutcome != ScriptOutcome::Accepted)
        ws.doc.state.selectionCancelled = true;
}

} // namespace tess::catalogue
