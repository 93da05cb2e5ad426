#pragma once

#include "platform/paths.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace tavik {

// How opening or reading a file for its contents went. Tables, settings and
// configuration files are read only from regular files: a folder reads as
// nothing, /dev/zero or /dev/urandom never end, and opening a FIFO waits for
// a writer, so each of those is refused as NotAFile, like a missing file.
enum class FileReadStatus {
    Ok, // opened, or read whole
    Missing, // no file of that name (a dangling link, a path with a drive)
    NotAFile, // a folder, a device, a FIFO or a socket
    CannotOpen, // there, but cannot be opened (permissions and the like)
    ReadError, // a read failed part-way: what was read is not the whole file
    TooLarge, // larger than the reader takes
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Ok;
    int error = 0; // errno of CannotOpen and ReadError
    unsigned fileType = 0; // the S_IFMT bits of NotAFile (S_IFDIR, S_IFIFO, ...)
    std::size_t maxBytes = 0; // the bound of TooLarge

    bool ok() const { return status == FileReadStatus::Ok; }
};

// Why a file could not be read, in Japanese (UTF-8): "見つかりません",
// "フォルダです", "読み込み中にエラーが起きました: 入出力エラーです" and so
// on; empty for Ok.
std::string fileReadFailureText(const FileReadResult& result);

// Opens a cp932 path for reading in binary mode when it names a regular file
// (links to one are followed). The check is made on the opened descriptor,
// so a name swapped for a FIFO in between cannot make the open wait.
FilePtr openRegularFile(std::string_view path, FileReadResult& result);

// The same where only success matters.
FilePtr openRegularFile(std::string_view path);

// Reads what remains of an open stream into bytes (appending), up to
// maxBytes in all: ReadError when a read fails, TooLarge (and bytes cut at
// maxBytes) when there is more.
FileReadResult readStream(std::FILE* stream, std::size_t maxBytes, std::string& bytes);

// Reads a whole regular file of at most maxBytes into bytes (replacing what
// they held); on any status but Ok, bytes are not the whole file.
FileReadResult readFileBytes(std::string_view path, std::size_t maxBytes, std::string& bytes);

} // namespace tavik
