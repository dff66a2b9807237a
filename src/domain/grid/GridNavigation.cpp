#include "domain/grid/GridNavigation.h"

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

} // namespace tess
