#pragma once

#include "viewer/basemap/addin_overlays.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace tavik {

class MessageSink;
class Workspace;

// Loads the add-in overlays of the workspace on a worker thread, the first
// time a map is opened, while a wait dialog polls statusText() and
// finished() and may cancel(). The worker loads into overlays of its own,
// which the workspace takes in finish(): renderers never see a load under
// way, and a loader that never returns (a file whose bytes never come) is
// left behind after a Cancel without holding up the windows.
class AddinLoadJob {
public:
    // Reads the add-ins into `overlays` (AddinOverlays::load by default);
    // false when errors were collected.
    using Loader = std::function<bool(
        AddinOverlays& overlays, const std::string& addinMap, const std::string& startupDirectory)>;

    explicit AddinLoadJob(Workspace& workspace, Loader loader = {});
    // Waits for a worker still running, unless it was cancelled and does not
    // answer: that one is left to end on its own.
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

    // Takes the overlays the worker read into the workspace (its records,
    // also after a cancel), tells the workspace that the render sources
    // changed and shows the load's errors together in one message; false
    // when there were errors. A cancelled worker that has not answered within
    // a second is stuck: the viewer goes on without add-ins, says so, and
    // false is returned.
    bool finish(MessageSink& messages);

private:
    struct Load {
        AddinOverlays overlays;
        std::atomic<bool> ended{false};
        bool result = true; // written by the worker before `ended`
    };

    Workspace& workspace_;
    Loader loader_;
    std::shared_ptr<Load> load_;
    std::thread worker_;
    bool cancelled_ = false;
};

} // namespace tavik
