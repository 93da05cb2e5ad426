#pragma once

#include "tools/blankmap/blankmap_error.h"

#include <cstdio>
#include <string>

namespace tavik {

// What blankmap is asked to make. Paths are cp932.
struct BlankMapRequest {
    std::string layoutPath; // the layout file (JSON)
    std::string boundaryPath; // the regions' polygons (GeoJSON)
    std::string imagePath; // the base map image to write (PNG); its definition goes beside it
    std::string areaTablePath; // the area table skeleton to write; empty: none
    // The database lock held while the files are replaced ("tavik.lock" of
    // the current directory for the program); empty: none.
    std::string lockPath;
};

// Makes a base map from boundary polygons: the 8-bit image (sea, land and
// boundary colours, every region a closed area of the land colour), its
// blank-map definition, and an area table skeleton whose reference points lie
// on the land of their regions. Projections are the viewer's own, taken from
// the definition as the viewer reads it, so image, points and maps agree to
// the pixel.
class BlankMapMaker {
public:
    // Progress, warnings and a summary go to `report` (UTF-8 lines, control
    // characters shown escaped). False with `error`: the file at fault and
    // the message. Faults of the inputs, and targets that cannot be written,
    // are found before anything is written; the three files are written
    // beside their targets and put in place only when all are whole, the
    // image last.
    bool make(const BlankMapRequest& request, std::FILE* report, BlankMapError& error);

    // The usage text of the blankmap program (UTF-8).
    static std::string usage();
};

} // namespace tavik
