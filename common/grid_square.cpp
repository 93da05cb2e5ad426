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

namespace {

std::uint8_t digitAt(std::string_view digits, std::size_t i) { return static_cast<std::uint8_t>(digits[i] - '0'); }

// The level the maps read from the digits of a code (4 or more): by their
// count, but a ninth digit 5 is a 2 km square whatever follows it.
SquareLevel levelOfCount(std::string_view digits)
{
    if (digits.size() < 6)
        return SquareLevel::First;
    if (digits.size() == 6)
        return SquareLevel::Second;
    if (digits.size() == 7)
        return SquareLevel::FiveKm;
    if (digits.size() == 8)
        return SquareLevel::Third;
    if (digits[8] == '5')
        return SquareLevel::TwoKm;
    if (digits.size() == 9)
        return SquareLevel::Half;
    return digits.size() == 10 ? SquareLevel::Quarter : SquareLevel::Eighth;
}

bool isQuarterDigit(char c) { return c >= '1' && c <= '4'; }

} // namespace

std::optional<SquareDigits> readSquareDigits(std::string_view digits)
{
    if (digits.size() < 4)
        return std::nullopt;
    SquareDigits square;
    square.level = levelOfCount(digits);
    square.firstLatitude = static_cast<std::uint8_t>(digitAt(digits, 0) * 10 + digitAt(digits, 1));
    square.firstLongitude = static_cast<std::uint8_t>(digitAt(digits, 2) * 10 + digitAt(digits, 3));
    if (square.level == SquareLevel::First)
        return square;
    square.secondLatitude = digitAt(digits, 4);
    square.secondLongitude = digitAt(digits, 5);
    if (square.level == SquareLevel::FiveKm)
        square.fiveKm = digitAt(digits, 6);
    if (square.level <= SquareLevel::FiveKm)
        return square;
    square.thirdLatitude = digitAt(digits, 6);
    square.thirdLongitude = digitAt(digits, 7);
    if (square.level >= SquareLevel::Half)
        square.half = digitAt(digits, 8);
    if (square.level >= SquareLevel::Quarter)
        square.quarter = digitAt(digits, 9);
    if (square.level == SquareLevel::Eighth)
        square.eighth = digitAt(digits, 10);
    return square;
}

SquareCodeCheck checkSquareCode(std::string_view digits)
{
    using Fault = SquareCodeCheck::Fault;
    if (digits.size() < 4 || digits.size() == 5 || digits.size() > 11)
        return {Fault::Count, 0};
    const bool twoKm = digits.size() == 9 && digits[8] == '5';
    auto outOfRange = [&](std::size_t i) {
        const char c = digits[i];
        if (i < 4)
            return false;
        if (i < 6)
            return c > '7';
        if (digits.size() == 7)
            return !isQuarterDigit(c); // the 5 km square's quarter
        if (i < 8)
            return twoKm && (c - '0') % 2 != 0;
        return !twoKm && !isQuarterDigit(c);
    };
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (digits[i] < '0' || digits[i] > '9' || outOfRange(i))
            return {Fault::Digit, i};
    }
    return {};
}

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

GridSquare squareOf(const SquareDigits& digits)
{
    const double p = digits.firstLatitude, uv = digits.firstLongitude;
    const double q = digits.secondLatitude, v = digits.secondLongitude;
    const double r = digits.thirdLatitude, w = digits.thirdLongitude;
    GridSquare square;
    square.latitude = (p + (q + r / 10.0) / 8.0) * 2.0 / 3.0;
    square.longitude = 100.0 + uv + (v + w / 10.0) / 8.0;

    Extent extent{};
    switch (digits.level) {
    case SquareLevel::First:
        extent = kFirstOrder;
        break;
    case SquareLevel::Second:
        extent = kSecondOrder;
        break;
    case SquareLevel::Third:
        extent = kThirdOrder;
        break;
    case SquareLevel::Eighth:
        addQuarter(digits.half, kHalf, square);
        addQuarter(digits.quarter, kQuarter, square);
        addQuarter(digits.eighth, kEighth, square);
        extent = kEighth;
        break;
    case SquareLevel::Quarter:
        addQuarter(digits.half, kHalf, square);
        addQuarter(digits.quarter, kQuarter, square);
        extent = kQuarter;
        break;
    case SquareLevel::Half:
        addQuarter(digits.half, kHalf, square);
        extent = kHalf;
        break;
    case SquareLevel::FiveKm:
        addQuarter(digits.fiveKm, kFiveKm, square);
        extent = kFiveKm;
        break;
    case SquareLevel::TwoKm:
        extent = kTwoKm;
        break;
    }
    square.latitudeExtent = extent.latitude;
    square.longitudeExtent = extent.longitude;
    return square;
}

} // namespace tavik
