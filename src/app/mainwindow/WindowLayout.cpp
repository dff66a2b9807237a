#include "app/mainwindow/WindowLayout.h"

#include "app/mainwindow/MainWindowTexts.h"
#include "domain/common/TextParse.h"
#include "domain/settings/UserStore.h"

#include <algorithm>
#include <array>
#include <string>

namespace tess {
namespace {

// Sizes beyond these come from a damaged store, not from a screen.
constexpr int MinWindowSide = 100;
constexpr int MaxWindowSide = 100000;
constexpr int MinColumnWidth = 10;
constexpr int MaxColumnWidth = 10000;

std::optional<ScreenRect> parseGeometry(std::string_view text)
{
    std::array<int, 4> numbers {};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto comma = text.find(',');
        if ((i + 1 < numbers.size()) == (comma == std::string_view::npos))
            return std::nullopt;
        const std::optional<std::int32_t> n = parseInteger(text.substr(0, comma), IntegerSign::MinusOnly);
        if (!n)
            return std::nullopt;
        numbers[i] = *n;
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    const ScreenRect rect {numbers[0], numbers[1], numbers[2], numbers[3]};
    if (std::min(rect.width, rect.height) < MinWindowSide || std::max(rect.width, rect.height) > MaxWindowSide)
        return std::nullopt;
    return rect;
}

std::optional<int> readColumnWidth(UserStore& store, std::string_view name)
{
    const std::optional<int> width = store.readInteger(name);
    if (!width || *width < MinColumnWidth || *width > MaxColumnWidth)
        return std::nullopt;
    return width;
}

void writeOptional(UserStore& store, std::string_view name, const std::optional<int>& value)
{
    store.writeString(name, value ? std::to_string(*value) : std::string());
}

long long overlap(const ScreenRect& a, const ScreenRect& b)
{
    const long long w = std::min<long long>(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const long long h = std::min<long long>(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

} // namespace

WindowLayout readWindowLayout(UserStore& store)
{
    WindowLayout layout;
    layout.geometry = parseGeometry(store.readString(UserValueWindowGeometry));
    layout.maximized = store.readInteger(UserValueWindowMaximized).value_or(0) == 1;
    layout.nameColumnWidth = readColumnWidth(store, UserValueNameColumnWidth);
    layout.rangeColumnWidth = readColumnWidth(store, UserValueRangeColumnWidth);
    return layout;
}

void writeWindowLayout(UserStore& store, const WindowLayout& layout)
{
    std::string geometry;
    if (const auto& g = layout.geometry)
        geometry = std::to_string(g->x) + "," + std::to_string(g->y) + "," + std::to_string(g->width) + ","
            + std::to_string(g->height);
    store.writeString(UserValueWindowGeometry, geometry);
    store.writeInteger(UserValueWindowMaximized, layout.maximized ? 1 : 0);
    writeOptional(store, UserValueNameColumnWidth, layout.nameColumnWidth);
    writeOptional(store, UserValueRangeColumnWidth, layout.rangeColumnWidth);
}

void keepColumnWidths(WindowLayout& layout, int nameWidth, int rangeWidth, Language language)
{
    const auto startWidths = gridColumnWidths(language);
    const auto kept = [](int width, int start) { return width != start ? std::optional<int>(width) : std::nullopt; };
    layout.nameColumnWidth = kept(nameWidth, startWidths[ColName]);
    layout.rangeColumnWidth = kept(rangeWidth, startWidths[ColRange]);
}

ScreenRect keepOnScreen(const ScreenRect& window, std::span<const ScreenRect> screens)
{
    if (screens.empty())
        return window;
    const ScreenRect* screen = &screens.front();
    long long best = 0;
    for (const ScreenRect& candidate : screens) {
        if (const long long shared = overlap(window, candidate); shared > best) {
            best = shared;
            screen = &candidate;
        }
    }
    ScreenRect placed = window;
    placed.width = std::min(window.width, screen->width);
    placed.height = std::min(window.height, screen->height);
    placed.x = std::clamp(window.x, screen->x, screen->x + screen->width - placed.width);
    placed.y = std::clamp(window.y, screen->y, screen->y + screen->height - placed.height);
    return placed;
}

} // namespace tess
