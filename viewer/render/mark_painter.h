#pragma once

class QColor;
class QFont;
class QPainter;
class QPoint;

namespace tavik {

struct PainterConfig;

// Mark shape codes as the painter configuration holds them.
namespace MarkShape {
inline constexpr int Cross = 1;
inline constexpr int Triangle = 2;
inline constexpr int FilledTriangle = 3;
inline constexpr int ReversedTriangle = 4;
inline constexpr int FilledReversedTriangle = 5;
inline constexpr int Square = 6;
inline constexpr int FilledSquare = 7;
inline constexpr int Circle = 8;
inline constexpr int FilledCircle = 9;
inline constexpr int FirstCapital = 10; // "A" to "Z": 10 to 35
inline constexpr int FirstSmall = 36; // "a" to "z": 36 to 61
inline constexpr int LastLetter = 61;
} // namespace MarkShape

// The font of letter marks: the painter configuration's face, bold and
// italic. Each letter takes its height from its mark's size.
QFont letterMarkFont(const PainterConfig& painter);

// Gives the painter the pen and brush of a mark: a solid pen `thickness`
// pixels wide with round ends and joins, and a brush of the same colour.
void setMarkPen(QPainter& painter, const QColor& colour, int thickness);

// Radius in pixels of a mark of a size (0 to 99) at mark scale s.
int markRadius(double size, double scale);

// Draws one mark centred on the point with the painter's pen and brush: the
// outline shapes with the pen, the filled ones with pen and brush, a letter
// in `letterFont` (sized in points from the mark size) in the pen's colour.
// Codes outside the table draw a cross.
void drawMark(QPainter& painter, int shape, double size, double scale, const QPoint& centre, const QFont& letterFont);

} // namespace tavik
