#include "common/csv_reader.h"

#include "common/csv_fields.h"

#include "common/text_helpers.h"
#include "platform/cp932.h"
#include "platform/report_text.h"
#include "platform/system_error.h"

namespace tavik {
namespace {

constexpr size_t errorTextOfLongLine = 64;

} // namespace

CsvReader::CsvReader(const Options& options)
    : options_(options)
    , lines_(options.blockBytes)
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
    lines_.open(std::move(stream));
}

void CsvReader::close()
{
    lines_.close();
    lineOffset_ = 0;
    readErrorLine_ = 0;
    openResult_ = FileReadResult();
    line_.clear();
    fields_.clear();
    errorText_.clear();
    rowFault_ = {};
    lineNumber_ = 0;
}

std::string_view CsvReader::field(size_t index) const
{
    if (index >= fields_.size())
        return {};
    return std::string_view(line_.data() + fields_[index].start, fields_[index].length);
}

CsvStatus CsvReader::nextLine()
{
    fields_.clear();
    errorText_.clear();
    lineOffset_ = nextOffset();
    const TextLineSource::Fetch fetched = lines_.next(line_, options_.maxLineBytes);
    if (fetched == TextLineSource::Fetch::ReadFailed) {
        // The line being read is the first one not known.
        if (readErrorLine_ == 0)
            readErrorLine_ = lineNumber_ + 1;
        lineNumber_ = readErrorLine_;
        errorText_ = utf8ToCp932(systemErrorText(lines_.readError()));
        return CsvStatus::ReadError;
    }
    if (fetched == TextLineSource::Fetch::End)
        return CsvStatus::EndOfFile;
    ++lineNumber_;
    // A lone end-of-file mark (0x1A) closing the file, as old editors wrote
    // it, ends the file like the text streams these tables come from did.
    if (options_.endMarkEndsFile && line_ == "\x1A") {
        --lineNumber_;
        return CsvStatus::EndOfFile;
    }
    if (lines_.tooLong()) {
        errorText_ = std::string(cutText(line_, errorTextOfLongLine)) + "...";
        line_.clear();
        return CsvStatus::LineTooLong;
    }
    return split();
}

bool CsvReader::seek(std::int64_t offset, long lineNumber)
{
    if (!lines_.seek(offset))
        return false;
    readErrorLine_ = 0;
    lineOffset_ = offset;
    lineNumber_ = lineNumber - 1;
    return true;
}

CsvStatus CsvReader::splitLine(std::string_view line)
{
    fields_.clear();
    errorText_.clear();
    line_.assign(line);
    return split();
}

CsvStatus CsvReader::fail(CsvStatus status, size_t fieldStart)
{
    errorText_.assign(line_, fieldStart);
    if (status != CsvStatus::TooManyFields && status != CsvStatus::FieldTooLong)
        fields_.clear();
    return status;
}

CsvStatus CsvReader::split()
{
    // The line end is gone already; of a line held in memory (splitLine)
    // the trailing line end goes too.
    dropTrailingLineEnd(line_);
    const size_t n = line_.size();
    if (n == 0)
        return CsvStatus::Ok;

    const CsvFieldSplit split = splitCsvFields(line_.data(), n, options_.fields, [&](size_t start, size_t length) {
        fields_.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
    });
    const CsvStatus status = csvStatusOf(split.fault);
    return status == CsvStatus::Ok ? status : fail(status, split.faultStart);
}

CsvReader::Row CsvReader::nextRow(size_t columns)
{
    for (;;) {
        const CsvStatus status = nextLine();
        if (status == CsvStatus::EndOfFile)
            return Row::End;
        if (!holdsRow(status, columns)) {
            rowFault_ = {status, lineNumber_};
            return Row::Fault;
        }
        if (!fields_.empty())
            return Row::Held;
    }
}

bool CsvReader::holdsRow(CsvStatus status, size_t columns) const
{
    return status == CsvStatus::Ok || status == CsvStatus::TooManyFields
        || (status == CsvStatus::FieldTooLong && fields_.size() >= columns);
}

Cp932Text csvSyntaxMessage(CsvStatus status, long row, std::string_view errorText)
{
    if (status == CsvStatus::ReadError)
        return cp932Printf("%ld 行目を読めません: %s", row, std::string(errorText).c_str());
    std::string text = quotedForReport(errorText);
    switch (status) {
    case CsvStatus::FieldTooLong:
        return cp932Printf("%ld 行目: トークンが長すぎるか、不正なデリミタか、２重引用符の使い方が間違っています\n%s",
            row, text.c_str());
    case CsvStatus::UnterminatedQuote:
        return cp932Printf("%ld 行目: ２重引用符の使い方が間違っています\n%s", row, text.c_str());
    case CsvStatus::MisplacedQuote:
        return cp932Printf("%ld 行目: 不正なデリミタです\n%s", row, text.c_str());
    case CsvStatus::LineTooLong:
        return cp932Printf("%ld 行目: 行が長すぎます\n%s", row, text.c_str());
    default:
        return cp932Printf("%ld 行目: CSV syntax error  \n%s", row, text.c_str());
    }
}

} // namespace tavik
