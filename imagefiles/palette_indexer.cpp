#include "imagefiles/palette_indexer.h"

#include <algorithm>
#include <limits>

namespace tavik {

PaletteIndexer::PaletteIndexer(const Palette& palette)
    : palette_(palette)
    , cachedColours_(size_t(1) << kCacheBits, kNoColour)
    , cachedIndices_(size_t(1) << kCacheBits, 0)
{
}

std::uint8_t PaletteIndexer::index(const Colour& colour)
{
    std::uint32_t key = colour.packed();
    size_t slot = (key * 2654435761u) >> (32 - kCacheBits);
    if (cachedColours_[slot] != key) {
        cachedColours_[slot] = key;
        cachedIndices_[slot] = search(colour);
    }
    return cachedIndices_[slot];
}

std::uint8_t PaletteIndexer::search(const Colour& colour) const
{
    size_t count = std::min<size_t>(palette_.size(), 256);
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < count; ++i) {
        int dr = palette_[i].r - colour.r;
        int dg = palette_[i].g - colour.g;
        int db = palette_[i].b - colour.b;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
            if (distance == 0)
                break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

} // namespace tavik
