#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tavik {

// An exclusive advisory lock (flock) on a lock file. The kernel releases it
// when the process ends, however it ends, so a killed program never leaves
// the lock held. Programs that take the same lock file keep out of each
// other's way; others are not stopped.
class FileLock {
public:
    enum class Status {
        Locked, // the lock is held until this object goes
        Busy, // another process held it for the whole wait
        CannotOpen, // the lock file can neither be created nor opened, or is a link or no regular file
    };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on the file at a cp932 path, creating the file when it
    // is missing; while another process holds it, tries again every 100 ms
    // for up to `wait`.
    Status acquire(std::string_view path, std::chrono::milliseconds wait);

    // The reason of a CannotOpen in Japanese (UTF-8).
    const std::string& errorText() const { return errorText_; }

private:
    int fd_ = -1;
    std::string errorText_;
};

} // namespace tavik
