#pragma once

#include <string>
#include <thread>

namespace tavik {

class MessageSink;
class Workspace;

// Loads the add-in overlays of the workspace on a worker thread, the first
// time a map is opened, while a wait dialog polls statusText() and
// finished() and may cancel(). The records are read by renderers only after
// finish() has waited for the worker to end.
class AddinLoadJob {
public:
    explicit AddinLoadJob(Workspace& workspace);
    // Waits for a worker still running.
    ~AddinLoadJob();
    AddinLoadJob(const AddinLoadJob&) = delete;
    AddinLoadJob& operator=(const AddinLoadJob&) = delete;

    // Whether the overlays are still to be loaded: AddinMap names a list and
    // no load has been started.
    bool needed() const;

    // Starts the worker.
    void start();

    // The add-in file being read, or "完了" once the list is done (cp932).
    std::string statusText() const;

    // True once the worker has ended its load.
    bool finished() const;

    // Asks the worker to stop before its next line.
    void cancel();

    // Waits until the worker has ended (after a cancel it ends at its next
    // line), tells the workspace that the render sources changed, and shows
    // the load's errors together in one message. False when there were
    // errors; the records read are kept and drawn either way.
    bool finish(MessageSink& messages);

private:
    Workspace& workspace_;
    std::thread worker_;
    bool started_ = false;
    bool result_ = true;
};

} // namespace tavik
