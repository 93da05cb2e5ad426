#pragma once

#include "imagefiles/image_files.h"
#include "imagefiles/palette_indexer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tavik {

// The rows a writer puts into a file, in the file's depth, converted one row
// at a time as the writer asks for them: 24- and 32-bit rows written as 8
// bits take the nearest palette index of each pixel, 8-bit rows written as 24
// bits take their palette colours (black for an index beyond the palette),
// 32-bit rows written as 24 bits drop their unused byte.
class OutputRows {
public:
    OutputRows(const PixelRows& rows, int outputBitsPerPixel, const Palette& palette);

    // False when the output depth is not 8 or 24 (or the rows' not 8, 24 or
    // 32), the rows describe no image, or an 8-bit output has no palette of 1
    // to 256 colours.
    bool valid() const { return valid_; }

    int width() const { return rows_.width; }
    int height() const { return rows_.height; }
    int bitsPerPixel() const { return outputBits_; }

    // Bytes of pixels in one output row, without padding.
    size_t rowBytes() const { return static_cast<size_t>(rows_.width) * (outputBits_ / 8); }

    // Row y (0 is the top) in the output depth; valid until the next call.
    const std::uint8_t* row(int y);

private:
    PixelRows rows_;
    int outputBits_;
    const Palette& palette_;
    bool valid_ = false;
    std::optional<PaletteIndexer> indexer_;
    std::vector<std::uint8_t> buffer_;
};

} // namespace tavik
