#include "common/csv_writer.h"

#include "common/text_helpers.h"

namespace tavik {
namespace {

constexpr size_t bufferLimit = 1 << 16;

// True when the text needs quotes: it holds a comma or a double quote outside
// two-byte characters, as the reader scans it.
bool needsQuotes(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (isToolLeadByte(c))
            ++i;
        else if (c == ',' || c == '"')
            return true;
    }
    return false;
}

} // namespace

CsvWriter::CsvWriter(std::FILE* stream)
    : stream_(stream)
{
    buffer_.reserve(bufferLimit * 2);
}

void CsvWriter::appendField(std::string& line, std::string_view text, bool first)
{
    if (!first)
        line += ',';
    // A lead byte alone at the end would swallow the comma or quote after it.
    text = cutText(text, text.size());
    if (!needsQuotes(text)) {
        line.append(text);
        return;
    }
    line += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (isToolLeadByte(c)) {
            line += text[i++];
            line += text[i];
            continue;
        }
        if (c == '"')
            line += '"';
        line += text[i];
    }
    line += '"';
}

bool CsvWriter::putField(std::string_view text, size_t maxLength)
{
    if (maxLength != unlimited)
        text = cutText(text, maxLength > 0 ? maxLength - 1 : 0);
    appendField(buffer_, text, !lineStarted_);
    lineStarted_ = true;
    return buffer_.size() < bufferLimit ? !failed_ : writeOut();
}

bool CsvWriter::endLine()
{
    buffer_ += "\r\n";
    lineStarted_ = false;
    return buffer_.size() < bufferLimit ? !failed_ : writeOut();
}

bool CsvWriter::putLine(std::string_view fields)
{
    if (lineStarted_)
        endLine();
    buffer_.append(fields);
    return endLine();
}

bool CsvWriter::writeOut()
{
    if (!failed_ && !buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size())
        failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool CsvWriter::flush()
{
    if (!writeOut())
        return false;
    if (std::fflush(stream_) != 0 || std::ferror(stream_))
        failed_ = true;
    return !failed_;
}

} // namespace tavik
