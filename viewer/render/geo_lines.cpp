#include "viewer/render/geo_lines.h"

#include "common/angle_text.h"
#include "platform/cp932.h"
#include "viewer/settings/settings.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tavik {
namespace {

// On/off steps of the line types, one step per new pixel.
const std::vector<bool>& linePattern(LineType type)
{
    static const std::array<std::vector<bool>, 5> patterns = [] {
        auto runs = [](std::initializer_list<std::pair<bool, int>> parts) {
            std::vector<bool> steps;
            for (auto [on, count] : parts)
                steps.insert(steps.end(), static_cast<size_t>(count), on);
            return steps;
        };
        return std::array<std::vector<bool>, 5>{
            runs({{true, 4}}),
            runs({{true, 8}, {false, 4}}),
            runs({{true, 2}, {false, 3}}),
            runs({{true, 8}, {false, 3}, {true, 2}, {false, 3}}),
            runs({{true, 8}, {false, 3}, {true, 2}, {false, 3}, {true, 2}, {false, 3}}),
        };
    }();
    int index = static_cast<int>(type);
    return patterns[static_cast<size_t>(index >= 0 && index < 5 ? index : 0)];
}

bool usable(double value) { return std::isfinite(value) && value != kInvalidAngle; }

// Lines of one direction in a range, the first at its start.
double lineCount(double from, double to, double span) { return std::floor((to - from) / span) + 1.0; }

// Walks the lines pixel by pixel and keeps the pixels that are set.
class LineTracer {
public:
    LineTracer(const QSize& size, const GeoLineSettings& settings, const QImage* clip)
        : size_(size)
        , clip_(clip)
        , pattern_(linePattern(settings.geoLineType))
    {
    }

    void startLine() { step_ = 0; }

    void reach(const QPoint& pixel)
    {
        if (pixel == last_)
            return;
        last_ = pixel;
        bool on = pattern_[step_];
        step_ = (step_ + 1) % pattern_.size();
        if (on && inside(pixel))
            pixels.push_back(pixel);
    }

    std::vector<QPoint> pixels;

private:
    bool inside(const QPoint& p) const
    {
        if (p.x() < 0 || p.y() < 0 || p.x() >= size_.width() || p.y() >= size_.height())
            return false;
        return !clip_ || clip_->constScanLine(p.y())[p.x()] != 0;
    }

    QSize size_;
    const QImage* clip_;
    const std::vector<bool>& pattern_;
    QPoint last_{-32000, -32000};
    size_t step_ = 0;
};

} // namespace

void paintGeoLines(QImage& image, const std::vector<QPoint>& pixels, const GeoLineSettings& settings)
{
    if (pixels.empty())
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);
    const Colour& c = settings.geoLineColor;
    const QRgb colour = qRgb(c.r, c.g, c.b);
    std::vector<QRgb> selected;
    const bool select = settings.geoTransparent == GeoTransparentMode::Select;
    for (size_t i = 0; select && i < 8; ++i)
        if (settings.geoTransparentCheck[i] && settings.geoTransparentColor[i]) {
            const Colour& s = *settings.geoTransparentColor[i];
            selected.push_back(qRgb(s.r, s.g, s.b) & 0x00FFFFFFu);
        }
    for (const QPoint& p : pixels) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= image.width() || p.y() >= image.height())
            continue;
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(p.y()));
        if (select && std::find(selected.begin(), selected.end(), line[p.x()] & 0x00FFFFFFu) == selected.end())
            continue;
        line[p.x()] = colour;
    }
}

void drawGeoLines(QImage& image, const GeoLineSettings& settings, double kilometresPerPixel, const Projector& project,
    const QImage* clip)
{
    paintGeoLines(image, traceGeoLines(settings, image.size(), kilometresPerPixel, project, clip), settings);
}

GeoLineFault geoLineFault(const GeoLineSettings& settings)
{
    if (settings.geoLine == GeoLineMode::None)
        return {};
    const double west = settings.geoWest.degrees, east = settings.geoEast.degrees;
    const double south = settings.geoSouth.degrees, north = settings.geoNorth.degrees;
    for (double value : {west, east})
        if (usable(value) && (value < -180.0 || value > 180.0))
            return {GeoLineFault::Part::Longitudes,
                cp932Printf("経緯線の範囲（西 %s、東 %s）が -180 度から 180 度を越えています。",
                    settings.geoWest.text.c_str(), settings.geoEast.text.c_str())};
    for (double value : {south, north})
        if (usable(value) && (value < -90.0 || value > 90.0))
            return {GeoLineFault::Part::Latitudes,
                cp932Printf("経緯線の範囲（南 %s、北 %s）が -90 度から 90 度を越えています。",
                    settings.geoSouth.text.c_str(), settings.geoNorth.text.c_str())};
    const double latSpan = settings.geoLatSpan.degrees, lonSpan = settings.geoLonSpan.degrees;
    if (usable(south) && usable(north) && usable(latSpan) && latSpan > 0.0
        && lineCount(south, north, latSpan) > kMaxGeoLines)
        return {GeoLineFault::Part::Parallels,
            cp932Printf("緯線が %.0f 本になります。緯線の間隔 %s を広げて、%d 本以下にして下さい。",
                lineCount(south, north, latSpan), settings.geoLatSpan.text.c_str(), kMaxGeoLines)};
    if (usable(west) && usable(east) && usable(lonSpan) && lonSpan > 0.0
        && lineCount(west, east, lonSpan) > kMaxGeoLines)
        return {GeoLineFault::Part::Meridians,
            cp932Printf("経線が %.0f 本になります。経線の間隔 %s を広げて、%d 本以下にして下さい。",
                lineCount(west, east, lonSpan), settings.geoLonSpan.text.c_str(), kMaxGeoLines)};
    return {};
}

std::vector<QPoint> traceGeoLines(const GeoLineSettings& settings, const QSize& imageSize, double kilometresPerPixel,
    const Projector& project, const QImage* clip)
{
    const double west = settings.geoWest.degrees, east = settings.geoEast.degrees;
    const double south = settings.geoSouth.degrees, north = settings.geoNorth.degrees;
    const double lonSpan = settings.geoLonSpan.degrees, latSpan = settings.geoLatSpan.degrees;
    if (settings.geoLine == GeoLineMode::None || geoLineFault(settings).part != GeoLineFault::Part::None)
        return {};
    for (double value : {west, east, south, north, lonSpan, latSpan})
        if (!usable(value))
            return {};
    // A span of zero or below would never end a line; such a grid is not drawn.
    if (lonSpan <= 0.0 || latSpan <= 0.0)
        return {};

    const double parallelStep = kilometresPerPixel * 0.008983148626175073 * 0.8; // degrees of longitude
    const double meridianStep = kilometresPerPixel * 0.00901336917634112 * 0.8; // degrees of latitude
    if (!(parallelStep > 0.0) || !(meridianStep > 0.0) || !std::isfinite(parallelStep) || !std::isfinite(meridianStep))
        return {};
    // Lines walk 0.8 pixel at a time; a grid whose walk would take longer
    // than any map needs (a magnification far beyond the image) is not drawn
    // rather than hanging the viewer.
    const double parallels = lineCount(south, north, latSpan);
    const double meridians = lineCount(west, east, lonSpan);
    const double steps = parallels * (east - west) / parallelStep + meridians * (north - south) / meridianStep;
    if (steps > 2.0e8)
        return {};
    const bool cross = settings.geoLine == GeoLineMode::Cross;
    const double ratio = settings.geoCrossPercent / 100.0;

    LineTracer pen(imageSize, settings, clip);
    for (double latitude = south; latitude <= north; latitude += latSpan) {
        pen.startLine();
        for (double longitude = west; longitude <= east; longitude += parallelStep) {
            if (cross && std::fmod(longitude - west + ratio * lonSpan, lonSpan) > 2.0 * ratio * lonSpan)
                continue;
            pen.reach(project(longitude, latitude));
        }
    }
    for (double longitude = west; longitude <= east; longitude += lonSpan) {
        pen.startLine();
        for (double latitude = south; latitude <= north; latitude += meridianStep) {
            if (cross && std::fmod(latitude - south + ratio * latSpan, latSpan) > 2.0 * ratio * latSpan)
                continue;
            pen.reach(project(longitude, latitude));
        }
    }
    return std::move(pen.pixels);
}

} // namespace tavik
