#include "viewer/render/grid_square.h"

#include "viewer/settings/distribution_table.h"

namespace tavik {
namespace {

// The level of a grid-square record's kind, or nothing for another kind.
std::optional<SquareLevel> squareLevel(LocationKind kind)
{
    switch (kind) {
    case LocationKind::FirstOrder:
        return SquareLevel::First;
    case LocationKind::SecondOrder:
        return SquareLevel::Second;
    case LocationKind::ThirdOrder:
        return SquareLevel::Third;
    case LocationKind::Half:
        return SquareLevel::Half;
    case LocationKind::Quarter:
        return SquareLevel::Quarter;
    case LocationKind::Eighth:
        return SquareLevel::Eighth;
    case LocationKind::TwoKm:
        return SquareLevel::TwoKm;
    case LocationKind::FiveKm:
        return SquareLevel::FiveKm;
    case LocationKind::None:
    case LocationKind::Coordinates:
    case LocationKind::Area:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<GridSquare> gridSquareOf(const DistributionRecord& record)
{
    const std::optional<SquareLevel> level = squareLevel(record.kind);
    if (!level)
        return std::nullopt;
    SquareDigits digits;
    digits.level = *level;
    digits.firstLatitude = record.firstLatitude;
    digits.firstLongitude = record.firstLongitude;
    digits.secondLatitude = record.secondLatitude;
    digits.secondLongitude = record.secondLongitude;
    digits.thirdLatitude = record.thirdLatitude;
    digits.thirdLongitude = record.thirdLongitude;
    digits.fiveKm = record.fiveKm;
    digits.half = record.half;
    digits.quarter = record.quarter;
    digits.eighth = record.eighth;
    return squareOf(digits);
}

} // namespace tavik
