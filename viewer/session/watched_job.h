#pragma once

#include <string>

namespace tavik {

// Long work on a worker thread that a progress dialog watches: what it is
// doing now, how far it is, and a Cancel. Every call may come from another
// thread than the worker's.
class WatchedJob {
public:
    virtual ~WatchedJob() = default;

    // What is being done now, as the dialog shows it (cp932).
    virtual std::string progressText() const = 0;
    // 0 to 100.
    virtual int percent() const = 0;
    // Set by cancel() and by the end of the job: the dialog closes.
    virtual bool stopping() const = 0;
    // Asks the worker to stop at once.
    virtual void cancel() = 0;
};

} // namespace tavik
