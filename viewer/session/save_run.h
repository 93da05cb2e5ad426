#pragma once

#include "viewer/render/map_saver.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/watched_job.h"
#include "viewer/settings/species_table.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tavik {

class MessageSink;

// One batch of saving started from the windows: saveMaps on a worker thread
// of the lowest priority, while a progress dialog polls progress() and may
// cancel(). The run owns what it draws from (frozen sources, copies of the
// species records), so that a dialog that changes the painter or the
// settings meanwhile changes only the maps drawn after it. The worker gives
// its messages (a file that cannot be written, faulty distribution lines) to
// a sink that must be safe to call from another thread; the main window's
// sink queues them to the window.
class SaveRun : public WatchedJob {
public:
    // sources: what the maps are drawn from. markScale: see markScale().
    SaveRun(SaveJob job, RenderSources sources, double markScale);
    // Stops the worker before its next map and waits for it.
    ~SaveRun() override;
    SaveRun(const SaveRun&) = delete;
    SaveRun& operator=(const SaveRun&) = delete;

    // Starts the worker. `threads` as for saveMaps (0: one per core).
    void start(MessageSink& messages, unsigned threads = 0);

    // Asks the worker to stop at once: the map whose file is being put in
    // place is kept, no other file is written.
    void cancel() override { stop_.store(true); }

    // Set by cancel() and by the end of the run: the progress dialog closes.
    bool stopping() const override { return stop_.load(); }

    std::string progressText() const override { return progress_.text(); }
    int percent() const override { return progress_.percent.load(); }

    // True once the worker has ended.
    bool finished() const;

    // Waits until the worker has ended or the time is up; true when it ended.
    bool waitFor(std::chrono::milliseconds time);
    // Waits until the worker has ended.
    void wait();

    // How the run ended (meaningful once finished).
    SaveResult result() const { return result_.load(); }

    SaveProgress& progress() { return progress_; }
    const SaveJob& job() const { return job_; }

private:
    void work(MessageSink& messages, unsigned threads);

    std::vector<SpeciesRecord> species_; // the job's species, copied
    SaveJob job_;
    RenderSources sources_;
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
