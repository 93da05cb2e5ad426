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
    BlankMapError error;
    ASSERT_TRUE(readMapLayout(path, layout, error)) << error.message;
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
        std::string message; // how the message begins
    } cases[] = {
        {"[1, 2]", "レイアウトが JSON のオブジェクトではありません"},
        {R"({"height": 10, "blocks": []})", "\"width\" がありません"},
        {R"({"width": 10.5, "height": 10, "blocks": []})", "\"width\" は整数ではありません"},
        {R"({"width": 0, "height": 10, "blocks": []})", "\"width\" は 1 から 32767 までにしてください"},
        {layoutWith(R"("comment": "a \"b\"")"), "\"comment\" には二重引用符 (\") も改行も使えません"},
        {layoutWith(R"("sea": [0.5, 0, 0])"), "\"sea\" は [赤, 緑, 青] を 0 から 255 までの整数にしてください"},
        {layoutWith(R"("sea": [255, 255, 255])"), "\"sea\"、\"land\"、\"boundary\" は 3 つとも違う色にしてください"},
        {layoutWith(R"("label": ["lat"])"), "\"label\" は [緯度のプロパティ, 経度のプロパティ] にしてください"},
        {layoutWith(R"("columns": {"5": "name"})"),
            "\"columns.5\" は名前の列ではありません。列番号は 1 から 3 か 9 から 13 にしてください"},
        {layoutWith(R"("columns": {")" + std::string(100, 'x') + R"(": "name"})"),
            "\"columns." + std::string(80, 'x') + "…\" は名前の列ではありません"},
        {layoutWith(R"("columns": {"3": 4})"), "\"columns.3\" はプロパティ名 (文字列) にしてください"},
        {layoutWith(R"("fill": "yes")"), "\"fill\" は true か false にしてください"},
        {R"({"width": 10, "height": 10, "blocks": []})",
            "\"blocks\" は 1 個から 100 個までのブロックのリストにしてください"},
        {layoutWith("", "7"), "\"blocks[0]\" は JSON のオブジェクトではありません"},
        {layoutWith("", R"({"projection": "mercator"})"),
            "\"blocks[0].projection\" は \"lambert-e-a\" か \"transverse-mercator\" にしてください"},
        {layoutWith("", R"({"projection": "lambert-e-a", "lon0": 135, "lat0": 95})"),
            "\"blocks[0].lat0\" は -90 から 90 までにしてください"},
        {layoutWith("", blockWith(R"("magnification": 3000, "km-per-pixel": 2)")),
            "\"blocks[0].magnification\" と \"km-per-pixel\" のどちらか一方だけを指定してください"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "shift-x": 0)")),
            "\"blocks[0].anchor\" か、\"shift-x\" と \"shift-y\" の組か、どちらか一方だけを指定してください"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0])")),
            "\"blocks[0].anchor\" は数値 4 個のリストにしてください"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 10.5, 10])")),
            "\"blocks[0].rect\" は [左, 上, 右, 下] を整数のピクセルで指定してください"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 201, 100])")),
            "\"blocks[0].rect\" は [左, 上, 右, 下] を画像の中に"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 10, 10],
            "select": [140, 30, 130, 40])")),
            "\"blocks[0].select\" は [西, 南, 東, 北] を、西は東より"},
        {layoutWith("", blockWith(R"("km-per-pixel": 2, "anchor": [135, 35, 0, 0], "rect": [0, 0, 10, 10],
            "select": [130, 30, 140, 40], "frame": 1)")),
            "\"blocks[0].frame\" は true か false にしてください"},
        // A syntax error: its line and its column in characters, as an editor counts them.
        {"{\n\"width\": ,\n}", "2 行目、10 文字目: JSON の書き方が正しくありません ("},
        {R"({"comment": "日本", x})", "1 行目、19 文字目: JSON の書き方が正しくありません ("},
        {R"({"width": 10)", "1 行目、13 文字目: JSON が途中で終わっています ("},
        {" \n", "2 行目、1 文字目: 中身が空です ("},
    };
    test::TestFolder folder("map_layout_faults");
    for (const Case& c : cases) {
        const std::string path = folder.write("layout.json", c.layout);
        MapLayout layout;
        BlankMapError error;
        EXPECT_FALSE(readMapLayout(path, layout, error)) << c.message;
        EXPECT_EQ(error.file, path) << c.message;
        EXPECT_EQ(error.message.rfind(c.message, 0), 0u) << error.message;
    }
    MapLayout layout;
    BlankMapError error;
    EXPECT_FALSE(readMapLayout(folder.file("none.json"), layout, error));
    EXPECT_EQ(error.file, folder.file("none.json"));
    EXPECT_EQ(error.message, "読めません (見つかりません)");
    // A device is refused, not read until memory runs out.
    EXPECT_FALSE(readMapLayout("/dev/zero", layout, error));
    EXPECT_EQ(error.file, "/dev/zero");
    EXPECT_EQ(error.message, "読めません (装置ファイルです)");
}

} // namespace
} // namespace tavik
