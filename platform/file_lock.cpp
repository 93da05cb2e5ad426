#include "platform/file_lock.h"

#include "platform/paths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace tavik {

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

FileLock::Status FileLock::acquire(std::string_view path, std::chrono::milliseconds wait)
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    std::string local = localPath(path);
    // The file stays in place after use: removing it could let two
    // processes lock two different files of one name.
    fd_ = local.empty() ? -1 : ::open(local.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0 && !local.empty())
        fd_ = ::open(local.c_str(), O_RDONLY | O_CLOEXEC); // a lock file someone made read-only
    if (fd_ < 0) {
        errorText_ = local.empty() ? "invalid path" : std::strerror(errno);
        return Status::CannotOpen;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return Status::Locked;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            errorText_ = std::strerror(errno);
            ::close(fd_);
            fd_ = -1;
            return Status::CannotOpen;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::close(fd_);
    fd_ = -1;
    return Status::Busy;
}

} // namespace tavik
