#include "platform/file_replacement.h"

#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/system_error.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace tavik {
namespace {

mode_t currentUmask()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

std::string directoryOf(const std::string& file)
{
    size_t slash = file.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
}

std::string nameOf(const std::string& file)
{
    size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

// Makes the rename itself durable; a failure here loses nothing already written.
void syncDirectoryOf(const std::string& file)
{
    int fd = ::open(directoryOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

bool isLink(const std::string& local)
{
    struct stat info;
    return ::lstat(local.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// The file a chain of symbolic links leads to (the path itself when it is no
// link; the file need not exist). False, with errno's value in `error`, when
// a link cannot be read or the chain does not end.
bool followLinks(const std::string& path, std::string& resolved, int& error)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        if (!isLink(current)) {
            resolved = current;
            return true;
        }
        std::vector<char> buffer(4096);
        ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (length < 0 || static_cast<size_t>(length) >= buffer.size()) {
            error = length < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        std::string destination(buffer.data(), static_cast<size_t>(length));
        current = destination.starts_with('/') ? destination : directoryOf(current) + "/" + destination;
    }
    error = ELOOP;
    return false;
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

// Links `file` under a fresh temporary name beside it, so that it can be put
// back; empty when there is no such file or no link can be made.
std::string keepOldFile(const std::string& file)
{
    static const char letters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::random_device device;
    std::uniform_int_distribution<size_t> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string backup = file + std::string(kMarker);
        for (size_t i = 0; i < kUniqueBytes; ++i)
            backup += letters[pick(device)];
        if (::link(file.c_str(), backup.c_str()) == 0)
            return backup;
        if (errno != EEXIST)
            break;
    }
    return {};
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Removes the temporary files in a folder (file-system path) whose target
// name `isOurs` accepts (file-system form).
int removeTemporariesIn(const std::string& directory, const std::function<bool(std::string_view)>& isOurs)
{
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.c_str()));
    if (!dir)
        return 0;
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir.get())) {
        std::string_view name = entry->d_name;
        if (isReplacementTemporaryName(name) && isOurs(name.substr(0, name.size() - kMarker.size() - kUniqueBytes)))
            names.emplace_back(name);
    }
    int removed = 0;
    for (const std::string& name : names) {
        std::string path = directory + "/" + name;
        struct stat info;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace

bool isWriteProtected(std::string_view path) { return isWriteProtectedLocal(localPath(path).utf8()); }

bool isReplacementTemporaryName(std::string_view name)
{
    size_t marker = name.rfind(kMarker);
    return marker != std::string_view::npos && marker > 0 && isUniqueText(name.substr(marker + kMarker.size()));
}

int removeLeftoverTemporaries(std::string_view target)
{
    const std::string local = localPath(target).utf8();
    if (local.empty())
        return 0;
    std::string resolved;
    int error = 0;
    if (!followLinks(local, resolved, error))
        resolved = local;
    int removed = 0;
    // Beside the link too: before links were followed its temporary files
    // were made there.
    for (const std::string& file : resolved == local ? std::vector{local} : std::vector{local, resolved}) {
        const std::string name = nameOf(file);
        removed += removeTemporariesIn(directoryOf(file), [&](std::string_view ours) { return ours == name; });
    }
    return removed;
}

int removeLeftoverTemporariesIn(std::string_view directory, const std::function<bool(std::string_view)>& isOurs)
{
    std::string local = directory.empty() ? std::string(".") : localPath(directory).utf8();
    if (local.empty())
        return 0;
    return removeTemporariesIn(local, [&](std::string_view name) { return isOurs(utf8ToCp932(name)); });
}

FileReplacement::FileReplacement(std::string_view target, Sync sync, Links links)
    : targetText_(target)
    , target_(localPath(target).utf8())
    , sync_(sync)
    , links_(links)
{
}

FileReplacement::~FileReplacement() { discard(); }

void FileReplacement::fail(Failure failure, int error)
{
    if (failure_ != Failure::None)
        return; // the first failure is the one to report
    failure_ = failure;
    errorNumber_ = error;
    switch (failure) {
    case Failure::None:
        errorText_.clear();
        break;
    case Failure::InvalidPath:
        errorText_ = "このパスには書けません";
        break;
    case Failure::Link:
        errorText_ = error ? systemErrorText(error) : "シンボリックリンクには書きません";
        break;
    case Failure::NotAFile:
        errorText_ = "通常のファイルではありません (フォルダ・装置・パイプなど)";
        break;
    case Failure::WriteProtected:
        errorText_ = "書き込み禁止のファイルです";
        break;
    case Failure::CreateTemporary:
        errorText_ = "フォルダに新しいファイルを作れません: " + systemErrorText(error);
        break;
    case Failure::Write:
        errorText_ = systemErrorText(error);
        break;
    case Failure::Sync:
        errorText_ = "ディスクに書き込めません: " + systemErrorText(error);
        break;
    case Failure::Rename:
        errorText_ = "ファイルを置き換えられません: " + systemErrorText(error);
        break;
    }
}

std::string FileReplacement::failurePath() const
{
    switch (failure_) {
    case Failure::CreateTemporary:
        return utf8ToCp932(directoryOf(resolved_.empty() ? target_ : resolved_));
    case Failure::NotAFile:
    case Failure::WriteProtected:
    case Failure::Write:
    case Failure::Sync:
    case Failure::Rename:
        if (!resolved_.empty() && resolved_ != target_)
            return utf8ToCp932(resolved_);
        return targetText_;
    default:
        return targetText_;
    }
}

bool FileReplacement::open()
{
    discard();
    failure_ = Failure::None;
    errorNumber_ = 0;
    errorText_.clear();
    finished_ = false;
    writeError_ = 0;
    resolved_.clear();
    if (target_.empty()) {
        fail(Failure::InvalidPath, 0);
        return false;
    }
    if (links_ == Links::Refuse && isLink(target_)) {
        fail(Failure::Link, 0);
        return false;
    }
    int error = 0;
    if (!followLinks(target_, resolved_, error)) {
        fail(Failure::Link, error);
        return false;
    }
    struct stat old;
    const bool exists = ::stat(resolved_.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        fail(Failure::NotAFile, 0);
        return false;
    }
    if (isWriteProtectedLocal(resolved_)) {
        fail(Failure::WriteProtected, 0);
        return false;
    }
    // O_EXCL (which mkostemp adds) already refuses a name that exists, a
    // link included; O_NOFOLLOW says so once more.
    temporary_ = resolved_ + temporarySuffix;
    int fd = ::mkostemp(temporary_.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        fail(Failure::CreateTemporary, errno);
        temporary_.clear();
        return false;
    }
    // Keep the permissions of the file being replaced; a new file gets the
    // usual permissions under the umask rather than mkstemp's 0600.
    ::fchmod(fd, exists ? (old.st_mode & 07777) : (0666 & ~currentUmask()));
    stream_ = ::fdopen(fd, "wb");
    if (!stream_) {
        fail(Failure::CreateTemporary, errno);
        ::close(fd);
        removeTemporary();
        return false;
    }
    return true;
}

std::string FileReplacement::descriptorPath() const
{
    if (!stream_)
        return {};
    return "/proc/self/fd/" + std::to_string(::fileno(stream_));
}

bool FileReplacement::write(std::string_view bytes)
{
    if (!stream_ || failure_ != Failure::None)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
        writeError_ = errno;
        fail(Failure::Write, writeError_);
        return false;
    }
    return true;
}

void FileReplacement::removeTemporary()
{
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool FileReplacement::finish()
{
    if (!stream_)
        return finished_ && failure_ == Failure::None;
    // Writers that write to the stream themselves leave only its error
    // flag, and the C library drops what it could not write. One more byte
    // written straight to the temporary file, which goes anyway, shows the
    // reason again: a full disk is still full.
    if (std::ferror(stream_) && failure_ == Failure::None) {
        int error = writeError_;
        if (error == 0) {
            const int fd = ::fileno(stream_);
            error = ::lseek(fd, 0, SEEK_END) >= 0 && ::write(fd, "", 1) < 0 ? errno : EIO;
        }
        fail(Failure::Write, error);
    }
    // A test seam for machines where a test cannot fill a small file system:
    // the temporary file fails as on a full disk.
    if (failure_ == Failure::None && std::getenv("TAVIK_INJECT_FULL_DISK"))
        fail(Failure::Write, ENOSPC);
    if (failure_ == Failure::None && std::fflush(stream_) != 0)
        fail(Failure::Write, errno);
    if (failure_ == Failure::None && sync_ == Sync::ToDisk && ::fsync(::fileno(stream_)) != 0)
        fail(Failure::Sync, errno);
    if (std::fclose(stream_) != 0)
        fail(Failure::Write, errno);
    stream_ = nullptr;
    if (failure_ != Failure::None) {
        removeTemporary();
        return false;
    }
    finished_ = true;
    return true;
}

bool FileReplacement::commit()
{
    if (!finish() || temporary_.empty())
        return false;
    // The target may have been made read-only while the new text was written.
    if (isWriteProtectedLocal(resolved_))
        fail(Failure::WriteProtected, 0);
    else if (::rename(temporary_.c_str(), resolved_.c_str()) != 0)
        fail(Failure::Rename, errno);
    if (failure_ != Failure::None) {
        removeTemporary();
        return false;
    }
    temporary_.clear();
    if (sync_ == Sync::ToDisk)
        syncDirectoryOf(resolved_);
    return true;
}

void FileReplacement::discard()
{
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    removeTemporary();
}

bool commitTogether(std::initializer_list<FileReplacement*> files)
{
    auto discardAll = [&] {
        for (FileReplacement* file : files)
            file->discard();
        return false;
    };
    bool finished = true;
    for (FileReplacement* file : files)
        finished = file->finish() && finished;
    if (!finished)
        return discardAll();
    for (FileReplacement* file : files) {
        if (file->temporary_.empty())
            return discardAll();
        if (isWriteProtectedLocal(file->resolved_)) {
            file->fail(FileReplacement::Failure::WriteProtected, 0);
            return discardAll();
        }
    }
    // Each old file stays linked under a temporary name until every rename
    // is made, so that a failed rename can undo the ones before it.
    struct Renamed {
        FileReplacement* file;
        bool existed;
        std::string backup;
    };
    std::vector<Renamed> renamed;
    for (FileReplacement* file : files) {
        struct stat info;
        const bool existed = ::stat(file->resolved_.c_str(), &info) == 0;
        std::string backup = existed ? keepOldFile(file->resolved_) : std::string();
        if (::rename(file->temporary_.c_str(), file->resolved_.c_str()) != 0) {
            file->fail(FileReplacement::Failure::Rename, errno);
            if (!backup.empty())
                ::unlink(backup.c_str());
            for (auto done = renamed.rbegin(); done != renamed.rend(); ++done) {
                if (!done->backup.empty())
                    ::rename(done->backup.c_str(), done->file->resolved_.c_str());
                else if (!done->existed)
                    ::unlink(done->file->resolved_.c_str());
            }
            return discardAll();
        }
        file->temporary_.clear();
        renamed.push_back({file, existed, std::move(backup)});
    }
    for (const Renamed& done : renamed) {
        if (!done.backup.empty())
            ::unlink(done.backup.c_str());
        if (done.file->sync_ == FileReplacement::Sync::ToDisk)
            syncDirectoryOf(done.file->resolved_);
    }
    return true;
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
