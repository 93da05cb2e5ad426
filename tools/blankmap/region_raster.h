#pragma once

#include <QPointF>
#include <QRect>

#include <cstdint>
#include <vector>

class QImage;

namespace tavik {

// The pixels of a base map being made. Each pixel holds a drawn polygon's
// number (land), or is sea, boundary (between regions and along coasts) or
// frame; and each belongs to at most one map block.
//
// Land is what the polygons cover at pixel centres, plus every pixel their
// edges pass through that would otherwise be sea, so that small islands and
// thin peninsulas keep pixels that hang together. Where pixels of two regions
// touch side by side, the one of the larger region becomes boundary: no two
// regions touch then, and a four-way flood fill of the land colour stays in
// its region.
class RegionRaster {
public:
    static constexpr int Sea = -1;
    static constexpr int Boundary = -2;
    static constexpr int Frame = -3;
    static constexpr int NoBlock = -1;

    RegionRaster(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // What a pixel holds: a polygon number (0 or more), Sea, Boundary or Frame.
    int at(int x, int y) const { return cells_[index(x, y)]; }
    // The block a pixel belongs to, or NoBlock.
    int blockAt(int x, int y) const
    {
        const std::uint8_t block = blocks_[index(x, y)];
        return block == kNoBlock ? NoBlock : block;
    }

    // Gives the pixels of a block's clip mask (non-zero inside, as the viewer
    // clips with the block's outline) to that block (0 to 254). The mask's
    // pixel (0, 0) is the image's pixel `origin`.
    void setBlockMask(int block, const QImage& mask, QPoint origin = QPoint());

    // Turns the block's pixels that touch a pixel outside it (or the image
    // edge) into frame; only the pixels of `area`, which holds the block, are
    // looked at.
    void frameBlock(int block, const QRect& area);

    // Gives the sea pixels of `block` whose centres lie inside the rings
    // (even-odd over all rings; pixel positions before truncation) to the
    // polygon.
    void fillPolygon(int polygon, const std::vector<std::vector<QPointF>>& rings, int block);

    // Gives the sea pixels of `block` that the rings' edges pass through to
    // the polygon.
    void traceRings(int polygon, const std::vector<std::vector<QPointF>>& rings, int block);

    // Separates the regions (regionOf: polygon number -> region) by boundary
    // pixels, and turns the sea next to land (four-way) into boundary too.
    void separateRegions(const std::vector<int>& regionOf);

    // The image as palette indices: sea, land and boundary (frame included)
    // as given.
    std::vector<std::uint8_t> indices(std::uint8_t sea, std::uint8_t land, std::uint8_t boundary) const;

private:
    static constexpr std::uint8_t kNoBlock = 255; // NoBlock as a byte of blocks_

    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    void claim(int x, int y, int polygon, int block);

    int width_;
    int height_;
    std::vector<int> cells_;
    std::vector<std::uint8_t> blocks_; // one byte a pixel: the image may be large
};

} // namespace tavik
