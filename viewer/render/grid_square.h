#pragma once

#include <optional>

namespace tavik {

struct DistributionRecord;

// A square of the national grid square system in degrees: its south-west
// corner and its extent.
struct GridSquare {
    double latitude = 0.0; // south edge
    double longitude = 0.0; // west edge
    double latitudeExtent = 0.0; // degrees north to south
    double longitudeExtent = 0.0; // degrees east to west
};

// The square a grid-square record names, or nothing for a record of another
// kind or without a usable code.
std::optional<GridSquare> gridSquareOf(const DistributionRecord& record);

} // namespace tavik
