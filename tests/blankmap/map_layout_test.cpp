// blankmap's layout files: what a good one gives, and each fault named by
// the file and the key at fault.
#include "tools/blankmap/map_layout.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// One Lambert block over the whole of a 200 x 100 image; `block` replaces it.
std::string layoutWith(const std::string& top, const std::string& block = "")
{
    const std::string standard = R"({"comment": "main", "projection": "lambert-e-a", "lon0": 135, "lat0": 35,
        "km-per-pixel": 2, "anchor": [135, 35, 100, 50], "rect": [0, 0, 200, 100], "select": [130, 30, 140, 40]})";
    return "{" + top + (top.empty() ? "" : ", ") + R"("width": 200, "height": 100, "blocks": [)"
        + (block.empty() ? standard : block) + "]}";
}

// A block with one key changed: the text after the projection keys.
std::string blockWith(const std::string& keys)
{
    return R"({"projection": "lambert-e-a", "lon0": 135, "lat0": 35, )" + keys + "}";
}

TEST(MapLayout, AGoodLayoutGivesTheImageColoursPropertiesAndBlocks)
{
    test::TestFolder folder("map_layout");
    const std::string path = folder.write(
        "layout.json", layoutWith(R"("comment": "Japan", "sea": [0, 0, 255], "fill": false, "code": "N03_007",
        "label": ["lat", "lon"], "columns": {"3": "name", "12": "pref"})"));
    MapLayout layout;
    std::string error;
    ASSERT_TRUE(readMapLayout(path, layout, error)) << error;
    EXPECT_EQ(layout.comment, "Japan");
    EXPECT_EQ(layout.width, 200);
    EXPECT_EQ(layout.height, 100);
    EXPECT_EQ(layout.sea, (Colour{0, 0, 255}));
    EXPECT_EQ(layout.land, (Colour{255, 255, 255})); // not given: the usual colours
    EXPECT_FALSE(layout.fill);
    EXPECT_EQ(layout.properties.code, "N03_007");
    EXPECT_EQ(layout.properties.labelLatitude, "lat");
    EXPECT_EQ(layout.properties.labelLongitude, "lon");
    EXPECT_EQ(layout.properties.columns, (std::map<int, std::string>{{3, "name"}, {12, "pref"}}));
    ASSERT_EQ(layout.blocks.size(), 1u);
    const LayoutBlock& block = layout.blocks[0];
    EXPECT_EQ(block.block.comment, "main");
    EXPECT_EQ(block.block.kind, ProjectionKind::LambertEqualArea);
    // 2 km a pixel on a sphere of 6,365 km, and the anchor on its pixel.
    EXPECT_DOUBLE_EQ(block.block.lambert.magnification, 6365.0 / 2);
    EXPECT_EQ(block.block.project(135, 35), QPoint(100, 50));
    EXPECT_EQ(block.rect, QRect(0, 0, 200, 100));
    EXPECT_FALSE(block.frame);
}

TEST(MapLayout, FaultsNameTheFileAndTheKey)
{
    struct Case {
        std::string layout;
        std::string message; // after the path
    } cases[] = {
        {"[1, 2]", ": the layout is not a JSON object"},
        {R"({"height": 10, "blocks": []})", ": \"width\" is missing"},
        {R"({"width": 10.5, "height": 10, "blocks": []})", ": \"width\" is not an integer"},
        {R"({"width": 0, "height": 10, "blocks": []})", ": \"width\" lies outside 1 to 32767"},
        {layoutWith(R"("comment": "a \"b\"")"), ": \"comment\" may not hold a double quote or a line break"},
        {layoutWith(R"("sea": [0.5, 0, 0])"), ": \"sea\" is not [red, green, blue] of integers 0 to 255"},
        {layoutWith(R"("sea": [255, 255, 255])"), ": \"boundary\" sea, land and boundary need three different colours"},
        {layoutWith(R"("label": ["lat"])"), ": \"label\" is not [latitude property, longitude property]"},
        {layoutWith(R"("columns": {"5": "name"})"), ": \"columns.5\" is not a column of names: 1 to 3 or 9 to 13"},
        {layoutWith(R"("columns": {"3": 4})"), ": \"columns.3\" is not a property name"},
        {layoutWith(R"("fill": "yes")"), ": \"fill\" is not true or false"},
        {R"({"width": 10, "height": 10, "blocks": []})", ": \"blocks\" is not a list of 1 to 100 blocks"},
        {layoutWith("", "7"), ": \"blocks[0]\" is not an object"},
        {layoutWith("", R"({"projection": "mercator"})"),
            ": \"blocks[0].projection\" is neither \"lambert-e-a\" nor \"transverse-mercator\""},
        {layoutWith("", R"({"projection": "lambert-e-a", "lon0": 135, "lat0": 95})"),
            ": \"blocks[0].lat0\" lies outside -90 to 90"},
        {layoutWith("", blockWith(R"("magnification": 3000, "km-per-pixel": 2)")),
            ": \"blocks[0].magnification\" give either \"magnification\" or \"km-per-pixel\""},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "shift-x": 0)")),
            ": \"blocks[0].anchor\" give either \"anchor\" or \"shift-x\" and \"shift-y\""},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0])")),
            ": \"blocks[0].anchor\" is not a list of 4 numbers"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 10.5, 10])")),
            ": \"blocks[0].rect\" is not [left, top, right, bottom] in whole pixels"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 201, 100])")),
            ": \"blocks[0].rect\" is not [left, top, right, bottom] inside the image"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 10, 10],
            "select": [140, 30, 130, 40])")),
            ": \"blocks[0].select\" is not [west, south, east, north] with west below east"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 10, 10],
            "select": [130, 30, 140, 40], "frame": 1)")),
            ": \"blocks[0].frame\" is not true or false"},
        // A syntax error: its line and its column in characters, as an editor counts them.
        {"{\n\"width\": ,\n}", ": 2 行目、10 文字目: JSON の書き方が正しくありません ("},
        {R"({"comment": "日本", x})", ": 1 行目、19 文字目: JSON の書き方が正しくありません ("},
        {R"({"width": 10)", ": 1 行目、13 文字目: JSON が途中で終わっています ("},
        {" \n", ": 2 行目、1 文字目: 中身が空です ("},
    };
    test::TestFolder folder("map_layout_faults");
    for (const Case& c : cases) {
        const std::string path = folder.write("layout.json", c.layout);
        MapLayout layout;
        std::string error;
        EXPECT_FALSE(readMapLayout(path, layout, error)) << c.message;
        EXPECT_EQ(error.rfind(path + c.message, 0), 0u) << error;
    }
    MapLayout layout;
    std::string error;
    EXPECT_FALSE(readMapLayout(folder.file("none.json"), layout, error));
    EXPECT_EQ(error, folder.file("none.json") + ": 読めません (見つかりません)");
    // A device is refused, not read until memory runs out.
    EXPECT_FALSE(readMapLayout("/dev/zero", layout, error));
    EXPECT_EQ(error, "/dev/zero: 読めません (装置ファイルです)");
}

} // namespace
} // namespace tavik
