#pragma once

#include "viewer/print/script_context.h"

#include <QSize>

#include <cstdint>
#include <functional>
#include <vector>

class QImage;
class QPainter;

namespace tavik {

class CQuelnaDoc;
struct PrinterPage;

// What the map view measures on the screen and printing scales by: the
// screen's dots per inch and the digit factor of the display font.
struct ScreenMetrics {
    double dpiX = 96.0;
    double dpiY = 96.0;
    double digitFactor = 1.0; // screen pixels of one digit per point of the display font

    // The values of a 96-dpi surface (a default image), where the display
    // font of the settings is measured.
    static ScreenMetrics ofDisplayFont(const FontSettings& settings);
};

// What printed pages are drawn from besides the document.
struct PrintSources {
    ScriptSources scripts;
    QSize mapSize; // pixels of the base map image
    // The map of species (codes in painter slot order), in pixels of the base
    // map image, as the map view shows it.
    std::function<QImage(const std::vector<std::int64_t>& codes)> renderMap;
    ScreenMetrics screen;
};

enum class PageResult {
    Drawn, // maps, titles, header and footer
    NoMaps, // the form's grid has no room on the paper: header and footer only
    NoSpecies, // no species falls on the page: nothing drawn
};

// The context of a page's header and footer: the page's first species (every
// species of an overlay) and, as the sequence number, the position the page's
// first cell has in a full grid, rows x columns x (page - 1) + 1, also when
// the paging level ended earlier pages short.
ScriptContext pageContext(const CQuelnaDoc& document, int page);

// Draws one page of a document onto any painter (a printer, a PDF writer, a
// preview, an image), the painter's origin at the top-left of the printable
// area: the maps of the page's species in the print form's grid, each with
// its title, then the page header, then the page footer.
// `printer` gives the device's resolution and printable millimetres when the
// device's own metrics are not the printer's (a preview image); null takes
// them from the device. A map that the page shows smaller than its pixels is
// shrunk by averaging (as the printer's own dots would), so that coastlines
// and grid lines stay whole.
PageResult printPage(QPainter& painter, const CQuelnaDoc& document, int page, const PrintSources& sources,
    const PrinterPage* printer = nullptr);

} // namespace tavik
