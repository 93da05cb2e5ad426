#include "viewer/render/map_view_painter.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/sample_files.h"
#include "tests/support/test_folder.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <QImage>
#include <QPainter>
#include <QStringList>

#include <gtest/gtest.h>

namespace tavik {
namespace {

// Dark pixels (text, marks) in a rectangle of a white view.
int inkIn(const QImage& view, const QRect& area)
{
    int ink = 0;
    for (int y = std::max(0, area.top()); y <= std::min(view.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(view.width() - 1, area.right()); ++x)
            ink += qGray(view.pixel(x, y)) < 128;
    return ink;
}

class MapViewPainterTest : public ::testing::Test {
protected:
    MapViewPainterTest()
        : folder("map_view")
        , map(200, 100, QImage::Format_RGB32)
    {
        map.fill(qRgb(200, 255, 200));
        MessageLog log;
        painter.load(folder.write("Painter.cfg", test::kPainterCfg), log);
        settings.displayFontFace = "DejaVu Sans";
        settings.displayFontSize = 12;
        for (int i = 0; i < 3; ++i) {
            SpeciesRecord s;
            s.code = i + 1;
            s.scientificName = "Aus bus";
            s.author = "Linnaeus";
            s.year = "1758";
            s.parenthesis = i == 1;
            s.alias1 = "Alpha";
            species.push_back(s);
        }
    }

    QImage paint(const MapViewContent& content)
    {
        QImage view(400, 300, QImage::Format_RGB32);
        view.fill(Qt::white);
        QPainter p(&view);
        paintMapView(p, content, settings, painter, 1.0);
        return view;
    }

    test::TestFolder folder;
    QImage map;
    Settings settings;
    PainterConfig painter;
    std::vector<SpeciesRecord> species;
};

TEST_F(MapViewPainterTest, WithoutCaptionsTheMapStartsThreePixelsDown)
{
    QImage view = paint({&map, {&species[0]}, false});
    EXPECT_EQ(view.pixel(10, 3), qRgb(200, 255, 200));
    EXPECT_EQ(view.pixel(10, 2), qRgb(255, 255, 255));
    EXPECT_EQ(inkIn(view, QRect(0, 0, 400, 3)), 0);
}

TEST_F(MapViewPainterTest, CaptionLinesStandAboveTheMap)
{
    settings.dispScientificName = true;
    settings.dispAlias1 = true;
    QImage view = paint({&map, {&species[0]}, false});
    const int h = 16; // 12 points at 96 dots per inch
    const int top = 3 + 2 * (h + 2);
    EXPECT_EQ(view.pixel(10, top), qRgb(200, 255, 200));
    EXPECT_EQ(view.pixel(10, top - 1), qRgb(255, 255, 255));
    EXPECT_GT(inkIn(view, QRect(10, 0, 200, h + 2)), 20); // the name line
    EXPECT_GT(inkIn(view, QRect(10, h + 2, 200, h + 2)), 10); // alias 1
}

TEST_F(MapViewPainterTest, ANameWiderThanTheMapPutsTheAuthorOnItsOwnIndentedLine)
{
    settings.dispScientificName = true;
    species[0].scientificName = "Aus bus cus dus";
    map = QImage(60, 100, QImage::Format_RGB32);
    map.fill(qRgb(200, 255, 200));
    QImage view = paint({&map, {&species[0]}, false});
    // The author line counts as a caption line of its own, so that it does
    // not run over the map.
    const int h = 16, t = 3 + 2 * (h + 2);
    EXPECT_EQ(view.pixel(10, t), qRgb(200, 255, 200));
    EXPECT_EQ(inkIn(view, QRect(10, t, 60, 100)), 0);
    // The author line starts 2H to the right of the map's left edge.
    QRect authorLine(10, t + static_cast<int>(1.3 * h - 0.98 * t), 2 * h, h);
    EXPECT_EQ(inkIn(view, authorLine), 0);
    EXPECT_GT(inkIn(view, QRect(10 + 2 * h, authorLine.top(), 200, h)), 10);
}

TEST_F(MapViewPainterTest, AnOverlayLegendHasALinePerSpeciesWithMarkAndFillSamples)
{
    settings.dispScientificName = true;
    settings.dispMarkLegend = true;
    settings.dispFillLegend = true;
    QImage view = paint({&map, {&species[0], &species[1], &species[2]}, true});
    EXPECT_EQ(view.pixel(10, 10), qRgb(200, 255, 200));
    // Marks of size 10 at scale 1 are 2 x 10 = 20 pixels tall, more than the
    // font's 16: lines are 20 pixels apart (times 1.1).
    const int l = 20;
    for (int k = 0; k < 3; ++k) {
        int y = static_cast<int>(k * l * 1.1 + 100 + 3.0);
        // The fill sample of slot k in its rank A fill colour: left edge
        // 1 + 1.2 x 10 + 0.1 H, top Y - 0.75 H + L, side 0.8 H.
        int left = 1 + 12 + 1, top = y - 12 + l;
        QRgb fill = view.pixel(10 + left + 6, 10 + top + 6);
        const QRgb fills[] = {qRgb(255, 160, 160), qRgb(160, 160, 255), qRgb(160, 255, 160)};
        EXPECT_EQ(fill, fills[k]) << "line " << k;
    }
}

} // namespace
} // namespace tavik

#include "viewer/render/font_faces.h"

namespace tavik {
namespace {

TEST(FontFaces, AFaceThatIsNotInstalledTakesTheFirstInstalledFamily)
{
    Settings settings;
    settings.displayFontFace = "IPAGothic";
    settings.printFontFace = "Century";
    settleFontFaces(settings, {"DejaVu Sans", "IPAGothic"});
    EXPECT_EQ(settings.displayFontFace, "IPAGothic");
    EXPECT_EQ(settings.printFontFace, "DejaVu Sans");
    settleFontFaces(settings, {});
    EXPECT_EQ(settings.printFontFace, "DejaVu Sans");
    EXPECT_FALSE(installedFontFamilies().empty());
}

// A face setting is cp932 text of at most 64 bytes: a family it cannot hold
// whole is not offered, since the name stored would find no font again.
TEST(FontFaces, OnlyFamiliesASettingCanNameWholeAreOffered)
{
    const QStringList installed{QStringLiteral("IPAGothic"), QStringLiteral("나눔고딕"), QStringLiteral("Foo\u301C"),
        QStringLiteral("ＭＳ ゴシック"), QString(65, QLatin1Char('F')), QString(64, QLatin1Char('F'))};
    EXPECT_EQ(storableFontFamilies(installed),
        (std::vector<std::string>{"IPAGothic", cp932Literal("ＭＳ ゴシック"), std::string(64, 'F')}));
}

} // namespace
} // namespace tavik
