// The same text between programs: an angle samvel accepts and stores, and a
// grid square dwcimport writes or samvel takes, are read by the viewer to the
// same point or square.
#include "common/angle_text.h"
#include "common/geo_point.h"
#include "common/grid_square.h"
#include "tools/samvel/coordinate.h"
#include "viewer/render/grid_square.h"
#include "viewer/settings/distribution_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>

namespace tavik {
namespace {

AngleKind viewerKind(CoordinateAxis axis)
{
    return axis == CoordinateAxis::Latitude ? AngleKind::Latitude : AngleKind::Longitude;
}

// Angles written the ways the import takes them, degrees, minutes and seconds
// known: the text samvel stores reads in the viewer to that angle.
TEST(AngleAgreement, AnglesSamvelStoresReadToTheirValueInTheViewer)
{
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const CoordinateAxis axis = i % 2 ? CoordinateAxis::Longitude : CoordinateAxis::Latitude;
        const int degrees = static_cast<int>(random() % (axis == CoordinateAxis::Latitude ? 90 : 180));
        const int minutes = static_cast<int>(random() % 60), seconds = static_cast<int>(random() % 60);
        const int tenths = static_cast<int>(random() % 10);
        const bool negative = random() % 2;
        const char* signs = axis == CoordinateAxis::Latitude ? (negative ? "S-" : "N+ ") : (negative ? "W-" : "E+ ");
        std::string sign(1, signs[random() % std::strlen(signs)]);
        if (sign == " ")
            sign.clear();
        char text[64];
        double expected = 0;
        switch (random() % 4) {
        case 0: // degrees, minutes and seconds with a tenth
            std::snprintf(text, sizeof text, "%s%d.%02d'%02d\"%d", sign.c_str(), degrees, minutes, seconds, tenths);
            expected = degrees + minutes / 60.0 + (seconds + tenths / 10.0) / 3600.0;
            break;
        case 1: // degrees and minutes
            std::snprintf(text, sizeof text, "%s%d.%02d'", sign.c_str(), degrees, minutes);
            expected = degrees + minutes / 60.0;
            break;
        case 2: // degrees, minutes and seconds
            std::snprintf(text, sizeof text, "%s%d.%02d'%02d\"", sign.c_str(), degrees, minutes, seconds);
            expected = degrees + minutes / 60.0 + seconds / 3600.0;
            break;
        default: // whole degrees
            std::snprintf(text, sizeof text, "%s%d", sign.c_str(), degrees);
            expected = degrees;
            break;
        }
        if (negative)
            expected = -expected;
        ASSERT_EQ(checkCoordinate(text, axis), CoordinateError::None) << text;
        const std::string stored = storedCoordinate(text, axis);
        EXPECT_NEAR(parseAngle(stored, viewerKind(axis)), expected, 1e-9) << text << " stored as " << stored;
    }
}

// Any text at all: what samvel accepts and stores, the viewer reads to an
// angle within the globe on the side the text names.
TEST(AngleAgreement, EveryTextSamvelAcceptsTheViewerReadsWithinTheGlobe)
{
    const std::string alphabet = "0123456789.'\"NSEW+- ";
    std::mt19937 random(11);
    int accepted = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string text(1 + random() % 12, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        // samvel reads the field trimmed and cut to the bytes it keeps, and
        // refuses an empty one before checking it.
        const size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
        if (first == std::string::npos)
            continue;
        text = text.substr(first, last - first + 1);
        for (CoordinateAxis axis : {CoordinateAxis::Latitude, CoordinateAxis::Longitude}) {
            if (checkCoordinate(text, axis) != CoordinateError::None)
                continue;
            ++accepted;
            const std::string stored = storedCoordinate(text, axis);
            const double value = parseAngle(stored, viewerKind(axis));
            const double limit = axis == CoordinateAxis::Latitude ? 90.0 : 180.0;
            EXPECT_NE(value, kInvalidAngle) << "[" << text << "] stored as [" << stored << "]";
            EXPECT_LE(std::abs(value), limit + 1.0) << "[" << text << "] stored as [" << stored << "]";
            const bool south = stored[0] == 'S' || stored[0] == 'W';
            EXPECT_TRUE(value == 0 || (value < 0) == south) << "[" << text << "] stored as [" << stored << "]";
        }
    }
    EXPECT_GT(accepted, 1000); // the alphabet reaches the texts that matter
}

// A coordinates location of a fact table, random over the letters that split
// it: when samvel takes it, its rewrite (latitude then longitude, as samvel
// writes the table) reads in the maps to the point the maps read from the
// text itself, so that a table samvel merges keeps its points where they were.
TEST(AngleAgreement, ACoordinatesLocationSamvelTakesKeepsItsPointWhenRewritten)
{
    const char* const latitudes[] = {"N35", "N35.5", "S12.30'", "N35.30'15\"", "-35.5", "N0"};
    const char* const longitudes[] = {"E139", "E139.5", "W12.30'", "E139.45'30\"", "-139.5", "E0"};
    const std::string noise = "NSEW,.'0123456789";
    std::mt19937 random(5);
    int taken = 0;
    for (int i = 0; i < 50000; ++i) {
        std::string latitude = latitudes[random() % 6], longitude = longitudes[random() % 6];
        if (latitude[0] == '-' || longitude[0] == '-')
            continue; // a location starts with its hemisphere letter
        std::string text = random() % 2 ? latitude + (random() % 4 ? "" : ",") + longitude
                                        : longitude + (random() % 4 ? "" : ",") + latitude;
        for (auto k = random() % 3; k > 0; --k)
            text.insert(1 + random() % (text.size() - 1), 1, noise[random() % noise.size()]);
        std::string storedLatitude, storedLongitude;
        Cp932Text message;
        if (!readCoordinateLocation(text, 1, storedLatitude, storedLongitude, message))
            continue;
        ++taken;
        const DistributionRecord original = classifyLocation(text);
        const DistributionRecord rewritten = classifyLocation(storedLatitude + storedLongitude);
        ASSERT_EQ(rewritten.kind, LocationKind::Coordinates) << text;
        EXPECT_EQ(original.latitude, rewritten.latitude) << text << " -> " << storedLatitude << storedLongitude;
        EXPECT_EQ(original.longitude, rewritten.longitude) << text << " -> " << storedLatitude << storedLongitude;
    }
    EXPECT_GT(taken, 5000);
    // Where the two splits differ, samvel refuses the text.
    std::string latitude, longitude;
    Cp932Text message;
    EXPECT_FALSE(readCoordinateLocation("N35W1E139", 1, latitude, longitude, message));
}

GridOrder order(int number) { return static_cast<GridOrder>(number); }

LocationKind viewerKind(GridOrder order)
{
    switch (order) {
    case GridOrder::First:
        return LocationKind::FirstOrder;
    case GridOrder::Second:
        return LocationKind::SecondOrder;
    case GridOrder::Third:
        return LocationKind::ThirdOrder;
    case GridOrder::Half:
        return LocationKind::Half;
    case GridOrder::Quarter:
        return LocationKind::Quarter;
    case GridOrder::Eighth:
        break;
    }
    return LocationKind::Eighth;
}

GeoPoint pointAt(double latitude, double longitude)
{
    const double units = static_cast<double>(GeoPoint::unitsPerDegree);
    return {std::llround(latitude * units), std::llround(longitude * units)};
}

// Every order: the code dwcimport writes for a point is read by the viewer as
// a square of that order holding the point, and the middle of that square is
// given the same code again (encode, decode, encode).
TEST(GridSquareAgreement, CodesRoundTripThroughTheViewerAtEveryOrder)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<std::int64_t> latitude(20 * GeoPoint::unitsPerDegree, 46 * GeoPoint::unitsPerDegree);
    std::uniform_int_distribution<std::int64_t> longitude(
        122 * GeoPoint::unitsPerDegree, 154 * GeoPoint::unitsPerDegree);
    for (int i = 0; i < 30000; ++i) {
        const GeoPoint point{latitude(random), longitude(random)};
        const GridOrder wanted = order(1 + i % 6);
        const std::optional<std::string> code = gridSquareCode(point, wanted);
        ASSERT_TRUE(code);
        // samvel stores the digits of the input table's mesh column after "JP".
        const DistributionRecord record = classifyLocation("JP" + *code);
        ASSERT_EQ(record.kind, viewerKind(wanted)) << *code;
        const std::optional<GridSquare> square = gridSquareOf(record);
        ASSERT_TRUE(square) << *code;

        const double pointLatitude = static_cast<double>(point.latitude) / GeoPoint::unitsPerDegree;
        const double pointLongitude = static_cast<double>(point.longitude) / GeoPoint::unitsPerDegree;
        EXPECT_GE(pointLatitude, square->latitude - 1e-9) << *code;
        EXPECT_LT(pointLatitude, square->latitude + square->latitudeExtent + 1e-9) << *code;
        EXPECT_GE(pointLongitude, square->longitude - 1e-9) << *code;
        EXPECT_LT(pointLongitude, square->longitude + square->longitudeExtent + 1e-9) << *code;

        const GeoPoint middle
            = pointAt(square->latitude + square->latitudeExtent / 2, square->longitude + square->longitudeExtent / 2);
        EXPECT_EQ(gridSquareCode(middle, wanted), code) << "the middle of " << *code;
    }
}

// The order of a count of digits that names one (4, 6, 8, 9, 10, 11 digits).
std::optional<GridOrder> orderOfCount(size_t digits)
{
    switch (digits) {
    case 4:
        return GridOrder::First;
    case 6:
        return GridOrder::Second;
    case 8:
        return GridOrder::Third;
    case 9:
        return GridOrder::Half;
    case 10:
        return GridOrder::Quarter;
    case 11:
        return GridOrder::Eighth;
    default:
        return std::nullopt;
    }
}

// Random digits of 4 to 13 places: samvel takes exactly the codes the viewer
// draws where they say. A code of an order round-trips (decode, encode) when
// samvel takes it and never when it refuses it; a 5 km or 2 km square lies in
// the second-order square its first six digits name.
TEST(GridSquareAgreement, SamvelTakesExactlyTheCodesTheMapsDrawWhereTheySay)
{
    std::mt19937 random(11);
    // Digits mostly within the ranges, so that every level is reached often.
    const std::string common = "0123456712341234";
    int taken = 0, refused = 0;
    for (int i = 0; i < 40000; ++i) {
        std::string digits = std::to_string(30 + random() % 38) + std::to_string(22 + random() % 32);
        const size_t count = 4 + random() % 10;
        while (digits.size() < count)
            digits += random() % 8 ? common[random() % common.size()] : static_cast<char>('0' + random() % 10);
        if (count == 9 && random() % 3 == 0)
            digits[8] = '5';
        const bool takes = checkSquareCode(digits).fault == SquareCodeCheck::Fault::None;
        (takes ? taken : refused) += 1;
        const DistributionRecord record = classifyLocation("JP" + digits);
        const std::optional<GridSquare> square = gridSquareOf(record);
        ASSERT_TRUE(square) << digits;
        const GeoPoint middle
            = pointAt(square->latitude + square->latitudeExtent / 2, square->longitude + square->longitudeExtent / 2);
        if (const std::optional<GridOrder> order = orderOfCount(count); order && !(count == 9 && digits[8] == '5')) {
            EXPECT_EQ(gridSquareCode(middle, *order) == digits, takes) << digits;
        } else if (takes) {
            EXPECT_EQ(gridSquareCode(middle, GridOrder::Second), digits.substr(0, 6)) << digits;
        }
    }
    EXPECT_GT(taken, 5000);
    EXPECT_GT(refused, 5000);
}

} // namespace
} // namespace tavik
