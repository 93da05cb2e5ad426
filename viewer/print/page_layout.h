#pragma once

#include <QPointF>
#include <QSize>

class QPaintDevice;

namespace tavik {

struct PrintForm;

// What a page is printed on: the printer's resolution and the size of its
// printable area. Device positions count from the printable area's top-left.
struct PrinterPage {
    double dpiX = 300.0; // printer dots per inch
    double dpiY = 300.0;
    int printableWidthMm = 210; // whole millimetres
    int printableHeightMm = 297;

    // The metrics a paint device reports (a printer, a PDF writer, an image).
    static PrinterPage of(const QPaintDevice& device);
};

// The geometry of a printed page under a print form: the scale of the maps
// and where each map, map title, the header and the footer go, in printer
// dots from the top-left of the printable area.
//
// The grid is fitted into the area inside the margins, anchored at its
// top-left. A form whose margins leave no room, or whose gaps and title
// offset give the grid no positive width or height (a title offset far
// beyond the vertical gap on a one-row form does), has no map scale: such a
// page gets its header and footer but no maps (fits() is false), instead of
// maps drawn upside down or off the paper.
class PageLayout {
public:
    // mapSize: pixels of the base map image. The form must outlive the layout.
    PageLayout(const PrintForm& form, const PrinterPage& printer, QSize mapSize);

    bool fits() const { return fits_; }
    double sx() const { return sx_; } // printer dots per base-map pixel
    double sy() const { return sy_; }

    // Top-left of the map in a cell (row and column from 0), and the map's
    // size stretched onto the page.
    QPointF cellOrigin(int row, int column) const;
    QSizeF cellSize() const;

    // Top-left and width of the title box of a cell.
    QPointF titleOrigin(int row, int column) const;
    double titleWidth() const;

    QPointF headerOrigin() const;
    double headerWidth() const;
    QPointF footerOrigin() const;
    double footerWidth() const;

private:
    const PrintForm& form_;
    double dotsPerMmX_;
    double dotsPerMmY_;
    double usableHeightMm_;
    double printableWidthMm_;
    double mapWidth_;
    double mapHeight_;
    double sx_ = 0.0;
    double sy_ = 0.0;
    bool fits_ = false;
};

} // namespace tavik
