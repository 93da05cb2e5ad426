#include "viewer/render/draw_item.h"
#include "viewer/render/flood_fill.h"
#include "viewer/render/geo_lines.h"
#include "viewer/render/grid_square.h"
#include "viewer/render/mark_painter.h"
#include "viewer/settings/distribution_table.h"
#include "viewer/settings/settings.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace tavik {
namespace {

QImage blank(int width, int height, QRgb colour = qRgb(255, 255, 255))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) & 0x00FFFFFFu; }

int countColour(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += at(image, x, y) == (colour & 0x00FFFFFFu);
    return n;
}

TEST(MarkPainter, EveryShapeIsDrawnAroundItsCentreInItsColour)
{
    const QRgb red = qRgb(200, 0, 0);
    // Filled shapes cover their centre; outlines pass a known point of their path.
    struct Case {
        int shape;
        QPoint probe; // relative to the centre; radius 10 at size 20, scale 1
    } cases[] = {
        {MarkShape::Cross, {0, 0}},
        {MarkShape::FilledTriangle, {0, 0}},
        {MarkShape::FilledReversedTriangle, {0, 0}},
        {MarkShape::FilledSquare, {0, 0}},
        {MarkShape::FilledCircle, {0, 0}},
        {MarkShape::Square, {-8, 0}},
        {MarkShape::Triangle, {0, 7}},
        {MarkShape::ReversedTriangle, {0, -7}},
        {MarkShape::Circle, {0, -10}},
        {0, {3, 3}}, // unknown code: a cross
        {99, {3, 3}},
    };
    EXPECT_EQ(markRadius(20, 1.0), 10);
    for (const Case& c : cases) {
        QImage image = blank(41, 41);
        {
            QPainter painter(&image);
            painter.setPen(QPen(QColor(red), 1));
            painter.setBrush(QColor(red));
            drawMark(painter, c.shape, 20, 1.0, QPoint(20, 20), QFont());
        }
        EXPECT_EQ(at(image, 20 + c.probe.x(), 20 + c.probe.y()), red & 0xFFFFFF) << "shape " << c.shape;
        // Nothing is drawn beyond the radius (plus the pen).
        EXPECT_EQ(at(image, 20 + 12, 20), 0xFFFFFFu) << "shape " << c.shape;
        EXPECT_EQ(at(image, 20, 20 + 13), 0xFFFFFFu) << "shape " << c.shape;
    }
    // Outline shapes leave their centre untouched.
    for (int shape : {MarkShape::Square, MarkShape::Circle, MarkShape::Triangle}) {
        QImage image = blank(41, 41);
        QPainter painter(&image);
        painter.setPen(QPen(QColor(red), 1));
        painter.setBrush(QColor(red));
        drawMark(painter, shape, 20, 1.0, QPoint(20, 20), QFont());
        painter.end();
        EXPECT_EQ(at(image, 20, 20), 0xFFFFFFu) << "shape " << shape;
    }
    // A letter is drawn in the pen's colour around the point.
    QImage image = blank(61, 61);
    QPainter painter(&image);
    painter.setPen(QPen(QColor(red), 1));
    QFont font;
    font.setBold(true);
    drawMark(painter, MarkShape::FirstCapital, 24, 1.0, QPoint(30, 30), font);
    painter.end();
    QRect box;
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 61; ++x)
            if (at(image, x, y) != 0xFFFFFFu)
                box |= QRect(x, y, 1, 1);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(box.center().x(), 30, 3);
    EXPECT_NEAR(box.center().y(), 30, 6);
}

TEST(FloodFill, CoversTheConnectedRegionAndStopsAtBordersAndTheClip)
{
    // Two white regions split by a black column; the clip cuts the left one.
    QImage image = blank(20, 10);
    for (int y = 0; y < 10; ++y)
        image.setPixel(10, y, qRgb(0, 0, 0));
    QImage clip(20, 10, QImage::Format_Grayscale8);
    clip.fill(255);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 4; ++x)
            clip.setPixel(x, y, 0);

    const QRgb fill = qRgb(0, 128, 255);
    floodFill(image, QPoint(6, 5), fill, &clip);
    EXPECT_EQ(countColour(image, fill), 6 * 10); // x = 4 … 9
    EXPECT_EQ(at(image, 3, 5), 0xFFFFFFu);
    EXPECT_EQ(at(image, 11, 5), 0xFFFFFFu);
    EXPECT_EQ(at(image, 10, 5), 0u);

    floodFill(image, QPoint(15, 0), fill, nullptr);
    EXPECT_EQ(countColour(image, fill), 6 * 10 + 9 * 10);
    floodFill(image, QPoint(2, 2), fill, &clip); // seed outside the clip
    floodFill(image, QPoint(-1, 2), fill, nullptr);
    EXPECT_EQ(countColour(image, fill), 150);
}

TEST(GridSquare, CornersAndExtentsFollowTheCodeDigits)
{
    struct Case {
        const char* code;
        double latitude, longitude, latitudeExtent, longitudeExtent;
    } cases[] = {
        {"JP5339", 53 * 2.0 / 3, 139, 2.0 / 3, 1},
        {"JP533945", (53 + 4.0 / 8) * 2 / 3, 139 + 5.0 / 8, 1.0 / 12, 1.0 / 8},
        {"JP53394567", (53 + (4 + 0.6) / 8) * 2 / 3, 139 + (5 + 0.7) / 8, 1.0 / 120, 1.0 / 80},
        {"JP533945674", (53 + (4 + 0.6) / 8) * 2 / 3 + 1.0 / 240, 139 + (5 + 0.7) / 8 + 1.0 / 160, 1.0 / 240,
            1.0 / 160},
        {"JP5339456743", (53 + (4 + 0.6) / 8) * 2 / 3 + 1.0 / 240 + 1.0 / 480, 139 + (5 + 0.7) / 8 + 1.0 / 160,
            1.0 / 480, 1.0 / 320},
        {"JP53394567432", (53 + (4 + 0.6) / 8) * 2 / 3 + 1.0 / 240 + 1.0 / 480,
            139 + (5 + 0.7) / 8 + 1.0 / 160 + 1.0 / 640, 1.0 / 960, 1.0 / 640},
        {"JP5339452", (53 + 4.0 / 8) * 2 / 3, 139 + 5.0 / 8 + 1.0 / 16, 1.0 / 24, 1.0 / 16},
        {"JP533945665", (53 + (4 + 0.6) / 8) * 2 / 3, 139 + (5 + 0.6) / 8, 1.0 / 60, 1.0 / 40},
    };
    for (const Case& c : cases) {
        std::optional<GridSquare> square = gridSquareOf(classifyLocation(c.code));
        ASSERT_TRUE(square.has_value()) << c.code;
        EXPECT_NEAR(square->latitude, c.latitude, 1e-12) << c.code;
        EXPECT_NEAR(square->longitude, c.longitude, 1e-12) << c.code;
        EXPECT_NEAR(square->latitudeExtent, c.latitudeExtent, 1e-15) << c.code;
        EXPECT_NEAR(square->longitudeExtent, c.longitudeExtent, 1e-15) << c.code;
    }
    EXPECT_FALSE(gridSquareOf(classifyLocation("JP53")).has_value());
    EXPECT_FALSE(gridSquareOf(classifyLocation("1301")).has_value());
}

DrawItem mark(int slot, int x, int y)
{
    DrawItem item;
    item.slot = slot;
    item.position = QPoint(x, y);
    return item;
}

TEST(DrawItems, CoincidingMarksFanOutBySlotAndFillsComeFirst)
{
    DrawItem fill;
    fill.type = DrawItem::Type::Fill;
    fill.position = QPoint(5, 5);
    std::vector<DrawItem> items = {mark(2, 5, 5), mark(0, 5, 5), fill, mark(1, 5, 5), mark(0, 9, 9), mark(1, 3, 3)};
    sortForFanOut(items);
    fanOutMarks(items, QPoint(4, -2));
    sortForDrawing(items);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].type, DrawItem::Type::Fill);
    EXPECT_EQ(items[0].position, QPoint(5, 5));
    // Marks by slot, then position: slot 0 stays on the point, slot 1 moves one
    // shift, slot 2 two shifts; a lone mark stays.
    EXPECT_EQ(items[1].slot, 0);
    EXPECT_EQ(items[1].position, QPoint(5, 5));
    EXPECT_EQ(items[2].position, QPoint(9, 9));
    EXPECT_EQ(items[3].slot, 1);
    EXPECT_EQ(items[3].position, QPoint(3, 3));
    EXPECT_EQ(items[4].position, QPoint(9, 3));
    EXPECT_EQ(items[5].slot, 2);
    EXPECT_EQ(items[5].position, QPoint(13, 1));
}

class GeoLinesTest : public ::testing::Test {
protected:
    GeoLinesTest()
    {
        settings.geoLine = GeoLineMode::Mesh;
        settings.geoWest = {"0", 0};
        settings.geoEast = {"40", 40};
        settings.geoSouth = {"0", 0};
        settings.geoNorth = {"30", 30};
        settings.geoLonSpan = {"10", 10};
        settings.geoLatSpan = {"10", 10};
        settings.geoLineColor = {255, 0, 0};
    }
    // One degree is one pixel; 1.25 / 0.00898 km per pixel walks 0.1 degree a step.
    static QPoint project(double longitude, double latitude)
    {
        return QPoint(static_cast<int>(longitude), static_cast<int>(30 - latitude));
    }
    void draw(QImage& image) { drawGeoLines(image, settings, 0.1 / (0.008983148626175073 * 0.8), project, nullptr); }

    Settings settings;
};

TEST_F(GeoLinesTest, SolidMeshDrawsEveryParallelAndMeridian)
{
    QImage image = blank(41, 31);
    draw(image);
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFF;
    EXPECT_EQ(at(image, 5, 20), red); // on the parallel of 10 degrees
    EXPECT_EQ(at(image, 20, 13), red); // on the meridian of 20 degrees
    EXPECT_EQ(at(image, 5, 13), 0xFFFFFFu);
}

TEST_F(GeoLinesTest, SelectModeOnlyTouchesTheSelectedColours)
{
    QImage image = blank(41, 31);
    for (int x = 0; x < 41; ++x)
        for (int y = 0; y < 15; ++y)
            image.setPixel(x, y, qRgb(0, 0, 200));
    settings.geoTransparent = GeoTransparentMode::Select;
    settings.geoTransparentCheck[1] = true;
    settings.geoTransparentColor[1] = Colour{0, 0, 200};
    settings.geoTransparentCheck[0] = false;
    draw(image);
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFF;
    EXPECT_EQ(at(image, 20, 5), red); // the meridian over the selected blue
    EXPECT_EQ(at(image, 20, 25), 0xFFFFFFu); // not over the white below
    EXPECT_EQ(at(image, 5, 10), red); // the parallel of 20 degrees lies in the blue
    EXPECT_EQ(at(image, 5, 20), 0xFFFFFFu);
}

TEST_F(GeoLinesTest, CrossesAndDashesLeaveGaps)
{
    QImage crosses = blank(41, 31);
    settings.geoLine = GeoLineMode::Cross;
    settings.geoCrossPercent = 10; // arms reach 1 degree from each intersection
    draw(crosses);
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFF;
    EXPECT_EQ(at(crosses, 10, 20), red);
    EXPECT_EQ(at(crosses, 9, 20), red);
    EXPECT_EQ(at(crosses, 12, 20), 0xFFFFFFu);
    EXPECT_EQ(at(crosses, 15, 20), 0xFFFFFFu);

    QImage dashes = blank(41, 31);
    settings.geoLine = GeoLineMode::Mesh;
    settings.geoLineType = LineType::Dash; // 8 pixels on, 4 off
    draw(dashes);
    int on = 0;
    for (int x = 0; x <= 40; ++x)
        on += at(dashes, x, 30) == red;
    // Along the equator's 41 pixels: 0-7, 12-19, 24-31 and 36-40 are on, and
    // the meridians' first pixels add 10 and 20.
    EXPECT_EQ(on, 8 + 8 + 8 + 5 + 2);

    settings.geoLatSpan = {"0", 0};
    QImage none = blank(41, 31);
    draw(none);
    EXPECT_EQ(countColour(none, red), 0);
}

} // namespace
} // namespace tavik
