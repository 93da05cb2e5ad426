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

} // namespace

BlockProjection::BlockProjection(const MapBlock& block)
    : block_(block)
    , parameters_(block.kind == ProjectionKind::TransverseMercator ? block.transverseMercator : block.lambert)
{
    if (block.kind == ProjectionKind::LambertEqualArea)
        centre_ = sineCosineOfDegrees(block.lambert.lat0);
    if (parameters_.rotation != 0.0)
        rotation_ = {std::sin(parameters_.rotation), std::cos(parameters_.rotation)};
}

QPointF BlockProjection::place(PlanePoint point) const
{
    double x = point.x;
    double y = point.y;
    if (parameters_.rotation != 0.0) {
        x = point.x * rotation_.cosine - point.y * rotation_.sine;
        y = point.x * rotation_.sine + point.y * rotation_.cosine;
    }
    // Image rows grow downwards, plane y upwards.
    return {(x + parameters_.shiftX) * parameters_.magnification, (parameters_.shiftY - y) * parameters_.magnification};
}

QPointF BlockProjection::imagePosition(double longitude, double latitude) const
{
    switch (block_.kind) {
    case ProjectionKind::LambertEqualArea:
        return place(lambertAzimuthalEqualArea(
            sineCosineOfDegrees(latitude), sineCosineOfDegrees(longitude - parameters_.lon0), centre_));
    case ProjectionKind::TransverseMercator:
        return place(transverseMercator(longitude, latitude, parameters_.lon0));
    case ProjectionKind::None:
        break;
    }
    return {longitude, latitude};
}

QPoint BlockProjection::project(double longitude, double latitude) const
{
    const QPointF position = imagePosition(longitude, latitude);
    return {toPixel(position.x()), toPixel(position.y())};
}

std::array<QPoint, 4> BlockProjection::projectCorners(double west, double south, double east, double north) const
{
    if (block_.kind != ProjectionKind::LambertEqualArea)
        return {project(west, south), project(east, south), project(east, north), project(west, north)};
    const SineCosine southSide = sineCosineOfDegrees(south), northSide = sineCosineOfDegrees(north);
    const SineCosine westSide = sineCosineOfDegrees(west - parameters_.lon0);
    const SineCosine eastSide = sineCosineOfDegrees(east - parameters_.lon0);
    auto corner = [&](SineCosine latitude, SineCosine deltaLongitude) {
        const QPointF position = place(lambertAzimuthalEqualArea(latitude, deltaLongitude, centre_));
        return QPoint(toPixel(position.x()), toPixel(position.y()));
    };
    return {corner(southSide, westSide), corner(southSide, eastSide), corner(northSide, eastSide),
        corner(northSide, westSide)};
}

QPointF MapBlock::imagePosition(double longitude, double latitude) const
{
    return BlockProjection(*this).imagePosition(longitude, latitude);
}

QPoint MapBlock::project(double longitude, double latitude) const
{
    return BlockProjection(*this).project(longitude, latitude);
}

std::array<QPoint, 4> MapBlock::projectCorners(double west, double south, double east, double north) const
{
    return BlockProjection(*this).projectCorners(west, south, east, north);
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
