#include "viewer/render/grid_square.h"

#include "viewer/settings/distribution_table.h"

namespace tavik {
namespace {

// A subdividing digit 1 to 4 names the quarter of a square: 1 south-west,
// 2 south-east, 3 north-west, 4 north-east.
void addQuarter(int digit, double latitudeStep, double longitudeStep, GridSquare& square)
{
    int e = digit - 1;
    square.latitude += ((e & 2) ? 1 : 0) * latitudeStep;
    square.longitude += ((e & 1) ? 1 : 0) * longitudeStep;
}

} // namespace

std::optional<GridSquare> gridSquareOf(const DistributionRecord& record)
{
    LocationKind kind = record.kind;
    if (kind < LocationKind::FirstOrder || kind > LocationKind::FiveKm)
        return std::nullopt;

    const double p = record.firstLatitude, uv = record.firstLongitude;
    const double q = record.secondLatitude, v = record.secondLongitude;
    const double r = record.thirdLatitude, w = record.thirdLongitude;
    GridSquare square;
    square.latitude = (p + (q + r / 10.0) / 8.0) * 2.0 / 3.0;
    square.longitude = 100.0 + uv + (v + w / 10.0) / 8.0;

    switch (kind) {
    case LocationKind::FirstOrder:
        square.latitudeExtent = 2.0 / 3.0;
        square.longitudeExtent = 1.0;
        break;
    case LocationKind::SecondOrder:
        square.latitudeExtent = 1.0 / 12.0;
        square.longitudeExtent = 1.0 / 8.0;
        break;
    case LocationKind::ThirdOrder:
        square.latitudeExtent = 1.0 / 120.0;
        square.longitudeExtent = 1.0 / 80.0;
        break;
    case LocationKind::Eighth:
        addQuarter(record.half, 1.0 / 240, 1.0 / 160, square);
        addQuarter(record.quarter, 1.0 / 480, 1.0 / 320, square);
        addQuarter(record.eighth, 1.0 / 960, 1.0 / 640, square);
        square.latitudeExtent = 1.0 / 960.0;
        square.longitudeExtent = 1.0 / 640.0;
        break;
    case LocationKind::Quarter:
        addQuarter(record.half, 1.0 / 240, 1.0 / 160, square);
        addQuarter(record.quarter, 1.0 / 480, 1.0 / 320, square);
        square.latitudeExtent = 1.0 / 480.0;
        square.longitudeExtent = 1.0 / 320.0;
        break;
    case LocationKind::Half:
        addQuarter(record.half, 1.0 / 240, 1.0 / 160, square);
        square.latitudeExtent = 1.0 / 240.0;
        square.longitudeExtent = 1.0 / 160.0;
        break;
    case LocationKind::FiveKm:
        addQuarter(record.fiveKm, 1.0 / 24, 1.0 / 16, square);
        square.latitudeExtent = 1.0 / 24.0;
        square.longitudeExtent = 1.0 / 16.0;
        break;
    case LocationKind::TwoKm:
        square.latitudeExtent = 1.0 / 60.0;
        square.longitudeExtent = 1.0 / 40.0;
        break;
    default:
        return std::nullopt;
    }
    return square;
}

} // namespace tavik
