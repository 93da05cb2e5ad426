#pragma once

#include <QPoint>
#include <QSize>

#include <string>

#include <vector>

class QImage;
class QPainter;

namespace tavik {

struct PainterConfig;
struct Settings;
struct SpeciesRecord;

// What a map view shows: the rendered map and the species it names. An
// ordinary view names its one species above the map; an overlay names each
// of its species on a legend line under the map.
struct MapViewContent {
    const QImage* map = nullptr;
    std::vector<const SpeciesRecord*> species; // in slot order
    bool overlay = false;
};

// Where the view draws the map's top-left corner, in pixels of the view.
QPoint mapOrigin(const MapViewContent& content, const Settings& settings, QPainter& painter);

// The size of the view's scrolling area in pixels.
QSize mapViewSize(const MapViewContent& content, const Settings& settings, const PainterConfig& painterConfig,
    double markScale, QPainter& painter);

// Paints the map at its place and the captions or the legend around it, in
// the display font, onto any painter (window, image, printer).
void paintMapView(QPainter& painter, const MapViewContent& content, const Settings& settings,
    const PainterConfig& painterConfig, double markScale);

// The author-and-year text of a species: "(author year)" when the species'
// parenthesis mark is set, else "author year" (cp932).
std::string authorYearText(const SpeciesRecord& species);

} // namespace tavik
