#pragma once

#include <QObject>

#include <memory>

class QPrinter;
class QWidget;

namespace tavik {

class CQuelnaDoc;
class MessageSink;
class PrintPreviewDialog;
class Workspace;
struct PreviewPaper;
struct ScreenMetrics;
enum class ExportResult;

// Printing from the windows: the print dialog, the print preview and the
// printer set-up, all on one printer that the set-up chooses and the next
// print and preview use. Pages are drawn by the page export that `tavik
// --print` uses, measured by the screen metrics of the document's map view,
// from a snapshot frozen when the print or preview starts: a print runs on a
// worker thread behind a progress dialog with Cancel, a preview draws its
// pages on demand. A form that fits no map on the paper is reported and
// neither prints nor opens a preview.
class DocumentPrinter : public QObject {
    Q_OBJECT
public:
    DocumentPrinter(Workspace& workspace, MessageSink& messages, QWidget* parent);
    ~DocumentPrinter() override;

    // The printer of the next print and preview.
    QPrinter& printer() const { return *printer_; }

    // The print dialog, offering pages 1 to the document's page count with
    // page 1 current; prints the pages chosen when it is accepted.
    void print(const CQuelnaDoc& document, const ScreenMetrics& screen);

    // The print preview, page by page, with page navigation, zoom, printing
    // and the printer set-up.
    void preview(const CQuelnaDoc& document, const ScreenMetrics& screen);
    // The preview while it shows (for tests), else null.
    PrintPreviewDialog* currentPreview() const { return lastPreview_; }

    // The printer set-up dialog: printer, paper size and orientation; true
    // when it was accepted.
    bool setUp();

    // Draws the pages of the printer's range (all pages, a range, or page 1
    // as the current page) onto it on a worker thread behind the progress
    // dialog, and reports a failure. A PDF file is replaced only when every
    // page was drawn.
    ExportResult printPages(QPrinter& printer, const CQuelnaDoc& document, const ScreenMetrics& screen);

    // The printer's paper and printable area.
    PreviewPaper paper() const;

private:
    // True when the document's form fits a map on the printer's paper; else
    // reports it.
    bool formFits(const CQuelnaDoc& document, const ScreenMetrics& screen);

    Workspace& workspace_;
    MessageSink& messages_;
    QWidget* parent_;
    std::unique_ptr<QPrinter> printer_;
    PrintPreviewDialog* lastPreview_ = nullptr;
};

} // namespace tavik
