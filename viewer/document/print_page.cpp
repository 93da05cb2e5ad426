#include "viewer/document/print_page.h"

#include "viewer/document/quelna_doc.h"
#include "viewer/print/page_layout.h"
#include "viewer/print/script_painter.h"
#include "viewer/render/page_renderer.h"
#include "viewer/render/pixel_rounding.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace tavik {
namespace {

// Runs `draw` with the painter's origin at a box's top-left corner, the
// position truncated to whole dots.
template <typename Draw> void inBox(QPainter& painter, const QPointF& topLeft, Draw draw)
{
    painter.save();
    painter.translate(truncToInt(topLeft.x()), truncToInt(topLeft.y()));
    draw();
    painter.restore();
}

// Draws a map stretched onto a cell of the page (device dots). A cell smaller
// than the map takes it shrunk by averaging its pixels: dropping pixels, as a
// plain stretch does, breaks one-pixel coastlines and grid lines apart.
void drawMap(QPainter& painter, const QSize& cell, const QImage& map)
{
    if (cell.width() < map.width() && cell.height() < map.height())
        painter.drawImage(QPoint(), map.scaled(cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    else
        painter.drawImage(QRect(QPoint(), cell), map);
}

// At most ten species share an overlay map, one per painter slot.
constexpr size_t kOverlaySlots = 10;

} // namespace

ScreenMetrics ScreenMetrics::ofDisplayFont(const FontSettings& settings)
{
    QImage screen(1, 1, QImage::Format_RGB32);
    ScreenMetrics metrics;
    metrics.dpiX = screen.logicalDpiX();
    metrics.dpiY = screen.logicalDpiY();
    metrics.digitFactor = markScale(settings, screen);
    return metrics;
}

ScriptContext pageContext(const CQuelnaDoc& document, int page)
{
    const PrintForm& form = document.printForm();
    ScriptContext context;
    context.pageNumber = page;
    context.pageCount = document.pageCount();
    context.sequenceNumber = static_cast<std::int64_t>(form.rows.value) * form.columns.value * (page - 1) + 1;
    const int first = document.firstSpeciesOnPage(page);
    if (document.isOverlay()) {
        for (const SpeciesRecord& one : document.species())
            context.species.push_back(&one);
    } else if (first >= 0) {
        context.species.push_back(&document.species()[static_cast<size_t>(first)]);
    }
    return context;
}

PageResult printPage(
    QPainter& painter, const CQuelnaDoc& document, int page, const PrintSources& sources, const PrinterPage* metrics)
{
    const int first = document.firstSpeciesOnPage(page);
    if (first < 0 || !painter.device())
        return PageResult::NoSpecies;
    const PrintForm& form = document.printForm();
    const PrinterPage printer = metrics ? *metrics : PrinterPage::of(*painter.device());
    const PageLayout layout(form, printer, sources.mapSize);
    const PrintScales scales{layout.sx(), layout.sy(), printer.dpiX / sources.screen.dpiX,
        printer.dpiY / sources.screen.dpiY, sources.screen.digitFactor};
    const std::vector<SpeciesRecord>& species = document.species();
    const ScriptContext headerContext = pageContext(document, page);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (layout.fits()) {
        const QSize cell(truncToInt(layout.cellSize().width()), truncToInt(layout.cellSize().height()));
        auto drawCell
            = [&](int row, int column, const std::vector<const SpeciesRecord*>& cellSpecies, std::int64_t sequence) {
                  std::vector<std::int64_t> codes;
                  for (size_t k = 0; k < cellSpecies.size() && k < kOverlaySlots; ++k)
                      codes.push_back(cellSpecies[k]->code);
                  QImage map = sources.renderMap ? sources.renderMap(codes) : QImage();
                  if (!map.isNull())
                      inBox(painter, layout.cellOrigin(row, column), [&] { drawMap(painter, cell, map); });
                  ScriptContext context{page, document.pageCount(), sequence, cellSpecies};
                  inBox(painter, layout.titleOrigin(row, column), [&] {
                      drawScript(painter, form.mapTitle.script, layout.titleWidth(), context, sources.scripts, scales);
                  });
              };
        if (document.isOverlay()) {
            drawCell(0, 0, headerContext.species, 1);
        } else {
            // Cells row by row from the page's first species, until a species
            // of another page or the end of the list.
            const int cells = form.rows.value * form.columns.value;
            for (int cellIndex = 0; cellIndex < cells; ++cellIndex) {
                const int index = first + cellIndex;
                if (index >= document.speciesCount() || document.pageOf(index) != page)
                    break;
                drawCell(cellIndex / form.columns.value, cellIndex % form.columns.value,
                    {&species[static_cast<size_t>(index)]}, index + 1);
            }
        }
    }

    inBox(painter, layout.headerOrigin(), [&] {
        drawScript(painter, form.pageHeader.script, layout.headerWidth(), headerContext, sources.scripts, scales);
    });
    inBox(painter, layout.footerOrigin(), [&] {
        drawScript(painter, form.pageFooter.script, layout.footerWidth(), headerContext, sources.scripts, scales);
    });
    painter.restore();
    return layout.fits() ? PageResult::Drawn : PageResult::NoMaps;
}

} // namespace tavik
