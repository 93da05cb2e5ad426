#include "tools/blankmap/region_raster.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

bool finite(const QPointF& point) { return std::isfinite(point.x()) && std::isfinite(point.y()); }

// Cuts the segment a-b to the box [x0, x1] x [y0, y1] (Liang-Barsky); false
// when nothing of it is inside.
bool clipSegment(QPointF& a, QPointF& b, double x0, double y0, double x1, double y1)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - x0, x1 - a.x(), a.y() - y0, y1 - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPointF start = a;
    a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    return true;
}

} // namespace

RegionRaster::RegionRaster(int width, int height)
    : width_(width)
    , height_(height)
    , cells_(static_cast<std::size_t>(width) * height, Sea)
    , blocks_(static_cast<std::size_t>(width) * height, kNoBlock)
{
}

void RegionRaster::setBlockMask(int block, const QImage& mask, QPoint origin)
{
    const QRect area = QRect(origin, mask.size()) & QRect(0, 0, width_, height_);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = mask.constScanLine(y - origin.y());
        for (int x = area.left(); x <= area.right(); ++x) {
            if (line[x - origin.x()] != 0)
                blocks_[index(x, y)] = static_cast<std::uint8_t>(block);
        }
    }
}

void RegionRaster::frameBlock(int block, const QRect& area)
{
    const QRect inImage = area & QRect(0, 0, width_, height_);
    std::vector<std::size_t> edge;
    for (int y = inImage.top(); y <= inImage.bottom(); ++y) {
        for (int x = inImage.left(); x <= inImage.right(); ++x) {
            if (blockAt(x, y) != block)
                continue;
            const bool inside = contains(x - 1, y) && contains(x + 1, y) && contains(x, y - 1) && contains(x, y + 1)
                && blockAt(x - 1, y) == block && blockAt(x + 1, y) == block && blockAt(x, y - 1) == block
                && blockAt(x, y + 1) == block;
            if (!inside)
                edge.push_back(index(x, y));
        }
    }
    for (std::size_t i : edge)
        cells_[i] = Frame;
}

void RegionRaster::claim(int x, int y, int polygon, int block)
{
    if (!contains(x, y))
        return;
    const std::size_t i = index(x, y);
    if (cells_[i] == Sea && blockAt(x, y) == block)
        cells_[i] = polygon;
}

void RegionRaster::fillPolygon(int polygon, const std::vector<std::vector<QPointF>>& rings, int block)
{
    double top = INFINITY, bottom = -INFINITY;
    for (const auto& ring : rings) {
        for (const QPointF& point : ring) {
            if (!finite(point))
                return;
            top = std::min(top, point.y());
            bottom = std::max(bottom, point.y());
        }
    }
    const int firstRow = std::max(0, static_cast<int>(std::floor(top)));
    const int lastRow = std::min(height_ - 1, static_cast<int>(std::ceil(bottom)));
    std::vector<double> crossings;
    for (int y = firstRow; y <= lastRow; ++y) {
        // Rows are sampled at their pixel centres.
        const double centre = y + 0.5;
        crossings.clear();
        for (const auto& ring : rings) {
            const std::size_t n = ring.size();
            for (std::size_t i = 0; i < n; ++i) {
                const QPointF& p = ring[i];
                const QPointF& q = ring[(i + 1) % n];
                if ((p.y() <= centre) != (q.y() <= centre))
                    crossings.push_back(p.x() + (centre - p.y()) * (q.x() - p.x()) / (q.y() - p.y()));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels whose centre x + 0.5 lies in [from, to).
            const double from = std::max(crossings[i], -1.0), to = std::min(crossings[i + 1], width_ + 1.0);
            const int first = static_cast<int>(std::ceil(from - 0.5));
            const int last = static_cast<int>(std::ceil(to - 0.5)) - 1;
            for (int x = std::max(first, 0); x <= std::min(last, width_ - 1); ++x)
                claim(x, y, polygon, block);
        }
    }
}

void RegionRaster::traceRings(int polygon, const std::vector<std::vector<QPointF>>& rings, int block)
{
    for (const auto& ring : rings) {
        const std::size_t n = ring.size();
        for (std::size_t i = 0; i < n; ++i) {
            QPointF a = ring[i], b = ring[(i + 1) % n];
            if (!finite(a) || !finite(b) || !clipSegment(a, b, -1.0, -1.0, width_ + 1.0, height_ + 1.0))
                continue;
            // Walks the pixels the segment passes through, one side step at
            // a time, so that the pixels hang together four-way.
            int x = static_cast<int>(std::floor(a.x())), y = static_cast<int>(std::floor(a.y()));
            const int endX = static_cast<int>(std::floor(b.x())), endY = static_cast<int>(std::floor(b.y()));
            const double dx = b.x() - a.x(), dy = b.y() - a.y();
            const int stepX = dx > 0 ? 1 : -1, stepY = dy > 0 ? 1 : -1;
            const double deltaX = dx != 0 ? std::abs(1.0 / dx) : INFINITY;
            const double deltaY = dy != 0 ? std::abs(1.0 / dy) : INFINITY;
            double nextX = dx != 0 ? ((stepX > 0 ? x + 1 - a.x() : a.x() - x) * deltaX) : INFINITY;
            double nextY = dy != 0 ? ((stepY > 0 ? y + 1 - a.y() : a.y() - y) * deltaY) : INFINITY;
            claim(x, y, polygon, block);
            const int steps = std::abs(endX - x) + std::abs(endY - y);
            for (int step = 0; step < steps; ++step) {
                if (nextX < nextY) {
                    x += stepX;
                    nextX += deltaX;
                } else {
                    y += stepY;
                    nextY += deltaY;
                }
                claim(x, y, polygon, block);
            }
        }
    }
}

void RegionRaster::separateRegions(const std::vector<int>& regionOf)
{
    auto regionAt = [&](std::size_t i) { return cells_[i] >= 0 ? regionOf[static_cast<std::size_t>(cells_[i])] : -1; };
    int regions = 0;
    for (int region : regionOf)
        regions = std::max(regions, region + 1);
    std::vector<std::int64_t> size(static_cast<std::size_t>(regions), 0);
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        if (cells_[i] >= 0)
            ++size[static_cast<std::size_t>(regionAt(i))];
    }
    // Of two touching pixels of different regions, the one of the larger
    // region gives way (so small regions keep their pixels); decided on the
    // pixels as they were, then applied.
    std::vector<std::size_t> boundary;
    auto decide = [&](std::size_t a, std::size_t b) {
        const int ra = regionAt(a), rb = regionAt(b);
        if (ra < 0 || rb < 0 || ra == rb)
            return;
        const std::int64_t sa = size[static_cast<std::size_t>(ra)], sb = size[static_cast<std::size_t>(rb)];
        boundary.push_back(sa > sb || (sa == sb && ra > rb) ? a : b);
    };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (x + 1 < width_)
                decide(index(x, y), index(x + 1, y));
            if (y + 1 < height_)
                decide(index(x, y), index(x, y + 1));
        }
    }
    for (std::size_t i : boundary)
        cells_[i] = Boundary;

    // Coasts: sea beside land.
    std::vector<std::size_t> coast;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (cells_[index(x, y)] != Sea)
                continue;
            const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : neighbours) {
                if (contains(n[0], n[1]) && cells_[index(n[0], n[1])] >= 0) {
                    coast.push_back(index(x, y));
                    break;
                }
            }
        }
    }
    for (std::size_t i : coast)
        cells_[i] = Boundary;
}

std::vector<std::uint8_t> RegionRaster::indices(std::uint8_t sea, std::uint8_t land, std::uint8_t boundary) const
{
    std::vector<std::uint8_t> pixels(cells_.size());
    for (std::size_t i = 0; i < cells_.size(); ++i)
        pixels[i] = cells_[i] >= 0 ? land : cells_[i] == Sea ? sea : boundary;
    return pixels;
}

} // namespace tavik
