#pragma once

#include <string_view>

namespace tavik {

// How a location of a fact table is written: a grid square ("JP" and its
// digits), a latitude and a longitude in either order ("N35.30'E139.45'",
// "E139.45'N35.30'"), or else an area code in decimal.
enum class LocationForm { GridSquare, Coordinates, AreaCode };

// Which texts are grid squares. Every program takes "J" first or "P" second
// in the distribution table, and norbek in the species-literature table too;
// samvel takes "J" first or second in the species-literature table. samvel
// writes every square "JP" and its digits, which both rules take.
enum class SquareMark { JFirstOrPSecond, JFirstOrSecond };

// The form of a location text; its first character decides the coordinates
// (N, S, E or W). An empty text is an area code (of no area).
inline LocationForm locationForm(std::string_view text, SquareMark mark)
{
    const char first = text.empty() ? '\0' : text[0];
    const char second = text.size() > 1 ? text[1] : '\0';
    if (first == 'J' || second == (mark == SquareMark::JFirstOrPSecond ? 'P' : 'J'))
        return LocationForm::GridSquare;
    if (first == 'N' || first == 'S' || first == 'E' || first == 'W')
        return LocationForm::Coordinates;
    return LocationForm::AreaCode;
}

// True for a coordinates text that gives the latitude first (N or S).
inline bool latitudeComesFirst(std::string_view text) { return text.starts_with('N') || text.starts_with('S'); }

} // namespace tavik
