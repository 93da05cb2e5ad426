#pragma once

#include "imagefiles/palette.h"

#include <QImage>

namespace tavik {

class MessageSink;
struct Settings;

// The base map image, loaded once at start-up and copied by every map before
// the distribution is drawn on it.
struct BaseImage {
    QImage image; // Format_RGB32, the base map's pixels
    int sourceDepth = 0; // bits per pixel of the file: 8 or 24
    Palette palette = standardPalette(); // the standard palette, or the colour table of an 8-bit file

    int width() const { return image.width(); } // pixels
    int height() const { return image.height(); } // pixels
};

// Loads the image that the BlankMap setting names (a relative path is taken
// from the start-up directory; ".png", ".PNG", ".bmp" and ".BMP" are the
// accepted extensions), then applies ConvertColor. False after a message that
// ends the start-up; `base` is then left as it was.
bool loadBaseImage(const Settings& settings, BaseImage& base, MessageSink& messages);

// Changes every pixel of colour `from` to colour `to`.
void convertColor(BaseImage& base, const Colour& from, const Colour& to);

} // namespace tavik
