#include "viewer/render/page_renderer.h"

#include "common/datum_shift_table.h"
#include "platform/message_sink.h"
#include "tests/support/sample_files.h"
#include "tests/support/test_folder.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/area_table.h"
#include "viewer/settings/distribution_table.h"
#include "viewer/settings/settings.h"

#include <QImage>

#include <gtest/gtest.h>

namespace tavik {
namespace {

QRgb rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFFu; }
QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

// A base image of 200 x 100 white pixels with a black wall at x = 150, and
// the tables of a tiny database. One degree is one pixel in the block
// without projection; the projected block puts (E135, N35) at pixel (50, 50).
class PageRendererTest : public ::testing::Test {
protected:
    PageRendererTest()
        : folder("page_renderer")
        , base(200, 100, QImage::Format_RGB32)
    {
        base.fill(Qt::white);
        for (int y = 0; y < 100; ++y)
            base.setPixel(150, y, qRgb(0, 0, 0));
        painter.load(folder.write("Painter.cfg", test::kPainterCfg), log);
        areas.load(folder.write("area.csv",
                       "1,,,Fill,N35,E135,50,50,F\n"
                       "2,,,Mark,N35,E135,30,20,\n"),
            10);
        datumShifts.load(folder.write("WGS_JGS.csv", "5339,x,7200,-3600\n"), 10);
        settings.meshWgs = true;
        blankMap.setDefault();
    }

    void useProjectedBlock(int clipRight)
    {
        std::string polygon = "<polygon><vertex x=\"0\" y=\"0\"/><vertex x=\"" + std::to_string(clipRight)
            + "\" y=\"0\"/><vertex x=\"" + std::to_string(clipRight)
            + "\" y=\"100\"/><vertex x=\"0\" y=\"100\"/></polygon>\n";
        ASSERT_TRUE(blankMap.load(folder.write("map.cfg",
                                      "<blank-map>\n<map-block>\n<projection>\n"
                                      "<lambert-e-a lon0=\"135\" lat0=\"35\" shift-x=\"0.5\" shift-y=\"0.5\" "
                                      "magnification=\"100\"/>\n</projection>\n"
                                          + polygon + "</map-block>\n</blank-map>\n"),
            log));
    }

    QImage render(const std::string& distribution, const std::vector<std::int64_t>& species)
    {
        table.buildIndex(folder.write("ta_vik.csv", distribution), 100);
        const RenderSources sources
            = RenderSources::copiesOf(settings, base, blankMap, painter, areas, datumShifts, table);
        return PageRenderer(sources).render(species, 1.0, log);
    }

    test::TestFolder folder;
    QImage base;
    Settings settings;
    BlankMap blankMap;
    PainterConfig painter;
    AreaTable areas;
    DatumShiftTable datumShifts;
    DistributionTable table;
    MessageLog log;
};

TEST_F(PageRendererTest, OverlaidMarksAtOnePointFanOutByTheOverlapShift)
{
    std::string config = test::kPainterCfg;
    const std::string shift = "shift-x=\"4\" shift-y=\"-3\"";
    config.replace(config.find(shift), shift.size(), "shift-x=\"20\" shift-y=\"15\"");
    ASSERT_TRUE(painter.load(folder.write("Painter2.cfg", config), log));
    QImage map = render("1,E40N30,A\n2,E40N30,A\n3,E40N30,A\n", {1, 2, 3});
    // Slot 1 (red filled circle) stays; slot 2 (blue cross) moves (20, 15);
    // slot 3 (green filled square) moves twice that.
    EXPECT_EQ(at(map, 40, 30), rgb(255, 0, 0));
    EXPECT_EQ(at(map, 60, 45), rgb(0, 0, 255));
    EXPECT_EQ(at(map, 80, 60), rgb(0, 160, 0));
    EXPECT_EQ(at(map, 50, 38), rgb(255, 255, 255));
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(PageRendererTest, MarkSizesBeyondTheirRangeAreReportedAndDrawnAtTheirLimit)
{
    std::string config = test::kPainterCfg;
    auto replace
        = [&](const std::string& from, const std::string& to) { config.replace(config.find(from), from.size(), to); };
    replace("\"filled-circle\" size=\"10.0\"", "\"filled-circle\" size=\"1e308\"");
    replace("\"cross\" size=\"10.0\"", "\"cross\" size=\"nan\"");
    ASSERT_TRUE(painter.load(folder.write("Painter3.cfg", config), log));
    ASSERT_EQ(log.messages.size(), 1u);
    const std::string findings = log.utf8Texts()[0];
    EXPECT_NE(findings.find("<mark .. size=\"1e308\" : 上限値を上回っています."), std::string::npos) << findings;
    EXPECT_NE(findings.find("<mark .. size=\"nan\" : 有限の数値を書いて下さい."), std::string::npos) << findings;
    log.messages.clear();

    // The first mark is drawn at the largest size, 99 (a radius of 50
    // pixels); the second at size 0.
    QImage map = render("1,E40N30,A\n2,E100N70,A\n", {1, 2});
    EXPECT_EQ(at(map, 40, 30), rgb(255, 0, 0));
    EXPECT_EQ(at(map, 85, 30), rgb(255, 0, 0));
    EXPECT_EQ(at(map, 95, 30), rgb(255, 255, 255));
    EXPECT_EQ(at(map, 104, 70), rgb(255, 255, 255));
    EXPECT_EQ(at(map, 100, 74), rgb(255, 255, 255));
    EXPECT_TRUE(log.messages.empty());
}

// A pass holds every record of its species (once it stopped at 40,000
// items): the mark after 50,000 fills of one area is drawn.
TEST_F(PageRendererTest, EveryRecordIsDrawnHoweverManyASpeciesHas)
{
    std::string line = "1";
    for (int i = 0; i < 50000; ++i)
        line += ",1,A";
    settings.pointMaxPerSpecies = 50001;
    QImage map = render(line + ",E120N50,A\n", {1});
    EXPECT_EQ(at(map, 120, 50), rgb(255, 0, 0));
    EXPECT_EQ(at(map, 50, 50), rgb(255, 160, 160));
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(PageRendererTest, RankChoosesTheColourAndAreasWithoutFillFlagGetAMark)
{
    QImage map = render("1,E20N80,C,2,B,999,A\n", {1});
    EXPECT_EQ(at(map, 20, 80), rgb(150, 0, 0));
    EXPECT_EQ(at(map, 30, 20), rgb(200, 0, 0)); // area 2 at its pixel (30, 20)
}

TEST_F(PageRendererTest, GridSquaresOfEveryLevelLandOnTheirCornerPixels)
{
    settings.meshWgs = false; // JP5339 is shifted 2 degrees north, 1 west
    struct Case {
        const char* code;
        int x, y; // south-west corner: trunc(longitude), trunc(latitude)
    } cases[] = {
        {"JP5339", 139 - 1, 35 + 2}, // 35.33 N, 139 E, shifted
        {"JP5138", 138, 34}, // 34.00 N
        {"JP513845", 138, 34}, // 34.33 N, 138.63 E
        {"JP5138456", 138, 34}, // 5-km square: 34.38 N, 138.69 E
        {"JP51384567", 138, 34}, // 34.38 N, 138.71 E
        {"JP513845674", 138, 34}, {"JP5138456743", 138, 34}, {"JP51384567432", 138, 34}, {"JP513845675", 138, 34},
        {"JP5138-77-99", 139, 34}, // 34.66 N, 139.00 E
    };
    for (const Case& c : cases) {
        QImage map = render(std::string("1,") + c.code + ",A\n", {1});
        EXPECT_EQ(at(map, c.x, c.y), rgb(255, 160, 160)) << c.code;
        EXPECT_EQ(at(map, c.x - 3, c.y - 3), rgb(255, 255, 255)) << c.code;
    }
}

TEST_F(PageRendererTest, MarkedMeshDrawsAMarkAtTheSquaresCentre)
{
    settings.meshMarked = true;
    QImage map = render("1,JP5138,A\n", {1});
    // Centre of JP5138: longitude 138.5, latitude 34.33 -> pixel (138, 34).
    EXPECT_EQ(at(map, 138, 34), rgb(255, 0, 0));
    EXPECT_EQ(at(map, 138, 27), rgb(255, 255, 255)); // radius 5
}

TEST_F(PageRendererTest, FillCoversTheConnectedRegionInsideTheBlockOnly)
{
    useProjectedBlock(120);
    QImage map = render("1,1,A\n2,1,A\n", {1, 2});
    // Two species fill the same area: one fill in the mean of pink and light blue.
    const QRgb mean = rgb((255 + 160) / 2, (160 + 160) / 2, (160 + 255) / 2);
    EXPECT_EQ(at(map, 50, 50), mean);
    EXPECT_EQ(at(map, 0, 0), mean);
    EXPECT_EQ(at(map, 119, 99), mean);
    EXPECT_EQ(at(map, 121, 50), rgb(255, 255, 255)); // beyond the block's outline
    EXPECT_EQ(at(map, 160, 50), rgb(255, 255, 255)); // beyond the wall
    EXPECT_EQ(at(map, 150, 50), rgb(0, 0, 0));
}

TEST_F(PageRendererTest, MarksOutsideTheBlockAreClipped)
{
    useProjectedBlock(50);
    // The area point projects to (50, 50), on the outline's edge; a point a
    // little east lies outside it.
    QImage map = render("1,E135.2N35,A\n", {1});
    int drawn = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 51; x < 150; ++x)
            drawn += at(map, x, y) != rgb(255, 255, 255);
    EXPECT_EQ(drawn, 0);
}

} // namespace
} // namespace tavik
