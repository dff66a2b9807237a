#include "domain/grid/GridNavigation.h"

#include <algorithm>

namespace tess {
namespace {

int firstRow(const AreaStarts& areaFirst, int area)
{
    return areaFirst[static_cast<std::size_t>(area)] + 1;
}

} // namespace

std::optional<int> previousAreaTop(const AreaStarts& areaFirst, int topRow)
{
    for (int a = 0; a + 1 < AreaCount; ++a) {
        if (firstRow(areaFirst, a) < topRow && topRow <= firstRow(areaFirst, a + 1))
            return a == 0 ? 1 : firstRow(areaFirst, a);
    }
    const int lastStart = firstRow(areaFirst, AreaCount - 1);
    if (topRow > lastStart)
        return lastStart;
    return std::nullopt;
}

std::optional<int> nextAreaTop(const AreaStarts& areaFirst, int topRow)
{
    for (int a = 0; a + 1 < AreaCount; ++a) {
        if (firstRow(areaFirst, a) <= topRow && topRow < firstRow(areaFirst, a + 1))
            return firstRow(areaFirst, a + 1);
    }
    return std::nullopt;
}

namespace {

// The position of the first row shown at or after gridRow.
std::size_t firstShownFrom(std::span<const int> shownRows, int gridRow)
{
    return static_cast<std::size_t>(std::lower_bound(shownRows.begin(), shownRows.end(), gridRow) - shownRows.begin());
}

} // namespace

std::optional<std::size_t> previousAreaTop(
    const AreaStarts& areaFirst, std::span<const int> shownRows, std::size_t topPosition)
{
    if (topPosition >= shownRows.size())
        return std::nullopt;
    // Back area by area until one holds a shown row above the top one.
    int from = shownRows[topPosition];
    while (const std::optional<int> start = previousAreaTop(areaFirst, from)) {
        if (*start >= from)
            return std::nullopt;
        const std::size_t position = firstShownFrom(shownRows, *start);
        if (position < topPosition)
            return position;
        from = *start;
    }
    return std::nullopt;
}

std::optional<std::size_t> nextAreaTop(
    const AreaStarts& areaFirst, std::span<const int> shownRows, std::size_t topPosition)
{
    if (topPosition >= shownRows.size())
        return std::nullopt;
    const int from = shownRows[topPosition];
    const std::optional<int> start = nextAreaTop(areaFirst, from);
    if (!start || *start <= from)
        return std::nullopt;
    const std::size_t position = firstShownFrom(shownRows, *start);
    if (position >= shownRows.size())
        return std::nullopt;
    return position;
}

} // namespace tess
