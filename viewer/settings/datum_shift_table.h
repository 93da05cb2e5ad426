#pragma once

#include "viewer/settings/csv_line_reader.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavik {

// The shift from the Japanese datum to the world datum within one
// first-order grid square.
struct DatumShiftRecord {
    std::int32_t squareCode = 0; // 4 digits: 2 of latitude, 2 of longitude
    double latitudeShift = 0.0; // degrees
    double longitudeShift = 0.0; // degrees
};

enum class DatumShiftStatus { Ok = 0, CannotOpen = -1, Overflow = -2, BadSquareCode = -3, FaultyLine = -4 };

// The datum-shift table ("WGS_JGS.csv"), sorted by square code.
class DatumShiftTable {
public:
    // Reads the table: seconds of arc in the file, degrees in memory. A row
    // without fields is skipped; a square code below 1 ends loading with
    // BadSquareCode; a row beyond `capacity` with Overflow; a line the reader
    // refuses (or cannot read) with FaultyLine and fault() saying where.
    DatumShiftStatus load(std::string_view path, int capacity);

    const CsvLineFault& fault() const { return fault_; }

    // The shift of a first-order square, or null (binary search).
    const DatumShiftRecord* find(std::int32_t squareCode) const;

    const std::vector<DatumShiftRecord>& rows() const { return rows_; }

private:
    std::vector<DatumShiftRecord> rows_;
    CsvLineFault fault_;
};

} // namespace tavik
