#pragma once

#include "platform/cp932_text.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// Paths inside the programs are cp932 text as written in settings and tables,
// with "\" or "/" as separators. They become file-system paths (LocalPath:
// UTF-8, "/") only where a file is opened or tested, and a path from outside
// (the current folder, the command line, a file dialog) becomes cp932 only
// through cp932PathOf, which refuses a path that would not lead back to the
// same file.

namespace tavik {

// A path as the file system spells it: UTF-8 with "/" separators, as the
// system calls, the command line, Qt's dialogs and the desktop give and take
// it. Its own type, so that a cp932 path cannot pass for one, nor one for a
// cp932 path, without one of the calls below.
class LocalPath {
public:
    LocalPath() = default;
    explicit LocalPath(std::string utf8)
        : utf8_(std::move(utf8))
    {
    }

    const std::string& utf8() const { return utf8_; }
    const char* c_str() const { return utf8_.c_str(); }
    bool empty() const { return utf8_.empty(); }
    bool operator==(const LocalPath&) const = default;

private:
    std::string utf8_;
};

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
LocalPath localPath(std::string_view path);

// The cp932 form of a local path, when it has one that leads back to the same
// file: nothing for a name with a character cp932 lacks ("é"), one that comes
// back as another ("〜" U+301C and "～" U+FF5E are both 0x8160), or a "\"
// (a separator in cp932 paths), so that such a path is refused by name rather
// than read or written as another file.
std::optional<std::string> cp932PathOf(const LocalPath& path);

// The cp932 form of a path typed on a command line, in the programs' own
// notation ("\\" or "/" between folders, wildcards where a program takes
// them): nothing when a character has no cp932 form or comes back as another,
// as for cp932PathOf.
std::optional<std::string> cp932PathArgument(std::string_view utf8);

// A console tool's path argument: its cp932 form into `path`, or, when it
// has none, pathWithoutCp932Message into `fault`.
void takePathArgument(std::string_view utf8, std::string& path, Cp932Text& fault);

// The message (cp932) for a path cp932PathOf refuses: the path as the file
// system spells it, and what to do.
Cp932Text pathWithoutCp932Message(const LocalPath& path);

// The current directory of the process as the file system spells it.
LocalPath currentLocalDirectory();

// The current directory as cp932 text: nothing when its name has no cp932
// form (cp932PathOf).
std::optional<std::string> currentDirectory();

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
bool isRegularFile(const LocalPath& path);
bool isDirectory(std::string_view path);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// fopen of a cp932 path; null when the file cannot be opened.
FilePtr openFile(std::string_view path, const char* mode);

} // namespace tavik
