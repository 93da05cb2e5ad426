#pragma once

#include "common/geo_point.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The orders of the national grid square system (JIS X 0410) a point can be
// generalised to: first order (2/3 degree of latitude × 1 degree of
// longitude, about 80 km), second (1/8 of that, about 10 km), third (1/10 of
// that, about 1 km), then the half (500 m), quarter (250 m) and eighth
// (125 m) squares, each a quarter of the one before.
enum class GridOrder { First = 1, Second, Third, Half, Quarter, Eighth };

// Reads an order as the command line and the settings give it: 1, 2, 3,
// "half", "quarter", "eighth" (or 4, 5, 6, their usual numbers); any case.
std::optional<GridOrder> parseGridOrder(std::string_view text);

// The order's name as parseGridOrder reads it ("3", "half").
std::string_view gridOrderName(GridOrder order);

// The digits of the square of the given order that holds a point, as the
// input tables write a grid square: 4 digits of the first order (latitude
// × 1.5 and longitude − 100, whole degrees), 2 of the second (row and column
// of 8), 2 of the third (row and column of 10), then one digit a level for
// the half, quarter and eighth squares (1 south-west, 2 south-east, 3
// north-west, 4 north-east). A point on an edge belongs to the square north
// or east of it. Nothing for a point outside the system: latitudes 0 to
// 66.67 degrees north and longitudes 100 to 200 degrees east.
std::optional<std::string> gridSquareCode(const GeoPoint& point, GridOrder order);

// The first-order code of a point (latitude digits × 100 + longitude digits),
// or nothing outside the system.
std::optional<int> firstOrderCode(const GeoPoint& point);

} // namespace tavik
