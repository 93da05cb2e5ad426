#pragma once

#include "imagefiles/palette.h"

#include <cstdint>
#include <vector>

namespace tavik {

// Maps colours to palette indices for 8-bit files: the lowest index whose
// colour equals the colour, else the nearest by squared distance of red,
// green and blue, ties going to the lower index. Answers are kept in a cache
// of fixed size, since a map holds few distinct colours; an image of many
// colours costs time, never memory.
class PaletteIndexer {
public:
    // The palette must hold at least one entry and outlive the indexer.
    explicit PaletteIndexer(const Palette& palette);

    std::uint8_t index(const Colour& colour);

private:
    static constexpr int kCacheBits = 12;
    static constexpr std::uint32_t kNoColour = 0xFFFFFFFF; // the packed form never sets the top byte

    std::uint8_t search(const Colour& colour) const;

    const Palette& palette_;
    std::vector<std::uint32_t> cachedColours_;
    std::vector<std::uint8_t> cachedIndices_;
};

} // namespace tavik
