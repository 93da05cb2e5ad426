#include "viewer/render/grid_square.h"

#include "viewer/settings/distribution_table.h"

namespace tavik {
namespace {

// Degrees a square of each level spans, north to south and east to west.
struct Extent {
    double latitude;
    double longitude;
};
constexpr Extent kFirstOrder{2.0 / 3.0, 1.0};
constexpr Extent kSecondOrder{1.0 / 12.0, 1.0 / 8.0};
constexpr Extent kThirdOrder{1.0 / 120.0, 1.0 / 80.0};
constexpr Extent kHalf{1.0 / 240.0, 1.0 / 160.0};
constexpr Extent kQuarter{1.0 / 480.0, 1.0 / 320.0};
constexpr Extent kEighth{1.0 / 960.0, 1.0 / 640.0};
constexpr Extent kFiveKm{1.0 / 24.0, 1.0 / 16.0};
constexpr Extent kTwoKm{1.0 / 60.0, 1.0 / 40.0};

// A subdividing digit 1 to 4 names the quarter of a square: 1 south-west,
// 2 south-east, 3 north-west, 4 north-east; `quarter` is the extent of the
// quarter it names.
void addQuarter(int digit, const Extent& quarter, GridSquare& square)
{
    int e = digit - 1;
    square.latitude += ((e & 2) ? 1 : 0) * quarter.latitude;
    square.longitude += ((e & 1) ? 1 : 0) * quarter.longitude;
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

    Extent extent{};
    switch (kind) {
    case LocationKind::FirstOrder:
        extent = kFirstOrder;
        break;
    case LocationKind::SecondOrder:
        extent = kSecondOrder;
        break;
    case LocationKind::ThirdOrder:
        extent = kThirdOrder;
        break;
    case LocationKind::Eighth:
        addQuarter(record.half, kHalf, square);
        addQuarter(record.quarter, kQuarter, square);
        addQuarter(record.eighth, kEighth, square);
        extent = kEighth;
        break;
    case LocationKind::Quarter:
        addQuarter(record.half, kHalf, square);
        addQuarter(record.quarter, kQuarter, square);
        extent = kQuarter;
        break;
    case LocationKind::Half:
        addQuarter(record.half, kHalf, square);
        extent = kHalf;
        break;
    case LocationKind::FiveKm:
        addQuarter(record.fiveKm, kFiveKm, square);
        extent = kFiveKm;
        break;
    case LocationKind::TwoKm:
        extent = kTwoKm;
        break;
    default:
        return std::nullopt;
    }
    square.latitudeExtent = extent.latitude;
    square.longitudeExtent = extent.longitude;
    return square;
}

} // namespace tavik
