#pragma once

#include "domain/common/Identity.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace tess {

// The area jumps of the parameter grid (Shift+F1, Shift+F2). Rows are grid
// rows: slot s is row s + 1, so the first row of area a is areaFirst[a] + 1.
// `topRow` is the first scrollable row in view; the result is the new top
// row, or nothing when the grid stays where it is.
using AreaStarts = std::array<std::uint16_t, AreaCount>;

// Back to the start of the area the top row lies in, or to the start of the
// area before when the top row is already an area's first row.
std::optional<int> previousAreaTop(const AreaStarts& areaFirst, int topRow);

// On to the start of the next area; nothing from within the last area.
std::optional<int> nextAreaTop(const AreaStarts& areaFirst, int topRow);

// The same jumps on a grid that shows only some rows: `shownRows` are the
// grid rows in view order (ascending), `topPosition` the position of the top
// one. The result is the position of the new top row: the first row shown
// at or after the area start the jump reaches. An area with no row shown is
// passed over, so a jump always moves when it can. With every row shown the
// positions are the rows' own and the jumps are the ones above.
std::optional<std::size_t> previousAreaTop(
    const AreaStarts& areaFirst, std::span<const int> shownRows, std::size_t topPosition);
std::optional<std::size_t> nextAreaTop(
    const AreaStarts& areaFirst, std::span<const int> shownRows, std::size_t topPosition);

} // namespace tess
