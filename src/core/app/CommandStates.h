#pragma once

#include <span>
#include <string_view>

namespace tess {

// Whether each command of the main window can be chosen, by the name of its
// menu, menu item or tool button. A menu item and its button are switched
// separately: in some states they differ. The initial values are the state
// after start-up (no document open).
struct CommandStates {
    // Menus.
    bool file1 = true;
    bool k1 = true; // Execute
    bool k4 = true; // Options
    bool kl1 = true; // Language
    bool k6 = true; // Help
    bool rom1 = true;
    bool rom1Visible = false; // shown only on request (Ctrl + click on the status bar)

    // Menu items.
    bool new1 = true;
    bool open1 = true;
    bool save1 = false;
    bool saveAs1 = false;
    bool close1 = false;
    bool f1 = false; // Compare files
    bool print1 = false;
    bool exit1 = true;
    bool k2 = true; // Data read
    bool k3 = false; // Data write
    bool k5 = true; // Communication settings
    bool k8 = true; // Communication log
    bool k9 = false; // Inverter change
    bool kj1 = true; // Japanese
    bool ke1 = true; // English
    bool k7 = true; // About
    bool n5 = true; // Add version file

    // Tool buttons.
    bool speedButton1 = true; // New
    bool speedButton2 = true; // Open
    bool speedButton3 = false; // Save As
    bool speedButton4 = false; // Close
    bool speedButton5 = true; // Data read
    bool speedButton6 = false; // Data write
    bool speedButton7 = true; // Log
    bool speedButton8 = false; // Inverter change
    bool speedButton9 = false; // Compare files
    bool speedButton10 = false; // Print

    friend bool operator==(const CommandStates&, const CommandStates&) = default;
};

// The transitions of the command-state table. Each sets only the commands
// its column names and leaves the others as they are.
// No document: start, Close, reset, a New whose table load is abandoned.
void applyNoDocumentState(CommandStates& states);
// A document made by New.
void applyNewDocumentState(CommandStates& states);
// A document opened from a file or read from the inverter.
void applyDocumentOpenedState(CommandStates& states);
// After applyDocumentOpenedState for a data set shown without a parameter
// table: buttons only, the menu items stay as they are.
void applyRawDataSetOverrides(CommandStates& states);

// Every switchable control by its name, for the window that shows them.
struct CommandControl {
    std::string_view name;
    bool CommandStates::*enabled;
};
std::span<const CommandControl> commandControls();

} // namespace tess
