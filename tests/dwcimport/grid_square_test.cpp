// Grid squares of points, and decimal degrees read and written.
#include "common/datum_shift_table.h"
#include "common/geo_point.h"
#include "common/grid_square.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "tests/support/test_folder.h"
#include "tools/dwcimport/datum_shifts.h"

#include <gtest/gtest.h>

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

// dwcimport reads the datum-shift table through the viewer's rows: a table
// the viewer refuses, dwcimport refuses too, naming the line.
TEST(DwcGridSquare, TheDatumShiftTableIsReadAsTheViewerReadsIt)
{
    test::TestFolder folder("datum-shifts");
    DatumShiftTable shifts;
    ToolError error;
    ASSERT_TRUE(loadDatumShifts(folder.write("ok.csv", "5439,x,12.3,-12.6\n\n5339,x,11.6,-11.9\n"), 5, shifts, error));
    ASSERT_EQ(shifts.size(), 2u);
    EXPECT_EQ(shifts.tokyoToWorld(point("35.5", "139.5")), point("35.50322222", "139.49669444"));

    EXPECT_FALSE(loadDatumShifts(folder.write("bad.csv", "5339,x,1,1\n,x,1,1\n"), 5, shifts, error));
    EXPECT_EQ(cp932ToUtf8(error.message), "2 行目: メッシュコードが 1 次メッシュのコードではありません.");
    EXPECT_FALSE(loadDatumShifts(folder.write("quote.csv", "5339,x,1,1\n5340,\"a\"b\",1,1\n"), 5, shifts, error));
    EXPECT_NE(cp932ToUtf8(error.message).find("2 行目: ２重引用符の使い方が間違っています。"), std::string::npos)
        << cp932ToUtf8(error.message);
    EXPECT_FALSE(loadDatumShifts(folder.write("many.csv", "1,x,1,1\n2,x,1,1\n"), 1, shifts, error));
    EXPECT_NE(cp932ToUtf8(error.message).find("上限は 1 行です"), std::string::npos);
    EXPECT_FALSE(loadDatumShifts(folder.file("none.csv"), 5, shifts, error));
    EXPECT_NE(cp932ToUtf8(error.message).find("が見つかりません."), std::string::npos);
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
