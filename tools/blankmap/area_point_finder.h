#pragma once

#include "tools/blankmap/geo_regions.h"

#include <QPoint>
#include <QRect>

#include <optional>
#include <string>
#include <vector>

namespace tavik {

class RegionRaster;
struct MapBlock;

// A polygon as drawn on the base map being made: which region and which of
// its polygons, in which block. Its number in the raster is its index.
struct DrawnPolygon {
    int region = 0; // index into the regions
    int polygon = 0; // index into the region's polygons
    int block = 0; // index into the blocks
};

// The reference point of an area: a land pixel of the region, in the largest
// polygon it has on the map, from which a four-way flood fill of the land
// colour covers that polygon's part of the map (and nothing of another region).
struct AreaPoint {
    bool placed = false; // false: the region has no land pixel on the map
    int block = -1; // the block it lies in
    QPoint pixel;
    BoundaryPoint position; // degrees, as the angle texts give them back
    std::string latitudeText; // angle text, "N35.657800"
    std::string longitudeText; // angle text, "E139.407000"
    bool fromLabel = false; // the feature's label point, not a point found on the map
    int fillPixels = 0; // pixels a flood fill from the point covers
    int polygonPixels = 0; // land pixels of the polygon it lies in
};

// Finds the reference points of the regions on a finished raster (regions
// separated), with the blocks as the viewer reads them from the definition.
class AreaPointFinder {
public:
    AreaPointFinder(
        const RegionRaster& raster, const std::vector<MapBlock>& blocks, const std::vector<DrawnPolygon>& drawn);

    // The point of one region. The feature's label point is taken when it
    // falls well inside (at least three pixels from the edge, or as far in as
    // the polygon allows); otherwise the pixel farthest from the polygon's
    // edge, as the longitude and latitude that project onto its centre.
    AreaPoint find(int region, const GeoRegion& geo) const;

    // The angle text of a latitude or longitude as the area table holds it.
    static std::string latitudeText(double degrees);
    static std::string longitudeText(double degrees);

    // The longitude and latitude whose position in the block is `target`
    // (pixels before truncation), found by Newton's method from `start`;
    // nothing when it does not converge.
    static std::optional<BoundaryPoint> unproject(const MapBlock& block, QPointF target, BoundaryPoint start);

private:
    struct Target;

    // The component of a land pixel.
    int componentAt(int x, int y) const;
    // Finds the region's largest polygon and its component; false when the
    // region has no land pixel.
    bool findLargestPolygon(int region, Target& target) const;
    // Measures how deep inside the component each pixel lies, and finds the
    // polygon's deepest pixel.
    void measureDepths(Target& target) const;
    bool inTarget(const QPoint& pixel, const Target& target) const;
    // The point placed on the map when its pixel lies in the target polygon
    // (a label point: well inside it); not placed otherwise.
    AreaPoint settle(const BoundaryPoint& point, bool fromLabel, const MapBlock& map, const Target& target) const;

    const RegionRaster& raster_;
    const std::vector<MapBlock>& blocks_;
    const std::vector<DrawnPolygon>& drawn_;
    std::vector<int> component_; // four-way connected land of one block, per pixel; -1 elsewhere
    std::vector<int> componentSize_;
    std::vector<QRect> regionBox_; // pixels of each region's land, so that a search looks there only
};

} // namespace tavik
