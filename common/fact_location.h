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

// Where the first angle of a coordinates text ends. The second always runs
// from the other axis' positive letter (E after a latitude, N after a
// longitude) or, without one, from its negative letter (W, S). The maps end
// the first at whichever of the two letters comes first, samvel where the
// second begins; both drop a comma closing it ("N35.5,E139.5"). The two
// differ only on a text holding both letters of the other axis, which samvel
// refuses and never writes.
enum class CoordinateSplit { AtEitherLetter, WhereTheSecondBegins };

// The angle texts of a coordinates location in the order written; the
// second is empty when the other axis' letters are missing.
struct CoordinateTexts {
    std::string_view first;
    std::string_view second;
};

inline CoordinateTexts splitCoordinates(std::string_view text, CoordinateSplit split)
{
    const bool latitudeFirst = latitudeComesFirst(text);
    const char positive = latitudeFirst ? 'E' : 'N';
    const char negative = latitudeFirst ? 'W' : 'S';
    size_t from = text.find(positive);
    if (from == std::string_view::npos)
        from = text.find(negative);
    CoordinateTexts texts;
    texts.second = from == std::string_view::npos ? std::string_view() : text.substr(from);
    if (split == CoordinateSplit::AtEitherLetter) {
        const char letters[] = {positive, negative, '\0'};
        texts.first = text.substr(0, text.find_first_of(letters));
    } else {
        texts.first = text.substr(0, from);
    }
    if (texts.first.ends_with(','))
        texts.first.remove_suffix(1);
    return texts;
}

} // namespace tavik
