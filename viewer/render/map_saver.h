#pragma once

#include "platform/cp932_text.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tavik {

class MessageSink;
struct RenderSources;
struct SpeciesRecord;

// A batch of maps to save: what the save dialog (or the command line) chose.
struct SaveJob {
    std::string path; // cp932; its file name may hold %S %A1 %A2 %C
    int depth = 24; // bits per pixel of the files: 8 (standard palette) or 24
    bool overlay = false; // one map of the first ten species instead of one per species
    std::vector<const SpeciesRecord*> species; // in selection order
};

// What a batch of saving reports while it runs. The percentage and the
// text name the map being made now (set when its turn comes, while workers
// render it) and may be read from any thread (a progress dialog polls them);
// onMap is called as each map's file is put in place.
class SaveProgress {
public:
    std::atomic<int> percent{0}; // 0 to 100

    void setText(std::string text);
    std::string text() const;

    // Called on the thread that runs saveMaps, in job order, with the
    // progress text of each map before its file is put in place (cp932).
    std::function<void(const std::string& text)> onMap;

private:
    mutable std::mutex mutex_;
    std::string text_;
};

enum class SaveResult {
    Done, // every map written
    Incomplete, // every map taken, but those whose records could not be read were reported and not written
    Stopped, // the stop flag ended the batch; the files written before stay
    Failed, // a file could not be written (reported); the batch ended there
};

// The message for a file name that is empty or for several species under a
// file name without wildcards, or empty when the job may run.
Cp932Text checkSaveJob(const SaveJob& job);

// Renders and writes the maps of a job: PNG when the file's extension holds
// "png" or "PNG", Windows BMP otherwise. `threads` workers (0: one per core)
// render and encode maps at once, but the files appear, and progress and
// messages are given, in the order of the job, exactly as one worker would:
// a file that cannot be written is reported (naming it) and ends the batch
// with the files before it kept and none after it. A map whose distribution
// line is faulty (reported by the renderer) is not written, since it would
// show the species without its records; the batch goes on (Incomplete). `stop` may be set from
// any thread (or a signal handler); the batch then ends at once: no file is
// put in place after it but the one going in place at that moment, and maps
// rendered ahead are dropped with their temporary files. Messages and
// progress callbacks come on the calling thread. markScale: see markScale().
SaveResult saveMaps(const SaveJob& job, const RenderSources& sources, double markScale, SaveProgress& progress,
    const std::atomic<bool>& stop, MessageSink& messages, unsigned threads = 0);

} // namespace tavik
