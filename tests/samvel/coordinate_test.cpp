#include "tools/samvel/coordinate.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(Coordinate, ChecksTextsMarkByMark)
{
    constexpr auto lat = CoordinateAxis::Latitude;
    constexpr auto lon = CoordinateAxis::Longitude;
    struct Case {
        const char* text;
        CoordinateAxis axis;
        CoordinateError error;
    } cases[] = {
        {"N35.30", lat, CoordinateError::None},
        {"-35.5", lat, CoordinateError::None},
        {"35.30'15", lat, CoordinateError::None}, // 35 degrees 30.15 minutes
        {"35.20'30\"5", lat, CoordinateError::None},
        {"35. 5", lat, CoordinateError::None}, // the blank follows a mark
        {"W180", lon, CoordinateError::None},
        {"", lat, CoordinateError::Empty},
        {"35.5N", lat, CoordinateError::BadOrder},
        {"35'30.5", lat, CoordinateError::BadOrder},
        {"10\"5'", lat, CoordinateError::BadOrder},
        {"35'30'", lat, CoordinateError::MinutesTwice},
        {"35\"10\"", lat, CoordinateError::SecondsTwice},
        {"35 .5", lat, CoordinateError::BadBlank},
        {"E35", lat, CoordinateError::BadLatitudeCharacter},
        {"N139", lon, CoordinateError::BadLongitudeCharacter},
        {"91", lat, CoordinateError::LatitudeRange},
        {"89.60'", lat, CoordinateError::MinutesRange},
        {"89.59'60\"", lat, CoordinateError::SecondsRange},
        {"90.0'1\"", lat, CoordinateError::LatitudeRange}, // each part fits, the sum does not
        {"180.1", lon, CoordinateError::LongitudeRange},
        // Texts the marks alone let through but no map can read: no number,
        // or a second full stop. Stored, they would never be drawn.
        {"'", lat, CoordinateError::BadOrder},
        {"+.", lon, CoordinateError::BadOrder},
        {"N\"", lat, CoordinateError::BadOrder},
        {".09.6.", lat, CoordinateError::BadOrder},
        {"112..", lon, CoordinateError::BadOrder},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkCoordinate(c.text, c.axis), c.error) << c.text;
}

TEST(Coordinate, StoredTextsBeginWithTheHemisphere)
{
    EXPECT_EQ(storedCoordinate("-35.5", CoordinateAxis::Latitude), "S35.5");
    EXPECT_EQ(storedCoordinate("+35.5", CoordinateAxis::Latitude), "N35.5");
    EXPECT_EQ(storedCoordinate("35.5", CoordinateAxis::Latitude), "N35.5");
    EXPECT_EQ(storedCoordinate("S1", CoordinateAxis::Latitude), "S1");
    EXPECT_EQ(storedCoordinate("-139", CoordinateAxis::Longitude), "W139");
    EXPECT_EQ(storedCoordinate("139.45'", CoordinateAxis::Longitude), "E139.45'");
    EXPECT_EQ(storedCoordinate("35.12345678901", CoordinateAxis::Latitude), "N35.1234567890");
    EXPECT_EQ(cp932ToUtf8(coordinateErrorMessage(4, "91", CoordinateError::LatitudeRange)),
        "4 行目: 91  値が大きすぎます   0 <= degree <= 90");
}

} // namespace
} // namespace tavik
