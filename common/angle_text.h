#pragma once

#include <string_view>

namespace tavik {

// The value of an empty or invalid angle text; callers treat it as no angle.
inline constexpr double kInvalidAngle = 2147483647.0;

// Which hemisphere letters an angle text may begin with.
enum class AngleKind {
    Latitude, // "N" or "+" positive, "S" or "-" negative
    Longitude, // "E" or "+" positive, "W" or "-" negative
    Span // "+" or "-" only
};

// Reads an angle written as degrees, minutes and seconds ("35.20'30\"5",
// "N35.30", "E139.25") and returns it in degrees, or kInvalidAngle.
double parseAngle(std::string_view text, AngleKind kind);

inline double parseLatitude(std::string_view text) { return parseAngle(text, AngleKind::Latitude); }
inline double parseLongitude(std::string_view text) { return parseAngle(text, AngleKind::Longitude); }
inline double parseSpan(std::string_view text) { return parseAngle(text, AngleKind::Span); }

} // namespace tavik
