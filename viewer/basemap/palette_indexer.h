#pragma once

#include "viewer/basemap/palette.h"

#include <cstdint>
#include <unordered_map>

namespace tavik {

// Maps colours to palette indices for 8-bit files: the lowest index whose
// colour equals the colour, else the nearest by squared distance of red,
// green and blue, ties going to the lower index. Answers are cached, since a
// map holds few distinct colours.
class PaletteIndexer {
public:
    // The palette must hold at least one entry and outlive the indexer.
    explicit PaletteIndexer(const Palette& palette);

    std::uint8_t index(const Colour& colour);

private:
    std::uint8_t search(const Colour& colour) const;

    const Palette& palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> cache_;
    std::uint32_t lastColour_ = 0xFFFFFFFF;  // no colour: the packed form never sets the top byte
    std::uint8_t lastIndex_ = 0;
};

}  // namespace tavik
