// The Japan sample database as committed: its generated files are what their
// generator makes, its area points fill their own prefecture and nothing
// else, and its configuration files read without findings.
#include "imagefiles/image_files.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "tools/blankmap/blank_map_maker.h"
#include "tools/blankmap/geo_regions.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/print/print_form_list.h"
#include "viewer/render/flood_fill.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/area_table.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace tavik {
namespace {

const std::string kSample = TAVIK_SOURCE_DIR "/examples/japan/";
const std::string kBaseMap = kSample + "BlankMap/jpn_Prefs_LEA_S/jpn_Prefs_LEA_S.png";
const std::string kBoundaries = TAVIK_SOURCE_DIR "/examples/data/japan-prefectures.geojson";

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The first `count` comma-separated fields of a line without quotes.
std::string leadingFields(const std::string& line, int count)
{
    std::size_t end = 0;
    for (int i = 0; i < count && end != std::string::npos; ++i)
        end = line.find(',', end + (i ? 1 : 0));
    return line.substr(0, end);
}

// Regenerating the base map gives the committed image, definition and area
// points: the sample follows the projections and the maker as they are now.
TEST(SampleDatabase, BaseMapIsWhatBlankmapMakesOfTheLayout)
{
    test::TestFolder folder("sample_base_map");
    BlankMapRequest request;
    request.layoutPath = TAVIK_SOURCE_DIR "/examples/generate/japan_layout.json";
    request.boundaryPath = kBoundaries;
    request.imagePath = folder.file("map.png");
    request.areaTablePath = folder.file("area.csv");
    BlankMapError error;
    ASSERT_TRUE(BlankMapMaker().make(request, nullptr, error)) << error.message;

    DecodedImage made, committed;
    ASSERT_EQ(readPng(request.imagePath, made), ImageReadStatus::Ok);
    ASSERT_EQ(readPng(kBaseMap, committed), ImageReadStatus::Ok);
    EXPECT_EQ(made.width, 1000);
    EXPECT_EQ(made.height, 1100);
    EXPECT_TRUE(made.pixels == committed.pixels) << "run examples/generate/japan.sh";
    EXPECT_EQ(test::readBytes(folder.file("map.cfg")), test::readBytes(BlankMap::definitionPath(kBaseMap)));

    // The committed area table is the skeleton with names and regions added.
    const std::vector<std::string> skeleton = linesOf(test::readBytes(request.areaTablePath));
    const std::vector<std::string> table = linesOf(test::readBytes(kSample + "dbase/area.csv"));
    ASSERT_EQ(skeleton.size(), 47u);
    ASSERT_EQ(table.size(), 47u);
    for (std::size_t i = 0; i < skeleton.size(); ++i)
        EXPECT_EQ(leadingFields(table[i], 9), leadingFields(skeleton[i], 9)) << "row " << i + 1;
}

// Every prefecture's point lies inside its own polygons, projects onto the
// pixel of its row, and a flood fill from it covers a part of the map that
// no other prefecture's fill touches: no fill leaks into a neighbour.
TEST(SampleDatabase, EachPrefectureFillsAloneFromItsPoint)
{
    BlankMap blankMap;
    MessageLog log;
    ASSERT_TRUE(blankMap.load(BlankMap::definitionPath(kBaseMap), log));
    ASSERT_TRUE(log.messages.empty());
    AreaTable areas;
    ASSERT_EQ(areas.load(kSample + "dbase/area.csv", 100), AreaTableStatus::Ok);
    ASSERT_EQ(areas.rows().size(), 47u);
    std::vector<GeoRegion> regions;
    std::vector<std::string> warnings;
    BlankMapError error;
    ASSERT_TRUE(readGeoRegions(kBoundaries, RegionProperties{}, regions, error, warnings)) << error.message;

    const QImage map = QImage(QString::fromStdString(kBaseMap)).convertToFormat(QImage::Format_RGB32);
    std::vector<QImage> clips;
    for (const MapBlock& block : blankMap.blocks())
        clips.push_back(block.clipMask(map.size()));
    std::vector<int> owner(static_cast<std::size_t>(map.width()) * map.height(), 0);

    for (const AreaRecord& area : areas.rows()) {
        const GeoRegion& region = regions.at(static_cast<std::size_t>(area.code - 1));
        ASSERT_EQ(region.code, area.code);
        bool inside = false;
        for (const GeoPolygon& polygon : region.polygons) {
            QPolygonF ring;
            for (const BoundaryPoint& point : polygon.rings.front())
                ring << QPointF(point.longitude, point.latitude);
            inside = inside || ring.containsPoint(QPointF(area.longitude, area.latitude), Qt::OddEvenFill);
        }
        EXPECT_TRUE(inside) << "area " << area.code;

        // The point shows in exactly one block, on its row's pixel.
        int shown = 0;
        for (std::size_t b = 0; b < clips.size(); ++b) {
            const QPoint pixel = blankMap.blocks()[b].project(area.longitude, area.latitude);
            if (!QRect(QPoint(0, 0), map.size()).contains(pixel) || clips[b].constScanLine(pixel.y())[pixel.x()] == 0)
                continue;
            ++shown;
            EXPECT_EQ(pixel, QPoint(area.x, area.y)) << "area " << area.code;
            QImage filled = map;
            floodFill(filled, pixel, qRgb(255, 0, 0), &clips[b]);
            int pixels = 0;
            for (int y = 0; y < map.height(); ++y) {
                for (int x = 0; x < map.width(); ++x) {
                    if (filled.pixel(x, y) == map.pixel(x, y))
                        continue;
                    ++pixels;
                    int& who = owner[static_cast<std::size_t>(y) * map.width() + x];
                    EXPECT_EQ(who, 0) << "areas " << who << " and " << area.code << " fill pixel " << x << "," << y;
                    who = area.code;
                }
            }
            EXPECT_GE(pixels, 100) << "area " << area.code;
        }
        EXPECT_EQ(shown, 1) << "area " << area.code;
    }
}

TEST(SampleDatabase, ConfigurationFilesReadWithoutFindings)
{
    MessageLog log;
    PainterConfig painter;
    ASSERT_TRUE(painter.load(kSample + "Painter.cfg", log));
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(painter.slotCount, 10);
    std::set<std::uint8_t> shapes;
    for (const TargetStyle& slot : painter.slots) {
        shapes.insert(slot.shape);
        EXPECT_GT(slot.size, 0.0f);
        std::set<std::uint32_t> colours;
        for (const RankColors& rank : slot.ranks)
            colours.insert(rank.mark.packed());
        EXPECT_EQ(colours.size(), 4u) << "each rank its own mark colour";
    }
    EXPECT_EQ(shapes.size(), 10u) << "ten distinct slots";
    // Written as the viewer writes it: saving it again changes nothing.
    EXPECT_EQ(painter.text(), test::readBytes(kSample + "Painter.cfg"));

    PrintFormList forms;
    ASSERT_TRUE(forms.load(kSample + "PrintForm.cfg", log));
    EXPECT_TRUE(log.messages.empty()) << log.utf8Texts().front();
    ASSERT_EQ(forms.forms().size(), 3u);
    EXPECT_EQ(forms.forms()[0].rows.value, 3);
    EXPECT_EQ(forms.forms()[0].columns.value, 2);
    EXPECT_EQ(forms.forms()[1].rows.value, 1);
    // The overlay form: one map a page with a legend line for each of up
    // to ten species.
    EXPECT_EQ(forms.forms()[2].rows.value, 1);
    EXPECT_EQ(forms.forms()[2].columns.value, 1);
    EXPECT_EQ(forms.text(), test::readBytes(kSample + "PrintForm.cfg"));
}

} // namespace
} // namespace tavik
