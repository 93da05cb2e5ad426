#pragma once

#include <cstdint>

namespace tavik {

// A colour of settings and configuration files, written "R,G,B".
struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;

    // The packed 0x00BBGGRR form of drawing code.
    std::uint32_t packed() const { return r | (g << 8) | (b << 16); }
    friend bool operator==(const Colour&, const Colour&) = default;
};

} // namespace tavik
