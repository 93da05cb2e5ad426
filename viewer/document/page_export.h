#pragma once

#include <QRectF>
#include <QSizeF>

#include <atomic>
#include <functional>
#include <string>

class QImage;
class QPagedPaintDevice;

namespace tavik {

class CQuelnaDoc;
struct PrintSources;

// How drawing a document's pages ended.
enum class ExportResult {
    Done, // every page of the range drawn (and a file put in place)
    Incomplete, // every page drawn, but a map lacked records it should show; a file is left as it was
    Stopped, // the stop flag was seen between pages; a file is left as it was
    FileError, // the file could not be written or the device not painted
    NothingToPrint, // the print form's grid holds no map on the paper
};

// What a page export reports while it runs. The callback is called on the
// thread that runs the export, before each page is drawn.
struct ExportProgress {
    // page: the page about to be drawn (from 1); last: the last page of the
    // range; names: the scientific names of the page's species, comma
    // separated (cp932).
    std::function<void(int page, int last, const std::string& names)> onPage;
    // Asked by exportPdf after the last page: false when a map could not be
    // drawn whole (a faulty distribution line was reported), so that the
    // file is not replaced by pages that lack records.
    std::function<bool()> drawnWhole;
    // Called by printDocument when the stop flag ends the drawing, while the
    // device is still open: a printer drops its job rather than print the
    // pages drawn so far.
    std::function<void()> abandon;
};

// Pages of a document to draw, from 1; last 0 stands for the document's last
// page.
struct PageRange {
    int first = 1;
    int last = 0;
};

// Dots per inch of the PDF files the viewer writes.
inline constexpr int kPdfDpi = 300;

// Draws the pages of a document, each on a new sheet of `device` (a PDF
// writer, a printer), with the print page code the preview uses. The stop
// flag is read before each page. NothingToPrint before any page is drawn
// when the form's grid fits no map on the device's printable area.
ExportResult printDocument(QPagedPaintDevice& device, const CQuelnaDoc& document, const PrintSources& sources,
    PageRange range, const ExportProgress& progress, const std::atomic<bool>& stop);

// Writes every page of a document to a PDF file: A4 portrait at kPdfDpi,
// the whole sheet printable, titled with the print form's title. The file
// (path in cp932) is replaced only when every page was written whole; on any
// other result it is left as it was.
ExportResult exportPdf(const std::string& path, const CQuelnaDoc& document, const PrintSources& sources,
    const ExportProgress& progress, const std::atomic<bool>& stop);

// The paper of a preview: its size, and where the printer's printable area
// lies on it, in millimetres.
struct PreviewPaper {
    QSizeF paperMm{210.0, 297.0};
    QRectF printableMm{0.0, 0.0, 210.0, 297.0};
};

// One page of a document drawn as the printer draws it, on an image of the
// whole paper at `dpi` dots per inch: white paper, the printable area in
// place, maps shrunk by averaging. A null image when the form's grid fits no
// map on the printable area or memory runs out.
QImage previewPage(
    const CQuelnaDoc& document, int page, const PrintSources& sources, const PreviewPaper& paper, double dpi);

// Whether the form's grid fits a map on the printable area (millimetres) of
// a paper: where it does not, printing and the preview show a message instead.
bool gridFitsPaper(const CQuelnaDoc& document, const PrintSources& sources, const PreviewPaper& paper);

// The scientific names of the species on a page of a document (every species
// of an overlay), comma separated (cp932).
std::string pageSpeciesNames(const CQuelnaDoc& document, int page);

} // namespace tavik
