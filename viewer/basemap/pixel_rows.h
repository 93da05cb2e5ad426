#pragma once

#include "imagefiles/image_files.h"

class QImage;

namespace tavik {

// The rows of a QImage in Format_BGR888 (24 bits), Format_RGB32 (32 bits,
// on little-endian machines) or Format_Indexed8 (8 bits); other formats give
// empty rows, which the writers refuse.
PixelRows pixelRows(const QImage& image);

} // namespace tavik
