#include "platform/file_replacement.h"

#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tavik {
namespace {

mode_t currentUmask()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Makes the rename itself durable; a failure here loses nothing already written.
void syncDirectoryOf(const std::string& file)
{
    size_t slash = file.rfind('/');
    std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool isWriteProtectedLocal(const std::string& local)
{
    struct stat info;
    if (local.empty() || ::stat(local.c_str(), &info) != 0)
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(local.c_str(), W_OK) != 0;
}

constexpr std::string_view kMarker = ".tavik-";
constexpr size_t kUniqueBytes = 6;

bool isUniqueText(std::string_view text)
{
    if (text.size() != kUniqueBytes)
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

bool isWriteProtected(std::string_view path) { return isWriteProtectedLocal(localPath(path)); }

int removeLeftoverTemporaries(std::string_view target)
{
    std::string local = localPath(target);
    if (local.empty())
        return 0;
    size_t slash = local.rfind('/');
    std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : local.substr(0, slash));
    std::string prefix = (slash == std::string::npos ? local : local.substr(slash + 1)) + std::string(kMarker);
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.c_str()));
    if (!dir)
        return 0;
    int removed = 0;
    while (dirent* entry = ::readdir(dir.get())) {
        std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !isUniqueText(name.substr(prefix.size())))
            continue;
        std::string path = directory + "/" + std::string(name);
        struct stat info;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

FileReplacement::FileReplacement(std::string_view target, Sync sync)
    : target_(localPath(target))
    , sync_(sync)
{
}

FileReplacement::~FileReplacement() { discard(); }

bool FileReplacement::open()
{
    discard();
    failed_ = false;
    writeProtected_ = false;
    errorNumber_ = 0;
    if (target_.empty()) {
        errorText_ = "invalid path";
        return false;
    }
    if (isWriteProtectedLocal(target_)) {
        writeProtected_ = true;
        errorText_ = "the file is write-protected";
        return false;
    }
    temporary_ = target_ + temporarySuffix;
    int fd = ::mkstemp(temporary_.data());
    if (fd < 0) {
        errorNumber_ = errno;
        errorText_ = std::strerror(errno);
        temporary_.clear();
        return false;
    }
    // Keep the permissions of the file being replaced; a new file gets the
    // usual permissions under the umask rather than mkstemp's 0600.
    struct stat old;
    mode_t mode = ::stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~currentUmask());
    ::fchmod(fd, mode);
    stream_ = ::fdopen(fd, "wb");
    if (!stream_) {
        errorNumber_ = errno;
        errorText_ = std::strerror(errno);
        ::close(fd);
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    return true;
}

bool FileReplacement::write(std::string_view bytes)
{
    if (!stream_ || failed_)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
        fail();
        return false;
    }
    return true;
}

void FileReplacement::fail()
{
    if (!failed_) {
        errorNumber_ = errno;
        errorText_ = std::strerror(errno);
    }
    failed_ = true;
}

bool FileReplacement::commit()
{
    if (!stream_)
        return false;
    if (std::ferror(stream_))
        fail();
    // A test seam for machines where a test cannot fill a small file system:
    // the commit fails as on a full disk.
    if (!failed_ && std::getenv("TAVIK_INJECT_FULL_DISK")) {
        errno = ENOSPC;
        fail();
    }
    if (!failed_ && std::fflush(stream_) != 0)
        fail();
    if (!failed_ && sync_ == Sync::ToDisk && ::fsync(::fileno(stream_)) != 0)
        fail();
    if (std::fclose(stream_) != 0 && !failed_)
        fail();
    stream_ = nullptr;
    // The target may have been made read-only while the new text was written.
    if (!failed_ && isWriteProtectedLocal(target_)) {
        failed_ = writeProtected_ = true;
        errorText_ = "the file is write-protected";
    }
    if (!failed_ && ::rename(temporary_.c_str(), target_.c_str()) != 0)
        fail();
    if (failed_) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    if (sync_ == Sync::ToDisk)
        syncDirectoryOf(target_);
    return true;
}

void FileReplacement::discard()
{
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool replaceFileContent(
    std::string_view target, std::string_view bytes, std::string* errorText, FileReplacement::Sync sync)
{
    FileReplacement file(target, sync);
    bool ok = file.open() && file.write(bytes) && file.commit();
    if (!ok && errorText)
        *errorText = file.errorText();
    return ok;
}

} // namespace tavik
