#include "tools/dwcimport/delimited_reader.h"

#include "tools/dwcimport/byte_source.h"

#include <cstring>

namespace tavik {
namespace {

constexpr size_t blockBytes = size_t{1} << 20;
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

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
    if (atEnd_)
        return false;
    position_ = 0;
    end_ = 0;
    // The first line is read whole (up to a block) before the layout is
    // found from it, however few bytes each read hands out.
    do {
        long count = source_.read(buffer_.data() + end_, buffer_.size() - end_);
        if (count < 0)
            errorText_ = "cannot be read: " + source_.errorText();
        if (count <= 0) {
            atEnd_ = true;
            break;
        }
        end_ += static_cast<size_t>(count);
    } while (!started_ && end_ < buffer_.size() && std::memchr(buffer_.data(), layout_.lineEnd, end_) == nullptr);
    if (end_ == 0)
        return false;
    if (!started_) {
        started_ = true;
        std::string_view start(buffer_.data(), end_);
        if (start.substr(0, byteOrderMark.size()) == byteOrderMark)
            position_ = byteOrderMark.size();
        if (layout_.delimiter == 0)
            detectLayout();
    }
    return true;
}

void DelimitedReader::detectLayout()
{
    std::string_view first(buffer_.data() + position_, end_ - position_);
    first = first.substr(0, first.find(layout_.lineEnd));
    if (first.find('\t') != std::string_view::npos) {
        layout_.delimiter = '\t';
        layout_.quote = 0;
    } else {
        layout_.delimiter = ',';
        layout_.quote = '"';
    }
}

DelimitedReader::Status DelimitedReader::next()
{
    if (!errorText_.empty())
        return Status::Error;
    if (position_ == end_ && !fill())
        return errorText_.empty() ? Status::End : Status::Error;
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
                return fail("a record longer than " + std::to_string(maxRecordBytes >> 20) + " MiB");
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
        if (layout_.lineEnd == '\n' && !record_.empty() && record_.back() == '\r')
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
                return fail("a record longer than " + std::to_string(maxRecordBytes >> 20) + " MiB");
        }
        if (!errorText_.empty())
            return Status::Error;
        if (!read)
            return Status::End;
        if (inQuotes && !quoteSeen)
            return fail("a quoted field is not closed by the end of the file");
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
