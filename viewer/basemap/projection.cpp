#include "viewer/basemap/projection.h"

#include <cmath>

namespace tavik {

SineCosine sineCosineOfDegrees(double degrees)
{
    const double radians = degrees * RadiansPerDegree;
    return {std::sin(radians), std::cos(radians)};
}

PlanePoint lambertAzimuthalEqualArea(double longitude, double latitude, double lon0, double lat0)
{
    return lambertAzimuthalEqualArea(
        sineCosineOfDegrees(latitude), sineCosineOfDegrees(longitude - lon0), sineCosineOfDegrees(lat0));
}

PlanePoint lambertAzimuthalEqualArea(SineCosine latitude, SineCosine deltaLongitude, SineCosine latitude0)
{
    const double denominator
        = 1.0 + latitude0.sine * latitude.sine + latitude0.cosine * latitude.cosine * deltaLongitude.cosine;
    // q = 2 / denominator is positive exactly when the denominator is; at the
    // antipode it vanishes and the point has no image.
    const double k = denominator > 0.0 ? std::sqrt(2.0 / denominator) : 0.0;
    return {k * latitude.cosine * deltaLongitude.sine,
        k * (latitude0.cosine * latitude.sine - latitude0.sine * latitude.cosine * deltaLongitude.cosine)};
}

PlanePoint transverseMercator(double longitude, double latitude, double lon0)
{
    constexpr double a = 6378137.0;
    constexpr double e2 = 0.0066831384266422145;
    constexpr double ep2 = 0.006728103272158796; // e2 / (1 - e2)
    constexpr double k0 = 0.9996;
    constexpr double ep2Times58 = 0.3902299897852102;
    constexpr double ep2Times330 = 2.2202740798124028;

    const double phi = latitude * RadiansPerDegree;
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double tanPhi = std::tan(phi);
    const double n = a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    const double t = tanPhi * tanPhi;
    const double c = ep2 * cosPhi * cosPhi;
    const double aa = (longitude - lon0) * RadiansPerDegree * cosPhi;
    // Length of the meridian arc from the equator, by the series for this e2.
    const double m = a
        * (0.9983271159223996 * phi - 0.0025103773093798237 * std::sin(2 * phi)
            + 0.000002630168712950187 * std::sin(4 * phi) - 0.000000003400855684642499 * std::sin(6 * phi));
    const double a2 = aa * aa;
    const double a3 = a2 * aa;
    const double a4 = a2 * a2;
    const double a5 = a4 * aa;
    const double a6 = a3 * a3;
    const double x = k0 * n * (aa + (1 - t + c) * a3 / 6 + (5 - 18 * t + t * t + 72 * c - ep2Times58) * a5 / 120);
    const double y = k0
        * (m
            + n * tanPhi
                * (a2 / 2 + (5 - t + 9 * c + 4 * c * c) * a4 / 24
                    + (61 - 58 * t + t * t + 600 * c - ep2Times330) * a6 / 720));
    return {x, y};
}

} // namespace tavik
