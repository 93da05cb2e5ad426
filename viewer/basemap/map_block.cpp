#include "viewer/basemap/map_block.h"

#include "viewer/basemap/projection.h"

#include <QPainter>

#include <cmath>

namespace tavik {

namespace {

int toPixel(double value)
{
    if (std::isnan(value))
        return -MapBlock::FarAway;
    if (value >= MapBlock::FarAway)
        return MapBlock::FarAway;
    if (value <= -MapBlock::FarAway)
        return -MapBlock::FarAway;
    return static_cast<int>(value); // truncation toward zero
}

QPointF place(PlanePoint point, const ProjectionParameters& p)
{
    double x = point.x;
    double y = point.y;
    if (p.rotation != 0.0) {
        const double c = std::cos(p.rotation);
        const double s = std::sin(p.rotation);
        x = point.x * c - point.y * s;
        y = point.x * s + point.y * c;
    }
    // Image rows grow downwards, plane y upwards.
    return {(x + p.shiftX) * p.magnification, (p.shiftY - y) * p.magnification};
}

} // namespace

QPointF MapBlock::imagePosition(double longitude, double latitude) const
{
    switch (kind) {
    case ProjectionKind::LambertEqualArea:
        return place(lambertAzimuthalEqualArea(longitude, latitude, lambert.lon0, lambert.lat0), lambert);
    case ProjectionKind::TransverseMercator:
        return place(tavik::transverseMercator(longitude, latitude, transverseMercator.lon0), transverseMercator);
    case ProjectionKind::None:
        break;
    }
    return {longitude, latitude};
}

QPoint MapBlock::project(double longitude, double latitude) const
{
    const QPointF position = imagePosition(longitude, latitude);
    return {toPixel(position.x()), toPixel(position.y())};
}

double MapBlock::projectLength(double metres) const
{
    switch (kind) {
    case ProjectionKind::LambertEqualArea:
        // Sphere radii are 6,365,000 m.
        return metres * lambert.magnification * 1.5710919088766693e-7;
    case ProjectionKind::TransverseMercator:
        return metres * transverseMercator.magnification;
    case ProjectionKind::None:
        break;
    }
    return 0.0;
}

QPolygon MapBlock::outline() const { return QPolygon(QList<QPoint>(polygon.begin(), polygon.end())); }

QPainterPath MapBlock::clipPath() const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPolygon(QPolygonF(outline()));
    path.closeSubpath();
    return path;
}

QRegion MapBlock::clipRegion() const { return QRegion(outline(), Qt::WindingFill); }

QImage MapBlock::clipMask(const QSize& size) const
{
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(clipPath());
    return mask;
}

} // namespace tavik
