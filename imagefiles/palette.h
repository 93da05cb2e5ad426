#pragma once

#include "common/colour.h"

#include <vector>

namespace tavik {

// The colours of an 8-bit image, in index order (at most 256 entries).
using Palette = std::vector<Colour>;

// The standard 256-colour palette: red and green in 8 levels (0, 32, 64, 96,
// 128, 160, 192, 255), blue in 4 levels (0, 64, 128, 255); the entry of red
// level r, green level g and blue level b is 32 r + 4 g + b. Maps saved as
// 8-bit files carry it.
Palette standardPalette();

} // namespace tavik
