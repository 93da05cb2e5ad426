#include "viewer/windows/document_printer.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/print/page_export.h"
#include "viewer/print/quelna_doc.h"
#include "viewer/session/renderer_cache.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/printer_setup_dialog.h"

#include <QApplication>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tavik {
namespace {

// The pages a printer's range names, in the document's pages.
PageRange pagesOf(const QPrinter& printer)
{
    switch (printer.printRange()) {
    case QPrinter::PageRange:
        return {printer.fromPage(), printer.toPage()};
    case QPrinter::CurrentPage:
        return {1, 1}; // the print dialog offers page 1 as the current page
    default:
        return {};
    }
}

} // namespace

DocumentPrinter::DocumentPrinter(Workspace& workspace, RendererCache& renderers, MessageSink& messages, QWidget* parent)
    : workspace_(workspace)
    , renderers_(renderers)
    , messages_(messages)
    , parent_(parent)
    , printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // Without a system printer, printing goes to a PDF file: on A4, as the
    // PDF files of `tavik --print`, proposed in the database's folder.
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        printer_->setPageSize(QPageSize(QPageSize::A4));
        const std::string file = localPath(joinPath(workspace.settings.startupDirectory, "print.pdf"));
        printer_->setOutputFileName(QString::fromStdString(file));
    }
}

DocumentPrinter::~DocumentPrinter() = default;

void DocumentPrinter::print(const CQuelnaDoc& document, const ScreenMetrics& screen)
{
    QPrintDialog dialog(printer_.get(), parent_);
    const int pages = document.pageCount(); // 1 also without species
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
        | QAbstractPrintDialog::PrintCurrentPage | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, pages);
    printer_->setFromTo(1, pages);
    printer_->setPrintRange(QPrinter::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printPages(*printer_, document, screen);
}

void DocumentPrinter::preview(const CQuelnaDoc& document, const ScreenMetrics& screen)
{
    // The preview shows every page; printing from it asks for the range anew.
    printer_->setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog dialog(printer_.get(), parent_);
    dialog.setWindowTitle(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
        [this, &document, &screen](QPrinter* printer) { printPages(*printer, document, screen); });
    dialog.resize(900, 1000);
    dialog.exec();
}

void DocumentPrinter::setUp()
{
    PrinterSetupDialog dialog(*printer_, parent_);
    dialog.exec();
}

ExportResult DocumentPrinter::printPages(QPrinter& printer, const CQuelnaDoc& document, const ScreenMetrics& screen)
{
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A PDF file has no unprintable edge: the form's margins count from
        // the sheet's edges, as in the PDF files of `tavik --print`.
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    MessageLog raised;
    const PrintSources sources = workspace_.printSources(renderers_.renderer(), screen, raised);
    const std::atomic<bool> stop{false};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExportResult result = printDocument(printer, document, sources, pagesOf(printer), {}, stop);
    QApplication::restoreOverrideCursor();
    for (const Message& message : raised.messages)
        messages_.show(message);
    const Settings& s = workspace_.settings;
    switch (result) {
    case ExportResult::NothingToPrint:
        messages_.stop("",
            cp932Printf("%s\n印刷書式 \"%s\" の地図の並びが用紙に収まりません"
                        "（余白、地図の間隔、タイトルの位置を見直してください）。",
                s.printFormCfg.c_str(), document.printForm().title.c_str()));
        break;
    case ExportResult::FileError:
        if (printer.outputFormat() == QPrinter::PdfFormat)
            messages_.stop("",
                cp932Printf(
                    "%s に書き込みできませんでした。", utf8ToCp932(printer.outputFileName().toStdString()).c_str()));
        else
            messages_.stop("",
                cp932Printf(
                    "プリンタ %s に印刷できませんでした。", utf8ToCp932(printer.printerName().toStdString()).c_str()));
        break;
    default:
        break;
    }
    return result;
}

} // namespace tavik
