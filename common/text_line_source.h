#pragma once

#include "platform/file_reading.h"
#include "platform/line_ends.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// The lines of a table file, read in blocks: a line ends at LF, CR LF,
// CR CR LF or a CR alone outside quotes (LineEndScanner) and is read whole
// however long it is, up to a limit and the memory there is; the rest of a
// longer line is read past, so the next line starts where it should. A failed
// read is never taken for the end of the file. Both table readers (the
// viewer's and the tools') fetch their lines here.
class TextLineSource {
public:
    enum class Fetch {
        Line, // a line's text is in the caller's string (it may be cut: tooLong())
        End, // the file is at its end and nothing was read
        ReadFailed, // a read failed: the line and everything after it are unknown
    };

    // A CR CR at the end of a block waits for the byte after it, so a block
    // has room for those two and one more.
    static constexpr std::size_t minBlockBytes = 3;

    // blockBytes: bytes read at a time (at least minBlockBytes).
    explicit TextLineSource(std::size_t blockBytes);

    void open(FilePtr file);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // Reads the next line's text, without its line end, into `line` (which
    // is emptied first), keeping at most maxBytes bytes.
    Fetch next(std::string& line, std::size_t maxBytes);

    // Whether the line last fetched was longer than maxBytes or than memory
    // could hold; `line` then holds at most its first maxBytes bytes.
    bool tooLong() const { return tooLong_; }

    // errno of the failed read, once next() gave ReadFailed.
    int readError() const { return readError_; }

    // Byte offset in the file where the next line begins.
    std::int64_t nextOffset() const { return bufferOffset_ + static_cast<std::int64_t>(bufferStart_); }

    // The next line is read from `offset`, a line start met before; false
    // when the file cannot be positioned there (nothing changes then).
    bool seek(std::int64_t offset);

private:
    bool fillBuffer(); // false at the end of the file or after a failed read

    std::size_t blockBytes_;
    FilePtr file_;
    std::vector<char> buffer_; // blockBytes_ once a file is open
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
    std::int64_t bufferOffset_ = 0; // file offset of buffer_[0]
    bool endOfFile_ = false;
    bool tooLong_ = false;
    int readError_ = 0;
    LineEndScanner lineEnds_;
};

} // namespace tavik
