#pragma once

#include "platform/file_lock.h"

#include <chrono>

namespace tavik {

struct ToolError;

// The lock that the tools hold while they read and rewrite tables of the
// database in the current directory (samvel, ludric, dwcimport, blankmap),
// or make pages from them (norbek): a lock file beside "tavik.ini".
// Two such runs at once would each replace the tables from what it read, and
// the one that renamed last would drop the other's records; with the lock
// the second run waits a short while and then refuses, changing nothing.
// Only under it may a tool remove the temporary files a killed run left
// beside its tables (removeLeftoverTemporaries).
class DatabaseLock {
public:
    static constexpr const char* fileName = "tavik.lock";
    static constexpr int waitSeconds = 3;

    // How long a run waits for the lock: waitSeconds, unless a test has set
    // TAVIK_LOCK_WAIT_MS (0 to 60000) to spend less time on a held lock.
    static std::chrono::milliseconds wait();

    // Takes the lock, waiting up to wait() for a run that holds it;
    // false with the lock file and the message in error. path: the lock
    // file (cp932), "tavik.lock" in the current directory unless given.
    bool acquire(ToolError& error, std::string_view path = fileName);

private:
    FileLock lock_;
};

} // namespace tavik
