#pragma once

#include "domain/common/Language.h"

#include <optional>
#include <span>
#include <string_view>

namespace tess {

class UserStore;

// The per-user store's values for the main window's layout.
constexpr std::string_view UserValueWindowGeometry = "WindowGeometry"; // "x,y,width,height"
constexpr std::string_view UserValueWindowMaximized = "WindowMaximized"; // 1 maximized, 0 not
constexpr std::string_view UserValueNameColumnWidth = "NameColumnWidth"; // grid column 1, pixels
constexpr std::string_view UserValueRangeColumnWidth = "RangeColumnWidth"; // grid column 2, pixels

// A rectangle on the desktop, in pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// What the main window keeps of its layout from one run to the next: where
// it stood and how large it was (when not maximized), whether it was
// maximized, and the widths the user gave the name and range columns by
// dragging. A width left at its start-up value is not kept, so that the
// name column still follows the language of the next start.
struct WindowLayout {
    std::optional<ScreenRect> geometry; // the window's top-left corner and its inner size
    bool maximized = false;
    std::optional<int> nameColumnWidth;
    std::optional<int> rangeColumnWidth;

    friend bool operator==(const WindowLayout&, const WindowLayout&) = default;
};

// Reads the layout from the store. A value that is missing or cannot be
// read (not four numbers, a size or width out of reason) counts as absent.
WindowLayout readWindowLayout(UserStore& store);
// Writes every value of the layout; an absent one is emptied in the store.
void writeWindowLayout(UserStore& store, const WindowLayout& layout);

// The column widths worth keeping: each that differs from the start-up
// width of its column in the language in force.
void keepColumnWidths(WindowLayout& layout, int nameWidth, int rangeWidth, Language language);

// Where a window kept from an earlier run is put back: wholly on the screen
// it overlaps most, or on the first screen when it overlaps none (a screen
// unplugged since); no larger than that screen. Screens are the usable
// areas, the first being the primary one. Without screens it stays as it is.
ScreenRect keepOnScreen(const ScreenRect& window, std::span<const ScreenRect> screens);

} // namespace tess
