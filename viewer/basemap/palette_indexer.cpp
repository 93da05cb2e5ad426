#include "viewer/basemap/palette_indexer.h"

#include <algorithm>
#include <limits>

namespace tavik {

PaletteIndexer::PaletteIndexer(const Palette& palette)
    : palette_(palette)
{
}

std::uint8_t PaletteIndexer::index(const Colour& colour)
{
    std::uint32_t key = colour.packed();
    if (key == lastColour_)
        return lastIndex_;
    auto found = cache_.find(key);
    std::uint8_t result = found != cache_.end() ? found->second : cache_.emplace(key, search(colour)).first->second;
    lastColour_ = key;
    lastIndex_ = result;
    return result;
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

}  // namespace tavik
