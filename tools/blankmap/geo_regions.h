#pragma once

#include "tools/blankmap/blankmap_error.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// A point of a boundary in degrees, as the boundary file gives it (the
// exact geographic point of the records is GeoPoint).
struct BoundaryPoint {
    double longitude = 0.0;
    double latitude = 0.0;
};

// A longitude-latitude box, degrees.
struct GeoBox {
    double west = 0.0, south = 0.0, east = 0.0, north = 0.0;

    bool contains(const BoundaryPoint& point) const
    {
        return point.longitude >= west && point.longitude <= east && point.latitude >= south && point.latitude <= north;
    }
    BoundaryPoint centre() const { return {(west + east) / 2, (south + north) / 2}; }
};

// One polygon of a region: its outer ring first, then its holes.
struct GeoPolygon {
    std::vector<std::vector<BoundaryPoint>> rings;

    // The box around the outer ring.
    GeoBox bounds() const;
};

// One feature of a boundary file: an area with its polygons.
struct GeoRegion {
    std::int32_t code = 0; // area code
    std::optional<BoundaryPoint> label; // the feature's label point, when it has one
    std::map<int, std::string> columns; // area-table column -> text (cp932)
    std::vector<GeoPolygon> polygons;
    int feature = 0; // index of the feature in the file, from 0

    // How messages name the region (UTF-8): its code and its first text column.
    std::string displayName() const;
};

// Which feature properties give what.
struct RegionProperties {
    std::string code = "code"; // the area code: an integer, or a text of digits
    std::string labelLatitude; // the label point, degrees; empty: no label points
    std::string labelLongitude;
    std::map<int, std::string> columns; // area-table column -> property name
};

// Reads a GeoJSON FeatureCollection of Polygon and MultiPolygon features
// (cp932 path). False with `error` (the file, and a message that names the
// feature) on a file that cannot be read, is not such a collection, or has a
// feature without a usable code or geometry, or two features with the same
// code. Texts that cp932 lacks become "?" and are reported in `warnings`
// (UTF-8 lines, each naming the file).
bool readGeoRegions(std::string_view path, const RegionProperties& properties, std::vector<GeoRegion>& regions,
    BlankMapError& error, std::vector<std::string>& warnings);

} // namespace tavik
