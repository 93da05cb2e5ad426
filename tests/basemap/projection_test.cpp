#include "viewer/basemap/map_block.h"
#include "viewer/basemap/projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavik {
namespace {

// Meridian arc from the equator to a latitude on the map ellipsoid, by
// Simpson's rule over a(1 - e2) / (1 - e2 sin^2)^(3/2): independent of the
// series the projection uses.
double meridianArc(double latitude)
{
    const double a = 6378137.0;
    const double e2 = 0.0066831384266422145;
    const int steps = 20000;
    const double end = latitude * M_PI / 180.0;
    const double h = end / steps;
    auto f = [&](double phi) { return a * (1 - e2) / std::pow(1 - e2 * std::sin(phi) * std::sin(phi), 1.5); };
    double sum = f(0) + f(end);
    for (int i = 1; i < steps; ++i)
        sum += (i % 2 ? 4 : 2) * f(i * h);
    return sum * h / 3;
}

TEST(TransverseMercator, MatchesTheExactProjectionToAMillimetre)
{
    // Reference values from Krüger's series in the third flattening to sixth
    // order (accurate to nanometres) for this ellipsoid, central meridian 135.
    struct Case {
        double longitude, latitude, x, y;
    };
    const Case cases[] = {
        {136.0, 35.0, 91253.08369443, 3873536.12737095}, // one degree east at 35N
        {138.0, 45.0, 236445.35905978, 4987370.56748028},
        {133.0, -20.0, -209243.09178063, -2212754.26308652},
        {136.5, 25.5, 150757.02019390, 2821192.50401025},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latitude);
        PlanePoint p = transverseMercator(c.longitude, c.latitude, 135.0);
        EXPECT_NEAR(p.x, c.x, 0.001);
        EXPECT_NEAR(p.y, c.y, 0.001);
    }
    for (double latitude : {10.0, 35.0, 60.0}) {
        PlanePoint p = transverseMercator(135.0, latitude, 135.0);
        EXPECT_EQ(p.x, 0.0);
        EXPECT_NEAR(p.y, 0.9996 * meridianArc(latitude), 0.001);
    }
}

TEST(LambertAzimuthalEqualArea, KeepsDistancesFromTheCentreDirectionsAndAreas)
{
    // Points of the unit sphere on the axes, from a centre on the equator.
    PlanePoint east = lambertAzimuthalEqualArea(225.0, 0.0, 135.0, 0.0);
    EXPECT_NEAR(east.x, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(east.y, 0.0, 1e-12);
    PlanePoint pole = lambertAzimuthalEqualArea(10.0, 90.0, 135.0, 0.0);
    EXPECT_NEAR(pole.x, 0.0, 1e-12);
    EXPECT_NEAR(pole.y, std::sqrt(2.0), 1e-12);
    PlanePoint centre = lambertAzimuthalEqualArea(135.0, 35.0, 135.0, 35.0);
    EXPECT_EQ(centre.x, 0.0);
    EXPECT_EQ(centre.y, 0.0);

    // From a centre at 135E 35N: distance from the centre on the plane is the
    // chord 2 sin(c / 2) of the great-circle angle c, in the direction of the
    // point's azimuth; and areas are kept (the Jacobian is cos(latitude)).
    const double lon0 = 135.0, lat0 = 35.0;
    const double rad = M_PI / 180.0;
    for (auto [lon, lat] : {std::pair{140.0, 40.0}, {120.0, 20.0}, {135.0, -30.0}, {170.0, 60.0}}) {
        SCOPED_TRACE(lon);
        const double dl = (lon - lon0) * rad, p0 = lat0 * rad, p = lat * rad;
        const double hav
            = std::pow(std::sin((p - p0) / 2), 2) + std::cos(p0) * std::cos(p) * std::pow(std::sin(dl / 2), 2);
        const double c = 2 * std::asin(std::sqrt(hav));
        const double azimuth = std::atan2(
            std::sin(dl) * std::cos(p), std::cos(p0) * std::sin(p) - std::sin(p0) * std::cos(p) * std::cos(dl));
        PlanePoint q = lambertAzimuthalEqualArea(lon, lat, lon0, lat0);
        EXPECT_NEAR(std::hypot(q.x, q.y), 2 * std::sin(c / 2), 1e-12);
        EXPECT_NEAR(std::atan2(q.x, q.y), azimuth, 1e-12);

        const double d = 1e-5;
        PlanePoint dx1 = lambertAzimuthalEqualArea(lon + d, lat, lon0, lat0);
        PlanePoint dx0 = lambertAzimuthalEqualArea(lon - d, lat, lon0, lat0);
        PlanePoint dy1 = lambertAzimuthalEqualArea(lon, lat + d, lon0, lat0);
        PlanePoint dy0 = lambertAzimuthalEqualArea(lon, lat - d, lon0, lat0);
        const double step = 2 * d * rad;
        const double jacobian = ((dx1.x - dx0.x) * (dy1.y - dy0.y) - (dx1.y - dx0.y) * (dy1.x - dy0.x)) / (step * step);
        EXPECT_NEAR(jacobian, std::cos(p), 1e-6);
    }
    // The antipode has no image.
    PlanePoint antipode = lambertAzimuthalEqualArea(-45.0, -35.0, 135.0, 35.0);
    EXPECT_EQ(antipode.x, 0.0);
    EXPECT_EQ(antipode.y, 0.0);
}

TEST(MapBlock, PlacesProjectedPointsOnTheImage)
{
    MapBlock block;
    block.kind = ProjectionKind::TransverseMercator;
    block.transverseMercator = {135.0, 0.0, 0.0, 0.0, 0.0, 0.01};
    // One pixel per 100 m; rows grow southwards and truncate toward zero.
    EXPECT_EQ(block.project(136.0, 35.0), QPoint(912, -38735));
    block.transverseMercator.shiftY = 4000000.0;
    EXPECT_EQ(block.project(136.0, 35.0), QPoint(912, 1264));
    EXPECT_DOUBLE_EQ(block.projectLength(250.0), 2.5);

    block.kind = ProjectionKind::LambertEqualArea;
    block.lambert = {135.0, 35.0, 0.0, 0.25, 0.5, 1000.0};
    // The centre lands at the shifts.
    EXPECT_EQ(block.project(135.0, 35.0), QPoint(250, 500));
    EXPECT_NEAR(block.projectLength(6365000.0), 1000.0, 1e-6);
    // A quarter turn counter-clockwise takes east to north.
    block.lambert = {135.0, 0.0, 90.0 * RadiansPerDegree, 0.0, 0.0, 1000.0};
    EXPECT_EQ(block.project(225.0, 0.0), QPoint(0, -1414));
    // The antipode lands at the shifts, as the centre does.
    block.lambert = {135.0, 35.0, 0.0, 0.25, 0.5, 1000.0};
    EXPECT_EQ(block.project(-45.0, -35.0), QPoint(250, 500));
    // Without magnification everything is at the origin.
    block.lambert.magnification = 0.0;
    EXPECT_EQ(block.project(140.0, 40.0), QPoint(0, 0));

    block.kind = ProjectionKind::None;
    EXPECT_EQ(block.project(135.7, -35.9), QPoint(135, -35));
    EXPECT_EQ(block.projectLength(1000.0), 0.0);
    // Positions beyond any image stay defined.
    EXPECT_EQ(
        block.project(1e300, std::numeric_limits<double>::quiet_NaN()), QPoint(MapBlock::FarAway, -MapBlock::FarAway));
}

// Grid squares project their corners from shared sines and cosines; the
// corners must be exactly the points' own projections, or a square's edge
// would shift a pixel against a mark at the same place.
TEST(MapBlock, ProjectsSquareCornersExactlyAsTheirPoints)
{
    for (double lat0 : {35.0, -12.5, 0.0}) {
        for (double lat = -60.0; lat <= 80.0; lat += 7.3) {
            for (double lon = 100.0; lon <= 170.0; lon += 3.7) {
                const PlanePoint direct = lambertAzimuthalEqualArea(lon, lat, 137.5, lat0);
                const PlanePoint shared = lambertAzimuthalEqualArea(
                    sineCosineOfDegrees(lat), sineCosineOfDegrees(lon - 137.5), sineCosineOfDegrees(lat0));
                EXPECT_EQ(direct.x, shared.x) << lon << "," << lat;
                EXPECT_EQ(direct.y, shared.y) << lon << "," << lat;
            }
        }
    }

    MapBlock block;
    block.lambert = {137.5, 37.0, 0.3, 0.5, 0.5, 7.7e6};
    block.transverseMercator = {135.0, 0.0, 0.0, 0.0, -4e6, 0.13};
    for (ProjectionKind kind : {ProjectionKind::LambertEqualArea, ProjectionKind::TransverseMercator}) {
        block.kind = kind;
        for (double south = 30.0; south < 45.0; south += 0.41) {
            const double west = 128.0 + (south - 30.0) * 1.01, east = west + 0.0125, north = south + 1.0 / 120;
            const std::array<QPoint, 4> expected{block.project(west, south), block.project(east, south),
                block.project(east, north), block.project(west, north)};
            EXPECT_EQ(block.projectCorners(west, south, east, north), expected) << south;
        }
    }
}

TEST(MapBlock, ClipsToItsOutlineByTheWindingRule)
{
    MapBlock block;
    EXPECT_FALSE(block.clips());
    // A five-pointed star drawn in one stroke: its centre is wound twice, so
    // it is inside by the winding rule (and would be outside by odd-even).
    block.polygon = {{100, 0}, {159, 181}, {5, 69}, {195, 69}, {41, 181}};
    EXPECT_TRUE(block.clips());
    EXPECT_TRUE(block.clipPath().contains(QPointF(100, 100)));
    EXPECT_TRUE(block.clipRegion().contains(QPoint(100, 100)));
    EXPECT_TRUE(block.clipRegion().contains(QPoint(100, 20)));
    EXPECT_FALSE(block.clipRegion().contains(QPoint(10, 10)));
    EXPECT_FALSE(block.clipPath().contains(QPointF(190, 170)));
}

} // namespace
} // namespace tavik
