#pragma once

#include "viewer/render/map_saver.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tavik {

class MessageSink;
struct RenderSources;

// One batch of saving started from the windows: saveMaps on a worker thread
// of the lowest priority, while a progress dialog polls progress() and may
// cancel(). The worker gives its messages (a file that cannot be written,
// faulty distribution lines) to a sink that must be safe to call from
// another thread; the main window's sink queues them to the window.
class SaveRun {
public:
    // sources: what the maps are drawn from; it must not change while the
    // worker runs. markScale: see markScale().
    SaveRun(SaveJob job, const RenderSources& sources, double markScale);
    // Stops the worker before its next map and waits for it.
    ~SaveRun();
    SaveRun(const SaveRun&) = delete;
    SaveRun& operator=(const SaveRun&) = delete;

    // Starts the worker. `threads` as for saveMaps (0: one per core).
    void start(MessageSink& messages, unsigned threads = 0);

    // Asks the worker to stop before its next map; the map being written is
    // finished and kept.
    void cancel() { stop_.store(true); }

    // Set by cancel() and by the end of the run: the progress dialog closes.
    bool stopping() const { return stop_.load(); }

    // True once the worker has ended.
    bool finished() const;

    // Waits until the worker has ended or the time is up; true when it ended.
    bool waitFor(std::chrono::milliseconds time);

    // How the run ended (meaningful once finished).
    SaveResult result() const { return result_.load(); }

    SaveProgress& progress() { return progress_; }
    const SaveJob& job() const { return job_; }

private:
    void work(MessageSink& messages, unsigned threads);

    SaveJob job_;
    std::unique_ptr<const RenderSources> sources_;
    double markScale_;
    SaveProgress progress_;
    std::atomic<bool> stop_{false};
    std::atomic<SaveResult> result_{SaveResult::Done};
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool finished_ = false;
    std::thread worker_;
};

} // namespace tavik
