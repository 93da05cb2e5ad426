#include "viewer/basemap/addin_record.h"

#include <array>
#include <string>
#include <utility>

namespace tavik {
namespace {

std::string upper(std::string_view word)
{
    std::string result(word);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

} // namespace

AddinCommand addinCommand(std::string_view word)
{
    static const std::pair<const char*, AddinCommand> kCommands[] = {
        {"MOVETO", AddinCommand::MoveTo},
        {"LINETO", AddinCommand::LineTo},
        {"LOOP", AddinCommand::Loop},
        {"CIRCLE", AddinCommand::Circle},
        {"FILLEDCIRCLE", AddinCommand::FilledCircle},
        {"TRIANGLE", AddinCommand::Triangle},
        {"FILLEDTRIANGLE", AddinCommand::FilledTriangle},
    };
    std::string key = upper(word);
    for (const auto& [name, command] : kCommands)
        if (key == name)
            return command;
    return AddinCommand::Dot;
}

AddinPenStyle addinPenStyle(std::string_view word)
{
    return upper(word) == "DOT" ? AddinPenStyle::Dot : AddinPenStyle::Solid;
}

std::optional<Colour> addinColour(std::string_view name)
{
    struct Named {
        const char* name;
        Colour colour;
    };
    static const std::array<Named, 34> kColours = {{
        {"black", {0x00, 0x00, 0x00}},
        {"dimgray", {0x69, 0x69, 0x69}},
        {"gray", {0x80, 0x80, 0x80}},
        {"silver", {0xC0, 0xC0, 0xC0}},
        {"lightgray", {0xD3, 0xD3, 0xD3}},
        {"whitesmoke", {0xF5, 0xF5, 0xF5}},
        {"white", {0xFF, 0xFF, 0xFF}},
        {"maroon", {0x80, 0x00, 0x00}},
        {"brown", {0xA5, 0x2A, 0x2A}},
        {"red", {0xFF, 0x00, 0x00}},
        {"tomato", {0xFF, 0x63, 0x47}},
        {"orange", {0xFF, 0xA5, 0x00}},
        {"pink", {0xFF, 0xC0, 0xCB}},
        {"mistyrose", {0xFF, 0xE4, 0xE1}},
        {"darkgreen", {0x00, 0x64, 0x00}},
        {"green", {0x00, 0x80, 0x00}},
        {"teal", {0x00, 0x80, 0x80}},
        {"lime", {0x00, 0xFF, 0x00}},
        {"lightgreen", {0x90, 0xEE, 0x90}},
        {"navy", {0x00, 0x00, 0x80}},
        {"blue", {0x00, 0x00, 0xFF}},
        {"lightblue", {0xAD, 0xD8, 0xE6}},
        {"cyan", {0x00, 0xFF, 0xFF}},
        {"azure", {0xF0, 0xFF, 0xFF}},
        {"honeydew", {0xF0, 0xFF, 0xF0}},
        {"aquamarine", {0x7F, 0xFF, 0xD4}},
        {"purple", {0x80, 0x00, 0x80}},
        {"fuchsia", {0xFF, 0x00, 0xFF}},
        {"violet", {0xEE, 0x82, 0xEE}},
        {"olive", {0x80, 0x80, 0x00}},
        {"yellow", {0xFF, 0xFF, 0x00}},
        {"lightyellow", {0xFF, 0xFF, 0xE0}},
        {"beige", {0xF5, 0xF5, 0xDC}},
        {"peru", {0xCD, 0x85, 0x3F}},
    }};
    for (const Named& named : kColours)
        if (name == named.name)
            return named.colour;
    return std::nullopt;
}

} // namespace tavik
