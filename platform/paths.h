#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// Paths inside the programs are cp932 text as written in settings and tables,
// with "\" or "/" as separators. They become file-system paths (UTF-8, "/")
// only where a file is opened or tested.

namespace tavik {

// The parts of a path as the ".cfg" derivation of the base map needs them:
// drive ("C:" or empty), directory (up to and including the last separator),
// file name without extension, extension (from the last "." of the name, with it).
struct PathParts {
    std::string drive;
    std::string directory;
    std::string name;
    std::string extension;
};

PathParts splitPath(std::string_view path);

// True when the path begins with a Windows drive ("C:"): such a path has no
// meaning here and is treated like a missing file.
bool hasDrive(std::string_view path);

bool isAbsolutePath(std::string_view path);

// The file-system form of a cp932 path: UTF-8 with "/" separators; empty for a
// path with a drive, so that opening or testing it fails.
std::string localPath(std::string_view path);

// The current directory of the process, as cp932 text.
std::string currentDirectory();

// The path joined to baseDirectory unless it is absolute, with "." and ".."
// resolved and "/" as separator. A path with a drive is returned as written.
std::string makeAbsolute(std::string_view path, std::string_view baseDirectory);

// A name (cp932) made fit to be one file name: "/", "\\" and NUL bytes, which
// would lead into another folder or end the name, become "_"; two-byte
// characters are kept whole, so their second byte 0x5C stays.
std::string fileNamePart(std::string_view name);

// Joins a directory and a name with one "/" between them.
std::string joinPath(std::string_view directory, std::string_view name);

bool fileExists(std::string_view path);
bool isRegularFile(std::string_view path);
bool isDirectory(std::string_view path);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// fopen of a cp932 path; null when the file cannot be opened.
FilePtr openFile(std::string_view path, const char* mode);

// Opens a cp932 path for reading bytes ("rb") when it names a regular file;
// null (errno set) when it cannot be opened or names a folder, a device or a
// FIFO, none of which holds a table or a settings file. Never waits on a FIFO.
FilePtr openRegularFile(std::string_view path);

} // namespace tavik
