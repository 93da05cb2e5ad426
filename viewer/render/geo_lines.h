#pragma once

#include <QPoint>

#include <functional>

class QImage;

namespace tavik {

struct Settings;

// Projects a longitude and latitude (degrees) to a pixel of the base image.
using Projector = std::function<QPoint(double longitude, double latitude)>;

// Draws the longitude-latitude lines of the settings (GeoLine, GeoWest to
// GeoNorth, the spans, GeoCrossPercent, colour, line type, transparency) into
// one map block pixel by pixel. kilometresPerPixel sets the walking step (0.8
// pixel); only pixels inside `clip` (a mask of the image's size, null for
// none) are set. Lines of an empty or unreadable range or span draw nothing.
void drawGeoLines(QImage& image, const Settings& settings, double kilometresPerPixel, const Projector& project,
    const QImage* clip);

}  // namespace tavik
