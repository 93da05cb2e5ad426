#pragma once

#include "common/geo_point.h"
#include "common/table_rows.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavik {

// The shift from the Japanese (Tokyo) datum to the world datum within one
// first-order grid square.
struct DatumShiftRecord {
    std::int32_t squareCode = 0; // 4 digits: 2 of latitude, 2 of longitude
    double latitudeShift = 0.0; // degrees
    double longitudeShift = 0.0; // degrees
};

enum class DatumShiftStatus { Ok = 0, CannotOpen = -1, Overflow = -2, BadSquareCode = -3, FaultyLine = -4 };

// The datum-shift table ("WGS_JGS.csv"), sorted by square code: seconds of
// arc in the file (column 2 latitude, column 3 longitude), degrees in
// memory. The viewer adds the shift of a square's first-order code to a
// Tokyo-datum square; dwcimport turns points from one datum to the other
// through the same rows, so a square it takes is drawn where its point lies.
class DatumShiftTable {
public:
    // Reads the table. A row without fields is skipped; a square code below
    // 1 ends loading with BadSquareCode; a row beyond `capacity` with
    // Overflow; a line the reader refuses (or cannot read) with FaultyLine.
    // fault() says on which line loading stopped.
    DatumShiftStatus load(std::string_view path, int capacity);

    const CsvLineFault& fault() const { return fault_; }

    // Adds one row: a first-order code and its shifts in seconds of arc. A
    // code already held keeps its first row.
    void add(std::int32_t squareCode, double latitudeSeconds, double longitudeSeconds);

    // The shift of a first-order square, or null (binary search; of rows with
    // one code, the first).
    const DatumShiftRecord* find(std::int32_t squareCode) const;

    const std::vector<DatumShiftRecord>& rows() const { return rows_; }
    size_t size() const { return rows_.size(); }

    // A Tokyo-datum point on the world datum: the shift of the point's own
    // first-order square is added. A square without a row is not shifted.
    GeoPoint tokyoToWorld(const GeoPoint& point) const;

    // A world-datum point on the Tokyo datum: the point whose shift by
    // tokyoToWorld gives it back (near the edge of a first-order square the
    // square of the shifted point is the one whose shift counts).
    GeoPoint worldToTokyo(const GeoPoint& point) const;

private:
    // The shift of the square holding a point, in units of GeoPoint.
    struct PointShift {
        std::int64_t latitude;
        std::int64_t longitude;
    };
    std::optional<PointShift> shiftAt(const GeoPoint& point) const;

    std::vector<DatumShiftRecord> rows_;
    CsvLineFault fault_;
};

} // namespace tavik
