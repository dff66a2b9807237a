#pragma once

#include <string>

namespace tess {

// What the grid remembers between the key presses of one cell edit.
struct CellEditState {
    // The grid row of the last key press (only the value column takes keys).
    int row = 0;
    // The user has typed into the cell; a mouse click in the grid puts the
    // cell back to the stored value.
    bool pendingRestore = false;
    // An edit of `row` was accepted and the grid has not re-read it yet; the
    // grid takes the flag over and draws that value cell purple until its
    // next re-read.
    bool justEdited = false;
    // The status bar text, written in the language in force when it was set.
    std::string statusText;
};

} // namespace tess
