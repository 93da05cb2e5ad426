#pragma once

#include "viewer/document/page_export.h"
#include "viewer/document/quelna_doc.h"

#include <QImage>

#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace tavik {

class MessageSink;
class PrintSnapshot;

// The pages of a print preview, drawn on demand on a worker thread from a
// frozen snapshot and kept for the last few asked for: a document of a
// thousand species is previewed page by page, never drawn whole, and its
// memory is a few pages however long it is.
class PreviewPages {
public:
    // Called on the worker thread when a page asked for is drawn.
    using Ready = std::function<void(int page)>;

    // faults: where faulty distribution lines are reported, from the worker
    // (it must be safe to call from another thread). keep: pages kept drawn.
    PreviewPages(std::shared_ptr<const PrintSnapshot> snapshot, CQuelnaDoc document, PreviewPaper paper,
        MessageSink& faults, Ready ready, size_t keep = 6);
    // Stops the worker; a page being drawn is finished first.
    ~PreviewPages();
    PreviewPages(const PreviewPages&) = delete;
    PreviewPages& operator=(const PreviewPages&) = delete;

    int pageCount() const { return document_.pageCount(); }

    // The page (from 1) at `dpi` when it is drawn, else a null image; a page
    // not drawn yet is asked for, before any asked for earlier.
    QImage page(int number, double dpi);

    // Pages kept drawn now (at most `keep`).
    size_t keptCount() const;

private:
    struct Drawn {
        int page;
        double dpi;
        QImage image;
    };

    void work();

    std::shared_ptr<const PrintSnapshot> snapshot_;
    const CQuelnaDoc document_;
    const PreviewPaper paper_;
    MessageSink& faults_;
    Ready ready_;
    const size_t keep_;
    mutable std::mutex mutex_;
    std::condition_variable asked_;
    std::list<Drawn> drawn_; // most recently used first
    std::list<std::pair<int, double>> wanted_; // latest first
    bool ending_ = false;
    std::thread worker_;
};

} // namespace tavik
