#include "viewer/basemap/blank_map.h"

#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "viewer/basemap/projection.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tavik {
namespace {

const std::string kData = TAVIK_TEST_DATA "/basemap/";

TEST(BlankMap, ReadsBlocksWithTheirProjectionsAndOutlines)
{
    BlankMap map;
    MessageLog log;
    ASSERT_TRUE(map.load(kData + "two_blocks.cfg", log));
    EXPECT_TRUE(log.messages.empty());
    ASSERT_EQ(map.blocks().size(), 2u);

    const MapBlock& main = map.blocks()[0];
    EXPECT_EQ(main.comment, "main islands");
    EXPECT_EQ(main.kind, ProjectionKind::TransverseMercator);
    // "E135" passes the range check as the number 0 and is read as 135 degrees.
    EXPECT_DOUBLE_EQ(main.transverseMercator.lon0, 135.0);
    EXPECT_DOUBLE_EQ(main.transverseMercator.rotation, 90 * 0.017453292519943278);
    EXPECT_DOUBLE_EQ(main.transverseMercator.shiftX, 500000.0);
    EXPECT_DOUBLE_EQ(main.transverseMercator.shiftY, 4500000.0);
    EXPECT_DOUBLE_EQ(main.transverseMercator.magnification, 0.001);
    ASSERT_EQ(main.polygon.size(), 4u);
    EXPECT_EQ(main.polygon[2], QPoint(600, 800));

    const MapBlock& inset = map.blocks()[1];
    EXPECT_EQ(inset.kind, ProjectionKind::LambertEqualArea);
    EXPECT_DOUBLE_EQ(inset.lambert.lon0, 127.3);
    EXPECT_DOUBLE_EQ(inset.lambert.lat0, 26.0);
    EXPECT_DOUBLE_EQ(inset.lambert.rotation, -5.5 * 0.017453292519943278);
    EXPECT_DOUBLE_EQ(inset.lambert.shiftY, -0.02);
    EXPECT_EQ(inset.polygon.size(), 3u);

    // Each block projects with its own parameters.
    EXPECT_EQ(inset.project(127.3, 26.0), QPoint(200, -400));
}

TEST(BlankMap, DefinitionWithoutProjectionKeepsKindZero)
{
    BlankMap map;
    MessageLog log;
    ASSERT_TRUE(map.load(kData + "no_projection.cfg", log));
    ASSERT_EQ(map.blocks().size(), 1u);
    EXPECT_EQ(map.blocks()[0].kind, ProjectionKind::None);
    EXPECT_EQ(map.blocks()[0].project(15.9, 12.2), QPoint(15, 12));
}

TEST(BlankMap, RefusesUnusableDefinitionsAndKeepsTheBlocksItHad)
{
    BlankMap map;
    MessageLog log;
    ASSERT_TRUE(map.load(kData + "two_blocks.cfg", log));

    // Text beside the blank-map element, no blocks, or a parse error.
    for (const char* name :
        {"leading_blank.cfg", "trailing_blank.cfg", "empty.cfg", "parse_error.cfg", "missing.cfg"}) {
        SCOPED_TRACE(name);
        log.messages.clear();
        EXPECT_FALSE(map.load(kData + name, log));
        EXPECT_EQ(map.blocks().size(), 2u);
    }
    // The parse error is shown with its place in the file under its title.
    log.messages.clear();
    map.load(kData + "parse_error.cfg", log);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.utf8Texts()[0],
        kData
            + "parse_error.cfg  白地図定義ファイル読み込みエラー\n"
              "line: 4   column: 17   lon0=135 \n 属性値が引用符で囲まれていません。\n");
    // An empty blank map is reported by the schema check.
    log.messages.clear();
    map.load(kData + "empty.cfg", log);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.utf8Texts()[0].find("<blank-map : さらに入れ子タグが必要です."), std::string::npos);
}

TEST(BlankMap, BuildsFromTheTreeAfterSchemaFindings)
{
    test::TestFolder folder("blank_map_findings");
    const std::string path = folder.file("blank_map_findings.cfg");
    {
        std::ofstream out(path);
        out << "<blank-map>\n<map-block>\n<projection><lambert-e-a lon0=\"200\" magnification=\"10\"/></projection>\n"
               "<polygon>\n";
        for (int i = 0; i < 65; ++i)
            out << "<vertex x=\"" << i << "\" y=\"1\"/>\n";
        out << "</polygon>\n</map-block>\n</blank-map>\n";
    }
    BlankMap map;
    MessageLog log;
    ASSERT_TRUE(map.load(path, log));
    ASSERT_EQ(log.messages.size(), 1u);
    const std::string text = log.utf8Texts()[0];
    EXPECT_EQ(text.find(path + "  白地図定義ファイル読み込み\n"), 0u);
    EXPECT_NE(
        text.find("<lambert-e-a .. lon0=\"200\" : 上限値を上回っています.  lon0 > MAX 180.0\n"), std::string::npos);
    EXPECT_NE(text.find("line: 69   column: 1   <vertex : タグが多すぎます. Max:  64\n"), std::string::npos);
    ASSERT_EQ(map.blocks().size(), 1u);
    EXPECT_EQ(map.blocks()[0].polygon.size(), 64u);
    EXPECT_EQ(map.blocks()[0].polygon.back(), QPoint(63, 1));
    EXPECT_DOUBLE_EQ(map.blocks()[0].lambert.lon0, 200.0);
    std::remove(path.c_str());
}

TEST(BlankMap, TakesTheDefinitionBesideTheImageOrTheBuiltInOne)
{
    EXPECT_EQ(BlankMap::definitionPath("maps\\japan.png"), "maps\\japan.cfg");
    EXPECT_EQ(BlankMap::definitionPath(".\\BlankMap\\a.b\\map"), ".\\BlankMap\\a.b\\map.cfg");

    BlankMap map;
    MessageLog log;
    ASSERT_TRUE(map.loadForImage(kData + "no_such_map.png", log));
    ASSERT_EQ(map.blocks().size(), 1u);
    EXPECT_EQ(map.blocks()[0].kind, ProjectionKind::None);
    EXPECT_FALSE(map.blocks()[0].clips());
    EXPECT_TRUE(log.messages.empty());

    ASSERT_TRUE(map.loadForImage(kData + "two_blocks.png", log));
    EXPECT_EQ(map.blocks().size(), 2u);
    EXPECT_FALSE(map.loadForImage(kData + "parse_error.png", log));
}

// A written definition reads back to blocks that project every point to the
// same pixel: reals keep all their digits, rotations go through degrees.
TEST(BlankMap, WrittenDefinitionReadsBackToTheSameProjections)
{
    MapBlock lambert;
    lambert.comment = "main \"islands\"";
    lambert.kind = ProjectionKind::LambertEqualArea;
    lambert.lambert = {137.25, -38.0, 12.5 * RadiansPerDegree, 0.142694422623723, -0.000001, 3637.142857142857};
    lambert.polygon = {{535, 0}, {1000, 0}, {1000, 1100}, {0, 1100}, {0, 310}, {535, 310}};
    MapBlock mercator;
    mercator.kind = ProjectionKind::TransverseMercator;
    mercator.transverseMercator = {-3.5, 0.0, 0.0, 500000.0, -4500000.25, 1.0 / 1750.0};
    mercator.polygon = {{0, 0}, {535, 0}, {535, 310}};
    MapBlock none;
    none.polygon = {{0, 0}, {5, 0}, {5, 5}};
    BlankMap written;
    written.setBlocks({lambert, mercator, none});

    test::TestFolder folder("blank_map_text");
    BlankMap read;
    MessageLog log;
    ASSERT_TRUE(read.load(folder.write("map.cfg", written.text("Japan")), log));
    EXPECT_TRUE(log.messages.empty()) << log.utf8Texts().front();
    ASSERT_EQ(read.blocks().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const MapBlock& a = written.blocks()[i];
        const MapBlock& b = read.blocks()[i];
        EXPECT_EQ(b.comment, a.comment);
        EXPECT_EQ(b.kind, a.kind);
        EXPECT_EQ(b.polygon, a.polygon);
        for (double longitude : {-4.0, 127.0, 137.25, 145.8})
            for (double latitude : {24.0, 38.0, 45.5})
                EXPECT_EQ(b.project(longitude, latitude), a.project(longitude, latitude)) << i;
    }
    EXPECT_DOUBLE_EQ(read.blocks()[0].lambert.rotation, lambert.lambert.rotation);
    EXPECT_DOUBLE_EQ(read.blocks()[1].transverseMercator.magnification, 1.0 / 1750.0);
}

} // namespace
} // namespace tavik
