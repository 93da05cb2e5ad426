#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tavik {

// Replaces a file as a whole: text is written to a temporary file in the same
// folder ("<name>.tavik-XXXXXX"), which is flushed to disk and then renamed
// over the target, so that at every moment the target is either the old file
// or the new one, whole. A replacement that is not committed removes its
// temporary file. A write-protected target (isWriteProtected) is never
// replaced: renaming over it would succeed, so it is checked first.
class FileReplacement {
public:
    // What follows the target's name in the name of its temporary file; the
    // X's become six letters or digits.
    static constexpr const char* temporarySuffix = ".tavik-XXXXXX";

    // Whether commit() waits for the new file to reach the disk. Without it
    // the file is still replaced whole, but a power failure soon after may
    // lose it; for output that is made again by running the tool.
    enum class Sync { ToDisk, None };

    // target: cp932 path of the file to replace.
    explicit FileReplacement(std::string_view target, Sync sync = Sync::ToDisk);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file; false when the target is write-protected
    // or the file cannot be created.
    bool open();

    // The stream to write to; null before a successful open().
    std::FILE* stream() const { return stream_; }

    bool write(std::string_view bytes);

    // Flushes, syncs and renames the temporary file over the target; false
    // (and the target untouched) when any step fails or a write failed.
    bool commit();

    // Removes the temporary file and leaves the target as it was.
    void discard();

    // The reason of the last failure, from the C library (UTF-8).
    const std::string& errorText() const { return errorText_; }

    // The errno of the last failure (ENOSPC, EROFS, ...); 0 when it came from
    // no system call (a write-protected target, an invalid path).
    int errorNumber() const { return errorNumber_; }

    // The file-system path of the temporary file between open() and commit()
    // or discard(); empty otherwise. A program that removes it when it is
    // interrupted keeps this path.
    const std::string& temporaryPath() const { return temporary_; }

    // Whether the last failure was a write-protected target.
    bool writeProtected() const { return writeProtected_; }

private:
    void fail();

    std::string target_; // file-system path
    Sync sync_;
    std::string temporary_; // file-system path of the temporary file
    std::FILE* stream_ = nullptr;
    bool failed_ = false;
    bool writeProtected_ = false;
    std::string errorText_;
    int errorNumber_ = 0;
};

// True when a file exists at the cp932 path and must not be replaced: no
// write permission bit is set (how a file is marked read-only here, which
// holds for root too) or this user may not write it.
bool isWriteProtected(std::string_view path);

// Removes the temporary files that replacements of a target left behind when
// their program was killed ("<name>.tavik-XXXXXX" beside it). Only a program
// that holds the lock on the target's database may call it, or it could take
// the temporary file of a replacement under way. Returns how many went.
int removeLeftoverTemporaries(std::string_view target);

// Writes bytes as the whole new content of a file, through a FileReplacement.
bool replaceFileContent(std::string_view target, std::string_view bytes, std::string* errorText = nullptr,
    FileReplacement::Sync sync = FileReplacement::Sync::ToDisk);

} // namespace tavik
