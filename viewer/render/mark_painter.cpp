#include "viewer/render/mark_painter.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/render/painter_config.h"
#include "viewer/render/pixel_rounding.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace tavik {
namespace {

// Mark sizes (times their scale) beyond this many pixels are drawn at it: no
// page is that large, and the pixel arithmetic stays within an int.
constexpr double kMaxMarkPixels = 100000.0;

double sanePixels(double pixels) { return std::isfinite(pixels) ? std::clamp(pixels, 0.0, kMaxMarkPixels) : 0.0; }

// Draws the open path through the points and back to the first one.
void drawClosedPath(QPainter& painter, const QPolygon& points)
{
    QPolygon path = points;
    path << points.first();
    painter.drawPolyline(path);
}

void drawLetter(QPainter& painter, int shape, double size, const QPoint& centre, const QFont& letterFont)
{
    char letter = shape < MarkShape::FirstSmall ? static_cast<char>('A' + shape - MarkShape::FirstCapital)
                                                : static_cast<char>('a' + shape - MarkShape::FirstSmall);
    QFont font = letterFont;
    font.setPointSizeF(std::max(sanePixels(size), 1.0));
    painter.save();
    painter.setFont(font);
    QFontMetrics metrics(font, painter.device());
    // The text's bottom edge (baseline plus descent) lies just below the
    // centre, so that the letter's body is centred on the point.
    int bottom = centre.y() + truncToInt(0.47619047619047616 * (metrics.ascent() + metrics.descent()));
    QString text(QChar::fromLatin1(letter));
    int width = metrics.horizontalAdvance(text);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(QPoint(centre.x() - width / 2, bottom - metrics.descent()), text);
    painter.restore();
}

} // namespace

QFont letterMarkFont(const PainterConfig& painter)
{
    QFont font(qtext(painter.faceName));
    font.setBold(painter.bold);
    font.setItalic(painter.italic);
    return font;
}

void setMarkPen(QPainter& painter, const QColor& colour, int thickness)
{
    painter.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(colour);
}

int markRadius(double size, double scale) { return truncToInt((sanePixels(size * scale) + 1.0) * 0.5); }

void drawMark(QPainter& painter, int shape, double size, double scale, const QPoint& centre, const QFont& letterFont)
{
    const int x = centre.x(), y = centre.y();
    const int r = markRadius(size, scale);
    const int h = 1 + truncToInt(1.7320508 * r);
    const int a = std::max(1, truncToInt(0.6 * h + 0.5));
    const int b = std::max(1, truncToInt(0.4 * h + 0.5));
    const int q = r > 2 ? truncToInt(0.85 * r) : r;

    switch (shape) {
    case MarkShape::Triangle:
        drawClosedPath(painter, QPolygon({QPoint(x - r, y + b), QPoint(x + r, y + b), QPoint(x, y - a)}));
        return;
    case MarkShape::FilledTriangle:
        painter.drawPolygon(QPolygon({QPoint(x - r, y + b), QPoint(x + r, y + b), QPoint(x, y - a)}));
        return;
    case MarkShape::ReversedTriangle:
        drawClosedPath(painter, QPolygon({QPoint(x - r, y - b), QPoint(x + r, y - b), QPoint(x, y + a)}));
        return;
    case MarkShape::FilledReversedTriangle:
        painter.drawPolygon(QPolygon({QPoint(x - r, y - b), QPoint(x, y + a), QPoint(x + r, y - b)}));
        return;
    case MarkShape::Square:
    case MarkShape::FilledSquare: {
        QPolygon square({QPoint(x - q, y - q), QPoint(x - q, y + q), QPoint(x + q, y + q), QPoint(x + q, y - q)});
        if (shape == MarkShape::FilledSquare)
            painter.drawPolygon(square);
        else
            drawClosedPath(painter, square);
        return;
    }
    case MarkShape::Circle:
        painter.save();
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(x - r, y - r, 2 * r, 2 * r));
        painter.restore();
        return;
    case MarkShape::FilledCircle:
        painter.drawEllipse(QRect(x - r, y - r, 2 * r, 2 * r));
        return;
    default:
        break;
    }
    if (shape >= MarkShape::FirstCapital && shape <= MarkShape::LastLetter) {
        drawLetter(painter, shape, size, centre, letterFont);
        return;
    }
    painter.drawLine(x - r, y - r, x + r, y + r);
    painter.drawLine(x + r, y - r, x - r, y + r);
}

} // namespace tavik
