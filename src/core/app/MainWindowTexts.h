#pragma once

#include "core/app/Texts.h"
#include "core/common/GridRows.h"
#include "core/common/Language.h"

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

// A text of the main window by the name of the control that shows it.
struct ControlText {
    std::string_view control;
    TextId text;
};
// Label1 .. Label5 (the identity box captions and the file name caption).
std::span<const ControlText> mainWindowLabelTexts();
// The captions of every menu and menu item.
std::span<const ControlText> mainWindowMenuTexts();
// The hints of SpeedButton1 .. SpeedButton10.
std::span<const ControlText> mainWindowHintTexts();
// The titles of grid columns 0 .. 6.
const std::array<TextId, GridColumnCount>& gridColumnTitles();

// Writes the seven column titles of the language into the grid's header row.
void writeGridTitles(GridRows& rows, Language language);

} // namespace tess
