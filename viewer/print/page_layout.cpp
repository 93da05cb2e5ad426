#include "viewer/print/page_layout.h"

#include "viewer/print/print_form.h"

#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace tavik {
namespace {

bool positive(double value) { return std::isfinite(value) && value > 0.0; }

} // namespace

PrinterPage PrinterPage::of(const QPaintDevice& device)
{
    PrinterPage page;
    page.dpiX = device.logicalDpiX();
    page.dpiY = device.logicalDpiY();
    page.printableWidthMm = device.widthMM();
    page.printableHeightMm = device.heightMM();
    return page;
}

PageLayout::PageLayout(const PrintForm& form, const PrinterPage& printer, QSize mapSize)
    : form_(form)
    , dotsPerMmX_(printer.dpiX / 25.4)
    , dotsPerMmY_(printer.dpiY / 25.4)
    , usableHeightMm_(printer.printableHeightMm - form.topMargin.value - form.bottomMargin.value)
    , printableWidthMm_(printer.printableWidthMm)
    , mapWidth_(mapSize.width())
    , mapHeight_(mapSize.height())
{
    const double usableWidth = printableWidthMm_ - form.leftMargin.value - form.rightMargin.value;
    const double usableHeight = usableHeightMm_;
    const double rows = form.rows.value;
    const double columns = form.columns.value;
    const double horizontalGap = form.horizontalGap.value / 100.0;
    const double verticalGap = form.verticalGap.value / 100.0;
    const double titleOffset = form.mapTitle.topOffset.value / 100.0;

    // The grid in base-map pixels: maps and gaps, and the room between the
    // vertical gap and the title offset.
    const double gridWidth = mapWidth_ * (columns + (columns - 1) * horizontalGap);
    const double gridHeight = mapHeight_ * (rows + (rows - 1) * verticalGap + (verticalGap - titleOffset));
    fits_ = positive(usableWidth) && positive(usableHeight) && positive(gridWidth) && positive(gridHeight)
        && positive(dotsPerMmX_) && positive(dotsPerMmY_);
    if (!fits_)
        return;
    if (usableWidth / usableHeight < gridWidth / gridHeight) {
        sx_ = usableWidth * dotsPerMmX_ / gridWidth;
        sy_ = usableWidth * dotsPerMmY_ / gridWidth;
    } else {
        sx_ = usableHeight * dotsPerMmX_ / gridHeight;
        sy_ = usableHeight * dotsPerMmY_ / gridHeight;
    }
}

QPointF PageLayout::cellOrigin(int row, int column) const
{
    const double verticalGap = form_.verticalGap.value / 100.0;
    double x
        = form_.leftMargin.value * dotsPerMmX_ + column * (1 + form_.horizontalGap.value / 100.0) * mapWidth_ * sx_;
    double y = form_.topMargin.value * dotsPerMmY_ + row * (1 + verticalGap) * mapHeight_ * sy_;
    if (!form_.mapTitle.bottom)
        y += (verticalGap - form_.mapTitle.topOffset.value / 100.0) * mapHeight_ * sy_;
    return {x, y};
}

QSizeF PageLayout::cellSize() const { return {mapWidth_ * sx_, mapHeight_ * sy_}; }

QPointF PageLayout::titleOrigin(int row, int column) const
{
    const TextBlock& title = form_.mapTitle;
    const QPointF cell = cellOrigin(row, column);
    double x = cell.x() - title.leftProtrusion.value / 100.0 * mapWidth_ * sx_;
    double y = title.bottom
        ? cell.y() + mapHeight_ * sy_ + title.topOffset.value / 100.0 * mapHeight_ * sy_
        : form_.topMargin.value * dotsPerMmY_ + row * (1 + form_.verticalGap.value / 100.0) * mapHeight_ * sy_;
    return {x, y};
}

double PageLayout::titleWidth() const
{
    const TextBlock& title = form_.mapTitle;
    return std::max(0.0, (100.0 + title.leftProtrusion.value + title.rightProtrusion.value) / 100.0 * mapWidth_ * sx_);
}

QPointF PageLayout::headerOrigin() const
{
    const TextBlock& header = form_.pageHeader;
    return {(form_.leftMargin.value - header.leftProtrusion.value) * dotsPerMmX_, header.topOffset.value * dotsPerMmY_};
}

double PageLayout::headerWidth() const
{
    const TextBlock& header = form_.pageHeader;
    return std::max(0.0,
        (printableWidthMm_ - form_.leftMargin.value - form_.rightMargin.value + header.leftProtrusion.value
            + header.rightProtrusion.value)
            * dotsPerMmX_);
}

QPointF PageLayout::footerOrigin() const
{
    const TextBlock& footer = form_.pageFooter;
    return {(form_.leftMargin.value - footer.leftProtrusion.value) * dotsPerMmX_,
        (form_.topMargin.value + usableHeightMm_ + footer.topOffset.value) * dotsPerMmY_};
}

double PageLayout::footerWidth() const
{
    const TextBlock& footer = form_.pageFooter;
    return std::max(0.0,
        (printableWidthMm_ - form_.leftMargin.value - form_.rightMargin.value + footer.leftProtrusion.value
            + footer.rightProtrusion.value)
            * dotsPerMmX_);
}

} // namespace tavik
