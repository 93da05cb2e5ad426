#include "common/csv_line_reader.h"

#include "common/csv_fields.h"

#include "platform/cp932.h"
#include "platform/csv_quotes.h"
#include "platform/file_reading.h"
#include "platform/huge_pages.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tavik {

std::string csvLineFaultMessage(CsvStatus status, std::string_view path, long line)
{
    const std::string file(path);
    switch (status) {
    case CsvStatus::FieldTooLong:
        return cp932Printf("%s\n %ld 行目: トークンの長さが %d を越えました。", file.c_str(), line,
            static_cast<int>(CsvLineReader::kMaxFieldBytes));
    case CsvStatus::TooManyFields:
        return cp932Printf("%s\n %ld 行目: トークン数が %d を越えました。", file.c_str(), line,
            static_cast<int>(CsvLineReader::kMaxFields));
    case CsvStatus::LineTooLong:
        return cp932Printf("%s\n %ld 行目が長すぎます。メモリが足りません。", file.c_str(), line);
    case CsvStatus::UnterminatedQuote:
        return cp932Printf("%s\n %ld 行目: 構文エラー。文字列が \"\" で囲まれていません。", file.c_str(), line);
    case CsvStatus::ReadError:
        return cp932Printf("%s\n %ld 行目を読めません。ファイルを読み込み中にエラーが起きました。", file.c_str(), line);
    case CsvStatus::Ok:
    case CsvStatus::EndOfFile:
    case CsvStatus::MisusedQuotes:
        break;
    }
    return cp932Printf("%s\n %ld 行目: ２重引用符の使い方が間違っています。", file.c_str(), line);
}

namespace {

// Bytes read at a time: enough for many lines of a table, little for the one
// line of the distribution table that a map reads.
constexpr size_t kBlockBytes = 64 * 1024;

} // namespace

CsvLineReader::CsvLineReader(size_t maxFields)
    : maxFields_(maxFields)
{
}

CsvLineReader::~CsvLineReader() { close(); }

bool CsvLineReader::open(std::string_view path)
{
    if (file_)
        return false;
    file_ = openRegularFile(path).release();
    if (!file_)
        return false;
    holdsLine_ = false;
    readError_ = false;
    lineNumber_ = 0;
    buffer_.resize(kBlockBytes);
    bufferStart_ = bufferEnd_ = 0;
    endOfFile_ = false;
    lineEnds_.reset();
    return true;
}

bool CsvLineReader::seek(std::uint64_t offset, long lineNumber)
{
    if (!file_ || ::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    holdsLine_ = false;
    lineNumber_ = lineNumber - 1;
    bufferStart_ = bufferEnd_ = 0;
    endOfFile_ = false;
    readError_ = false;
    lineEnds_.reset();
    return true;
}

void CsvLineReader::close()
{
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    holdsLine_ = false;
    fields_.clear();
}

bool CsvLineReader::fillBuffer()
{
    if (endOfFile_)
        return false;
    // Bytes not yet taken (a CR whose meaning waits on the next byte) move
    // to the front.
    if (bufferStart_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + bufferStart_, bufferEnd_ - bufferStart_);
        bufferEnd_ -= bufferStart_;
        bufferStart_ = 0;
    }
    size_t got = std::fread(buffer_.data() + bufferEnd_, 1, buffer_.size() - bufferEnd_, file_);
    bufferEnd_ += got;
    if (got == 0) {
        endOfFile_ = true;
        readError_ = std::ferror(file_) != 0;
    }
    return got > 0;
}

bool CsvLineReader::fetchLine()
{
    // Reads up to the line end, however long the line is. When memory cannot
    // hold it, the rest is consumed but not kept, so that the next line
    // starts where it should.
    line_.clear();
    lineTooLong_ = false;
    bool readAny = false;
    for (;;) {
        if (bufferStart_ == bufferEnd_ && !fillBuffer())
            break;
        readAny = true;
        std::string_view text(buffer_.data() + bufferStart_, bufferEnd_ - bufferStart_);
        LineEndScanner::Found found = lineEnds_.scan(text, endOfFile_);
        if (!lineTooLong_) {
            try {
                line_.append(text.data(), found.textBytes);
            } catch (const std::bad_alloc&) {
                lineTooLong_ = true;
                std::string().swap(line_);
            }
        }
        bufferStart_ += found.textBytes + found.endBytes;
        if (found.result == LineEndScanner::Result::End)
            break;
        if (found.result == LineEndScanner::Result::NeedMore)
            fillBuffer();
    }
    return readAny;
}

CsvStatus CsvLineReader::nextLine()
{
    holdsLine_ = false;
    fields_.clear();
    if (!file_)
        return CsvStatus::EndOfFile;
    const bool readAny = fetchLine();
    if (readError_) {
        // A failed read is never the end of the table: what was read of the
        // line is dropped and the line is reported.
        ++lineNumber_;
        line_.clear();
        return CsvStatus::ReadError;
    }
    if (!readAny)
        return CsvStatus::EndOfFile;
    ++lineNumber_;
    if (lineTooLong_)
        return CsvStatus::LineTooLong;
    CsvStatus status = splitLine(line_, fields_, maxFields_);
    holdsLine_ = status == CsvStatus::Ok || status == CsvStatus::TooManyFields || status == CsvStatus::FieldTooLong;
    if (!holdsLine_)
        fields_.clear();
    return status;
}

bool CsvLineReader::field(size_t index, std::string& destination, size_t limit) const
{
    destination.clear();
    if (!holdsLine_ || index >= fields_.size())
        return false;
    destination.assign(fields_[index].substr(0, limit));
    return true;
}

bool CsvLineReader::holdsRow(CsvStatus status, size_t columns) const
{
    return status == CsvStatus::Ok || status == CsvStatus::TooManyFields
        || (status == CsvStatus::FieldTooLong && fields_.size() >= columns);
}

std::string_view CsvLineReader::field(size_t index) const
{
    if (!holdsLine_ || index >= fields_.size())
        return {};
    return fields_[index];
}

CsvStatus CsvLineReader::splitLine(std::string& line, std::vector<std::string_view>& fields, size_t maxFields)
{
    fields.clear();
    // One trailing line feed, carriage return or Ctrl-Z goes, then one more
    // line feed or carriage return.
    if (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == '\x1A'))
        line.pop_back();
    if (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (line.empty())
        return CsvStatus::Ok;

    // Room for a field at every comma: a distribution line of a common
    // species holds millions, and growing the list would copy them again and
    // again.
    fields.reserve(std::min<size_t>(static_cast<size_t>(std::count(line.begin(), line.end(), ',')), maxFields) + 1);
    preferHugePages(fields);
    const CsvFieldSplit split
        = splitCsvFields(line.data(), line.size(), {kMaxFieldBytes, maxFields, LeadBytes::CodePage},
            [&](size_t start, size_t length) { fields.emplace_back(line.data() + start, length); });
    switch (split.fault) {
    case CsvFieldFault::None:
        return CsvStatus::Ok;
    case CsvFieldFault::FieldTooLong:
        return CsvStatus::FieldTooLong;
    case CsvFieldFault::TooManyFields:
        return CsvStatus::TooManyFields;
    case CsvFieldFault::MisplacedQuote:
        fields.clear();
        return CsvStatus::MisusedQuotes;
    case CsvFieldFault::UnterminatedQuote:
        break;
    }
    fields.clear();
    return CsvStatus::UnterminatedQuote;
}

} // namespace tavik
