#pragma once

namespace tess::catalogue {

// What the inverter selection dialog is opened for: the identity of a data
// set about to be made, or a new identity for the open one.
enum class SelectionPurpose {
    NewDataSet,
    InverterChange, // changes the open data set
};

// How the selection dialog ended.
enum class SelectionOutcome {
    Open,
    Accepted, // OK: the identity is stored
    Cancelled, // Cancel: the command that opened it stops there
    Closed, // closed by a refused move: nothing stored, not cancelled
};

} // namespace tess::catalogue
