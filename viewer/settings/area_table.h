#pragma once

#include "common/table_rows.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavik {

// An area of the area table as the viewer uses it: where its point lies and
// whether it is shown by filling its region.
struct AreaRecord {
    std::int32_t code = 0;
    double latitude = 0.0; // degrees, or kInvalidAngle
    double longitude = 0.0; // degrees, or kInvalidAngle
    std::int16_t x = 0; // pixels of the base image, for maps without projection
    std::int16_t y = 0;
    bool fill = false; // fill the region containing the point instead of a mark
    int row = 0;
};

enum class AreaTableStatus { Ok = 0, CannotOpen = -1, Overflow = -2, FaultyLine = -3 };

// The area table, kept in file order and searched linearly by code.
class AreaTable {
public:
    // Reads the table; a row beyond `capacity` ends loading with Overflow, a
    // line the reader refuses (or cannot read) with FaultyLine and fault()
    // saying where: every area after it would be lost from every map.
    AreaTableStatus load(std::string_view path, int capacity);

    const CsvLineFault& fault() const { return fault_; }

    // The first area of a code, or null.
    const AreaRecord* find(std::int32_t code) const;

    const std::vector<AreaRecord>& rows() const { return rows_; }

private:
    std::vector<AreaRecord> rows_;
    CsvLineFault fault_;
};

} // namespace tavik
