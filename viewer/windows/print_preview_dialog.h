#pragma once

#include "viewer/document/page_export.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace tavik {

class CQuelnaDoc;
class MessageSink;
class PreviewPages;
class PrintSnapshot;

// The print preview "印刷ﾌﾟﾚﾋﾞｭｰ": one page of the document at a time, drawn
// on demand on a worker thread (a few pages are kept, never the whole
// document), at the zoom chosen, with its maps shrunk by averaging so that
// the page looks as the print will. Its buttons page through the document,
// print it and open the printer set-up (which may change the paper).
class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // faults: where faulty distribution lines are reported (from the worker).
    PrintPreviewDialog(std::shared_ptr<const PrintSnapshot> snapshot, const CQuelnaDoc& document,
        const PreviewPaper& paper, MessageSink& faults, QWidget* parent = nullptr);
    ~PrintPreviewDialog() override;

    // Draws the pages anew on another paper (after the printer set-up).
    void setPaper(const PreviewPaper& paper);

    int currentPage() const { return page_; }
    int pageCount() const;
    void showPage(int page);
    // Zoom in per cent of the paper's real size (25 to 200).
    void setZoom(int percent);
    int zoom() const { return zoom_; }
    // The page as it is shown now; null while it is being drawn.
    QImage shownPage() const { return shown_; }

    QPushButton* printButton() const { return printButton_; }
    QPushButton* setupButton() const { return setupButton_; }

Q_SIGNALS:
    void printRequested();
    void setupRequested();
    // A page asked for has been drawn (the dialog shows it if it is current).
    void pageDrawn(int page);

private:
    void makePages();
    void refresh();
    double dpi() const;

    std::shared_ptr<const PrintSnapshot> snapshot_;
    std::unique_ptr<CQuelnaDoc> document_;
    PreviewPaper paper_;
    MessageSink& faults_;
    std::unique_ptr<PreviewPages> pages_;
    int page_ = 1;
    int zoom_ = 50;
    QImage shown_;
    QLabel* sheet_;
    QScrollArea* area_;
    QLabel* pageText_;
    QComboBox* zoomList_;
    QPushButton* printButton_;
    QPushButton* setupButton_;
};

} // namespace tavik
