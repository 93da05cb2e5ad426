#include "common/csv_reader.h"

#include "common/csv_fields.h"

#include "common/text_helpers.h"
#include "platform/cp932.h"
#include "platform/csv_quotes.h"
#include "platform/report_text.h"
#include "platform/system_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace tavik {
namespace {

constexpr size_t readChunk = 1 << 20;
constexpr size_t errorTextOfLongLine = 64;

} // namespace

CsvReader::CsvReader(Limits limits)
    : limits_(limits)
{
}

bool CsvReader::open(std::string_view path)
{
    close();
    // A folder, a device or a FIFO is no table: it would read as empty,
    // never end, or wait for a writer.
    FileReadResult result;
    FilePtr file = openRegularFile(path, result);
    if (!file) {
        openResult_ = result;
        return false;
    }
    open(std::move(file));
    return true;
}

void CsvReader::open(FilePtr stream)
{
    close();
    file_ = std::move(stream);
    buffer_.resize(readChunk);
}

void CsvReader::close()
{
    file_.reset();
    bufferStart_ = bufferEnd_ = 0;
    bufferOffset_ = lineOffset_ = 0;
    endOfFile_ = false;
    readError_ = 0;
    readErrorLine_ = 0;
    openResult_ = FileReadResult();
    lineEnds_.reset();
    line_.clear();
    fields_.clear();
    errorText_.clear();
    lineNumber_ = 0;
}

std::string_view CsvReader::field(size_t index) const
{
    if (index >= fields_.size())
        return {};
    return std::string_view(line_.data() + fields_[index].start, fields_[index].length);
}

bool CsvReader::fillBuffer()
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
    size_t got = std::fread(buffer_.data() + bufferEnd_, 1, buffer_.size() - bufferEnd_, file_.get());
    // A failed read is no end of the file: the bytes of this read are
    // dropped and the reader stops.
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

bool CsvReader::readRawLine(bool& tooLong)
{
    // line_ keeps at most maxLineBytes + 1 bytes of the line's text; the
    // rest of a longer line, or of one that memory cannot hold, is read and
    // dropped.
    bool readAny = false;
    bool outOfMemory = false;
    size_t total = 0;
    for (;;) {
        if (bufferStart_ == bufferEnd_ && !fillBuffer())
            break;
        readAny = true;
        std::string_view text(buffer_.data() + bufferStart_, bufferEnd_ - bufferStart_);
        LineEndScanner::Found found = lineEnds_.scan(text, endOfFile_);
        size_t room = outOfMemory ? 0 : limits_.maxLineBytes + 1 - line_.size();
        try {
            line_.append(text.data(), std::min(found.textBytes, room));
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            std::string().swap(line_);
        }
        total += found.textBytes;
        bufferStart_ += found.textBytes + found.endBytes;
        if (found.result == LineEndScanner::Result::End)
            break;
        if (found.result == LineEndScanner::Result::NeedMore)
            fillBuffer();
    }
    tooLong = readAny && (outOfMemory || total > limits_.maxLineBytes);
    return readAny;
}

CsvReaderStatus CsvReader::nextLine()
{
    fields_.clear();
    errorText_.clear();
    line_.clear();
    if (!file_)
        return CsvReaderStatus::EndOfFile;
    lineOffset_ = nextOffset();
    bool tooLong = false;
    const bool read = readError_ == 0 && readRawLine(tooLong);
    if (readError_ != 0) {
        // The line being read is the first one not known.
        if (readErrorLine_ == 0)
            readErrorLine_ = lineNumber_ + 1;
        lineNumber_ = readErrorLine_;
        line_.clear();
        errorText_ = utf8ToCp932(systemErrorText(readError_));
        return CsvReaderStatus::ReadError;
    }
    if (!read)
        return CsvReaderStatus::EndOfFile;
    ++lineNumber_;
    // A lone end-of-file mark (0x1A) closing the file, as old editors wrote
    // it, ends the file like the text streams these tables come from did.
    if (line_ == "\x1A") {
        --lineNumber_;
        return CsvReaderStatus::EndOfFile;
    }
    if (tooLong) {
        errorText_ = std::string(cutText(line_, errorTextOfLongLine)) + "...";
        line_.clear();
        return CsvReaderStatus::LineTooLong;
    }
    return split();
}

bool CsvReader::seek(std::int64_t offset, long lineNumber)
{
    if (!file_ || offset < 0 || fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    std::clearerr(file_.get());
    readError_ = 0;
    readErrorLine_ = 0;
    bufferStart_ = bufferEnd_ = 0;
    bufferOffset_ = lineOffset_ = offset;
    endOfFile_ = false;
    lineEnds_.reset();
    lineNumber_ = lineNumber - 1;
    return true;
}

CsvReaderStatus CsvReader::splitLine(std::string_view line)
{
    fields_.clear();
    errorText_.clear();
    line_.assign(line);
    return split();
}

CsvReaderStatus CsvReader::fail(CsvReaderStatus status, size_t fieldStart)
{
    errorText_.assign(line_, fieldStart);
    if (status != CsvReaderStatus::TooManyFields && status != CsvReaderStatus::FieldTooLong)
        fields_.clear();
    return status;
}

CsvReaderStatus CsvReader::split()
{
    // The line end is gone already; of a line held in memory (splitLine),
    // one trailing line feed, carriage return or end-of-file mark goes, then
    // one more line feed or carriage return before it.
    if (!line_.empty() && (line_.back() == '\n' || line_.back() == '\r' || line_.back() == '\x1A')) {
        line_.pop_back();
        if (!line_.empty() && (line_.back() == '\n' || line_.back() == '\r'))
            line_.pop_back();
    }
    const size_t n = line_.size();
    if (n == 0)
        return CsvReaderStatus::Ok;

    const CsvFieldSplit split = splitCsvFields(
        line_.data(), n, {maxFieldBytes, limits_.maxFields, LeadBytes::ConsoleTools}, [&](size_t start, size_t length) {
            fields_.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
        });
    switch (split.fault) {
    case CsvFieldFault::None:
        return CsvReaderStatus::Ok;
    case CsvFieldFault::FieldTooLong:
        return fail(CsvReaderStatus::FieldTooLong, split.faultStart);
    case CsvFieldFault::TooManyFields:
        return fail(CsvReaderStatus::TooManyFields, split.faultStart);
    case CsvFieldFault::MisplacedQuote:
        return fail(CsvReaderStatus::MisplacedQuote, split.faultStart);
    case CsvFieldFault::UnterminatedQuote:
        break;
    }
    return fail(CsvReaderStatus::UnterminatedQuote, split.faultStart);
}

std::string csvSyntaxMessage(CsvReaderStatus status, long row, std::string_view errorText)
{
    if (status == CsvReaderStatus::ReadError)
        return cp932Printf("%ld 行目を読めません: %s", row, std::string(errorText).c_str());
    std::string text = quotedForReport(errorText);
    switch (status) {
    case CsvReaderStatus::FieldTooLong:
        return cp932Printf("%ld 行目: トークンが長すぎるか、不正なデリミタか、２重引用符の使い方が間違っています\n%s",
            row, text.c_str());
    case CsvReaderStatus::UnterminatedQuote:
        return cp932Printf("%ld 行目: ２重引用符の使い方が間違っています\n%s", row, text.c_str());
    case CsvReaderStatus::MisplacedQuote:
        return cp932Printf("%ld 行目: 不正なデリミタです\n%s", row, text.c_str());
    case CsvReaderStatus::LineTooLong:
        return cp932Printf("%ld 行目: 行が長すぎます\n%s", row, text.c_str());
    default:
        return cp932Printf("%ld 行目: CSV syntax error  \n%s", row, text.c_str());
    }
}

} // namespace tavik
