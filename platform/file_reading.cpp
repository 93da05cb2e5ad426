#include "platform/file_reading.h"

#include "platform/system_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tavik {

std::string fileReadFailureText(const FileReadResult& result)
{
    switch (result.status) {
    case FileReadStatus::Ok:
        return {};
    case FileReadStatus::Missing:
        return "見つかりません";
    case FileReadStatus::NotAFile:
        switch (result.fileType) {
        case S_IFDIR:
            return "フォルダです";
        case S_IFIFO:
            return "パイプ (FIFO) です";
        case S_IFCHR:
        case S_IFBLK:
            return "装置ファイルです";
        case S_IFSOCK:
            return "ソケットです";
        default:
            return "通常のファイルではありません";
        }
    case FileReadStatus::CannotOpen:
        return "開けません: " + systemErrorText(result.error);
    case FileReadStatus::ReadError:
        return "読み込み中にエラーが起きました: " + systemErrorText(result.error);
    case FileReadStatus::TooLarge:
        return "ファイルが大きすぎます (上限 " + std::to_string(result.maxBytes) + " バイト)";
    }
    return {};
}

FilePtr openRegularFile(std::string_view path, FileReadResult& result)
{
    result = FileReadResult();
    const std::string local = localPath(path).utf8();
    if (local.empty()) {
        result.status = FileReadStatus::Missing;
        return nullptr;
    }
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it is
    // taken off again once the descriptor is known to be a regular file.
    int fd = ::open(local.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        int error = errno;
        if (error == ENOENT || error == ENOTDIR) // a link to nothing too
            result.status = FileReadStatus::Missing;
        else if (error == ENXIO || error == ENODEV) // a socket, a device without a driver
            result.status = FileReadStatus::NotAFile;
        else
            result.status = FileReadStatus::CannotOpen;
        result.error = error;
        struct stat info;
        if (result.status == FileReadStatus::NotAFile && ::stat(local.c_str(), &info) == 0)
            result.fileType = info.st_mode & S_IFMT;
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        result.status = FileReadStatus::CannotOpen;
        result.error = errno;
        ::close(fd);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = FileReadStatus::NotAFile;
        result.fileType = info.st_mode & S_IFMT;
        ::close(fd);
        return nullptr;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* stream = ::fdopen(fd, "rb");
    if (!stream) {
        result.status = FileReadStatus::CannotOpen;
        result.error = errno;
        ::close(fd);
        return nullptr;
    }
    return FilePtr(stream);
}

FileReadResult readStream(std::FILE* stream, std::size_t maxBytes, std::string& bytes)
{
    FileReadResult result;
    char buffer[65536];
    for (;;) {
        std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        // A failed read may come after bytes of the same call: the text is
        // not whole either way.
        if (std::ferror(stream)) {
            result.status = FileReadStatus::ReadError;
            result.error = errno;
            return result;
        }
        if (got == 0)
            return result;
        if (bytes.size() + got > maxBytes) {
            bytes.append(buffer, maxBytes - bytes.size());
            result.status = FileReadStatus::TooLarge;
            result.maxBytes = maxBytes;
            return result;
        }
        bytes.append(buffer, got);
    }
}

FilePtr openRegularFile(std::string_view path)
{
    FileReadResult ignored;
    return openRegularFile(path, ignored);
}

FileReadResult readFileBytes(std::string_view path, std::size_t maxBytes, std::string& bytes)
{
    bytes.clear();
    FileReadResult result;
    FilePtr stream = openRegularFile(path, result);
    if (!stream)
        return result;
    return readStream(stream.get(), maxBytes, bytes);
}

} // namespace tavik
