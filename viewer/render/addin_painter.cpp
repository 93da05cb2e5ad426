#include "viewer/render/addin_painter.h"

#include "viewer/basemap/addin_record.h"
#include "viewer/basemap/addin_tracer.h"
#include "viewer/basemap/map_block.h"

#include <QPainter>
#include <QPen>

namespace tavik {

void drawAddins(QPainter& painter, const std::vector<AddinRecord>& records, const MapBlock& block)
{
    if (block.kind == ProjectionKind::None)
        return;
    AddinTracer tracer;
    for (const AddinRecord& record : records) {
        QPoint pixel = block.project(record.longitude, record.latitude);
        AddinFigure figure = tracer.figure(record, pixel, block.projectLength(record.width));
        QColor colour(record.colour.r, record.colour.g, record.colour.b);
        Qt::PenStyle style = record.style == AddinPenStyle::Dot ? Qt::DotLine : Qt::SolidLine;
        painter.setPen(QPen(colour, figure.penWidth, style, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        switch (figure.kind) {
        case AddinFigureKind::None:
            break;
        case AddinFigureKind::Polyline:
        case AddinFigureKind::TriangleOutline:
            painter.drawPolyline(figure.points.data(), figure.pointCount);
            break;
        case AddinFigureKind::CircleOutline:
            painter.drawEllipse(figure.box);
            break;
        case AddinFigureKind::FilledCircle:
            painter.setBrush(colour);
            painter.drawEllipse(figure.box);
            break;
        case AddinFigureKind::FilledTriangle:
            painter.setBrush(colour);
            painter.drawPolygon(figure.points.data(), 3, Qt::WindingFill);
            break;
        case AddinFigureKind::Pixel:
            painter.setPen(QPen(colour, 1));
            painter.drawPoint(figure.points[0]);
            break;
        }
    }
}

} // namespace tavik
