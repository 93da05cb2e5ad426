#include "common/datum_shift_table.h"

#include "common/grid_square.h"
#include "platform/text_numbers.h"

#include <algorithm>
#include <cmath>

namespace tavik {
namespace {

constexpr size_t kColumns = 4; // columns of a datum-shift row that are read

std::int64_t degreesToUnits(double degrees)
{
    return std::llround(degrees * static_cast<double>(GeoPoint::unitsPerDegree));
}

bool bySquareCode(const DatumShiftRecord& a, const DatumShiftRecord& b) { return a.squareCode < b.squareCode; }

} // namespace

DatumShiftStatus DatumShiftTable::load(std::string_view path, int capacity)
{
    rows_.clear();
    DatumShiftStatus stop = DatumShiftStatus::Ok;
    // Ends the table at the reader's line with a fault of the table's own.
    auto stopAt = [&](const CsvReader& reader, DatumShiftStatus status) {
        stop = status;
        fault_.line = reader.lineNumber();
        return false;
    };
    const TableRowsRead read = readTableRows(path, kColumns, fault_, [&](const CsvReader& reader) {
        // A row beyond the capacity stops loading before its code is read.
        if (static_cast<int>(rows_.size()) >= capacity)
            return stopAt(reader, DatumShiftStatus::Overflow);
        DatumShiftRecord record;
        record.squareCode = parseInteger(reader.field(0));
        if (record.squareCode < 1)
            return stopAt(reader, DatumShiftStatus::BadSquareCode);
        record.latitudeShift = parseReal(reader.field(2)) / 3600.0;
        record.longitudeShift = parseReal(reader.field(3)) / 3600.0;
        rows_.push_back(record);
        return true;
    });
    std::stable_sort(rows_.begin(), rows_.end(), bySquareCode);
    switch (read) {
    case TableRowsRead::CannotOpen:
        return DatumShiftStatus::CannotOpen;
    case TableRowsRead::FaultyLine:
        return DatumShiftStatus::FaultyLine;
    case TableRowsRead::Done:
    case TableRowsRead::Stopped:
        break;
    }
    return stop;
}

void DatumShiftTable::add(std::int32_t squareCode, double latitudeSeconds, double longitudeSeconds)
{
    DatumShiftRecord row{squareCode, latitudeSeconds / 3600.0, longitudeSeconds / 3600.0};
    auto at = std::lower_bound(rows_.begin(), rows_.end(), row, bySquareCode);
    if (at == rows_.end() || at->squareCode != squareCode)
        rows_.insert(at, row);
}

const DatumShiftRecord* DatumShiftTable::find(std::int32_t squareCode) const
{
    auto it = std::lower_bound(rows_.begin(), rows_.end(), squareCode,
        [](const DatumShiftRecord& r, std::int32_t wanted) { return r.squareCode < wanted; });
    return it == rows_.end() || it->squareCode != squareCode ? nullptr : &*it;
}

std::optional<DatumShiftTable::PointShift> DatumShiftTable::shiftAt(const GeoPoint& point) const
{
    std::optional<int> code = firstOrderCode(point);
    const DatumShiftRecord* row = code ? find(*code) : nullptr;
    if (!row)
        return std::nullopt;
    return PointShift{degreesToUnits(row->latitudeShift), degreesToUnits(row->longitudeShift)};
}

GeoPoint DatumShiftTable::tokyoToWorld(const GeoPoint& point) const
{
    std::optional<PointShift> shift = shiftAt(point);
    if (!shift)
        return point;
    return {point.latitude + shift->latitude, point.longitude + shift->longitude};
}

GeoPoint DatumShiftTable::worldToTokyo(const GeoPoint& point) const
{
    // The shift is some 10 seconds, and a first-order square 40 minutes:
    // undoing the shift of the point's square lands in the right square
    // except within a shift of its edge, where one more step settles it.
    GeoPoint tokyo = point;
    for (int step = 0; step < 2; ++step) {
        std::optional<PointShift> shift = shiftAt(tokyo);
        if (!shift)
            return step == 0 ? point : tokyo;
        tokyo = {point.latitude - shift->latitude, point.longitude - shift->longitude};
    }
    return tokyo;
}

} // namespace tavik
