#include "viewer/render/flood_fill.h"

#include <QImage>
#include <QPoint>

#include <vector>

namespace tavik {
namespace {

// Pixels are compared without their alpha byte: RGB32 images leave it 0xFF
// but a pixel written by other code may not.
inline QRgb rgbOf(QRgb pixel) { return pixel & 0x00FFFFFFu; }

} // namespace

void floodFill(QImage& image, const QPoint& seed, QRgb colour, const QImage* clip)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);
    const int width = image.width(), height = image.height();
    if (!QRect(0, 0, width, height).contains(seed))
        return;
    auto inside = [&](int x, int y) { return !clip || clip->constScanLine(y)[x] != 0; };
    if (!inside(seed.x(), seed.y()))
        return;
    const QRgb target = rgbOf(reinterpret_cast<const QRgb*>(image.constScanLine(seed.y()))[seed.x()]);
    const QRgb fill = 0xFF000000u | rgbOf(colour);
    if (target == rgbOf(fill))
        return;

    auto row = [&](int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)); };
    auto matches = [&](QRgb* line, int x, int y) { return rgbOf(line[x]) == target && inside(x, y); };

    // Scanline fill: each span is filled whole, and the rows above and below
    // are searched for spans still of the target colour.
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        QPoint p = stack.back();
        stack.pop_back();
        QRgb* line = row(p.y());
        if (!matches(line, p.x(), p.y()))
            continue;
        int left = p.x(), right = p.x();
        while (left > 0 && matches(line, left - 1, p.y()))
            --left;
        while (right + 1 < width && matches(line, right + 1, p.y()))
            ++right;
        for (int x = left; x <= right; ++x)
            line[x] = fill;
        for (int dy : {-1, 1}) {
            int y = p.y() + dy;
            if (y < 0 || y >= height)
                continue;
            QRgb* next = row(y);
            bool inSpan = false;
            for (int x = left; x <= right; ++x) {
                bool m = matches(next, x, y);
                if (m && !inSpan)
                    stack.emplace_back(x, y);
                inSpan = m;
            }
        }
    }
}

} // namespace tavik
