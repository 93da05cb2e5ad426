#include "tools/blankmap/area_point_finder.h"

#include "common/angle_text.h"
#include "platform/cp932.h"
#include "tools/blankmap/region_raster.h"
#include "viewer/basemap/map_block.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace tavik {

namespace {

// Chamfer distances: 3 for a side step, 4 for a diagonal one.
constexpr int kSide = 3;
constexpr int kDiagonal = 4;
// How far inside a label point must lie to be taken, in chamfer units (three pixels).
constexpr int kLabelDepth = 3 * kSide;

std::string angleText(char positive, char negative, double degrees)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%c%.6f", degrees < 0 ? negative : positive, std::abs(degrees));
    return buffer;
}

} // namespace

AreaPointFinder::AreaPointFinder(
    const RegionRaster& raster, const std::vector<MapBlock>& blocks, const std::vector<DrawnPolygon>& drawn)
    : raster_(raster)
    , blocks_(blocks)
    , drawn_(drawn)
    , component_(static_cast<std::size_t>(raster.width()) * raster.height(), -1)
{
    // The viewer fills four-way within the block the seed lies in; land of
    // one colour is one component as far as such a fill reaches.
    const int width = raster.width(), height = raster.height();
    std::vector<QPoint> stack;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t start = static_cast<std::size_t>(y) * width + x;
            if (raster.at(x, y) < 0)
                continue;
            const std::size_t region
                = static_cast<std::size_t>(drawn[static_cast<std::size_t>(raster.at(x, y))].region);
            if (region >= regionBox_.size())
                regionBox_.resize(region + 1);
            regionBox_[region] |= QRect(x, y, 1, 1);
            if (component_[start] >= 0)
                continue;
            const int id = static_cast<int>(componentSize_.size());
            const int block = raster.blockAt(x, y);
            int size = 0;
            component_[start] = id;
            stack.assign(1, QPoint(x, y));
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++size;
                const QPoint neighbours[4]
                    = {{p.x() - 1, p.y()}, {p.x() + 1, p.y()}, {p.x(), p.y() - 1}, {p.x(), p.y() + 1}};
                for (const QPoint& n : neighbours) {
                    if (!raster.contains(n.x(), n.y()) || raster.at(n.x(), n.y()) < 0
                        || raster.blockAt(n.x(), n.y()) != block)
                        continue;
                    const std::size_t i = static_cast<std::size_t>(n.y()) * width + n.x();
                    if (component_[i] < 0) {
                        component_[i] = id;
                        stack.push_back(n);
                    }
                }
            }
            componentSize_.push_back(size);
        }
    }
}

std::string AreaPointFinder::latitudeText(double degrees) { return angleText('N', 'S', degrees); }

std::string AreaPointFinder::longitudeText(double degrees) { return angleText('E', 'W', degrees); }

std::optional<BoundaryPoint> AreaPointFinder::unproject(const MapBlock& block, QPointF target, BoundaryPoint start)
{
    BoundaryPoint point = start;
    const double h = 1e-6; // degrees
    for (int iteration = 0; iteration < 60; ++iteration) {
        const QPointF at = block.imagePosition(point.longitude, point.latitude);
        const double ex = target.x() - at.x(), ey = target.y() - at.y();
        if (!std::isfinite(ex) || !std::isfinite(ey))
            return std::nullopt;
        if (std::abs(ex) < 1e-7 && std::abs(ey) < 1e-7)
            return point;
        const QPointF alongLongitude = block.imagePosition(point.longitude + h, point.latitude);
        const QPointF alongLatitude = block.imagePosition(point.longitude, point.latitude + h);
        const double a = (alongLongitude.x() - at.x()) / h, b = (alongLatitude.x() - at.x()) / h;
        const double c = (alongLongitude.y() - at.y()) / h, d = (alongLatitude.y() - at.y()) / h;
        const double determinant = a * d - b * c;
        if (!std::isfinite(determinant) || determinant == 0.0)
            return std::nullopt;
        double stepLongitude = (d * ex - b * ey) / determinant;
        double stepLatitude = (a * ey - c * ex) / determinant;
        // Long steps far from the answer are shortened so that the walk stays on the map.
        const double length = std::hypot(stepLongitude, stepLatitude);
        if (length > 5.0) {
            stepLongitude *= 5.0 / length;
            stepLatitude *= 5.0 / length;
        }
        point.longitude += stepLongitude;
        point.latitude = std::clamp(point.latitude + stepLatitude, -89.999, 89.999);
    }
    return std::nullopt;
}

// The polygon a region's point goes in: the region's drawn polygon with the
// most land pixels, within the component that holds most of them, and how
// deep inside that component each of its pixels lies.
struct AreaPointFinder::Target {
    int polygon = -1; // number of the drawn polygon; -1: the region has no land pixel
    int component = -1;
    int polygonPixels = 0; // land pixels of the polygon
    QRect regionBox; // pixels of the region's land
    QRect box; // pixels of the component
    // Chamfer distance of each pixel of the box to the nearest pixel outside
    // the component; the rows and columns run one pixel beyond the box all round.
    std::vector<int> distance;
    QPoint deepest; // the polygon's pixel farthest inside
    int deepestDepth = -1;

    int depth(const QPoint& pixel) const
    {
        const int rowLength = box.width() + 2;
        return distance[static_cast<std::size_t>(pixel.y() - box.top() + 1) * rowLength + (pixel.x() - box.left() + 1)];
    }
};

int AreaPointFinder::componentAt(int x, int y) const
{
    return component_[static_cast<std::size_t>(y) * raster_.width() + x];
}

bool AreaPointFinder::findLargestPolygon(int region, Target& target) const
{
    if (static_cast<std::size_t>(region) >= regionBox_.size() || regionBox_[static_cast<std::size_t>(region)].isNull())
        return false;
    target.regionBox = regionBox_[static_cast<std::size_t>(region)];
    // Land pixels of each of the region's drawn polygons, and of that
    // polygon in each component.
    std::map<int, int> polygonPixels;
    std::map<std::pair<int, int>, int> polygonInComponent;
    for (int y = target.regionBox.top(); y <= target.regionBox.bottom(); ++y) {
        for (int x = target.regionBox.left(); x <= target.regionBox.right(); ++x) {
            const int cell = raster_.at(x, y);
            if (cell < 0 || drawn_[static_cast<std::size_t>(cell)].region != region)
                continue;
            ++polygonPixels[cell];
            ++polygonInComponent[{cell, componentAt(x, y)}];
        }
    }
    if (polygonPixels.empty())
        return false;
    const auto most = std::max_element(
        polygonPixels.begin(), polygonPixels.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    target.polygon = most->first;
    target.polygonPixels = most->second;
    int best = -1;
    for (const auto& [key, count] : polygonInComponent) {
        if (key.first == target.polygon && count > best) {
            best = count;
            target.component = key.second;
        }
    }
    return true;
}

void AreaPointFinder::measureDepths(Target& target) const
{
    // The component's own box, within the region's.
    int left = raster_.width(), top = raster_.height(), right = -1, bottom = -1;
    const QRect& search = target.regionBox;
    for (int y = search.top(); y <= search.bottom(); ++y) {
        for (int x = search.left(); x <= search.right(); ++x) {
            if (componentAt(x, y) == target.component) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    target.box = QRect(QPoint(left, top), QPoint(right, bottom));
    const int boxWidth = right - left + 3, boxHeight = bottom - top + 3; // one pixel of outside all round
    std::vector<int>& distance = target.distance;
    distance.assign(static_cast<std::size_t>(boxWidth) * boxHeight, 0);
    auto inside = [&](int bx, int by) {
        const int x = bx + left - 1, y = by + top - 1;
        return raster_.contains(x, y) && componentAt(x, y) == target.component;
    };
    auto at = [&](int bx, int by) -> int& { return distance[static_cast<std::size_t>(by) * boxWidth + bx]; };
    const int far = 1 << 28;
    for (int by = 0; by < boxHeight; ++by)
        for (int bx = 0; bx < boxWidth; ++bx)
            at(bx, by) = inside(bx, by) ? far : 0;
    // A pass from the top left, then one from the bottom right.
    for (int by = 1; by < boxHeight; ++by) {
        for (int bx = 1; bx + 1 < boxWidth; ++bx) {
            int& d = at(bx, by);
            if (d == 0)
                continue;
            d = std::min({d, at(bx - 1, by) + kSide, at(bx, by - 1) + kSide, at(bx - 1, by - 1) + kDiagonal,
                at(bx + 1, by - 1) + kDiagonal});
        }
    }
    for (int by = boxHeight - 2; by >= 0; --by) {
        for (int bx = boxWidth - 2; bx >= 1; --bx) {
            int& d = at(bx, by);
            if (d == 0)
                continue;
            d = std::min({d, at(bx + 1, by) + kSide, at(bx, by + 1) + kSide, at(bx + 1, by + 1) + kDiagonal,
                at(bx - 1, by + 1) + kDiagonal});
        }
    }

    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const QPoint p(x, y);
            if (inTarget(p, target) && target.depth(p) > target.deepestDepth) {
                target.deepestDepth = target.depth(p);
                target.deepest = p;
            }
        }
    }
}

bool AreaPointFinder::inTarget(const QPoint& pixel, const Target& target) const
{
    return raster_.contains(pixel.x(), pixel.y()) && raster_.at(pixel.x(), pixel.y()) == target.polygon
        && componentAt(pixel.x(), pixel.y()) == target.component;
}

AreaPoint AreaPointFinder::find(int region, const GeoRegion& geo) const
{
    Target target;
    if (!findLargestPolygon(region, target))
        return {};
    measureDepths(target);

    const DrawnPolygon& drawn = drawn_[static_cast<std::size_t>(target.polygon)];
    const MapBlock& map = blocks_[static_cast<std::size_t>(drawn.block)];
    AreaPoint result;
    if (geo.label)
        result = settle(*geo.label, true, map, target);
    if (!result.placed) {
        const GeoBox polygonBox = geo.polygons[static_cast<std::size_t>(drawn.polygon)].bounds();
        const std::optional<BoundaryPoint> point
            = unproject(map, QPointF(target.deepest.x() + 0.5, target.deepest.y() + 0.5), polygonBox.centre());
        if (point)
            result = settle(*point, false, map, target);
    }
    if (!result.placed)
        return {};
    result.block = drawn.block;
    result.fillPixels = componentSize_[static_cast<std::size_t>(target.component)];
    result.polygonPixels = target.polygonPixels;
    return result;
}

AreaPoint AreaPointFinder::settle(
    const BoundaryPoint& point, bool fromLabel, const MapBlock& map, const Target& target) const
{
    // The point as the area table's texts give it back, projected: the
    // pixel the viewer puts it on. A label point must lie well inside.
    AreaPoint result;
    const std::string latitude = latitudeText(point.latitude), longitude = longitudeText(point.longitude);
    const BoundaryPoint read{parseLongitude(longitude), parseLatitude(latitude)};
    const QPoint pixel = map.project(read.longitude, read.latitude);
    if (!inTarget(pixel, target) || (fromLabel && target.depth(pixel) < std::min(kLabelDepth, target.deepestDepth)))
        return result;
    result.placed = true;
    result.pixel = pixel;
    result.position = read;
    result.latitudeText = latitude;
    result.longitudeText = longitude;
    result.fromLabel = fromLabel;
    return result;
}

} // namespace tavik
