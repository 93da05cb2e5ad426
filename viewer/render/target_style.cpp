#include "viewer/render/target_style.h"

#include "viewer/render/mark_painter.h"

#include <iterator>

namespace tavik {

namespace {

// Names of the codes MarkShape::Cross to MarkShape::FilledCircle.
const char* const kFigureNames[] = {"cross", "triangle", "filled-triangle", "reversed-triangle",
    "filled-reversed-triangle", "square", "filled-square", "circle", "filled-circle"};

} // namespace

std::string markShapeName(int code)
{
    if (code >= MarkShape::Cross && code <= MarkShape::FilledCircle)
        return kFigureNames[code - MarkShape::Cross];
    if (code >= MarkShape::FirstCapital && code < MarkShape::FirstSmall)
        return std::string(1, static_cast<char>('A' + code - MarkShape::FirstCapital));
    if (code >= MarkShape::FirstSmall && code <= MarkShape::LastLetter)
        return std::string(1, static_cast<char>('a' + code - MarkShape::FirstSmall));
    return "cross";
}

std::optional<int> markShapeCode(std::string_view name)
{
    for (int i = 0; i < static_cast<int>(std::size(kFigureNames)); ++i) {
        if (name == kFigureNames[i])
            return MarkShape::Cross + i;
    }
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
        return MarkShape::FirstCapital + (name[0] - 'A');
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z')
        return MarkShape::FirstSmall + (name[0] - 'a');
    return std::nullopt;
}

} // namespace tavik
