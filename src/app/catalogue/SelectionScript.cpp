#include "app/catalogue/SelectionScript.h"

#include "app/common/Workspace.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace tess::catalogue {

namespace {

ScriptOutcome driveDialog(InverterSelectionPresenter& dialog, SelectionPurpose purpose, const SelectionChoice& choice)
{
    const auto refused = [&] {
        if (dialog.isOpen())
            dialog.cancel();
        return ScriptOutcome::Refused;
    };

    dialog.open(purpose);
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

namespace {

// The script's run, and how the dialog itself ended.
std::pair<ScriptOutcome, SelectionOutcome> runScript(
    Workspace& ws, Ui& ui, SelectionPurpose purpose, const SelectionChoice& choice)
{
    InverterSelectionPresenter dialog(ws, ui);
    const ScriptOutcome outcome = driveDialog(dialog, purpose, choice);
    if (outcome != ScriptOutcome::Accepted && !dialog.toldUser())
        return {ScriptOutcome::NotOffered, dialog.outcome()};
    return {outcome, dialog.outcome()};
}

} // namespace

ScriptOutcome runSelectionScript(Workspace& ws, Ui& ui, SelectionPurpose purpose, const SelectionChoice& choice)
{
    return runScript(ws, ui, purpose, choice).first;
}

SelectionOutcome ScriptedSelection::runSelectionDialog(Workspace& ws, Ui& ui, SelectionPurpose purpose)
{
    ++runs;
    std::optional<SelectionChoice> choice;
    if (!choices.empty()) {
        choice = choices.front();
        choices.pop_front();
    }
    SelectionOutcome ended = SelectionOutcome::Cancelled;
    if (!choice) {
        InverterSelectionPresenter dialog(ws, ui);
        dialog.open(purpose);
        if (dialog.isOpen())
            dialog.cancel();
        ended = dialog.outcome();
        lastOutcome.reset();
    } else {
        std::tie(lastOutcome, ended) = runScript(ws, ui, purpose, *choice);
    }
    if (cancelUnlessAccepted && lastOutcome != ScriptOutcome::Accepted)
        return SelectionOutcome::Cancelled;
    return ended;
}

} // namespace tess::catalogue
