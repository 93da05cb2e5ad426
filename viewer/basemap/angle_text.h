#pragma once

#include <string_view>

namespace tavik {

// The value of an angle text that cannot be read; callers treat it as no
// angle at all.
inline constexpr double InvalidAngle = 2147483647.0;

// Angle texts as tables and configuration files write latitudes and
// longitudes: degrees, minutes and seconds ended by ".", "'" and "\"", digits
// after the last mark as its decimal fraction ("35.30" is 35.3 degrees,
// "35.30'15\"" is 35 degrees 30 minutes 15 seconds), and a sign as the first
// character only. Degrees; InvalidAngle for an empty or malformed text.
double parseLatitudeText(std::string_view text); // sign: "N" or "+", "S" or "-"
double parseLongitudeText(std::string_view text); // sign: "E" or "+", "W" or "-"
double parseSpanText(std::string_view text); // sign: "+" or "-"

} // namespace tavik
