#pragma once

#include "app/mainwindow/CommandStates.h"

namespace tess {

// What the inverter selection dialog keeps from one use to the next.
struct SelectionMemory {
    int pickedRomIndex = 0; // the ROM index of the code last picked
    bool lx71rtpRomZeroMark = false; // LX71RTP ROM index 0 was last accepted
};

// What the windows show beside the document: the offered commands, the
// remembered selection and whether the log window is open.
struct ViewState {
    // What the main window's menus and buttons offer; the window shows it.
    CommandStates commands;
    SelectionMemory selection;
    bool logWindowOpen = false;
};

} // namespace tess
