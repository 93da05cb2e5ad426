#include "tools/dwcimport/delimited_reader.h"

#include "tools/dwcimport/byte_source.h"

#include <cstring>

namespace tavik {
namespace {

constexpr size_t blockBytes = size_t{1} << 20;
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// True when the text holds a whole line end: a line feed, or a carriage
// return with the bytes after it that tell whether it stands alone (one, or
// two after CR CR).
bool holdsLineEnd(std::string_view text)
{
    size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return false;
    return text[at] == '\n' || (at + 1 < text.size() && text[at + 1] != '\r') || at + 2 < text.size();
}

} // namespace

DelimitedReader::DelimitedReader(ByteSource& source, TextLayout layout)
    : source_(source)
    , layout_(layout)
    , buffer_(blockBytes)
{
}

DelimitedReader::Status DelimitedReader::fail(std::string reason)
{
    errorText_ = std::move(reason);
    return Status::Error;
}

bool DelimitedReader::fill()
{
    position_ = 0;
    end_ = 0;
    if (atEnd_) {
        errorText_ = sourceError_;
        return false;
    }
    // The first line is read whole (up to a block) before the layout is
    // found from it, however few bytes each read hands out.
    do {
        long count = source_.read(buffer_.data() + end_, buffer_.size() - end_);
        if (count < 0)
            sourceError_ = source_.errorText().empty() ? "読み込みに失敗しました." : source_.errorText();
        if (count <= 0) {
            atEnd_ = true;
            break;
        }
        end_ += static_cast<size_t>(count);
    } while (!started_ && end_ < buffer_.size() && !holdsLineEnd(std::string_view(buffer_.data(), end_)));
    if (end_ == 0) {
        errorText_ = sourceError_;
        return false;
    }
    if (!started_) {
        started_ = true;
        std::string_view start(buffer_.data(), end_);
        if (start.substr(0, byteOrderMark.size()) == byteOrderMark)
            position_ = byteOrderMark.size();
        detectLayout();
    }
    return true;
}

void DelimitedReader::detectLayout()
{
    std::string_view text(buffer_.data() + position_, end_ - position_);
    size_t lineEnd = text.find_first_of("\r\n");
    // A carriage return that no line feed follows ends the lines (CR CR LF,
    // a CR LF file converted once more, ends in a line feed).
    if (layout_.lineEnd == '\n' && lineEnd != std::string_view::npos && text[lineEnd] == '\r') {
        std::string_view after = text.substr(lineEnd + 1);
        if (!after.empty() && after[0] != '\n' && !after.starts_with("\r\n"))
            layout_.lineEnd = '\r';
    }
    if (layout_.delimiter != 0)
        return;
    std::string_view first = text.substr(0, lineEnd);
    size_t tabs = 0, commas = 0, semicolons = 0;
    bool quoted = false;
    for (char c : first) {
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\t')
            ++tabs;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
    }
    if (tabs > 0) {
        // Quoted only when every field of the header is.
        layout_.delimiter = '\t';
        layout_.quote = '"';
        for (size_t start = 0; start <= first.size();) {
            size_t stop = std::min(first.find('\t', start), first.size());
            std::string_view field = first.substr(start, stop - start);
            if (field.size() < 2 || field.front() != '"' || field.back() != '"')
                layout_.quote = 0;
            start = stop + 1;
        }
    } else {
        layout_.delimiter = semicolons > commas ? ';' : ',';
        layout_.quote = '"';
    }
}

DelimitedReader::Status DelimitedReader::next()
{
    if (!errorText_.empty())
        return Status::Error;
    if (position_ == end_ && !fill()) {
        recordLine_ = line_ + 1;
        return errorText_.empty() ? Status::End : Status::Error;
    }
    return layout_.quote == 0 ? nextPlain() : nextQuoted();
}

DelimitedReader::Status DelimitedReader::nextPlain()
{
    for (;;) {
        record_.clear();
        recordLine_ = line_ + 1;
        bool read = false;
        for (;;) {
            if (position_ == end_ && !fill())
                break;
            const char* start = buffer_.data() + position_;
            size_t left = end_ - position_;
            const auto* stop = static_cast<const char*>(std::memchr(start, layout_.lineEnd, left));
            size_t length = stop ? static_cast<size_t>(stop - start) : left;
            if (record_.size() + length > maxRecordBytes)
                return fail(std::to_string(maxRecordBytes >> 20) + " MiB を超える記録があります.");
            record_.append(start, length);
            position_ += stop ? length + 1 : length;
            read = true;
            if (stop)
                break;
        }
        if (!errorText_.empty())
            return Status::Error;
        if (!read)
            return Status::End;
        ++line_;
        while (layout_.lineEnd == '\n' && !record_.empty() && record_.back() == '\r')
            record_.pop_back();
        if (record_.empty())
            continue;
        // Fields are short: one pass over the bytes beats a search for each.
        fields_.clear();
        const char* data = record_.data();
        const char delimiter = layout_.delimiter;
        size_t start = 0;
        for (size_t i = 0; i < record_.size(); ++i) {
            if (data[i] == delimiter) {
                fields_.emplace_back(data + start, i - start);
                start = i + 1;
            }
        }
        fields_.emplace_back(data + start, record_.size() - start);
        return Status::Record;
    }
}

DelimitedReader::Status DelimitedReader::nextQuoted()
{
    const char quote = layout_.quote;
    const char delimiter = layout_.delimiter;
    const char lineEnd = layout_.lineEnd;
    for (;;) {
        record_.clear();
        fieldEnds_.clear();
        recordLine_ = line_ + 1;
        bool read = false;
        bool inQuotes = false;
        bool quoteSeen = false; // a quote inside quotes: the end, or the first of a pair
        bool fieldQuoted = false;
        size_t fieldStart = 0;
        bool ended = false;
        while (!ended) {
            if (position_ == end_ && !fill())
                break;
            read = true;
            char c = buffer_[position_++];
            if (quoteSeen) {
                quoteSeen = false;
                if (c == quote) {
                    record_ += c;
                    continue;
                }
                inQuotes = false;
            } else if (inQuotes) {
                if (c == quote)
                    quoteSeen = true;
                else {
                    if (c == lineEnd)
                        ++line_;
                    record_ += c;
                }
                continue;
            }
            if (c == quote && record_.size() == fieldStart && !fieldQuoted) {
                inQuotes = fieldQuoted = true;
            } else if (c == delimiter || c == lineEnd) {
                if (c == lineEnd && lineEnd == '\n' && record_.size() > fieldStart && record_.back() == '\r')
                    record_.pop_back();
                fieldEnds_.push_back(record_.size());
                fieldStart = record_.size();
                fieldQuoted = false;
                ended = c == lineEnd;
            } else {
                record_ += c;
            }
            if (record_.size() > maxRecordBytes)
                return fail(std::to_string(maxRecordBytes >> 20) + " MiB を超える記録があります.");
        }
        if (!errorText_.empty())
            return Status::Error;
        if (!read)
            return Status::End;
        if (inQuotes && !quoteSeen)
            return fail("引用符 (\") で始まる項目がファイルの終わりまで閉じていません.");
        if (!ended) {
            // The last line has no line end.
            if (!record_.empty() && record_.back() == '\r' && lineEnd == '\n')
                record_.pop_back();
            fieldEnds_.push_back(record_.size());
        }
        ++line_;
        if (fieldEnds_.size() == 1 && record_.empty() && !fieldQuoted)
            continue;
        fields_.clear();
        size_t start = 0;
        for (size_t fieldEnd : fieldEnds_) {
            fields_.emplace_back(record_.data() + start, fieldEnd - start);
            start = fieldEnd;
        }
        return Status::Record;
    }
}

} // namespace tavik
