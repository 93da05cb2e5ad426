#pragma once

#include "tools/dwcimport/geo_point.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavik {

struct ToolError;

// The datum-shift table of the database (WgsJgsTable): for each first-order
// grid square, the shift from the Tokyo datum to the world datum in seconds
// of arc (column 2 latitude, column 3 longitude). The viewer adds the shift
// of a square's first-order code to a Tokyo-datum square; this table turns
// points from one datum to the other the same way, so a square taken here is
// drawn where its point lies.
class DatumShiftTable {
public:
    // Loads the table at a cp932 path holding at most `capacity` rows
    // (WgsJgsMax). False with the table path and a message in `error`.
    bool load(std::string_view path, int capacity, ToolError& error);

    // Adds one row: a first-order code and its shifts in seconds of arc.
    void add(int firstOrderCode, double latitudeSeconds, double longitudeSeconds);

    // A Tokyo-datum point on the world datum: the shift of the point's own
    // first-order square is added. A square without a row is not shifted.
    GeoPoint tokyoToWorld(const GeoPoint& point) const;

    // A world-datum point on the Tokyo datum: the point whose shift by
    // tokyoToWorld gives it back (near the edge of a first-order square the
    // square of the shifted point is the one whose shift counts).
    GeoPoint worldToTokyo(const GeoPoint& point) const;

    size_t size() const { return rows_.size(); }

private:
    struct Row {
        int code;
        std::int64_t latitude; // units of GeoPoint
        std::int64_t longitude;
    };
    const Row* find(const GeoPoint& point) const;

    std::vector<Row> rows_; // sorted by code
};

} // namespace tavik
