#pragma once

#include "viewer/basemap/projection.h"

#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>
#include <QPolygon>
#include <QRegion>

#include <array>
#include <string>
#include <vector>

namespace tavik {

// The projection of a map block, by the codes the definition file stands for.
enum class ProjectionKind {
    None = 0, // longitude and latitude are pixel x and y as they stand
    TransverseMercator = 2, // Gauss-Krüger, metres
    LambertEqualArea = 4, // Lambert azimuthal equal-area on the unit sphere
};

// Where a projection's plane lies on the base image.
struct ProjectionParameters {
    double lon0 = 0.0; // degrees
    double lat0 = 0.0; // degrees (Lambert only)
    double rotation = 0.0; // radians, counter-clockwise
    double shiftX = 0.0; // in the plane's units (sphere radii or metres)
    double shiftY = 0.0; // likewise
    double magnification = 0.0; // pixels per plane unit
};

// One map block of a blank map: a part of the base image with its own
// projection, drawn clipped to its outline polygon.
struct MapBlock {
    static constexpr int MaxVertices = 64;
    static constexpr std::size_t CommentLimit = 255; // bytes

    std::string comment;
    ProjectionKind kind = ProjectionKind::None;
    ProjectionParameters lambert;
    ProjectionParameters transverseMercator;
    std::vector<QPoint> polygon; // pixels of the base image, at most MaxVertices

    // A pixel coordinate that does not fit (beyond a billion pixels, or no
    // number at all) is placed at +-FarAway, outside any image.
    static constexpr int FarAway = 1000000000;

    // The pixel of the base image at which (longitude, latitude), degrees,
    // lies in this block, truncated toward zero.
    QPoint project(double longitude, double latitude) const;

    // The pixels of the corners of a square of latitude and longitude lines:
    // south-west, south-east, north-east, north-west, each as project gives
    // it, with the angles the corners share worked out once.
    std::array<QPoint, 4> projectCorners(double west, double south, double east, double north) const;

    // The same position before truncation, in pixels of the base image: the
    // point lies in the pixel whose x and y are the integer parts. Not clamped
    // (NaN for an angle without a value).
    QPointF imagePosition(double longitude, double latitude) const;

    // A length in metres on the ground as pixels of this block; 0 for a block
    // without projection.
    double projectLength(double metres) const;

    // False for a block without outline: such a block is drawn unclipped.
    bool clips() const { return !polygon.empty(); }

    // The outline as the renderer clips with it: the vertices in order,
    // filled by the winding rule.
    QPolygon outline() const;
    QPainterPath clipPath() const;
    QRegion clipRegion() const;

    // The pixels of an image of `size` that the outline covers as the
    // renderer clips with it: non-zero inside, zero outside (Grayscale8).
    QImage clipMask(const QSize& size) const;
};

// A block's projection with what all its points share (the sines and
// cosines of the centre's latitude and of the rotation) worked out once, for
// the many points of one map. Gives exactly what the block's own project
// gives; the block must outlive it unchanged.
class BlockProjection {
public:
    explicit BlockProjection(const MapBlock& block);

    QPointF imagePosition(double longitude, double latitude) const;
    QPoint project(double longitude, double latitude) const;
    std::array<QPoint, 4> projectCorners(double west, double south, double east, double north) const;

private:
    QPointF place(PlanePoint point) const;

    const MapBlock& block_;
    const ProjectionParameters& parameters_;
    SineCosine centre_;
    SineCosine rotation_;
};

} // namespace tavik
