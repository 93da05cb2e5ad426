// Grid squares of points, and decimal degrees read and written.
#include "tools/dwcimport/datum_shift_table.h"
#include "tools/dwcimport/geo_point.h"
#include "tools/dwcimport/grid_square.h"

#include <gtest/gtest.h>

#include <random>

namespace tavik {
namespace {

GeoPoint point(std::string_view latitude, std::string_view longitude)
{
    return {*parseDecimalDegrees(latitude), *parseDecimalDegrees(longitude)};
}

// Reference squares worked out from the definition of the system: the first
// order is latitude × 1.5 and longitude − 100 in whole degrees; each second
// order square is 1/8 of it (5' × 7'30"), each third 1/10 of that (30" × 45"),
// and the half, quarter and eighth squares number their quarters 1 south-west,
// 2 south-east, 3 north-west, 4 north-east.
TEST(DwcGridSquare, PointsFallInTheirSquaresAtEveryOrder)
{
    struct Case {
        const char* latitude;
        const char* longitude;
        const char* codes[6]; // first order to eighth
    } cases[] = {
        // Tokyo station, 35°40'52.45" N 139°46'01.65" E: 35.681236 × 1.5 = 53.52, 0.52185 × 8 = 4.17,
        // 0.17 × 10 = 1.7; 0.767125 × 8 = 6.137, 0.137 × 10 = 1.37. In the third-order square (south-west
        // corner 35°40'30" 139°45'45", 30" × 45") it lies 22.45" north and 16.65" east: the north-west
        // half (15" × 22.5"), 7.45" north and 5.4" east of whose corner lie in its south-east quarter
        // (7.5" × 11.25"), and in that quarter the north-west eighth (3.75" × 5.625").
        {"35.681236", "139.767125", {"5339", "533946", "53394611", "533946113", "5339461132", "53394611323"}},
        // Sapporo station lies in 6441 (43°20'-44°00' N, 141-142° E); these and the next codes were
        // worked out in exact fractions of a degree.
        {"43.068661", "141.350755", {"6441", "644142", "64414288", "644142881", "6441428811", "64414288113"}},
        // Naha in 3927.
        {"26.2124", "127.6809", {"3927", "392725", "39272554", "392725541", "3927255414", "39272554144"}},
        // The south-west corner of a first-order square belongs to it at every order.
        {"36", "140", {"5440", "544000", "54400000", "544000001", "5440000011", "54400000111"}},
        // Just south and west of that corner: the last square of every order of 5339.
        {"35.99999999", "139.99999999", {"5339", "533977", "53397799", "533977994", "5339779944", "53397799444"}},
    };
    for (const Case& c : cases) {
        for (int order = 1; order <= 6; ++order) {
            std::optional<std::string> code
                = gridSquareCode(point(c.latitude, c.longitude), static_cast<GridOrder>(order));
            ASSERT_TRUE(code) << c.latitude << " " << c.longitude;
            EXPECT_EQ(*code, c.codes[order - 1]) << c.latitude << " " << c.longitude << " order " << order;
        }
    }
    // Outside the system: south of the equator, west of 100° E, north of 66°40'.
    for (const auto& [latitude, longitude] : {std::pair{"-1", "139"}, {"35", "99.9"}, {"66.6667", "139"}})
        EXPECT_FALSE(gridSquareCode(point(latitude, longitude), GridOrder::First)) << latitude << " " << longitude;
    EXPECT_TRUE(gridSquareCode(point("66.6666", "180"), GridOrder::Eighth));
}

// Every code read back by the viewer's formula (south-west corner and size of
// the square) holds the point it was taken from.
TEST(DwcGridSquare, TheSquareOfACodeHoldsItsPoint)
{
    std::mt19937 random(20);
    std::uniform_int_distribution<std::int64_t> latitude(24 * GeoPoint::unitsPerDegree, 46 * GeoPoint::unitsPerDegree);
    std::uniform_int_distribution<std::int64_t> longitude(
        122 * GeoPoint::unitsPerDegree, 154 * GeoPoint::unitsPerDegree);
    const double heights[] = {2.0 / 3, 1.0 / 12, 1.0 / 120, 1.0 / 240, 1.0 / 480, 1.0 / 960};
    const double widths[] = {1, 1.0 / 8, 1.0 / 80, 1.0 / 160, 1.0 / 320, 1.0 / 640};
    for (int i = 0; i < 2000; ++i) {
        GeoPoint p{latitude(random), longitude(random)};
        int order = 1 + i % 6;
        std::string code = *gridSquareCode(p, static_cast<GridOrder>(order));
        ASSERT_EQ(code.size(), std::vector<size_t>({4, 6, 8, 9, 10, 11})[order - 1]);
        auto d = [&](size_t at) { return at < code.size() ? code[at] - '0' : 0; };
        double south = ((d(0) * 10 + d(1)) + (d(4) + d(6) / 10.0) / 8) * 2 / 3;
        double west = 100 + (d(2) * 10 + d(3)) + (d(5) + d(7) / 10.0) / 8;
        const double parts[][2] = {{1.0 / 240, 1.0 / 160}, {1.0 / 480, 1.0 / 320}, {1.0 / 960, 1.0 / 640}};
        for (size_t k = 8; k < code.size(); ++k) {
            int e = d(k) - 1;
            south += (e & 2 ? 1 : 0) * parts[k - 8][0];
            west += (e & 1 ? 1 : 0) * parts[k - 8][1];
        }
        double lat = static_cast<double>(p.latitude) / GeoPoint::unitsPerDegree;
        double lon = static_cast<double>(p.longitude) / GeoPoint::unitsPerDegree;
        EXPECT_GE(lat, south - 1e-9) << code;
        EXPECT_LT(lat, south + heights[order - 1] + 1e-9) << code;
        EXPECT_GE(lon, west - 1e-9) << code;
        EXPECT_LT(lon, west + widths[order - 1] + 1e-9) << code;
    }
}

TEST(DwcGridSquare, OrdersAreReadByNumberOrName)
{
    EXPECT_EQ(parseGridOrder("3"), GridOrder::Third);
    EXPECT_EQ(parseGridOrder("Half"), GridOrder::Half);
    EXPECT_EQ(parseGridOrder("5"), GridOrder::Quarter);
    EXPECT_EQ(parseGridOrder("EIGHTH"), GridOrder::Eighth);
    EXPECT_FALSE(parseGridOrder("7"));
    EXPECT_FALSE(parseGridOrder(""));
}

// The viewer adds the shift of a square's own first-order code to a
// Tokyo-datum square; a point taken back to the Tokyo datum must land in the
// square that, shifted so, holds the point — also within a shift of the edge
// of a first-order square whose neighbour shifts differently.
TEST(DwcGridSquare, PointsGoToTheTokyoDatumAsTheViewerShiftsSquaresBack)
{
    DatumShiftTable shifts;
    shifts.add(5339, 11.6, -11.9);
    shifts.add(5439, 12.3, -12.6);
    GeoPoint tokyo = point("35.681236", "139.767125");
    GeoPoint world = shifts.tokyoToWorld(tokyo);
    EXPECT_EQ(world.latitude - tokyo.latitude, 322222); // 11.6" in 1e-8 degrees
    EXPECT_EQ(world.longitude - tokyo.longitude, -330556);
    EXPECT_EQ(shifts.worldToTokyo(world), tokyo);

    // 5" north of the 36° line on the world datum: the Tokyo point lies in 5339,
    // whose shift is the one to undo.
    GeoPoint nearEdge = point("36.0013889", "139.5");
    GeoPoint back = shifts.worldToTokyo(nearEdge);
    EXPECT_EQ(*firstOrderCode(back), 5339);
    EXPECT_EQ(shifts.tokyoToWorld(back), nearEdge);
    // No row: no shift, as the viewer draws such squares unshifted.
    GeoPoint south = point("33.5", "130.5");
    EXPECT_EQ(shifts.worldToTokyo(south), south);
}

TEST(DwcGeoPoint, DecimalDegreesAreReadExactlyAndWrittenShort)
{
    struct Case {
        const char* text;
        std::optional<std::int64_t> units;
        const char* written;
    } cases[] = {
        {"35.681236", 3568123600, "35.681236"},
        {"35.50", 3550000000, "35.5"},
        {"+139", 13900000000, "139"},
        {"-0.5", -50000000, "-0.5"},
        {".25", 25000000, "0.25"},
        {"35.123456785", 3512345679, "35.12345679"}, // the ninth decimal rounds
        {"-35.123456784", -3512345678, "-35.12345678"},
        {"3.55e1", 3550000000, "35.5"},
        {"0.0", 0, "0"},
        {"", std::nullopt, ""},
        {"35,5", std::nullopt, ""},
        {"35.5N", std::nullopt, ""},
        {"nan", std::nullopt, ""},
        {"inf", std::nullopt, ""},
        {"1e300", std::nullopt, ""},
        {"-", std::nullopt, ""},
        {"1.2.3", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseDecimalDegrees(c.text), c.units) << c.text;
        if (c.units) {
            EXPECT_EQ(formatDecimalDegrees(*c.units), c.written) << c.text;
        }
    }
}

} // namespace
} // namespace tavik
