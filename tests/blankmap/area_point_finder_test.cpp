// The reference points of regions of awkward shapes, on a raster drawn as
// blankmap draws it. The one block has no projection: a longitude and a
// latitude are the pixel's x and y, so the shapes are laid out in pixels.
#include "tools/blankmap/area_point_finder.h"

#include "common/angle_text.h"
#include "tools/blankmap/region_raster.h"
#include "viewer/basemap/map_block.h"

#include <QImage>
#include <QLineF>
#include <QPolygonF>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace tavik {
namespace {

using Ring = std::vector<BoundaryPoint>;

class RegionMap {
public:
    static constexpr int Size = 80;

    RegionMap()
        : raster_(Size, Size)
        , blocks_(1)
    {
        QImage mask(Size, Size, QImage::Format_Grayscale8);
        mask.fill(255);
        raster_.setBlockMask(0, mask);
    }

    // A region of one polygon: its outer ring, then its holes.
    int addRegion(const std::vector<Ring>& rings, std::optional<BoundaryPoint> label = std::nullopt)
    {
        GeoRegion region;
        region.code = static_cast<std::int32_t>(regions_.size()) + 1;
        region.label = label;
        region.polygons.push_back({rings});
        regions_.push_back(region);
        drawn_.push_back({static_cast<int>(regions_.size()) - 1, 0, 0});
        return static_cast<int>(regions_.size()) - 1;
    }

    // Draws the regions as blankmap does and finds the point of one.
    AreaPoint find(int region)
    {
        if (!drawnOnce_) {
            std::vector<int> regionOf;
            std::vector<std::vector<std::vector<QPointF>>> rings;
            for (const DrawnPolygon& drawn : drawn_) {
                regionOf.push_back(drawn.region);
                rings.push_back(pixelRings(regions_[static_cast<size_t>(drawn.region)]));
            }
            for (size_t i = 0; i < drawn_.size(); ++i)
                raster_.fillPolygon(static_cast<int>(i), rings[i], 0);
            for (size_t i = 0; i < drawn_.size(); ++i)
                raster_.traceRings(static_cast<int>(i), rings[i], 0);
            raster_.separateRegions(regionOf);
            drawnOnce_ = true;
        }
        AreaPointFinder finder(raster_, blocks_, drawn_);
        return finder.find(region, regions_[static_cast<size_t>(region)]);
    }

    // True when the pixel's centre lies inside the region (even-odd over
    // its rings) and at least `depth` pixels from each of its edges.
    bool holds(int region, QPoint pixel, double depth) const
    {
        const QPointF centre(pixel.x() + 0.5, pixel.y() + 0.5);
        bool inside = false;
        for (const auto& ring : pixelRings(regions_[static_cast<size_t>(region)])) {
            const QPolygonF polygon(QList<QPointF>(ring.begin(), ring.end()));
            inside ^= polygon.containsPoint(centre, Qt::OddEvenFill);
            for (qsizetype i = 0; i < polygon.size(); ++i) {
                const QLineF edge(polygon[i], polygon[(i + 1) % polygon.size()]);
                if (distance(edge, centre) < depth)
                    return false;
            }
        }
        return inside;
    }

    const RegionRaster& raster() const { return raster_; }
    const MapBlock& block() const { return blocks_[0]; }

private:
    static std::vector<std::vector<QPointF>> pixelRings(const GeoRegion& region)
    {
        std::vector<std::vector<QPointF>> rings;
        for (const Ring& ring : region.polygons[0].rings) {
            rings.emplace_back();
            for (const BoundaryPoint& point : ring)
                rings.back().emplace_back(point.longitude, point.latitude);
        }
        return rings;
    }
    static double distance(const QLineF& edge, const QPointF& point)
    {
        const QPointF d = edge.p2() - edge.p1();
        const double t = std::clamp(QPointF::dotProduct(point - edge.p1(), d) / QPointF::dotProduct(d, d), 0.0, 1.0);
        return QLineF(point, edge.p1() + t * d).length();
    }

    RegionRaster raster_;
    std::vector<MapBlock> blocks_;
    std::vector<GeoRegion> regions_;
    std::vector<DrawnPolygon> drawn_;
    bool drawnOnce_ = false;
};

// What every placed point must be: on a land pixel of the region's polygon,
// the pixel its angle texts project onto, with a fill that covers the polygon.
void expectSettled(const RegionMap& map, const AreaPoint& point, int polygon)
{
    ASSERT_TRUE(point.placed);
    EXPECT_EQ(point.block, 0);
    EXPECT_EQ(map.raster().at(point.pixel.x(), point.pixel.y()), polygon);
    EXPECT_EQ(point.position.latitude, parseLatitude(point.latitudeText));
    EXPECT_EQ(point.position.longitude, parseLongitude(point.longitudeText));
    EXPECT_EQ(map.block().project(point.position.longitude, point.position.latitude), point.pixel);
    EXPECT_EQ(point.fillPixels, point.polygonPixels);
}

TEST(AreaPointFinder, AConcaveRegionGetsAPointDeepInsideItNotInItsNotch)
{
    // A U with arms 20 pixels wide: the centre of its box, (40, 40), lies in
    // the notch between the arms.
    RegionMap map;
    const int u = map.addRegion({{{10, 10}, {70, 10}, {70, 70}, {50, 70}, {50, 30}, {30, 30}, {30, 70}, {10, 70}}});
    const AreaPoint point = map.find(u);
    expectSettled(map, point, u);
    EXPECT_FALSE(point.fromLabel);
    EXPECT_TRUE(map.holds(u, point.pixel, 7.0)) << point.pixel.x() << "," << point.pixel.y();
}

TEST(AreaPointFinder, ARegionWithAHoleGetsAPointInItsBandNotInTheHole)
{
    // A band 15 pixels wide round a hole that holds the box's centre.
    RegionMap map;
    const int band = map.addRegion(
        {{{10, 10}, {70, 10}, {70, 70}, {10, 70}}, {{25, 25}, {55, 25}, {55, 55}, {25, 55}}}, BoundaryPoint{40, 40});
    const AreaPoint point = map.find(band);
    expectSettled(map, point, band);
    EXPECT_FALSE(point.fromLabel); // the label lies in the hole
    EXPECT_TRUE(map.holds(band, point.pixel, 5.0)) << point.pixel.x() << "," << point.pixel.y();
    EXPECT_EQ(map.raster().at(40, 40), RegionRaster::Sea);
}

TEST(AreaPointFinder, ALabelIsTakenOnlyWellInsideItsOwnRegion)
{
    // West and East squares side by side, two pixels of sea between them.
    const std::vector<Ring> west = {{{10, 10}, {38, 10}, {38, 70}, {10, 70}}};
    const std::vector<Ring> east = {{{42, 10}, {70, 10}, {70, 70}, {42, 70}}};
    {
        // West's label lies in East, East's well inside East.
        RegionMap map;
        const int w = map.addRegion(west, BoundaryPoint{56, 40});
        const int e = map.addRegion(east, BoundaryPoint{56.25, 40.5});
        const AreaPoint westPoint = map.find(w);
        expectSettled(map, westPoint, w);
        EXPECT_FALSE(westPoint.fromLabel);
        EXPECT_TRUE(map.holds(w, westPoint.pixel, 5.0));
        const AreaPoint eastPoint = map.find(e);
        expectSettled(map, eastPoint, e);
        EXPECT_TRUE(eastPoint.fromLabel);
        EXPECT_EQ(eastPoint.latitudeText, "N40.500000");
        EXPECT_EQ(eastPoint.longitudeText, "E56.250000");
        EXPECT_EQ(eastPoint.pixel, QPoint(56, 40));
    }
    {
        // A label a pixel inside the edge, and one in the sea, are passed over
        // for a point deeper inside.
        RegionMap map;
        const int w = map.addRegion(west, BoundaryPoint{10.6, 40.5});
        const int e = map.addRegion(east, BoundaryPoint{75, 75});
        for (int region : {w, e}) {
            const AreaPoint point = map.find(region);
            expectSettled(map, point, region);
            EXPECT_FALSE(point.fromLabel) << region;
            EXPECT_TRUE(map.holds(region, point.pixel, 5.0)) << region;
        }
    }
}

TEST(AreaPointFinder, ARegionWithoutLandOnTheMapGetsNoPoint)
{
    RegionMap map;
    map.addRegion({{{10, 10}, {30, 10}, {30, 30}, {10, 30}}});
    const int beyond = map.addRegion({{{100, 100}, {120, 100}, {120, 120}, {100, 120}}}, BoundaryPoint{110, 110});
    const AreaPoint point = map.find(beyond);
    EXPECT_FALSE(point.placed);
    EXPECT_TRUE(point.latitudeText.empty());
    EXPECT_EQ(point.block, -1);
}

} // namespace
} // namespace tavik
