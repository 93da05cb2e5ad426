#pragma once

#include <QObject>

#include <memory>

class QPrinter;
class QWidget;

namespace tavik {

class CQuelnaDoc;
class MessageSink;
class RendererCache;
class Workspace;
struct ScreenMetrics;
enum class ExportResult;

// Printing from the windows: the print dialog, the print preview and the
// printer set-up, all on one printer that the set-up chooses and the next
// print and preview use. Pages are drawn by the page export that `tavik
// --print` uses, measured by the screen metrics of the document's map view.
class DocumentPrinter : public QObject {
    Q_OBJECT
public:
    DocumentPrinter(Workspace& workspace, RendererCache& renderers, MessageSink& messages, QWidget* parent);
    ~DocumentPrinter() override;

    // The printer of the next print and preview.
    QPrinter& printer() const { return *printer_; }

    // The print dialog, offering pages 1 to the document's page count with
    // page 1 current; prints the pages chosen when it is accepted.
    void print(const CQuelnaDoc& document, const ScreenMetrics& screen);

    // The print preview of every page, with page navigation, zoom, and
    // printing from it.
    void preview(const CQuelnaDoc& document, const ScreenMetrics& screen);

    // The printer set-up dialog: printer, paper size and orientation.
    void setUp();

    // Draws the pages of the printer's range (all pages, a range, or page 1
    // as the current page) onto it, and reports a failure.
    ExportResult printPages(QPrinter& printer, const CQuelnaDoc& document, const ScreenMetrics& screen);

private:
    Workspace& workspace_;
    RendererCache& renderers_;
    MessageSink& messages_;
    QWidget* parent_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace tavik
