#include "common/grid_square.h"

#include <cctype>

namespace tavik {
namespace {

// Eighth squares are the smallest: 1/960 degree of latitude (3.75 seconds)
// and 1/640 degree of longitude (5.625 seconds). Counted in eighth squares
// every larger square has a whole size, the same in both directions.
constexpr std::int64_t eighthsPerLatitudeDegree = 960;
constexpr std::int64_t eighthsPerLongitudeDegree = 640;
constexpr std::int64_t firstOrderEighths = 640; // 2/3 degree of latitude, 1 degree of longitude
constexpr std::int64_t secondOrderEighths = 80;
constexpr std::int64_t thirdOrderEighths = 8;
constexpr std::int64_t lastFirstOrder = 99;

// Whole eighth squares from the origin to the point, rounded down; nothing
// for a point south or west of the origin.
std::optional<std::int64_t> eighthsFrom(std::int64_t units, std::int64_t origin, std::int64_t perDegree)
{
    std::int64_t offset = units - origin;
    if (offset < 0)
        return std::nullopt;
    // At most 1,000 degrees × 1e8 units × 960: well inside 64 bits.
    return offset * perDegree / GeoPoint::unitsPerDegree;
}

// The eighth-square row and column of a point inside the system.
struct EighthIndex {
    std::int64_t row;
    std::int64_t column;
};

std::optional<EighthIndex> eighthIndex(const GeoPoint& point)
{
    std::optional<std::int64_t> row = eighthsFrom(point.latitude, 0, eighthsPerLatitudeDegree);
    std::optional<std::int64_t> column
        = eighthsFrom(point.longitude, 100 * GeoPoint::unitsPerDegree, eighthsPerLongitudeDegree);
    if (!row || !column || *row / firstOrderEighths > lastFirstOrder || *column / firstOrderEighths > lastFirstOrder)
        return std::nullopt;
    return EighthIndex{*row, *column};
}

char digit(std::int64_t value) { return static_cast<char>('0' + value); }

} // namespace

std::optional<GridOrder> parseGridOrder(std::string_view text)
{
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "1")
        return GridOrder::First;
    if (lower == "2")
        return GridOrder::Second;
    if (lower == "3")
        return GridOrder::Third;
    if (lower == "half" || lower == "4")
        return GridOrder::Half;
    if (lower == "quarter" || lower == "5")
        return GridOrder::Quarter;
    if (lower == "eighth" || lower == "6")
        return GridOrder::Eighth;
    return std::nullopt;
}

std::string_view gridOrderName(GridOrder order)
{
    switch (order) {
    case GridOrder::First:
        return "1";
    case GridOrder::Second:
        return "2";
    case GridOrder::Third:
        return "3";
    case GridOrder::Half:
        return "half";
    case GridOrder::Quarter:
        return "quarter";
    case GridOrder::Eighth:
        return "eighth";
    }
    return "";
}

std::optional<int> firstOrderCode(const GeoPoint& point)
{
    std::optional<EighthIndex> index = eighthIndex(point);
    if (!index)
        return std::nullopt;
    return static_cast<int>(index->row / firstOrderEighths * 100 + index->column / firstOrderEighths);
}

std::optional<std::string> gridSquareCode(const GeoPoint& point, GridOrder order)
{
    std::optional<EighthIndex> index = eighthIndex(point);
    if (!index)
        return std::nullopt;
    std::int64_t row = index->row;
    std::int64_t column = index->column;
    std::string code;
    code += digit(row / firstOrderEighths / 10);
    code += digit(row / firstOrderEighths % 10);
    code += digit(column / firstOrderEighths / 10);
    code += digit(column / firstOrderEighths % 10);
    row %= firstOrderEighths;
    column %= firstOrderEighths;
    if (order >= GridOrder::Second) {
        code += digit(row / secondOrderEighths);
        code += digit(column / secondOrderEighths);
        row %= secondOrderEighths;
        column %= secondOrderEighths;
    }
    if (order >= GridOrder::Third) {
        code += digit(row / thirdOrderEighths);
        code += digit(column / thirdOrderEighths);
        row %= thirdOrderEighths;
        column %= thirdOrderEighths;
    }
    // Half, quarter and eighth squares halve the square before in both
    // directions; the digit numbers the four parts 1 to 4 from south-west
    // to north-east, row by row.
    std::int64_t part = thirdOrderEighths / 2;
    for (GridOrder level : {GridOrder::Half, GridOrder::Quarter, GridOrder::Eighth}) {
        if (order < level)
            break;
        code += digit(1 + (row / part) * 2 + column / part);
        row %= part;
        column %= part;
        part /= 2;
    }
    return code;
}

} // namespace tavik
