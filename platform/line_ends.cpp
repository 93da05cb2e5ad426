#include "platform/line_ends.h"

#include <cstring>

namespace tavik {
namespace {

size_t countQuotes(const char* begin, size_t size)
{
    size_t count = 0;
    const char* end = begin + size;
    while (const void* quote = std::memchr(begin, '"', static_cast<size_t>(end - begin))) {
        ++count;
        begin = static_cast<const char*>(quote) + 1;
    }
    return count;
}

// The first CR or LF in [begin, end), or end. Windows that double in size
// keep the search linear in the bytes up to the hit, whichever of the two
// bytes a file uses (searching the whole text for one that never comes, once
// per line, would cost the text's length a line).
const char* findLineEndByte(const char* begin, const char* end)
{
    for (size_t window = 64; begin < end; window *= 2) {
        const char* stop = static_cast<size_t>(end - begin) > window ? begin + window : end;
        const void* lineFeed = std::memchr(begin, '\n', static_cast<size_t>(stop - begin));
        const char* limit = lineFeed ? static_cast<const char*>(lineFeed) : stop;
        if (const void* carriageReturn = std::memchr(begin, '\r', static_cast<size_t>(limit - begin)))
            return static_cast<const char*>(carriageReturn);
        if (lineFeed)
            return limit;
        begin = stop;
    }
    return end;
}

} // namespace

LineEndScanner::Found LineEndScanner::scan(std::string_view text, bool atEndOfFile)
{
    const char* begin = text.data();
    const size_t size = text.size();
    size_t counted = 0; // bytes whose quotes are in quotes_
    for (size_t at = 0;;) {
        const size_t hit = static_cast<size_t>(findLineEndByte(begin + at, begin + size) - begin);
        if (hit == size) {
            quotes_ += countQuotes(begin + counted, size - counted);
            return {Result::Continues, size, 0};
        }
        // LF, CR LF and CR CR LF end the line, inside quotes too.
        if (begin[hit] == '\n') {
            quotes_ = 0;
            return {Result::End, hit, 1};
        }
        if (hit + 1 < size && begin[hit + 1] == '\n') {
            quotes_ = 0;
            return {Result::End, hit, 2};
        }
        if (hit + 2 < size && begin[hit + 1] == '\r' && begin[hit + 2] == '\n') {
            quotes_ = 0;
            return {Result::End, hit, 3};
        }
        quotes_ += countQuotes(begin + counted, hit - counted);
        counted = hit;
        // A CR (or two) at the very end of the text may yet be followed by an LF.
        if (!atEndOfFile && (hit + 1 == size || (hit + 2 == size && begin[hit + 1] == '\r')))
            return {Result::NeedMore, hit, 0};
        // A CR alone ends the line unless it stands inside quotes.
        if (quotes_ % 2 == 0) {
            quotes_ = 0;
            return {Result::End, hit, 1};
        }
        at = hit + 1;
    }
}

} // namespace tavik
