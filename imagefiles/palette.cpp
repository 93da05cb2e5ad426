#include "imagefiles/palette.h"

#include <cstdint>

namespace tavik {

Palette standardPalette()
{
    static constexpr std::uint8_t kRedGreen[8] = {0, 32, 64, 96, 128, 160, 192, 255};
    static constexpr std::uint8_t kBlue[4] = {0, 64, 128, 255};
    Palette palette;
    palette.reserve(256);
    for (std::uint8_t red : kRedGreen)
        for (std::uint8_t green : kRedGreen)
            for (std::uint8_t blue : kBlue)
                palette.push_back({red, green, blue});
    return palette;
}

} // namespace tavik
