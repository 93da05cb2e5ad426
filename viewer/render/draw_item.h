#pragma once

#include <QPoint>
#include <QRgb>

#include <array>
#include <vector>

namespace tavik {

// One thing to draw in one pass of the page renderer: a mark, a grid square
// or an area fill of one species.
struct DrawItem {
    enum class Type { Fill = 0, Square = 1, Mark = 2 }; // drawing order of the types

    int slot = 0; // species index in the map, 0 to 9
    Type type = Type::Mark;
    int rank = 0;
    QRgb colour = 0;
    int shape = 0;
    int thickness = 0; // pen width in pixels
    double size = 0.0; // mark size
    QPoint position; // mark centre, fill seed or a square's south-west corner (pixels)
    std::array<QPoint, 4> corners; // squares: south-west, south-east, north-east, north-west
};

// Sorts for fanning out: fills, squares, marks; each by x, y, slot.
void sortForFanOut(std::vector<DrawItem>& items);

// Moves marks that share a pixel so that they stay apart: within a run of
// marks at the pixel where the run started, the k-th further mark moves by
// k times the shift. Expects the order of sortForFanOut.
void fanOutMarks(std::vector<DrawItem>& items, const QPoint& shift);

// Sorts for drawing: fills and squares by x, y, slot; marks by slot, x, y.
// Expects the order of sortForFanOut, in which fills and squares already
// stand as they are drawn.
void sortForDrawing(std::vector<DrawItem>& items);

} // namespace tavik
