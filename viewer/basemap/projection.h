#pragma once

namespace tavik {

// Degrees to radians, with the factor every stored map angle uses.
inline constexpr double RadiansPerDegree = 0.017453292519943278;

// A point of a projection plane, in the projection's own units.
struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

// Lambert azimuthal equal-area projection of (longitude, latitude), degrees,
// on the unit sphere centred at (lon0, lat0): x grows to the east, y to the
// north, in units of the sphere's radius. The antipode of the centre, where
// the projection has no value, gives (0, 0).
PlanePoint lambertAzimuthalEqualArea(double longitude, double latitude, double lon0, double lat0);

// The sine and cosine of an angle, degrees, as the projections take them.
struct SineCosine {
    double sine = 0.0;
    double cosine = 1.0;
};
SineCosine sineCosineOfDegrees(double degrees);

// The same projection from the sines and cosines of the latitude, of the
// longitude's difference from lon0 and of lat0: where points share them
// (the corners of a grid square), each is worked out once. Gives exactly
// what lambertAzimuthalEqualArea gives.
PlanePoint lambertAzimuthalEqualArea(SineCosine latitude, SineCosine deltaLongitude, SineCosine latitude0);

// Transverse Mercator projection of (longitude, latitude), degrees, by the
// Gauss-Krüger series on the map ellipsoid (a = 6378137 m, scale factor
// 0.9996 on the central meridian lon0), with the equator as latitude of
// origin and no false easting or northing: metres east of the central
// meridian (x) and north of the equator (y).
PlanePoint transverseMercator(double longitude, double latitude, double lon0);

} // namespace tavik
