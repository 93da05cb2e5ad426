#include "viewer/settings/csv_line_reader.h"

#include "platform/cp932.h"
#include "platform/paths.h"

namespace tavik {

CsvLineReader::CsvLineReader() = default;

CsvLineReader::~CsvLineReader() { close(); }

bool CsvLineReader::open(std::string_view path)
{
    if (file_)
        return false;
    file_ = openFile(path, "rb").release();
    if (!file_)
        return false;
    holdsLine_ = false;
    lineNumber_ = 0;
    return true;
}

bool CsvLineReader::seek(std::uint64_t offset, long lineNumber)
{
    if (!file_ || ::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    holdsLine_ = false;
    lineNumber_ = lineNumber - 1;
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

bool CsvLineReader::fetchLine()
{
    // Reads up to the line feed. Bytes beyond the line buffer are consumed but
    // not kept, so that the next line starts where it should.
    line_.clear();
    lineTooLong_ = false;
    bool readAny = false;
    int c;
    while ((c = getc_unlocked(file_)) != EOF) {
        readAny = true;
        if (c == '\n')
            break;
        if (line_.size() < kMaxLineBytes)
            line_.push_back(static_cast<char>(c));
        else
            lineTooLong_ = true;
    }
    return readAny;
}

CsvStatus CsvLineReader::nextLine()
{
    holdsLine_ = false;
    fields_.clear();
    if (!file_)
        return CsvStatus::EndOfFile;
    if (!fetchLine())
        return CsvStatus::EndOfFile;
    ++lineNumber_;
    if (lineTooLong_)
        return CsvStatus::LineTooLong;
    CsvStatus status = splitLine(line_, fields_);
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

std::string_view CsvLineReader::field(size_t index) const
{
    if (!holdsLine_ || index >= fields_.size())
        return {};
    return fields_[index];
}

CsvStatus CsvLineReader::splitLine(std::string& line, std::vector<std::string_view>& fields)
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

    struct Span {
        size_t begin, end;
        bool doubled;
    };
    std::vector<Span> spans;
    CsvStatus status = CsvStatus::Ok;

    size_t fieldStart = 0;
    size_t quoteOpen = std::string::npos; // first byte after the opening quote
    size_t quoteClose = std::string::npos; // the closing quote
    bool inQuotes = false;
    bool doubled = false;
    const size_t n = line.size();

    for (size_t i = 0; i <= n; ++i) {
        bool atEnd = i == n;
        if (!atEnd && isCp932LeadByte(static_cast<unsigned char>(line[i])) && i + 1 < n) {
            ++i;
            continue;
        }
        char c = atEnd ? ',' : line[i];
        if (atEnd && inQuotes)
            return CsvStatus::UnterminatedQuote;
        if (c == '"') {
            if (inQuotes) {
                if (i + 1 < n && line[i + 1] == '"') {
                    doubled = true;
                    ++i;
                } else {
                    inQuotes = false;
                    quoteClose = i;
                }
            } else {
                if (quoteOpen != std::string::npos)
                    return CsvStatus::MisusedQuotes;
                inQuotes = true;
                quoteOpen = i + 1;
            }
            continue;
        }
        if (c != ',' || inQuotes)
            continue;

        Span span = quoteOpen != std::string::npos ? Span{quoteOpen, quoteClose, doubled} : Span{fieldStart, i, false};
        if (span.end - span.begin > kMaxFieldBytes) {
            status = CsvStatus::FieldTooLong;
            break;
        }
        if (spans.size() == kMaxFields) {
            status = CsvStatus::TooManyFields;
            break;
        }
        spans.push_back(span);
        fieldStart = i + 1;
        quoteOpen = quoteClose = std::string::npos;
        doubled = false;
    }

    fields.reserve(spans.size());
    for (const Span& span : spans) {
        size_t begin = span.begin, end = span.end;
        if (span.doubled) {
            // Undo doubled quotes in place, stepping over two-byte characters.
            size_t out = begin;
            for (size_t in = begin; in < end; ++in) {
                line[out++] = line[in];
                if (isCp932LeadByte(static_cast<unsigned char>(line[in])) && in + 1 < end)
                    line[out++] = line[++in];
                else if (line[in] == '"' && in + 1 < end && line[in + 1] == '"')
                    ++in;
            }
            end = out;
        }
        while (begin < end && line[begin] == ' ')
            ++begin;
        fields.emplace_back(line.data() + begin, end - begin);
    }
    return status;
}

} // namespace tavik
