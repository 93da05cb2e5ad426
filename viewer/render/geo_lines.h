#pragma once

#include "platform/cp932_text.h"

#include <QPoint>

#include <functional>
#include <string>
#include <vector>

class QSize;

class QImage;

namespace tavik {

struct GeoLineSettings;

// Projects a longitude and latitude (degrees) to a pixel of the base image.
using Projector = std::function<QPoint(double longitude, double latitude)>;

// The most parallels, and the most meridians, that longitude-latitude lines
// may have: more could not be told apart on a base map (two thousand pixels
// across) and would cost seconds and hundreds of megabytes for every map.
inline constexpr int kMaxGeoLines = 1000;

// Why the longitude-latitude lines of the settings are not drawn: a
// longitude beyond -180 to 180 degrees, a latitude beyond -90 to 90, or more
// than kMaxGeoLines parallels or meridians in the range.
struct GeoLineFault {
    enum class Part { None, Longitudes, Latitudes, Parallels, Meridians };
    Part part = Part::None; // None: the lines are drawn (or switched off)
    Cp932Text text; // the message
};
GeoLineFault geoLineFault(const GeoLineSettings& settings);

// The pixels that the longitude-latitude lines of the settings set in one map
// block, in drawing order: the "on" steps of the line type that fall inside
// the image and `clip`. They depend on the settings and the block only, so a
// renderer traces them once for all its maps.
std::vector<QPoint> traceGeoLines(const GeoLineSettings& settings, const QSize& imageSize, double kilometresPerPixel,
    const Projector& project, const QImage* clip);

// Sets traced pixels in the line colour; in SELECT mode only pixels whose
// colour is one of the active selected colours.
void paintGeoLines(QImage& image, const std::vector<QPoint>& pixels, const GeoLineSettings& settings);

// Draws the longitude-latitude lines of the settings (GeoLine, GeoWest to
// GeoNorth, the spans, GeoCrossPercent, colour, line type, transparency) into
// one map block pixel by pixel. kilometresPerPixel sets the walking step (0.8
// pixel); only pixels inside `clip` (a mask of the image's size, null for
// none) are set. Lines of an empty or unreadable range or span draw nothing.
void drawGeoLines(QImage& image, const GeoLineSettings& settings, double kilometresPerPixel, const Projector& project,
    const QImage* clip);

} // namespace tavik
