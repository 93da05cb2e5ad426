#pragma once

#include "common/colour.h"
#include "tools/blankmap/blankmap_error.h"
#include "tools/blankmap/geo_regions.h"
#include "viewer/basemap/map_block.h"

#include <QRect>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// One map block of a base map to be made: its projection, the rectangle of
// the image it occupies, and which polygons it draws.
struct LayoutBlock {
    MapBlock block; // comment and projection; the outline is made from the rectangles
    QRect rect; // pixels of the image
    GeoBox select; // draws the polygons whose box has its centre in here, degrees
    bool frame = false; // a line of the boundary colour round the block's outline
};

// What a base map is made of: the image size and colours, how features give
// area-table columns, and the map blocks. Read from a layout file (JSON).
struct MapLayout {
    // Most pixels (width times height) of a base map blankmap makes: it
    // holds about ten bytes a pixel while it works, and the viewer copies the
    // image for every map it draws.
    static constexpr std::int64_t MaxPixels = 100000000;

    std::string comment; // cp932: the blank-map comment and the PNG's title
    int width = 0; // pixels
    int height = 0;
    Colour sea{192, 255, 255};
    Colour land{255, 255, 255};
    Colour boundary{128, 128, 128};
    RegionProperties properties;
    bool fill = true; // areas are shown by filling their region ("F" in column 8)
    std::vector<LayoutBlock> blocks; // in drawing order: a later block lies over an earlier one
};

// Reads a layout file (cp932 path). False with `error` (the file, and a
// message that names the key at fault) when it cannot be read or breaks the
// format the usage text of blankmap describes.
bool readMapLayout(std::string_view path, MapLayout& layout, BlankMapError& error);

} // namespace tavik
