#pragma once

#include <QFont>

#include <string>

namespace tavik {

// The unit of a script's line layout: a text in one font, or a legend sample
// (a species' mark or fill colour) sized by the font in effect.
struct TextRun {
    static constexpr std::size_t TextLimit = 1534; // bytes of cp932

    enum class Kind { Text, Mark, Fill };

    Kind kind = Kind::Text;
    QFont font; // sized in pixels of the device
    int fontHeight = 0; // the font's character height in device dots (its height value is minus this)
    std::string text; // cp932; empty for a legend sample
    int slot = 0; // legend samples: painter slot, from 0
    int rank = 0; // legend samples: 0 A, 1 B, 2 C, 3 Z
    int x = 0; // top-left of the run in the box, device dots, set when the line is laid out
    int y = 0;
};

} // namespace tavik
