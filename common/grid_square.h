#pragma once

#include "common/geo_point.h"

#include <cstddef>
#include <cstdint>
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

// What the digits of a grid-square code name, by their count as the maps
// read them: 4 digits a first-order square, 6 second order, 7 a 5 km square
// (a quarter of a second-order square), 8 third order, 9 a half square or,
// with a last digit 5, a 2 km square (two by two third-order squares), 10 a
// quarter square, 11 an eighth square.
enum class SquareLevel : std::uint8_t { First, Second, FiveKm, Third, TwoKm, Half, Quarter, Eighth };

// The digits of a grid-square code, level by level; the digits a level
// lacks are 0.
struct SquareDigits {
    SquareLevel level = SquareLevel::First;
    std::uint8_t firstLatitude = 0; // 0-99: the first two digits
    std::uint8_t firstLongitude = 0; // 0-99: the next two
    std::uint8_t secondLatitude = 0; // 0-7
    std::uint8_t secondLongitude = 0;
    std::uint8_t thirdLatitude = 0; // 0-9 (even in a 2 km square)
    std::uint8_t thirdLongitude = 0;
    std::uint8_t fiveKm = 0; // 1-4: the quarter of the second-order square
    std::uint8_t half = 0; // 1-4 each: the quarter of the level above
    std::uint8_t quarter = 0;
    std::uint8_t eighth = 0;
};

// Reads the digits of a code (without "JP" and separators) as the maps draw
// them: a fifth digit alone is passed over (first order), digits beyond the
// eleventh are passed over (eighth), digits out of their level's range are
// taken as they are. Nothing for fewer than 4 digits. samvel refuses every
// code this reading does not take whole (checkSquareCode).
std::optional<SquareDigits> readSquareDigits(std::string_view digits);

// A square of the system in degrees: its south-west corner and its extent.
struct GridSquare {
    double latitude = 0.0; // south edge
    double longitude = 0.0; // west edge
    double latitudeExtent = 0.0; // degrees north to south
    double longitudeExtent = 0.0; // degrees east to west
};

// The square the digits of a code name (readSquareDigits), on the datum of
// the code.
GridSquare squareOf(const SquareDigits& square);

// Whether the digits of a code name one square of the system whole.
struct SquareCodeCheck {
    enum class Fault { None, Count, Digit };
    Fault fault = Fault::None;
    std::size_t position = 0; // Digit: the 0-based place of the first digit out of its range
};
// None when readSquareDigits takes every digit as a digit of its level: a
// count of 4 or 6 to 11 (Count otherwise), second-order digits 0-7, a 5 km,
// half, quarter or eighth digit 1-4, the third-order digits of a 2 km square
// even (Digit otherwise).
SquareCodeCheck checkSquareCode(std::string_view digits);

} // namespace tavik
