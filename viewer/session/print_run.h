#pragma once

#include "viewer/document/page_export.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/session/watched_job.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QPagedPaintDevice;

namespace tavik {

class MessageSink;
class PrintSnapshot;

// Printing from the windows on a worker thread: the pages of a document
// drawn onto a printer (or its PDF file) from a frozen snapshot, while a
// progress dialog watches and may cancel between pages. The device must
// outlive the run and be left alone while it works.
class PrintRun : public WatchedJob {
public:
    // faults: where faulty distribution lines are reported, from the worker.
    // abandon: called on the worker when a cancel ends the printing while
    // the device is still open (a printer drops its job), or empty.
    PrintRun(std::shared_ptr<const PrintSnapshot> snapshot, CQuelnaDoc document, QPagedPaintDevice& device,
        PageRange range, MessageSink& faults, std::function<void()> abandon = {});
    // Cancels and waits for the worker.
    ~PrintRun() override;
    PrintRun(const PrintRun&) = delete;
    PrintRun& operator=(const PrintRun&) = delete;

    void start();
    // Waits until the worker has ended.
    void wait();
    // How the printing ended (once waited for).
    ExportResult result() const { return result_.load(); }

    std::string progressText() const override;
    int percent() const override { return percent_.load(); }
    bool stopping() const override { return stop_.load(); }
    void cancel() override { stop_.store(true); }

private:
    std::shared_ptr<const PrintSnapshot> snapshot_;
    const CQuelnaDoc document_;
    QPagedPaintDevice& device_;
    const PageRange range_;
    MessageSink& faults_;
    std::function<void()> abandon_;
    std::atomic<bool> stop_{false};
    std::atomic<int> percent_{0};
    std::atomic<ExportResult> result_{ExportResult::Done};
    mutable std::mutex mutex_;
    std::string text_;
    std::thread worker_;
};

} // namespace tavik
