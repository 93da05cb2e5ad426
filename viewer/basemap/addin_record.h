#pragma once

#include "common/colour.h"

#include <optional>
#include <string_view>

namespace tavik {

// Drawing commands of add-in files; the numbers are the command codes.
enum class AddinCommand {
    Dot = 0, // any unknown command: one pixel
    MoveTo = 1,
    LineTo = 2,
    Loop = 3,
    Circle = 4,
    FilledCircle = 5,
    Triangle = 6,
    FilledTriangle = 7
};

enum class AddinPenStyle { Solid, Dot };

// One line of an add-in file: a drawing command at a geographic position.
struct AddinRecord {
    double longitude = 0.0; // degrees
    double latitude = 0.0; // degrees
    Colour colour;
    int width = 0; // metres: the pen width of lines, the radius of circles and triangles
    AddinPenStyle style = AddinPenStyle::Solid;
    AddinCommand command = AddinCommand::Dot;
};

// The command of a command word in any case ("lineto" is LineTo); unknown
// words are Dot.
AddinCommand addinCommand(std::string_view word);

// "DOT" in any case is Dot; anything else is Solid.
AddinPenStyle addinPenStyle(std::string_view word);

// The web colour of one of the 34 lower-case colour names, or nothing.
std::optional<Colour> addinColour(std::string_view name);

} // namespace tavik
