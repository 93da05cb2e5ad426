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
    BlankMapError error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(readGeoRegions(path, properties, regions, error, warnings)) << error.message;
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
    EXPECT_EQ(warnings[0],
        path
            + ": 地物 0: プロパティ \"name\" (Hokkaidō 🦋) に cp932 にない文字があるので、\"?\" "
              "にしました");

    const GeoRegion& second = regions[1];
    EXPECT_EQ(second.code, 7);
    EXPECT_FALSE(second.label.has_value()); // latitude 95 is no point
    EXPECT_EQ(second.columns.at(3), "");
    EXPECT_EQ(second.columns.at(9), "3");
    EXPECT_EQ(second.displayName(), "地域コード 7 (3)");
}

TEST(GeoRegions, FaultsNameTheFileAndTheFeature)
{
    const std::string good = feature(R"({"code": 1})", kSquare);
    struct Case {
        std::string file;
        std::string message; // how the message begins
    } cases[] = {
        {R"({"type": "Feature"})", "GeoJSON の FeatureCollection ではありません"},
        {R"({"type": "FeatureCollection", "features": {}})", "GeoJSON の FeatureCollection ではありません"},
        {collection(""), "地物が 1 つもありません"},
        {collection("3"), "地物 0: 地物 (Feature) ではありません"},
        {collection(good + R"(, {"type": "Feature", "properties": 5})"),
            "地物 1: \"properties\" がオブジェクトではありません"},
        {collection(feature(R"({"name": "x"})", kSquare)), "地物 0: 地域コードのプロパティ \"code\" がありません"},
        {collection(feature(R"({"code": "12a"})", kSquare)),
            "地物 0: 地域コード \"12a\" は数字 (10 桁まで) にしてください"},
        // A long text is cut short, a control character shown escaped.
        {collection(feature(R"({"code": ")" + std::string(100, '1') + R"("})", kSquare)),
            "地物 0: 地域コード \"" + std::string(80, '1') + "…\" は数字 (10 桁まで) にしてください"},
        {collection(feature(R"({"code": "\u001b[2J\n"})", kSquare)),
            "地物 0: 地域コード \"\\x1B[2J\\n\" は数字 (10 桁まで) にしてください"},
        {collection(feature(R"({"code": 0})", kSquare)),
            "地物 0: 地域コード 0 は 1 から 2147483647 までにしてください"},
        {collection(feature(R"({"code": 2147483648})", kSquare)),
            "地物 0: 地域コード 2147483648 は 1 から 2147483647 までにしてください"},
        {collection(feature(R"({"code": true})", kSquare)),
            "地物 0: プロパティ \"code\" が地域コード (整数か、数字だけの文字列) ではありません"},
        {collection(feature(R"({"code": 1})", "null")),
            "地物 0: \"type\" と \"coordinates\" を持つ \"geometry\" がありません"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": []})")),
            "地物 0: ポリゴンに座標の輪 (リング) がありません"},
        {collection(feature(R"({"code": 1})", R"({"type": "MultiPolygon", "coordinates": []})")),
            "地物 0: MultiPolygon にポリゴンがありません"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [0, 0]]]})")),
            "地物 0: 座標の輪 (リング) の位置が 3 つ未満です"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": [[[0, 0], ["1", 0], [1, 1]]]})")),
            "地物 0: 位置が [経度, 緯度] になっていません"},
        {collection(feature(R"({"code": 1})", R"({"type": "Polygon", "coordinates": [[[0, 0], [181, 0], [1, 1]]]})")),
            "地物 0: 位置が経度 -180 から 180 度、緯度 -90 から 90 度の範囲の外にあります"},
    };
    test::TestFolder folder("geo_region_faults");
    for (const Case& c : cases) {
        const std::string path = folder.write("regions.geojson", c.file);
        std::vector<GeoRegion> regions;
        BlankMapError error;
        std::vector<std::string> warnings;
        EXPECT_FALSE(readGeoRegions(path, RegionProperties(), regions, error, warnings)) << c.message;
        EXPECT_EQ(error.file, path) << c.message;
        EXPECT_EQ(error.message.rfind(c.message, 0), 0u) << error.message;
    }
}

} // namespace
} // namespace tavik
