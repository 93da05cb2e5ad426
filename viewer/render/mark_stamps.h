#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <vector>

class QPainter;
class QPainterPath;

namespace tavik {

// Where a painter clipped to a block's outline draws: the pixels of `mask`
// (QImage::Format_Grayscale8, the map's size) that are not zero, all within
// `bounds`.
struct MarkClip {
    QImage mask;
    QRect bounds;
};

// The clip of a painter clipped to `path` (without antialiasing) on an image
// of `size`: made through QPainter's own clipping, so that marks copied from
// stamps are clipped exactly as drawn ones.
MarkClip markClipOf(const QPainterPath& path, const QSize& size);

// One kind of mark as the page renderer draws it.
struct MarkStyle {
    int shape = 0; // see MarkShape
    double size = 0.0; // mark size
    int thickness = 0; // pen width in pixels
    QRgb colour = 0;

    bool operator==(const MarkStyle&) const = default;
};

// Draws one mark centred on the point as the page renderer does: the pen of
// the style's thickness with round caps and joins, the brush in its colour.
void drawStyledMark(
    QPainter& painter, const MarkStyle& style, double markScale, const QPoint& centre, const QFont& letterFont);

// Marks drawn from stamps. A crowded map repeats a few kinds of mark
// thousands of times, and QPainter strokes each one anew; here each kind
// (shape, size, thickness, colour; the scale and letter font are those of
// the map) is drawn once, aliased, into a small image of the map's format,
// and its pixels are copied to every position. Drawing with integer
// coordinates and without antialiasing moves with the centre pixel for
// pixel, so a stamped mark is the mark drawStyledMark draws there.
//
// A kind whose pixels are not all either untouched or wholly covered (a
// letter drawn with antialiased text) cannot be copied, nor can a mark that
// an edge cuts: stamp() refuses them and the caller draws them directly.
class MarkStamps {
public:
    MarkStamps(double markScale, const QFont& letterFont);

    // Copies the mark centred on `centre` into `image` (QImage::Format_RGB32),
    // limited, when `clip` is given, to its pixels. False, drawing nothing,
    // when the caller must draw the mark: its kind cannot be stamped, or it
    // reaches within a pixel of the image's edge or the clip's bounds.
    bool stamp(QImage& image, const MarkStyle& style, const QPoint& centre, const MarkClip* clip);

private:
    // A row of covered pixels of a stamp, relative to the centre.
    struct Run {
        int dy = 0;
        int dx = 0;
        int length = 0;
        std::uint32_t first = 0; // index of the run's first pixel value in values
    };
    struct Stamp {
        MarkStyle style;
        bool exact = false; // false: draw this kind directly
        std::vector<Run> runs;
        std::vector<std::uint32_t> values; // the covered pixels, run after run
        QRect bounds; // of the covered pixels, relative to the centre
    };

    const Stamp& stampOf(const MarkStyle& style);
    Stamp makeStamp(const MarkStyle& style) const;

    double scale_;
    QFont letterFont_;
    std::vector<Stamp> stamps_;
    size_t last_ = 0; // index of the stamp used last
};

} // namespace tavik
