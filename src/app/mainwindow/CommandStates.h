#pragma once

#include <span>
#include <string_view>

namespace tess {

// Whether each command of the main window can be chosen, by meaning. A menu
// item and its tool button are switched separately: in some states they
// differ. The initial values are the state after start-up (no document
// open). commandControls() names the control each field switches.
struct CommandStates {
    // Menus.
    bool fileMenu = true;
    bool editMenu = true; // Undo, Redo and Find
    bool executeMenu = true;
    bool optionsMenu = true;
    bool languageMenu = true;
    bool helpMenu = true;
    bool romMenu = true;
    bool romMenuVisible = false; // shown only on request (Ctrl + click on the status bar)

    // Menu items.
    bool newItem = true;
    bool openItem = true;
    bool saveItem = false;
    bool saveAsItem = false;
    bool closeItem = false;
    bool compareItem = false; // Compare files
    bool compareDriveItem = false; // Compare with the drive
    bool printItem = false;
    bool exitItem = true;
    bool dataReadItem = true;
    bool dataWriteItem = false;
    bool commSettingsItem = true;
    bool commLogItem = true;
    bool inverterChangeItem = false;
    bool japaneseItem = true;
    bool englishItem = true;
    bool aboutItem = true;
    bool addRomFilesItem = true; // Add version files (the ROM menu)
    bool undoItem = false; // the last value entry taken back
    bool redoItem = false; // an entry taken back made again
    bool findItem = true; // the search box above the grid
    bool recentFilesMenu = false; // the Recent Files submenu: while the list holds a file
    bool conversionReportItem = false; // while the document holds a conversion report
    bool transferHistoryItem = true; // the transfers with the drive, from their journals
    // While a comparison is shown: ends it, the data set compared stays open.
    bool endComparisonItem = false;
    bool commissioningReportItem = false; // while a data set is shown with its table

    // Tool buttons.
    bool newButton = true;
    bool openButton = true;
    bool saveAsButton = false;
    bool closeButton = false;
    bool dataReadButton = true;
    bool dataWriteButton = false;
    bool commLogButton = true;
    bool inverterChangeButton = false;
    bool compareButton = false;
    bool printButton = false;

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

// The object name of the control each command state switches: the one
// place the window's menus, menu items and tool buttons take their names from.
struct CommandControl {
    std::string_view name;
    bool CommandStates::*enabled;
};
std::span<const CommandControl> commandControls();
// The object name of the control `command` switches; "" for a state that
// switches none (romMenuVisible).
std::string_view commandControlName(bool CommandStates::*command);

} // namespace tess
