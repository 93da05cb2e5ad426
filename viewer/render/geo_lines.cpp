#include "viewer/render/geo_lines.h"

#include "viewer/settings/angle_text.h"
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

class LinePen {
public:
    LinePen(QImage& image, const Settings& settings, const QImage* clip)
        : image_(image), settings_(settings), clip_(clip), pattern_(linePattern(settings.geoLineType))
    {
        const Colour& c = settings.geoLineColor;
        colour_ = qRgb(c.r, c.g, c.b);
        if (settings.geoTransparent == GeoTransparentMode::Select) {
            for (size_t i = 0; i < 8; ++i)
                if (settings.geoTransparentCheck[i] && settings.geoTransparentColor[i]) {
                    const Colour& s = *settings.geoTransparentColor[i];
                    selected_.push_back(qRgb(s.r, s.g, s.b) & 0x00FFFFFFu);
                }
        }
    }

    void startLine() { step_ = 0; }

    void reach(const QPoint& pixel)
    {
        if (pixel == last_)
            return;
        last_ = pixel;
        bool on = pattern_[step_];
        step_ = (step_ + 1) % pattern_.size();
        if (on)
            set(pixel);
    }

private:
    void set(const QPoint& p)
    {
        if (p.x() < 0 || p.y() < 0 || p.x() >= image_.width() || p.y() >= image_.height())
            return;
        if (clip_ && clip_->constScanLine(p.y())[p.x()] == 0)
            return;
        QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(p.y()));
        if (settings_.geoTransparent == GeoTransparentMode::Select) {
            QRgb current = line[p.x()] & 0x00FFFFFFu;
            if (std::find(selected_.begin(), selected_.end(), current) == selected_.end())
                return;
        }
        line[p.x()] = colour_;
    }

    QImage& image_;
    const Settings& settings_;
    const QImage* clip_;
    const std::vector<bool>& pattern_;
    std::vector<QRgb> selected_;
    QRgb colour_ = 0;
    QPoint last_{-32000, -32000};
    size_t step_ = 0;
};

}  // namespace

void drawGeoLines(QImage& image, const Settings& settings, double kilometresPerPixel, const Projector& project,
    const QImage* clip)
{
    const double west = settings.geoWest.degrees, east = settings.geoEast.degrees;
    const double south = settings.geoSouth.degrees, north = settings.geoNorth.degrees;
    const double lonSpan = settings.geoLonSpan.degrees, latSpan = settings.geoLatSpan.degrees;
    if (settings.geoLine == GeoLineMode::None)
        return;
    for (double value : {west, east, south, north, lonSpan, latSpan})
        if (!usable(value))
            return;
    // A span of zero or below would never end a line; such a grid is not drawn.
    if (lonSpan <= 0.0 || latSpan <= 0.0)
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);

    const double parallelStep = kilometresPerPixel * 0.008983148626175073 * 0.8;  // degrees of longitude
    const double meridianStep = kilometresPerPixel * 0.00901336917634112 * 0.8;   // degrees of latitude
    if (!(parallelStep > 0.0) || !(meridianStep > 0.0) || !std::isfinite(parallelStep) || !std::isfinite(meridianStep))
        return;
    // Lines walk 0.8 pixel at a time; a grid whose walk would take longer
    // than any map needs (a magnification far beyond the image) is not drawn
    // rather than hanging the viewer.
    const double parallels = std::floor((north - south) / latSpan) + 1.0;
    const double meridians = std::floor((east - west) / lonSpan) + 1.0;
    const double steps = parallels * (east - west) / parallelStep + meridians * (north - south) / meridianStep;
    if (steps > 2.0e8)
        return;
    const bool cross = settings.geoLine == GeoLineMode::Cross;
    const double ratio = settings.geoCrossPercent / 100.0;

    LinePen pen(image, settings, clip);
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
}

}  // namespace tavik
