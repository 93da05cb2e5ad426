#include "common/text_line_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace tavik {

TextLineSource::TextLineSource(std::size_t blockBytes)
    : blockBytes_(std::max(blockBytes, minBlockBytes))
{
}

void TextLineSource::open(FilePtr file)
{
    close();
    buffer_.resize(blockBytes_);
    file_ = std::move(file);
}

void TextLineSource::close()
{
    file_.reset();
    bufferStart_ = bufferEnd_ = 0;
    bufferOffset_ = 0;
    endOfFile_ = false;
    tooLong_ = false;
    readError_ = 0;
    lineEnds_.reset();
}

bool TextLineSource::fillBuffer()
{
    if (endOfFile_)
        return false;
    // Bytes not yet taken (a CR whose meaning waits on the next byte) move
    // to the front.
    if (bufferStart_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + bufferStart_, bufferEnd_ - bufferStart_);
        bufferOffset_ += static_cast<std::int64_t>(bufferStart_);
        bufferEnd_ -= bufferStart_;
        bufferStart_ = 0;
    }
    const std::size_t got = std::fread(buffer_.data() + bufferEnd_, 1, buffer_.size() - bufferEnd_, file_.get());
    // A failed read is no end of the file: the bytes of this read are
    // dropped and the source stops.
    if (std::ferror(file_.get())) {
        readError_ = errno != 0 ? errno : EIO;
        endOfFile_ = true;
        return false;
    }
    bufferEnd_ += got;
    if (got == 0)
        endOfFile_ = true;
    return got > 0;
}

TextLineSource::Fetch TextLineSource::next(std::string& line, std::size_t maxBytes)
{
    line.clear();
    tooLong_ = false;
    if (!file_ || readError_ != 0)
        return readError_ != 0 ? Fetch::ReadFailed : Fetch::End;
    bool readAny = false;
    bool outOfMemory = false;
    std::size_t total = 0;
    for (;;) {
        if (bufferStart_ == bufferEnd_ && !fillBuffer())
            break;
        readAny = true;
        const std::string_view text(buffer_.data() + bufferStart_, bufferEnd_ - bufferStart_);
        const LineEndScanner::Found found = lineEnds_.scan(text, endOfFile_);
        const std::size_t room = outOfMemory ? 0 : maxBytes - line.size();
        try {
            line.append(text.data(), std::min(found.textBytes, room));
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            std::string().swap(line);
        }
        total += found.textBytes;
        bufferStart_ += found.textBytes + found.endBytes;
        if (found.result == LineEndScanner::Result::End)
            break;
        if (found.result == LineEndScanner::Result::NeedMore)
            fillBuffer();
    }
    if (readError_ != 0) {
        line.clear();
        return Fetch::ReadFailed;
    }
    tooLong_ = readAny && (outOfMemory || total > maxBytes);
    return readAny ? Fetch::Line : Fetch::End;
}

bool TextLineSource::seek(std::int64_t offset)
{
    if (!file_ || offset < 0 || fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    std::clearerr(file_.get());
    readError_ = 0;
    bufferStart_ = bufferEnd_ = 0;
    bufferOffset_ = offset;
    endOfFile_ = false;
    lineEnds_.reset();
    return true;
}

} // namespace tavik
