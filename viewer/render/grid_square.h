#pragma once

#include "common/grid_square.h"

#include <optional>

namespace tavik {

struct DistributionRecord;

// The square a grid-square record names, or nothing for a record of another
// kind or without a usable code.
std::optional<GridSquare> gridSquareOf(const DistributionRecord& record);

} // namespace tavik
