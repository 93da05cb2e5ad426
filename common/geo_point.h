#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// A point in whole units of 1e-8 degree (about 1 mm): decimal coordinates
// keep their exact value up to 8 decimals, and the grid squares, whose sides
// are exact fractions of a degree, are found by integer arithmetic with no
// rounding at their edges.
struct GeoPoint {
    static constexpr std::int64_t unitsPerDegree = 100'000'000;

    std::int64_t latitude = 0; // units north of the equator (negative south)
    std::int64_t longitude = 0; // units east of Greenwich (negative west)

    bool operator==(const GeoPoint&) const = default;
};

// Reads decimal degrees: an optional sign, digits and an optional fraction
// ("35.681236", "-0.5", "+139"); more than 8 decimals are rounded half away
// from zero. Other number forms ("3.5e1") are read as reals and rounded.
// Nothing for text that is not a finite number or beyond ±1000 degrees.
std::optional<std::int64_t> parseDecimalDegrees(std::string_view text);

// The shortest decimal text of a value: "-35.5", "139.767125", "0".
std::string formatDecimalDegrees(std::int64_t units);

} // namespace tavik
