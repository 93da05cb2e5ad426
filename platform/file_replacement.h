#pragma once

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tavik {

// Replaces a file as a whole: text is written to a temporary file in the same
// folder ("<name>.tavik-XXXXXX", created new with O_EXCL and O_NOFOLLOW, so
// that no link planted under that name is followed), which is flushed to disk
// and then renamed over the target, so that at every moment the target is
// either the old file or the new one, whole. A replacement that is not
// committed removes its temporary file. A write-protected target
// (isWriteProtected) is never replaced: renaming over it would succeed, so it
// is checked first.
//
// A target that is a symbolic link is, by default, followed: the file the
// link leads to is replaced, with the temporary file beside it, and the link
// stays. A table shared between databases through links thus gets the new
// data in every one of them; replacing the link by a private copy would
// leave the shared file behind. Writers of files in folders that others may
// write (saved maps) refuse links instead.
class FileReplacement {
public:
    // What follows the target's name in the name of its temporary file; the
    // X's become six letters or digits.
    static constexpr const char* temporarySuffix = ".tavik-XXXXXX";

    // Whether commit() waits for the new file to reach the disk. Without it
    // the file is still replaced whole, but a power failure soon after may
    // lose it; for output that is made again by running the tool.
    enum class Sync { ToDisk, None };

    // What becomes of a target that is a symbolic link.
    enum class Links {
        ReplaceTarget, // the file it leads to is replaced; the link stays
        Refuse, // open() fails with Failure::Link
    };

    // The step that failed.
    enum class Failure {
        None,
        InvalidPath, // empty, or with a Windows drive
        Link, // a link where links are refused, or links that lead round in a circle
        NotAFile, // the target is a folder, a device or a FIFO
        WriteProtected, // the target is marked read-only
        CreateTemporary, // no new file can be made in the target's folder
        Write, // writing, flushing or closing the temporary file failed
        Sync, // the temporary file did not reach the disk
        Rename, // it could not be put in the target's place
    };

    // target: cp932 path of the file to replace.
    explicit FileReplacement(std::string_view target, Sync sync = Sync::ToDisk, Links links = Links::ReplaceTarget);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Checks the target and creates the temporary file; false when the
    // target may not or cannot be replaced.
    bool open();

    // The stream to write to; null before a successful open() and after
    // finish().
    std::FILE* stream() const { return stream_; }

    // A file-system path that opens the temporary file itself, whatever its
    // name may come to name ("/proc/self/fd/N"): for writers that take a
    // path (the image writers). Empty when no temporary file is open.
    std::string descriptorPath() const;

    bool write(std::string_view bytes);

    // Flushes, syncs and closes the temporary file and leaves it beside the
    // target: the first half of commit(), for writers that put several files
    // in place only when all of them were written. False (and the temporary
    // file removed) when any step fails or a write failed.
    bool finish();

    // Finishes the temporary file if that is not done yet, and renames it
    // over the target; false (and the target untouched) when any step fails.
    bool commit();

    // Removes the temporary file and leaves the target as it was.
    void discard();

    Failure failure() const { return failure_; }

    // The reason of the last failure in Japanese (UTF-8): "書き込み禁止の
    // ファイルです", "ディスクに空きがありません" and so on.
    const std::string& errorText() const { return errorText_; }

    // The file or folder at fault (cp932): the folder when no temporary file
    // could be made there, the file a link leads to when that one is at
    // fault, else the target as given.
    std::string failurePath() const;

    // Whether the last failure was a write-protected target.
    bool writeProtected() const { return failure_ == Failure::WriteProtected; }

    // The errno of the last failure, 0 when it had none.
    int errorNumber() const { return errorNumber_; }

    // The file-system path of the temporary file, empty when none is open:
    // for a program that removes it itself when a signal ends it.
    const std::string& temporaryPath() const { return temporary_; }

private:
    friend bool commitTogether(std::initializer_list<FileReplacement*> files);

    void fail(Failure failure, int error);
    void removeTemporary();

    std::string targetText_; // the target as given (cp932)
    std::string target_; // file-system path of the target
    std::string resolved_; // file-system path of the file replaced: the target, or where its link leads
    Sync sync_;
    Links links_;
    std::string temporary_; // file-system path of the temporary file
    std::FILE* stream_ = nullptr;
    bool finished_ = false;
    int writeError_ = 0; // errno of the first failed write
    Failure failure_ = Failure::None;
    int errorNumber_ = 0;
    std::string errorText_;
};

// Puts several replacements in place together (opened and written by the
// caller): every one is finished (flushed and synced) before any target is
// replaced, so that a failure while writing leaves every target as it was.
// The renames follow in the order given; when one fails, the targets
// already replaced get their old files back. False when any step failed:
// the replacement at fault reports it, and no temporary file is left.
bool commitTogether(std::initializer_list<FileReplacement*> files);

// True when a file exists at the cp932 path and must not be replaced: no
// write permission bit is set (how a file is marked read-only here, which
// holds for root too) or this user may not write it.
bool isWriteProtected(std::string_view path);

// True when a file name (its name part, UTF-8 or cp932 alike) is that of a
// replacement's temporary file: wildcard matches pass such files over, as
// they hold half-written text.
bool isReplacementTemporaryName(std::string_view name);

// Removes the temporary files that replacements of a target left behind when
// their program was killed ("<name>.tavik-XXXXXX" beside it, or beside the
// file its link leads to). Only a program that holds the lock on the
// target's database may call it, or it could take the temporary file of a
// replacement under way. Returns how many went.
int removeLeftoverTemporaries(std::string_view target);

// The same for every target in a folder (cp932 path) whose name `isOurs`
// accepts (the name without the temporary suffix, cp932): for a writer of
// many files of a kind, such as pages.
int removeLeftoverTemporariesIn(std::string_view directory, const std::function<bool(std::string_view)>& isOurs);

// Writes bytes as the whole new content of a file, through a FileReplacement;
// on failure errorText receives its reason (UTF-8).
bool replaceFileContent(std::string_view target, std::string_view bytes, std::string* errorText = nullptr,
    FileReplacement::Sync sync = FileReplacement::Sync::ToDisk);

} // namespace tavik
