#pragma once

#include "app/mainwindow/CommandStates.h"
#include "domain/common/GridColumns.h"
#include "domain/common/Language.h"
#include "domain/text/Texts.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tess {

// The parameter grid's default column width and row height, in pixels.
constexpr int DefaultColumnWidth = 74;
constexpr int DefaultRowHeight = 24;

// How the main window looks in each language.
struct LanguagePresentation {
    std::string_view fontFamily; // the family asked for; the GUI takes the nearest installed one
    int fontPointSize = 9;
    int windowWidth = 0;
    int column1Width = 0; // grid column 1 (parameter names)
};
LanguagePresentation languagePresentation(Language language);

// Column widths of the grid: w, 3w (Japanese) or 2w (English), 3w, then w.
std::array<int, GridColumnCount> gridColumnWidths(Language language);

// "71Series Tessaline Version 4.50".
std::string mainWindowCaption();

// A text of the main window by the command whose menu, menu item or tool
// button shows it.
struct CommandText {
    bool CommandStates::*command;
    TextId text;
};
// The captions of every menu and menu item.
std::span<const CommandText> mainWindowMenuTexts();
// The hints of the tool buttons.
std::span<const CommandText> mainWindowHintTexts();

// The keys of the menu items that have one, in Qt's portable text ("Ctrl+S").
// A key works only while its item is enabled, and the menu shows it. A key
// listed for several items is held by one at a time (commandOfKeys).
struct CommandShortcut {
    bool CommandStates::*command;
    std::string_view keys;
};
std::span<const CommandShortcut> mainWindowShortcuts();
// The item that holds a key in a state: the first listed with it that is
// enabled; when none is, the last listed (greyed, the menu still shows it).
bool CommandStates::*commandOfKeys(std::string_view keys, const CommandStates& states);
} // namespace tess
