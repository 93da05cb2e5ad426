#include "viewer/render/mark_stamps.h"

#include "viewer/render/mark_painter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tavik {

void drawStyledMark(
    QPainter& painter, const MarkStyle& style, double markScale, const QPoint& centre, const QFont& letterFont)
{
    setMarkPen(painter, QColor(style.colour), style.thickness);
    drawMark(painter, style.shape, style.size, markScale, centre, letterFont);
}

MarkClip markClipOf(const QPainterPath& path, const QSize& size)
{
    MarkClip clip{QImage(size, QImage::Format_Grayscale8), QRect()};
    clip.mask.fill(0);
    {
        QPainter painter(&clip.mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipPath(path);
        painter.fillRect(clip.mask.rect(), Qt::white);
    }
    for (int y = 0; y < size.height(); ++y) {
        const uchar* row = clip.mask.constScanLine(y);
        for (int x = 0; x < size.width(); ++x)
            if (row[x])
                clip.bounds |= QRect(x, y, 1, 1);
    }
    return clip;
}

MarkStamps::MarkStamps(double markScale, const QFont& letterFont)
    : scale_(markScale)
    , letterFont_(letterFont)
{
}

const MarkStamps::Stamp& MarkStamps::stampOf(const MarkStyle& style)
{
    // Marks come sorted by species, so the kind of the last mark is the
    // likely one; a map holds a few dozen kinds at most.
    if (last_ < stamps_.size() && stamps_[last_].style == style)
        return stamps_[last_];
    for (size_t i = 0; i < stamps_.size(); ++i)
        if (stamps_[i].style == style) {
            last_ = i;
            return stamps_[i];
        }
    stamps_.push_back(makeStamp(style));
    last_ = stamps_.size() - 1;
    return stamps_.back();
}

MarkStamps::Stamp MarkStamps::makeStamp(const MarkStyle& style) const
{
    Stamp stamp;
    stamp.style = style;
    // Room for the mark and its pen on every side; a letter's room comes
    // from its font. A stamp touching its own edge is not trusted.
    int half = markRadius(style.size, scale_) + std::max(style.thickness, 1) + 4;
    // A letter is as many points high as the mark's size, whatever the scale.
    if (style.shape >= MarkShape::FirstCapital && style.shape <= MarkShape::LastLetter)
        half = std::max(half, 3 * static_cast<int>(std::isfinite(style.size) ? std::min(style.size, 1000.0) : 0.0) + 8);
    if (half > 2000)
        return stamp; // larger than any mark of a map: drawn directly
    const int side = 2 * half + 1;

    // The mark over black and over white: a pixel the mark covers wholly is
    // the same on both, one it leaves alone keeps each background, and any
    // other pixel (blended text) makes the kind unfit for copying.
    QImage overBlack(side, side, QImage::Format_RGB32), overWhite(side, side, QImage::Format_RGB32);
    overBlack.fill(Qt::black);
    overWhite.fill(Qt::white);
    for (QImage* image : {&overBlack, &overWhite}) {
        QPainter painter(image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        drawStyledMark(painter, style, scale_, QPoint(half, half), letterFont_);
    }
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    for (int y = 0; y < side; ++y) {
        const auto* b = reinterpret_cast<const QRgb*>(overBlack.constScanLine(y));
        const auto* w = reinterpret_cast<const QRgb*>(overWhite.constScanLine(y));
        int x = 0;
        while (x < side) {
            if (b[x] == black && w[x] == white) {
                ++x;
                continue;
            }
            if (b[x] != w[x] || y == 0 || y == side - 1 || x == 0 || x == side - 1)
                return stamp;
            Run run{y - half, x - half, 0, static_cast<std::uint32_t>(stamp.values.size())};
            for (; x < side && b[x] == w[x] && !(b[x] == black && w[x] == white); ++x) {
                stamp.values.push_back(b[x]);
                ++run.length;
            }
            stamp.runs.push_back(run);
            stamp.bounds |= QRect(run.dx, run.dy, run.length, 1);
        }
    }
    stamp.exact = true;
    return stamp;
}

bool MarkStamps::stamp(QImage& image, const MarkStyle& style, const QPoint& centre, const MarkClip* clip)
{
    const Stamp& stamp = stampOf(style);
    if (!stamp.exact)
        return false;
    // QPainter cuts a line that crosses the edge of the image (or of the
    // clip's bounds) at the edge and draws the piece, whose pixels need not
    // be those of the whole line: a mark near an edge is drawn. Most marks of
    // a small block's pass lie wholly outside it, and leave nothing.
    const QRect box = stamp.bounds.translated(centre);
    const QRect area = clip ? clip->bounds : image.rect();
    if (!box.intersects(area))
        return true;
    if (!area.adjusted(1, 1, -1, -1).contains(box))
        return false;
    const int width = image.width(), height = image.height();
    // Taken once: the image is the renderer's own, so this does not copy.
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (const Run& run : stamp.runs) {
        const int y = centre.y() + run.dy;
        if (y < 0 || y >= height)
            continue;
        const int from = std::max(centre.x() + run.dx, 0);
        const int to = std::min(centre.x() + run.dx + run.length, width);
        if (from >= to)
            continue;
        auto* row = reinterpret_cast<QRgb*>(bits + stride * y);
        const std::uint32_t* values = stamp.values.data() + run.first + (from - centre.x() - run.dx);
        if (!clip) {
            std::copy(values, values + (to - from), row + from);
            continue;
        }
        const uchar* inside = clip->mask.constScanLine(y);
        for (int x = from; x < to; ++x, ++values)
            if (inside[x])
                row[x] = *values;
    }
    return true;
}

} // namespace tavik
