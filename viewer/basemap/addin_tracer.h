#pragma once

#include "viewer/basemap/addin_record.h"

#include <QPoint>
#include <QRect>

#include <array>

namespace tavik {

enum class AddinFigureKind {
    None, // MOVETO: nothing drawn
    Polyline, // open line path through points[0 .. pointCount)
    CircleOutline, // ellipse outline in box
    FilledCircle, // ellipse in box, filled with the colour
    TriangleOutline, // open line path through the four points
    FilledTriangle, // polygon of the first three points, filled with the colour (winding rule)
    Pixel // the single pixel points[0] in the colour
};

// What one add-in record draws, in pixels of the map.
struct AddinFigure {
    AddinFigureKind kind = AddinFigureKind::None;
    int penWidth = 1; // pixels
    std::array<QPoint, 4> points{};
    int pointCount = 0;
    QRect box; // circles: 2r × 2r, centred on the record's pixel
};

// Turns add-in records, already projected by a map block, into figures. It
// keeps the current position and the start of the figure that LOOP closes,
// which carry from record to record; a renderer uses one tracer per block.
class AddinTracer {
public:
    // `pixel` is the record's position projected by the block; `length` is
    // the record's width in metres projected by the block, in pixels.
    AddinFigure figure(const AddinRecord& record, QPoint pixel, double length);

    QPoint currentPosition() const { return current_; }

private:
    QPoint current_{0, 0};
    QPoint loopStart_{0, 0};
};

} // namespace tavik
