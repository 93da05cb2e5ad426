#include "viewer/render/target_style.h"

namespace tavik {

namespace {

const char* const kFigureNames[] = {"cross", "triangle", "filled-triangle", "reversed-triangle",
    "filled-reversed-triangle", "square", "filled-square", "circle", "filled-circle"};

} // namespace

std::string MarkShape::name(std::uint8_t code)
{
    if (code >= Cross && code <= FilledCircle)
        return kFigureNames[code - Cross];
    if (code >= FirstCapital && code < FirstSmall)
        return std::string(1, static_cast<char>('A' + code - FirstCapital));
    if (code >= FirstSmall && code <= Last)
        return std::string(1, static_cast<char>('a' + code - FirstSmall));
    return "cross";
}

std::optional<std::uint8_t> MarkShape::code(std::string_view name)
{
    for (std::uint8_t i = 0; i < std::size(kFigureNames); ++i) {
        if (name == kFigureNames[i])
            return static_cast<std::uint8_t>(Cross + i);
    }
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
        return static_cast<std::uint8_t>(FirstCapital + (name[0] - 'A'));
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z')
        return static_cast<std::uint8_t>(FirstSmall + (name[0] - 'a'));
    return std::nullopt;
}

} // namespace tavik
