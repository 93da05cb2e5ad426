#pragma once

#include "tagfile/tag_node.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// A number of a print form, kept as the text the file gave (written back
// unchanged) and as its value.
struct IntegerField {
    static constexpr std::size_t TextLimit = 31; // bytes
    std::string text;
    int value = 0;

    // The text cut to its limit and its leading decimal integer (0 for none).
    static IntegerField fromText(std::string_view text);
};

struct RealField {
    static constexpr std::size_t TextLimit = 31; // bytes
    // Largest value in either direction: millimetres or percent beyond it
    // fit no page, and would overflow the pixel arithmetic of the layout.
    static constexpr double MaxValue = 100000.0;
    std::string text;
    double value = 0.0;

    // The text cut to its limit and its leading decimal real (0 for none),
    // the value kept within MaxValue; the text stays as written.
    static RealField fromText(std::string_view text);
};

// A box of text on the printed page: the page header and footer (lengths in
// millimetres) or the title of every map (lengths in percent of the map's
// height for the offset and of its width for the protrusions).
struct TextBlock {
    RealField topOffset;
    RealField leftProtrusion;
    RealField rightProtrusion;
    std::vector<TagNode> script; // the script elements and text, in order
    bool bottom = false; // map title only: under the map instead of over it
};

// One layout of printed pages: a grid of maps with margins and gaps, and the
// scripts of the page header, the map titles and the page footer. A form is a
// value: copying it copies its scripts.
struct PrintForm {
    static constexpr std::size_t TitleLimit = 127; // bytes
    static constexpr int MaxCells = 32; // most rows, and most columns

    std::string title;
    IntegerField rows{"", 1}; // map rows per page, always 1 to 32 (see countFromText)
    IntegerField columns{"", 1}; // map columns per page, always 1 to 32
    IntegerField pagingLevel; // 1 or more: a new page where that group level changes
    RealField leftMargin; // millimetres from the printable area's edges
    RealField rightMargin;
    RealField topMargin;
    RealField bottomMargin;
    RealField horizontalGap; // percent of the map width, between columns
    RealField verticalGap; // percent of the map height, between rows
    TextBlock pageHeader;
    TextBlock mapTitle;
    TextBlock pageFooter;

    // Rows and columns as read for a grid: the text is kept as written, the
    // value is kept between 1 and 32, so that a grid always has a cell and
    // its cell count cannot overflow, whatever the file says.
    static IntegerField countFromText(std::string_view text);

    // The form used when the file gives none: "default", one map per page,
    // 30 mm margins, 30 % gaps, no paging, empty scripts.
    static PrintForm builtIn();
};

} // namespace tavik
