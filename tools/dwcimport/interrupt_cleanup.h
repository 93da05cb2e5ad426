#pragma once

#include <string>

namespace tavik {

// Removes a temporary file when the program is stopped by a signal (Ctrl+C,
// SIGTERM, SIGHUP, SIGQUIT), then lets the signal end the program as it would
// have: a conversion stopped half-way leaves neither the new table nor its
// temporary file, and the old table as it was. One at a time: the handlers
// are the process's.
class InterruptCleanup {
public:
    // Signals that arrive while one of these lives wait until it goes: a
    // temporary file made and watched under it is never left unwatched.
    class Held {
    public:
        Held();
        ~Held();
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
    };

    InterruptCleanup();
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

    // From now on a signal removes the file at this file-system path; an
    // empty path: none.
    void watch(const std::string& path);
};

} // namespace tavik
