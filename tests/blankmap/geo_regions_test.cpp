// Boundary files (GeoJSON) as blankmap reads them into regions: polygons with
// holes, codes, label points and table texts, and each fault named by the
// file and the feature.
#include "tools/blankmap/geo_regions.h"

#include "platform/cp932.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

std::string collection(const std::string& features)
{
    return R"({"type": "FeatureCollection", "features": [)" + features + "]}";
}

// A feature with the given properties and geometry.
std::string feature(const std::string& properties, const std::string& geometry)
{
    return R"({"type": "Feature", "properties": )" + properties + R"(, "geometry": )" + geometry + "}";
}

const char* const kSquare = R"({"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [1, 1], [0, 1], [0, 0]]]})";

TEST(GeoRegions, FeaturesBecomeRegionsWithPolygonsHolesLabelsAndTexts)
{
    test::TestFolder folder("geo_regions");
    const std::string path = folder.write("regions.geojson",
        collection(feature(R"({"code": "0012", "name": "Hokkaidō 🦋", "pop": 12.5, "lat": 43, "lon": 142})",
                       R"({"type": "MultiPolygon", "coordinates": [
                            [[[140, 41], [146, 41], [146, 45], [140, 45], [140, 41]],
                             [[142, 42], [143, 42], [143, 43]]],
                            [[[139, 42], [139.5, 42], [139.5, 42.5]]]]})")
            + "," + feature(R"({"code": 7, "name": null, "pop": 3, "lat": 95, "lon": 142})", kSquare)));
    RegionProperties properties;
    properties.labelLatitude = "lat";
    properties.labelLongitude = "lon";
    properties.columns = {{3, "name"}, {9, "pop"}};
    std::vector<GeoRegion> regions;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(readGeoRegions(path, properties, regions, error, warnings)) << error;
    ASSERT_EQ(regions.size(), 2u);

    const GeoRegion& first = regions[0];
    EXPECT_EQ(first.code, 12);
    EXPECT_EQ(first.feature, 0);
    ASSERT_EQ(first.polygons.size(), 2u);
    ASSERT_EQ(first.polygons[0].rings.size(), 2u); // the outer ring and its hole
    EXPECT_EQ(first.polygons[0].rings[0].size(), 4u); // the repeated first position goes
    EXPECT_EQ(first.polygons[0].rings[1].size(), 3u); // an open ring is closed anyway
    const GeoBox box = first.polygons[0].bounds();
    EXPECT_EQ(box.west, 140);
    EXPECT_EQ(box.north, 45);
    ASSERT_TRUE(first.label.has_value());
    EXPECT_EQ(first.label->latitude, 43);
    EXPECT_EQ(first.label->longitude, 142);
    EXPECT_EQ(cp932ToUtf8(first.columns.at(3)), "Hokkaid? ?"); // cp932 lacks both: reported
    EXPECT_EQ(first.columns.at(9), "12.5");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind(path + ": feature 0: property \"name\"", 0), 0u) << warnings[0];

    const GeoRegion& second = regions[1];
    EXPECT_EQ(second.code, 7);
    EXPECT_FALSE(second.label.has_value()); // latitude 95 is no point
    EXPECT_EQ(second.columns.at(3), "");
    EXPECT_EQ(second.columns.at(9), "3");
    EXPECT_EQ(second.displayName(), "area 7 (3)");
}

TEST(GeoRegions, FaultsNameTheFileAndTheFeature)
{
    const std::string good = feature(R"({"code": 1})", kSquare);
    struct Case {
        std::string file;
        std::string message; // after "<path>: "
    } cases[] = {
        {R"({"type": "Feature"})", "not a GeoJSON FeatureCollection"},
        {R"({"type": "FeatureCollection", "features": {}})", "not a GeoJSON FeatureCollection"},
        {collection(""), "no features"},
        {collection("3"), "feature 0: not a feature"},
        {collection(good + R"(, {"type": "Feature", "properties": 5})"), "feature 1: no properties"},
        {collection(feature(R"({"name": "x"})", kSquare)), "feature 0: no property \"code\" for the area code"},
        {collection(feature(R"({"code": "12a"})", kSquare)), "feature 0: area code \"12a\" is not a number"},
        {collection(feature(R"({"code": 0})", kSquare)), "feature 0: area code 0 is not between 1 and 2147483647"},
        {collection(feature(R"({"code": 2147483648})", kSquare)),
            "feature 0: area code 2147483648 is not between 1 and 2147483647"},
        {collection(feature(R"({"code": true})", kSquare)), "feature 0: property \"code\" is not an area code"},
        {collection(feature(R"({"code": 1})", "null")), "feature 0: no geometry with a type and coordinates"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": []})")),
            "feature 0: a polygon has no rings"},
        {collection(feature(R"({"code": 1})", R"({"type": "MultiPolygon", "coordinates": []})")),
            "feature 0: a MultiPolygon without polygons"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [0, 0]]]})")),
            "feature 0: a ring has fewer than three positions"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": [[[0, 0], ["1", 0], [1, 1]]]})")),
            "feature 0: a position is not [longitude, latitude]"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": [[[0, 0], [181, 0], [1, 1]]]})")),
            "feature 0: a position lies outside -180 to 180 degrees of longitude"},
    };
    test::TestFolder folder("geo_region_faults");
    for (const Case& c : cases) {
        const std::string path = folder.write("regions.geojson", c.file);
        std::vector<GeoRegion> regions;
        std::string error;
        std::vector<std::string> warnings;
        EXPECT_FALSE(readGeoRegions(path, RegionProperties(), regions, error, warnings)) << c.message;
        EXPECT_EQ(error.rfind(path + ": " + c.message, 0), 0u) << error;
    }
}

} // namespace
} // namespace tavik
