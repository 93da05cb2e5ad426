#include "viewer/render/draw_item.h"
#include "viewer/render/mark_painter.h"
#include "viewer/render/mark_stamps.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <tuple>

namespace tavik {
namespace {

// A background that differs from pixel to pixel, so that a stamp that
// overwrote pixels its mark leaves alone would show.
QImage background(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x + y) % 256));
    return image;
}

// Every shape (an unknown code draws a cross), at several sizes, pen widths
// and mark scales, at positions inside, on and beyond the image's edges,
// with and without a clip that is not a rectangle: copying the stamps gives
// the pixels that drawing the marks gives. Marks sit on whole pixels in both
// paths, as the renderer places them. Every kind but the letter must really
// be stamped away from the edges, so that the comparison is not of drawing
// against drawing.
TEST(MarkStamps, StampedMarksAreThePixelsDrawingGives)
{
    const int width = 160, height = 120;
    const QImage base = background(width, height);
    const std::vector<QPoint> positions = {{0, 0}, {-4, 60}, {159, 119}, {80, 61}, {81, 60}, {33, 117}, {150, 2},
        {80, 61}, {200, 200}, {92, 79}, {40, 12}}; // the last two on the clip's slanted sides
    QPainterPath triangle;
    triangle.moveTo(10, 5);
    triangle.lineTo(155, 40);
    triangle.lineTo(30, 118);
    triangle.closeSubpath();
    const MarkClip clip = markClipOf(triangle, base.size());
    QFont font;
    font.setBold(true);
    const int shapes[] = {MarkShape::Cross, MarkShape::Triangle, MarkShape::FilledTriangle, MarkShape::ReversedTriangle,
        MarkShape::FilledReversedTriangle, MarkShape::Square, MarkShape::FilledSquare, MarkShape::Circle,
        MarkShape::FilledCircle, 0, MarkShape::FirstCapital + 6};
    for (double scale : {1.0, 1.37})
        for (int shape : shapes)
            for (double size : {1.0, 4.5, 9.0, 20.0})
                for (int thickness : {0, 1, 2, 5})
                    for (bool clipped : {false, true}) {
                        SCOPED_TRACE(testing::Message() << "shape " << shape << ", size " << size << ", pen "
                                                        << thickness << ", scale " << scale << ", clip " << clipped);
                        const MarkStyle style{shape, size, thickness, qRgb(200, 30, 90)};
                        QImage drawn = base, stamped = base;
                        {
                            QPainter painter(&drawn);
                            painter.setRenderHint(QPainter::Antialiasing, false);
                            if (clipped)
                                painter.setClipPath(triangle);
                            for (const QPoint& at : positions)
                                drawStyledMark(painter, style, scale, at, font);
                        }
                        MarkStamps stamps(scale, font);
                        QPainter painter(&stamped);
                        painter.setRenderHint(QPainter::Antialiasing, false);
                        if (clipped)
                            painter.setClipPath(triangle);
                        for (const QPoint& at : positions) {
                            bool copied = stamps.stamp(stamped, style, at, clipped ? &clip : nullptr);
                            if (shape < MarkShape::FirstCapital && size < 10
                                && (at == QPoint(80, 61) || at == QPoint(92, 79))) {
                                EXPECT_TRUE(copied);
                            }
                            if (!copied)
                                drawStyledMark(painter, style, scale, at, font);
                        }
                        painter.end();
                        ASSERT_EQ(stamped, drawn);
                    }
}

DrawItem item(DrawItem::Type type, int slot, int x, int y, int tag)
{
    DrawItem result;
    result.type = type;
    result.slot = slot;
    result.position = QPoint(x, y);
    result.rank = tag; // tells equal items apart
    return result;
}

// The renderer's sorts order as stable sorts by their keys do, on items
// packed into one word each and on items whose coordinates span the whole
// range of int (sorted by their fields).
TEST(DrawItems, SortsAreStableSortsByTheirKeys)
{
    auto place = [](const DrawItem& a) { return std::tuple(a.type, a.position.x(), a.position.y(), a.slot); };
    auto drawing = [&](const DrawItem& a) {
        return a.type == DrawItem::Type::Mark ? std::tuple(a.type, a.slot, a.position.x(), a.position.y()) : place(a);
    };
    std::mt19937 random(3);
    for (int span : {7, 2000, INT_MAX}) {
        SCOPED_TRACE(span);
        std::uniform_int_distribution<int> coordinate(span == INT_MAX ? INT_MIN : -span, span);
        std::vector<DrawItem> items;
        for (int i = 0; i < 5000; ++i)
            items.push_back(item(static_cast<DrawItem::Type>(random() % 3), static_cast<int>(random() % 10),
                coordinate(random), coordinate(random), i));
        std::vector<DrawItem> expected = items;
        std::stable_sort(expected.begin(), expected.end(),
            [&](const DrawItem& a, const DrawItem& b) { return place(a) < place(b); });
        sortForFanOut(items);
        auto same = [](const DrawItem& a, const DrawItem& b) { return a.rank == b.rank; };
        EXPECT_TRUE(std::equal(items.begin(), items.end(), expected.begin(), expected.end(), same));
        std::stable_sort(expected.begin(), expected.end(),
            [&](const DrawItem& a, const DrawItem& b) { return drawing(a) < drawing(b); });
        sortForDrawing(items);
        EXPECT_TRUE(std::equal(items.begin(), items.end(), expected.begin(), expected.end(), same));
    }
}

} // namespace
} // namespace tavik
