#pragma once

#include <QRgb>

class QImage;
class QPoint;

namespace tavik {

// Fills the region of the seed pixel's colour that is connected to the seed
// (four-way) with `colour`, touching only pixels inside `clip` (a mask of the
// image's size where non-zero means inside; null for no clip). A seed outside
// the image or the clip fills nothing.
void floodFill(QImage& image, const QPoint& seed, QRgb colour, const QImage* clip);

} // namespace tavik
