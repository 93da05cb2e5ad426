#include "platform/file_lock.h"

#include "platform/paths.h"
#include "platform/system_error.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
    const std::string local = localPath(path).utf8();
    // The file stays in place after use: removing it could let two
    // processes lock two different files of one name. A link planted under
    // its name is not followed (O_NOFOLLOW): creating the lock file there
    // would create or open a file elsewhere. O_NONBLOCK: a FIFO of that
    // name must not hold the open.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
    fd_ = local.empty() ? -1 : ::open(local.c_str(), O_RDWR | O_CREAT | flags, 0666);
    if (fd_ < 0 && !local.empty() && errno != ELOOP)
        fd_ = ::open(local.c_str(), O_RDONLY | flags); // a lock file someone made read-only
    if (fd_ < 0) {
        errorText_ = local.empty() ? "このパスには作れません" : systemErrorText(errno);
        return Status::CannotOpen;
    }
    struct stat info;
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        errorText_ = "通常のファイルではありません (フォルダ・装置・パイプなど)";
        ::close(fd_);
        fd_ = -1;
        return Status::CannotOpen;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return Status::Locked;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            errorText_ = systemErrorText(errno);
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
