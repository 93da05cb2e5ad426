#include "viewer/basemap/pixel_rows.h"

#include <QImage>

namespace tavik {

PixelRows pixelRows(const QImage& image)
{
    int bits = 0;
    if (image.format() == QImage::Format_BGR888)
        bits = 24;
    else if (image.format() == QImage::Format_Indexed8)
        bits = 8;
    else if (image.format() == QImage::Format_RGB32 && Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
        bits = 32;
    if (bits == 0 || image.isNull())
        return {};
    return {image.constBits(), static_cast<std::ptrdiff_t>(image.bytesPerLine()), image.width(), image.height(), bits};
}

} // namespace tavik
