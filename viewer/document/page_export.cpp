#include "viewer/document/page_export.h"

#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/document/print_page.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/print/page_layout.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace tavik {
namespace {

bool gridFits(const CQuelnaDoc& document, const PrinterPage& page, const PrintSources& sources)
{
    return PageLayout(document.printForm(), page, sources.mapSize).fits();
}

void setUpPdfWriter(QPdfWriter& writer, const CQuelnaDoc& document)
{
    writer.setResolution(kPdfDpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    // The whole sheet is the printable area; the form's margins count from it.
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setCreator(QStringLiteral("tavik"));
    writer.setTitle(qtext(document.printForm().title));
}

// The printer's metrics for a preview: its printable millimetres at `dpi`.
PrinterPage previewPrinter(const PreviewPaper& paper, double dpi)
{
    PrinterPage printer;
    printer.dpiX = printer.dpiY = dpi;
    printer.printableWidthMm = static_cast<int>(paper.printableMm.width());
    printer.printableHeightMm = static_cast<int>(paper.printableMm.height());
    return printer;
}

} // namespace

bool gridFitsPaper(const CQuelnaDoc& document, const PrintSources& sources, const PreviewPaper& paper)
{
    return gridFits(document, previewPrinter(paper, kPdfDpi), sources);
}

QImage previewPage(
    const CQuelnaDoc& document, int page, const PrintSources& sources, const PreviewPaper& paper, double dpi)
{
    const PrinterPage printer = previewPrinter(paper, dpi);
    if (!gridFits(document, printer, sources))
        return {};
    const double dotsPerMm = dpi / 25.4;
    QImage sheet(
        qRound(paper.paperMm.width() * dotsPerMm), qRound(paper.paperMm.height() * dotsPerMm), QImage::Format_RGB32);
    if (sheet.isNull())
        return {};
    sheet.setDotsPerMeterX(qRound(dpi / 0.0254));
    sheet.setDotsPerMeterY(qRound(dpi / 0.0254));
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.translate(qRound(paper.printableMm.left() * dotsPerMm), qRound(paper.printableMm.top() * dotsPerMm));
    printPage(painter, document, page, sources, &printer);
    return sheet;
}

std::string pageSpeciesNames(const CQuelnaDoc& document, int page)
{
    std::string names;
    for (int i = 0; i < document.speciesCount(); ++i) {
        if (!document.isOverlay() && document.pageOf(i) != page)
            continue;
        if (!names.empty())
            names += ", ";
        names += document.species()[static_cast<size_t>(i)].scientificName;
    }
    return names;
}

ExportResult printDocument(QPagedPaintDevice& device, const CQuelnaDoc& document, const PrintSources& sources,
    PageRange range, const ExportProgress& progress, const std::atomic<bool>& stop)
{
    if (!gridFits(document, PrinterPage::of(device), sources))
        return ExportResult::NothingToPrint;
    const int last = range.last <= 0 ? document.pageCount() : std::min(range.last, document.pageCount());
    const int first = std::max(1, range.first);
    QPainter painter;
    if (!painter.begin(&device))
        return ExportResult::FileError;
    for (int page = first; page <= last; ++page) {
        if (stop.load()) {
            if (progress.abandon)
                progress.abandon();
            return ExportResult::Stopped;
        }
        if (page > first && !device.newPage())
            return ExportResult::FileError;
        if (progress.onPage)
            progress.onPage(page, last, pageSpeciesNames(document, page));
        printPage(painter, document, page, sources);
    }
    return painter.end() ? ExportResult::Done : ExportResult::FileError;
}

ExportResult exportPdf(const std::string& path, const CQuelnaDoc& document, const PrintSources& sources,
    const ExportProgress& progress, const std::atomic<bool>& stop)
{
    PrinterPage a4;
    a4.dpiX = a4.dpiY = kPdfDpi;
    if (!gridFits(document, a4, sources))
        return ExportResult::NothingToPrint;

    FileReplacement replacement(path);
    QFile file;
    if (!replacement.open() || !file.open(replacement.stream(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return ExportResult::FileError;
    ExportResult result;
    {
        QPdfWriter writer(&file);
        setUpPdfWriter(writer, document);
        result = printDocument(writer, document, sources, {}, progress, stop);
    }
    if (result != ExportResult::Done)
        return result;
    if (progress.drawnWhole && !progress.drawnWhole())
        return ExportResult::Incomplete;
    file.close();
    if (file.error() != QFileDevice::NoError || !replacement.commit())
        return ExportResult::FileError;
    return ExportResult::Done;
}

} // namespace tavik
