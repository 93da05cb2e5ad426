#include "viewer/basemap/image_files.h"

#include <QImage>

namespace tavik {

PixelRows pixelRows(const QImage& image)
{
    int bits = image.format() == QImage::Format_BGR888 ? 24 : image.format() == QImage::Format_Indexed8 ? 8 : 0;
    if (bits == 0 || image.isNull())
        return {};
    return {image.constBits(), static_cast<std::ptrdiff_t>(image.bytesPerLine()), image.width(), image.height(), bits};
}

} // namespace tavik
