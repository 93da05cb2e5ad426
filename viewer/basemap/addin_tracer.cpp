#include "viewer/basemap/addin_tracer.h"

#include <algorithm>
#include <cmath>

namespace tavik {
namespace {

// trunc() of a projected length, kept within a range that converts to int.
int truncated(double length)
{
    if (!std::isfinite(length))
        return 0;
    return static_cast<int>(std::clamp(length, -1.0e6, 1.0e6));
}

} // namespace

AddinFigure AddinTracer::figure(const AddinRecord& record, QPoint pixel, double length)
{
    AddinFigure figure;
    int size = truncated(length);
    auto single = [&] {
        figure.kind = AddinFigureKind::Pixel;
        figure.points[0] = pixel;
        figure.pointCount = 1;
    };

    switch (record.command) {
    case AddinCommand::MoveTo:
    case AddinCommand::LineTo:
    case AddinCommand::Loop:
        figure.penWidth = std::max(1, size);
        if (record.command == AddinCommand::MoveTo) {
            loopStart_ = current_ = pixel;
            break;
        }
        figure.kind = AddinFigureKind::Polyline;
        figure.points[0] = current_;
        figure.points[1] = pixel;
        figure.pointCount = 2;
        current_ = pixel;
        // LOOP draws on back to where the figure began, which becomes the current position.
        if (record.command == AddinCommand::Loop)
            figure.points[figure.pointCount++] = current_ = loopStart_;
        break;
    case AddinCommand::Circle:
    case AddinCommand::FilledCircle:
        if (size < 1) {
            single();
            break;
        }
        figure.kind
            = record.command == AddinCommand::Circle ? AddinFigureKind::CircleOutline : AddinFigureKind::FilledCircle;
        figure.box = QRect(pixel.x() - size, pixel.y() - size, 2 * size, 2 * size);
        break;
    case AddinCommand::Triangle:
    case AddinCommand::FilledTriangle: {
        if (size < 1) {
            single();
            break;
        }
        // The height is 2r / √3, at least one pixel; its half is truncated.
        int height = std::max(1, static_cast<int>(2.0 * size / std::sqrt(3.0)));
        int x = pixel.x();
        int y = pixel.y();
        figure.kind = record.command == AddinCommand::Triangle ? AddinFigureKind::TriangleOutline
                                                               : AddinFigureKind::FilledTriangle;
        figure.points = {QPoint(x - size, y + height / 2), QPoint(x + size, y + height / 2), QPoint(x, y - height),
            QPoint(x - size, y + height / 2)};
        figure.pointCount = record.command == AddinCommand::Triangle ? 4 : 3;
        break;
    }
    case AddinCommand::Dot:
        single();
        break;
    }
    return figure;
}

} // namespace tavik
