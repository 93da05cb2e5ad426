#include "viewer/windows/document_printer.h"

#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/document/page_export.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/session/print_run.h"
#include "viewer/session/print_snapshot.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/print_preview_dialog.h"
#include "viewer/windows/printer_setup_dialog.h"
#include "viewer/windows/progress_dialog.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include <optional>

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

DocumentPrinter::DocumentPrinter(Workspace& workspace, MessageSink& messages, QWidget* parent)
    : workspace_(workspace)
    , messages_(messages)
    , parent_(parent)
    , printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // Without a system printer, printing goes to a PDF file: on A4, as the
    // PDF files of `tavik --print`, proposed in the database's folder.
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setOutputFileName(qpath(localPath(joinPath(workspace.settings().startupDirectory, "print.pdf"))));
    }
}

DocumentPrinter::~DocumentPrinter() = default;

void DocumentPrinter::print(const CQuelnaDoc& document, const ScreenMetrics& screen)
{
    if (!formFits(document, screen))
        return;
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

PreviewPaper DocumentPrinter::paper() const
{
    // A PDF file has no unprintable edge (printPages takes the margins off).
    const QPageLayout layout = printer_->pageLayout();
    PreviewPaper paper;
    paper.paperMm = layout.fullRect(QPageLayout::Millimeter).size();
    paper.printableMm = printer_->outputFormat() == QPrinter::PdfFormat ? QRectF(QPointF(), paper.paperMm)
                                                                        : layout.paintRect(QPageLayout::Millimeter);
    return paper;
}

bool DocumentPrinter::formFits(const CQuelnaDoc& document, const ScreenMetrics& screen)
{
    const PrintSnapshot snapshot(workspace_, screen);
    MessageLog ignored;
    if (gridFitsPaper(document, snapshot.sources(ignored), paper()))
        return true;
    messages_.stop(cp932Printf("%s\n印刷書式 \"%s\" の地図の並びが用紙に収まりません"
                               "（余白、地図の間隔、タイトルの位置を見直してください）。",
        workspace_.settings().printFormCfg.c_str(), document.printForm().title.c_str()));
    return false;
}

void DocumentPrinter::preview(const CQuelnaDoc& document, const ScreenMetrics& screen)
{
    // No preview opens for a form that fits no map on the paper.
    if (!formFits(document, screen))
        return;
    SharedMessageLog faults;
    PrintPreviewDialog dialog(
        std::make_shared<const PrintSnapshot>(workspace_, screen), document, paper(), faults, parent_);
    // The dialog is the connections' context: a queued call still waiting
    // when it closes goes with it, before `faults` does.
    connect(
        &dialog, &PrintPreviewDialog::printRequested, &dialog, [this, &document, &screen] { print(document, screen); });
    connect(&dialog, &PrintPreviewDialog::setupRequested, &dialog, [this, &dialog] {
        if (setUp())
            dialog.setPaper(paper());
    });
    connect(
        &dialog, &PrintPreviewDialog::pageDrawn, &dialog,
        [this, &faults] {
            for (const Message& message : faults.take())
                messages_.show(message);
        },
        Qt::QueuedConnection);
    lastPreview_ = &dialog;
    dialog.exec();
    lastPreview_ = nullptr;
    for (const Message& message : faults.take())
        messages_.show(message);
}

bool DocumentPrinter::setUp()
{
    PrinterSetupDialog dialog(*printer_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

ExportResult DocumentPrinter::printPages(QPrinter& printer, const CQuelnaDoc& document, const ScreenMetrics& screen)
{
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    if (toFile) {
        // A PDF file has no unprintable edge: the form's margins count from
        // the sheet's edges, as in the PDF files of `tavik --print`.
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    // A PDF file is written beside its name and put in place when every page
    // is drawn: a cancel or a failure leaves the file that was there.
    const QString target = printer.outputFileName();
    std::unique_ptr<FileReplacement> file;
    if (toFile) {
        const std::optional<std::string> targetPath = cp932PathOf(localPathOf(target));
        if (!targetPath) {
            messages_.stop(pathWithoutCp932Message(localPathOf(target)));
            return ExportResult::FileError;
        }
        file = std::make_unique<FileReplacement>(*targetPath);
        if (!file->open()) {
            messages_.stop(cp932Printf(
                "%s に書き込みできませんでした。\n%s", targetPath->c_str(), utf8ToCp932(file->errorText()).c_str()));
            return ExportResult::FileError;
        }
        printer.setOutputFileName(qpath(LocalPath(file->descriptorPath())));
    }
    SharedMessageLog faults;
    std::function<void()> abandon;
    if (!toFile)
        abandon = [&printer] { printer.abort(); };
    PrintRun run(std::make_shared<const PrintSnapshot>(workspace_, screen), document, printer, pagesOf(printer), faults,
        abandon);
    run.start();
    ProgressDialog progress(run, QStringLiteral("印刷中"), QStringLiteral("キャンセル"), parent_);
    progress.exec();
    run.wait();
    ExportResult result = run.result();
    if (toFile) {
        printer.setOutputFileName(target);
        if (result == ExportResult::Done && !file->commit())
            result = ExportResult::FileError;
        file.reset();
    }
    for (const Message& message : faults.take())
        messages_.show(message);
    switch (result) {
    case ExportResult::NothingToPrint:
        formFits(document, screen);
        break;
    case ExportResult::FileError:
        if (toFile)
            messages_.stop(cp932Printf("%s に書き込みできませんでした。", cp932Text(target).c_str()));
        else
            messages_.stop(
                cp932Printf("プリンタ %s に印刷できませんでした。", cp932Text(printer.printerName()).c_str()));
        break;
    default:
        break;
    }
    return result;
}

} // namespace tavik
