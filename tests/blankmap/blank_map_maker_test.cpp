// blankmap on a hand-made map of two square regions: the pixels it draws, the
// definition as the viewer reads it, and area points from which the viewer's
// flood fill covers each region and nothing else.
#include "tools/blankmap/blank_map_maker.h"

#include "imagefiles/image_files.h"
#include "platform/file_lock.h"
#include "platform/message_sink.h"
#include "tests/support/fault_injection.h"
#include "tests/support/process_run.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_folder.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/render/flood_fill.h"
#include "viewer/settings/area_table.h"

#include <QImage>
#include <QPolygonF>

#include <gtest/gtest.h>

namespace tavik {
namespace {

// West: lon 134-135, lat 34-35, with an island far smaller than a pixel at
// (134.5, 33.7). East: lon 135-136, lat 34-35, with a peninsula a sixth of a
// pixel wide reaching 0.4 degrees further east along lat 34.5.
const char* const kSquares = R"({"type": "FeatureCollection", "features": [
 {"type": "Feature", "properties": {"code": 1, "name": "West", "lat": 34.5, "lon": 134.5},
  "geometry": {"type": "MultiPolygon", "coordinates": [
   [[[134, 34], [135, 34], [135, 35], [134, 35], [134, 34]]],
   [[[134.5, 33.7], [134.503, 33.7], [134.503, 33.703], [134.5, 33.703], [134.5, 33.7]]]]}},
 {"type": "Feature", "properties": {"code": "2", "name": "East", "lat": 33.5, "lon": 135.5},
  "geometry": {"type": "Polygon", "coordinates": [
   [[135, 34], [136, 34], [136, 34.5], [136.4, 34.5], [136.4, 34.503], [136, 34.503], [136, 35], [135, 35],
    [135, 34]]]}}]})";

// One Lambert block centred on (135, 34.5) at pixel (70, 50), 2 km a pixel.
const char* const kMainBlock = R"({"comment": "main", "projection": "lambert-e-a", "lon0": 135, "lat0": 34.5,
  "km-per-pixel": 2, "anchor": [135, 34.5, 70, 50], "rect": [0, 0, 140, 100], "select": [130, %s, 140, 40]})";

const char* const kInsetBlock = R"({"comment": "island", "projection": "lambert-e-a", "lon0": 134.5, "lat0": 33.7,
  "km-per-pixel": 0.05, "anchor": [134.5015, 33.7015, 20, 15], "rect": [0, 0, 40, 30],
  "select": [134.4, 33.6, 134.6, 33.8], "frame": true})";

std::string layoutText(const std::string& blocks)
{
    return R"({"comment": "two squares", "width": 140, "height": 100,
  "sea": [192, 255, 255], "land": [255, 255, 255], "boundary": [128, 128, 128],
  "label": ["lat", "lon"], "columns": {"3": "name", "10": "name"}, "blocks": [)"
        + blocks + "]}";
}

std::string mainBlock(const char* south = "30")
{
    char text[1024];
    std::snprintf(text, sizeof text, kMainBlock, south);
    return text;
}

constexpr QRgb kSea = 0xFFC0FFFF, kLand = 0xFFFFFFFF, kBoundary = 0xFF808080, kRed = 0xFFFF0000;

class BlankMapMakerTest : public ::testing::Test {
protected:
    BlankMapMakerTest()
        : folder("blankmap")
    {
        folder.write("squares.geojson", kSquares);
    }

    bool make(const std::string& layout)
    {
        request.layoutPath = folder.write("layout.json", layout);
        request.boundaryPath = folder.file("squares.geojson");
        request.imagePath = folder.file("map.png");
        request.areaTablePath = folder.file("area.csv");
        error = {};
        return BlankMapMaker().make(request, nullptr, error);
    }

    QImage image() const
    {
        return QImage(QString::fromStdString(request.imagePath)).convertToFormat(QImage::Format_RGB32);
    }

    // A region's outline in pixels of a block, from many points along its
    // edges: what the image should show, found without blankmap.
    static QPolygonF outline(const MapBlock& block, const std::vector<std::pair<double, double>>& corners)
    {
        QPolygonF polygon;
        for (size_t i = 0; i < corners.size(); ++i) {
            auto [x0, y0] = corners[i];
            auto [x1, y1] = corners[(i + 1) % corners.size()];
            for (int step = 0; step < 100; ++step)
                polygon << block.imagePosition(x0 + (x1 - x0) * step / 100, y0 + (y1 - y0) * step / 100);
        }
        return polygon;
    }
    // True when a pixel's square and the outline's inside meet.
    static bool touches(const QPolygonF& polygon, int x, int y)
    {
        return polygon.intersects(QPolygonF(QRectF(x, y, 1, 1)));
    }

    test::TestFolder folder;
    BlankMapRequest request;
    BlankMapError error;
};

const std::vector<std::pair<double, double>> kWest = {{134, 34}, {135, 34}, {135, 35}, {134, 35}};
const std::vector<std::pair<double, double>> kEast
    = {{135, 34}, {136, 34}, {136, 34.5}, {136.4, 34.5}, {136.4, 34.503}, {136, 34.503}, {136, 35}, {135, 35}};

TEST_F(BlankMapMakerTest, EachAreaPointFloodFillsItsRegionAndNothingElse)
{
    ASSERT_TRUE(make(layoutText(mainBlock()))) << error.message;
    BlankMap blankMap;
    MessageLog log;
    ASSERT_TRUE(blankMap.load(folder.file("map.cfg"), log));
    const MapBlock& block = blankMap.blocks().at(0);
    AreaTable areas;
    ASSERT_EQ(areas.load(request.areaTablePath, 10), AreaTableStatus::Ok);
    ASSERT_EQ(areas.rows().size(), 2u);

    const QImage map = image();
    ASSERT_EQ(map.size(), QSize(140, 100));
    EXPECT_EQ(map.pixel(1, 1), kSea);
    const QImage clip = block.clipMask(map.size());
    const QPolygonF regions[2] = {outline(block, kWest), outline(block, kEast)};
    for (int i = 0; i < 2; ++i) {
        const AreaRecord& area = areas.rows()[i];
        EXPECT_EQ(area.code, i + 1);
        EXPECT_TRUE(area.fill);
        // The point projects onto the pixel the table gives, a land pixel.
        const QPoint seed = block.project(area.longitude, area.latitude);
        EXPECT_EQ(seed, QPoint(area.x, area.y));
        EXPECT_TRUE(regions[i].containsPoint(QPointF(seed) + QPointF(0.5, 0.5), Qt::OddEvenFill));

        QImage filled = map;
        floodFill(filled, seed, kRed, &clip);
        int red = 0, inside = 0, strays = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 140; ++x) {
                const bool isRed = filled.pixel(x, y) == kRed;
                red += isRed;
                inside += regions[i].containsPoint(QPointF(x + 0.5, y + 0.5), Qt::OddEvenFill);
                strays += isRed && !touches(regions[i], x, y);
            }
        }
        EXPECT_EQ(strays, 0) << "area " << i + 1 << " leaks";
        // Boundaries take a line of pixels: most of the region still fills.
        EXPECT_GT(red, inside * 85 / 100) << "area " << i + 1;
    }

    // The West point is its label point; East's label lies in the sea, so
    // its point was found on the map.
    EXPECT_DOUBLE_EQ(areas.rows()[0].latitude, 34.5);
    EXPECT_DOUBLE_EQ(areas.rows()[0].longitude, 134.5);
    EXPECT_NE(areas.rows()[1].latitude, 33.5);

    // The peninsula hangs on to East: its tip fills with East.
    QImage east = map;
    floodFill(east, QPoint(areas.rows()[1].x, areas.rows()[1].y), kRed, &clip);
    const QPoint tip = block.project(136.39, 34.5015);
    EXPECT_EQ(east.pixel(tip), kRed);
    // The island keeps a land pixel, outside West's fill.
    const QPoint island = block.project(134.5015, 33.7015);
    EXPECT_EQ(map.pixel(island), kLand);

    // The table's skeleton: code, names from properties, point, pixel, fill flag.
    const std::string table = folder.read("area.csv");
    const std::string west = "1,,,West," + std::string("N34.500000,E134.500000,") + std::to_string(areas.rows()[0].x)
        + "," + std::to_string(areas.rows()[0].y) + ",F,,West\r\n";
    EXPECT_EQ(table.substr(0, west.size()), west);
}

TEST_F(BlankMapMakerTest, DefinitionReadsBackAsTheViewerReadsIt)
{
    ASSERT_TRUE(make(layoutText(mainBlock()))) << error.message;
    BlankMap blankMap;
    MessageLog log;
    ASSERT_TRUE(blankMap.load(folder.file("map.cfg"), log));
    EXPECT_TRUE(log.messages.empty());
    ASSERT_EQ(blankMap.blocks().size(), 1u);
    const MapBlock& block = blankMap.blocks()[0];
    EXPECT_EQ(block.comment, "main");
    EXPECT_EQ(block.kind, ProjectionKind::LambertEqualArea);
    EXPECT_DOUBLE_EQ(block.lambert.lon0, 135.0);
    EXPECT_DOUBLE_EQ(block.lambert.lat0, 34.5);
    EXPECT_DOUBLE_EQ(block.lambert.magnification, 6365.0 / 2);
    EXPECT_EQ(block.project(135, 34.5), QPoint(70, 50));
    EXPECT_EQ(block.polygon, (std::vector<QPoint>{{0, 0}, {140, 0}, {140, 100}, {0, 100}}));

    // An 8-bit image with the standard palette.
    DecodedImage decoded;
    ASSERT_EQ(readPng(request.imagePath, decoded), ImageReadStatus::Ok);
    EXPECT_EQ(decoded.palette.size(), 256u);
}

TEST_F(BlankMapMakerTest, AnInsetDrawsOnlyWhatItSelectsInsideItsFrame)
{
    // The main block no longer selects the island (south edge 34).
    ASSERT_TRUE(make(layoutText(mainBlock("34") + "," + kInsetBlock))) << error.message;
    BlankMap blankMap;
    MessageLog log;
    ASSERT_TRUE(blankMap.load(folder.file("map.cfg"), log));
    ASSERT_EQ(blankMap.blocks().size(), 2u);
    // The main block's outline leaves the inset out.
    EXPECT_EQ(blankMap.blocks()[0].polygon,
        (std::vector<QPoint>{{40, 0}, {140, 0}, {140, 100}, {0, 100}, {0, 30}, {40, 30}}));
    EXPECT_EQ(blankMap.blocks()[1].polygon, (std::vector<QPoint>{{0, 0}, {40, 0}, {40, 30}, {0, 30}}));

    const QImage map = image();
    const MapBlock& main = blankMap.blocks()[0];
    const MapBlock& inset = blankMap.blocks()[1];
    EXPECT_EQ(map.pixel(inset.project(134.5015, 33.7015)), kLand);
    EXPECT_EQ(map.pixel(main.project(134.5015, 33.7015)), kSea);
    EXPECT_EQ(map.pixel(main.project(134.5, 34.5)), kLand);
    // The frame runs round the inset's outline.
    for (QPoint p : {QPoint(0, 0), QPoint(39, 10), QPoint(20, 29), QPoint(0, 15)})
        EXPECT_EQ(map.pixel(p), kBoundary) << p.x() << "," << p.y();
    EXPECT_EQ(map.pixel(45, 10), kSea);

    // West's point stays on its largest polygon, in the main block.
    AreaTable areas;
    ASSERT_EQ(areas.load(request.areaTablePath, 10), AreaTableStatus::Ok);
    EXPECT_EQ(main.project(areas.rows()[0].longitude, areas.rows()[0].latitude),
        QPoint(areas.rows()[0].x, areas.rows()[0].y));
    EXPECT_GT(areas.rows()[0].x, 40);
}

TEST_F(BlankMapMakerTest, FaultsNameTheFileAndWriteNothing)
{
    const std::string good = layoutText(mainBlock());
    struct Case {
        const char* what;
        std::string layout;
        std::string boundaries;
        std::string file; // the file at fault
        std::string text; // in the message
    } cases[] = {
        {"GeoJSON syntax", good, "{\"type\": \"FeatureCollection\",\n\"features\": [,]}", "squares.geojson",
            "2 行目、14 文字目: JSON の書き方が正しくありません"},
        {"no code", good,
            R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {},
              "geometry": {"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [1, 1]]]}}]})",
            "squares.geojson", "地物 0: 地域コードのプロパティ \"code\" がありません"},
        {"a point", good,
            R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {"code": 4},
              "geometry": {"type": "Point", "coordinates": [0, 0]}}]})",
            "squares.geojson", "type \"Point\" では地域を作れません。Polygon か MultiPolygon にしてください"},
        {"code twice", good,
            R"({"type": "FeatureCollection", "features": [
              {"type": "Feature", "properties": {"code": 4}, "geometry": {"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [1, 1]]]}},
              {"type": "Feature", "properties": {"code": "4"}, "geometry": {"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [1, 1]]]}}]})",
            "squares.geojson", "地物 1: 地域コード 4 は前の地物にもあります"},
        {"colour off the palette", R"({"width": 10, "height": 10, "sea": [200, 200, 200], "blocks": []})", kSquares,
            "layout.json", "\"sea\" は標準パレットの色ではありません"},
        // Refused at once, before anything is allocated or drawn.
        {"too many pixels", R"({"width": 32767, "height": 32767, "blocks": []})", kSquares, "layout.json",
            "\"height\" と \"width\" を掛けると 1073676289 ピクセルになります。白地図は 100000000 ピクセルまでです"},
        {"no rectangle", layoutText(R"({"projection": "lambert-e-a", "lon0": 135, "lat0": 34.5, "magnification": 3000,
            "shift-x": 0, "shift-y": 0, "select": [130, 30, 140, 40]})"),
            kSquares, "layout.json", "\"blocks[0].rect\" がありません"},
        {"anchor and shifts",
            layoutText(R"({"projection": "lambert-e-a", "lon0": 135, "lat0": 34.5, "magnification": 3000,
            "shift-x": 0, "anchor": [135, 34.5, 1, 1], "rect": [0, 0, 10, 10], "select": [130, 30, 140, 40]})"),
            kSquares, "layout.json",
            "\"blocks[0].anchor\" か、\"shift-x\" と \"shift-y\" の組か、どちらか一方だけを指定してください"},
        {"Lambert shift out of range", layoutText(R"({"projection": "lambert-e-a", "lon0": 135, "lat0": 34.5,
            "magnification": 3000, "shift-x": 2, "shift-y": 0, "rect": [0, 0, 10, 10], "select": [130, 30, 140, 40]})"),
            kSquares, "layout.json", "\"blocks[0].shift-x\" は -1 から 1 までにしてください"},
        {"covered block", layoutText(mainBlock() + "," + mainBlock()), kSquares, "layout.json",
            "ブロック 1 (main): 後のブロックに全体が覆われています"},
    };
    for (const Case& c : cases) {
        folder.write("squares.geojson", c.boundaries);
        EXPECT_FALSE(make(c.layout)) << c.what;
        EXPECT_EQ(error.file, folder.file(c.file)) << c.what << ": " << error.message;
        EXPECT_NE(error.message.find(c.text), std::string::npos) << c.what << ": " << error.message;
        EXPECT_FALSE(std::filesystem::exists(request.imagePath)) << c.what;
    }
    request.layoutPath = folder.file("no_such_layout.json");
    EXPECT_FALSE(BlankMapMaker().make(request, nullptr, error));
    EXPECT_EQ(error.file, folder.file("no_such_layout.json"));
    EXPECT_EQ(error.message, "読めません (見つかりません)");

    // The definition is read back through a temporary file: a temporary
    // folder that cannot take it is the file at fault, not the layout.
    folder.write("squares.geojson", kSquares);
    const test::ScopedEnvironment noFolder("TMPDIR", folder.file("no_such_folder"));
    EXPECT_FALSE(make(good));
    EXPECT_EQ(error.file, folder.file("no_such_folder"));
    EXPECT_EQ(error.message.rfind("一時ファイルを作れません (", 0), 0u) << error.message;
}

// The image, its definition and the area table belong together: a target
// that cannot be written stops the run before any is replaced, where a new
// definition beside the old image projected every map wrongly.
TEST_F(BlankMapMakerTest, TheThreeFilesAreReplacedTogetherOrNotAtAll)
{
    ASSERT_TRUE(make(layoutText(mainBlock()))) << error.message;
    const std::string image = folder.read("map.png"), definition = folder.read("map.cfg");
    const std::string areas = folder.read("area.csv");
    const std::string other = layoutText(mainBlock("34") + "," + kInsetBlock);

    // 0444 marks a file read-only, for root too.
    std::filesystem::permissions(folder.file("area.csv"), std::filesystem::perms(0444));
    EXPECT_FALSE(make(other));
    EXPECT_EQ(error.file, folder.file("area.csv"));
    EXPECT_EQ(error.message, "地域テーブルを書けません (書き込み禁止のファイルです)");
    std::filesystem::permissions(folder.file("area.csv"), std::filesystem::perms(0644));
    std::filesystem::remove(folder.file("map.png"));
    std::filesystem::create_directories(folder.file("map.png"));
    EXPECT_FALSE(make(other));
    EXPECT_EQ(error.file, folder.file("map.png"));
    EXPECT_EQ(error.message, "画像を書けません (通常のファイルではありません (フォルダ・装置・パイプなど))");
    std::filesystem::remove(folder.file("map.png"));
    folder.write("map.png", image);
    EXPECT_EQ(folder.read("map.cfg"), definition);
    EXPECT_EQ(folder.read("area.csv"), areas);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 5); // no temporary file

    ASSERT_TRUE(make(other)) << error.message;
    EXPECT_NE(folder.read("map.cfg"), definition);
    EXPECT_NE(folder.read("map.png"), image);
}

// The program holds the database lock while it replaces the files, and
// removes the temporary files a killed run left beside them.
TEST_F(BlankMapMakerTest, RunsUnderTheDatabaseLock)
{
    const test::ScopedEnvironment shortWait = test::shortLockWait();
    request.lockPath = folder.file("tavik.lock");
    folder.write("map.png.tavik-Ab12Cd", "half an image");
    {
        FileLock held;
        ASSERT_EQ(held.acquire(request.lockPath, std::chrono::seconds(0)), FileLock::Status::Locked);
        EXPECT_FALSE(make(layoutText(mainBlock())));
        EXPECT_EQ(error.file, folder.file("tavik.lock"));
        EXPECT_EQ(error.message.rfind("ほかのプログラム", 0), 0u) << error.message;
        EXPECT_FALSE(std::filesystem::exists(folder.file("map.png")));
    }
    ASSERT_TRUE(make(layoutText(mainBlock()))) << error.message;
    EXPECT_FALSE(std::filesystem::exists(folder.file("map.png.tavik-Ab12Cd")));
}

// What the program tells its user, in Japanese: what each block drew, what
// may need a look, the files written; and a fault of either input on
// standard error, the file on one line and the message on the next, with
// status 1.
TEST_F(BlankMapMakerTest, TheProgramReportsWhatItDidAndEachFaultWithItsFile)
{
    // A third area far off the map, and the main block no longer selects
    // West's island (south edge 34), which still lies inside its outline.
    std::string boundaries = kSquares;
    boundaries.insert(boundaries.rfind("]}"), R"(, {"type": "Feature", "properties": {"code": 3, "name": "Far"},
        "geometry": {"type": "Polygon", "coordinates": [[[100, 10], [101, 10], [101, 11], [100, 10]]]}})");
    folder.write("squares.geojson", boundaries);
    folder.write("layout.json", layoutText(mainBlock("34")));
    auto run = [&] {
        return test::runProcess({test::builtProgram("blankmap"),
            {"-a", "area.csv", "layout.json", "squares.geojson", "map.png"}, folder.path()});
    };
    test::ProcessResult made = run();
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "");
    EXPECT_EQ(made.out,
        "ブロック 1 (main): 2 地域のポリゴン 2 個を描きました\n"
        "地域コード 1 (West): ポリゴン 2 個のうち 1 個は、どのブロックの \"select\" にも入りません\n"
        "警告: 地域コード 1 (West): ブロック 1 (main) が描かないポリゴンが、そのブロックの輪郭の内側に来ます "
        "(記録がそこの海に描かれます)\n"
        "地域コード 3 (Far): ポリゴン 1 個のうち 1 個は、どのブロックの \"select\" にも入りません\n"
        "警告: 地域コード 3 (Far) は地図上に陸がないので、地域テーブルの行に代表点がありません\n"
        "代表点: 1 地域はラベル点、1 地域は地図から探した点です\n"
        "書きました: map.png (140 × 100 ピクセル)、map.cfg (ブロック 1 個)、area.csv (地域 3 個)\n");

    const std::string image = folder.read("map.png");
    folder.write("layout.json", R"({"height": 10, "blocks": []})");
    test::ProcessResult refused = run();
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "layout.json\n\"width\" がありません\n");

    folder.write("layout.json", layoutText(mainBlock()));
    folder.write("squares.geojson", R"({"type": "FeatureCollection", "features": [{"type": "Feature",
        "properties": {"code": 1}, "geometry": {"type": "LineString", "coordinates": [[0, 0], [1, 1]]}}]})");
    refused = run();
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
        "squares.geojson\n地物 0: geometry の type \"LineString\" では地域を作れません。"
        "Polygon か MultiPolygon にしてください\n");
    EXPECT_EQ(folder.read("map.png"), image); // neither fault replaced the map
}

// Texts of the inputs, and file names, can hold any character: an escape
// sequence in a region's code or name, or in a name on the command line,
// reaches the terminal shown, never as a command.
TEST_F(BlankMapMakerTest, ControlCharactersOfTheInputsReachTheTerminalEscaped)
{
    auto run = [&](std::vector<std::string> arguments) {
        return test::runProcess({test::builtProgram("blankmap"), std::move(arguments), folder.path()});
    };
    folder.write("layout.json", layoutText(mainBlock("34")));
    folder.write("squares.geojson", R"({"type": "FeatureCollection", "features": [{"type": "Feature",
        "properties": {"code": "\u001b[2J\n"}, "geometry": {"type": "Point", "coordinates": [0, 0]}}]})");
    test::ProcessResult refused = run({"layout.json", "squares.geojson", "map.png"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "squares.geojson\n地物 0: 地域コード \"\\x1B[2J\\n\" は数字 (10 桁まで) にしてください\n");

    // A file name: its line stays one.
    refused = run({"lay\x1B]0;x\x07\nout.json", "squares.geojson", "map.png"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "lay\\x1B]0;x\\x07\\nout.json\n読めません (見つかりません)\n");

    refused = run({"-\x1B[2J", "layout.json", "squares.geojson", "map.png"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.rfind("blankmap: 分からないオプションです: -\\x1B[2J\n\n使い方: ", 0), 0u) << refused.err;

    // A region's name in the lines of the report on standard output.
    std::string boundaries = kSquares;
    boundaries.replace(boundaries.find("\"West\""), 6, R"("We\u001b]0;x\u0007st")");
    folder.write("squares.geojson", boundaries);
    test::ProcessResult made = run({"layout.json", "squares.geojson", "map.png"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("地域コード 1 (We\\x1B]0;x\\x07st): ポリゴン 2 個のうち 1 個は"), std::string::npos)
        << made.out;
    EXPECT_EQ(made.out.find('\x1B'), std::string::npos);
}

// The definition is read back through a temporary file: a disk that will not
// take it is the fault of the temporary folder, with its reason, not of the
// layout.
TEST_F(BlankMapMakerTest, ATemporaryFileThatCannotBeWrittenIsTheFolderFault)
{
    if (!test::canInjectFaults())
        GTEST_SKIP() << "strace cannot inject a failure here";
    folder.write("layout.json", layoutText(mainBlock()));
    test::ProcessCall call(
        test::builtProgram("blankmap"), {"layout.json", "squares.geojson", "map.png"}, folder.path());
    call.environment = {"TMPDIR=" + folder.path()};
    // The first write() of a run is the one of the temporary file.
    test::ProcessResult result = test::runProcess(test::withSystemCallFailing(call, "write", "ENOSPC", "1"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, folder.path() + "\n一時ファイルを書けません (ディスクに空きがありません)\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("map.png")));
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().filename().string().rfind("blankmap-", 0), 0u) << "left behind: " << entry.path();
}

// Boundaries larger than the memory there is: the fault is reported, where
// the parser's half-built tree used to end the program (SIGABRT).
TEST_F(BlankMapMakerTest, BoundariesLargerThanMemoryAreReported)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    std::string features;
    for (int i = 0; i < 400000; ++i) {
        const std::string x = std::to_string(130 + (i % 1000) * 0.01), y = std::to_string(30 + (i / 1000) * 0.01);
        features += std::string(i ? "," : "") + R"({"type": "Feature", "properties": {"code": )" + std::to_string(i + 1)
            + R"(}, "geometry": {"type": "Polygon", "coordinates": [[[)" + x + "," + y + "],[" + x + ",31],[131,31],["
            + x + "," + y + "]]]}}";
    }
    folder.write("big.geojson", R"({"type": "FeatureCollection", "features": [)" + features + "]}");
    folder.write("layout.json", layoutText(mainBlock()));
    test::ProcessCall call("prlimit",
        {"--as=600000000", "--", test::builtProgram("blankmap"), "layout.json", "big.geojson", "map.png"},
        folder.path());
    test::ProcessResult result = test::runProcess(call);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "big.geojson\nメモリが足りません.\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("map.png")));
}

} // namespace
} // namespace tavik
