#include "common/csv_line_reader.h"

#include "common/csv_fields.h"

#include "platform/cp932.h"
#include "platform/file_reading.h"
#include "platform/huge_pages.h"
#include "platform/paths.h"

#include <algorithm>

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
    case CsvStatus::MisplacedQuote:
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
    , lines_(kBlockBytes)
{
}

bool CsvLineReader::open(std::string_view path)
{
    if (lines_.isOpen())
        return false;
    FilePtr file = openRegularFile(path);
    if (!file)
        return false;
    lines_.open(std::move(file));
    holdsLine_ = false;
    lineNumber_ = 0;
    return true;
}

bool CsvLineReader::seek(std::uint64_t offset, long lineNumber)
{
    if (!lines_.seek(static_cast<std::int64_t>(offset)))
        return false;
    holdsLine_ = false;
    lineNumber_ = lineNumber - 1;
    return true;
}

void CsvLineReader::close()
{
    lines_.close();
    holdsLine_ = false;
    fields_.clear();
}

CsvStatus CsvLineReader::nextLine()
{
    holdsLine_ = false;
    fields_.clear();
    // Lines of any length that memory holds.
    const TextLineSource::Fetch fetched = lines_.next(line_, static_cast<size_t>(-1));
    if (fetched == TextLineSource::Fetch::ReadFailed) {
        // A failed read is never the end of the table: what was read of the
        // line is dropped and the line is reported.
        ++lineNumber_;
        return CsvStatus::ReadError;
    }
    if (fetched == TextLineSource::Fetch::End)
        return CsvStatus::EndOfFile;
    ++lineNumber_;
    if (lines_.tooLong())
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

CsvLineReader::Row CsvLineReader::nextRow(size_t columns)
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
    dropTrailingLineEnd(line);
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
    const CsvStatus status = csvStatusOf(split.fault);
    // A quote fault keeps no field; a long field or too many keep those before.
    if (status == CsvStatus::MisplacedQuote || status == CsvStatus::UnterminatedQuote)
        fields.clear();
    return status;
}

} // namespace tavik
