#include "platform/line_ends.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tavik {
namespace {

// Splits text into lines as a reader does that reads `block` bytes at a
// time, keeping undecided bytes for the next read.
std::vector<std::string> linesOf(const std::string& text, size_t block)
{
    std::vector<std::string> lines;
    std::string line;
    bool inLine = false;
    LineEndScanner scanner;
    size_t start = 0, end = 0; // the bytes read and not yet taken
    bool atEnd = false;
    auto read = [&] {
        atEnd = end == text.size();
        end = std::min(text.size(), end + block);
        return !atEnd;
    };
    for (;;) {
        if (start == end && !read())
            break;
        inLine = true;
        LineEndScanner::Found found = scanner.scan(std::string_view(text).substr(start, end - start), atEnd);
        line.append(text, start, found.textBytes);
        start += found.textBytes + found.endBytes;
        if (found.result == LineEndScanner::Result::End) {
            lines.push_back(line);
            line.clear();
            inLine = false;
        } else if (found.result == LineEndScanner::Result::NeedMore) {
            read();
        }
    }
    if (inLine)
        lines.push_back(line);
    return lines;
}

TEST(LineEndScanner, EndsLinesAtLfCrLfAndALoneCrOutsideQuotes)
{
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb\r\nc", {"a", "b", "c"}},
        {"a,1\rb,2\rc,3\r", {"a,1", "b,2", "c,3"}}, // CR-only line ends
        {"a\r\rb\r", {"a", "", "b"}}, // a blank line between CRs
        {"a\r\r\nb\r\n", {"a", "b"}}, // CR CR LF is one line end
        {"a\r\r\r\nb", {"a", "", "b"}},
        {"\"x\ry\",1\rz", {"\"x\ry\",1", "z"}}, // a CR inside quotes is text
        {"\"say \"\"hi\"\"\"\rq", {"\"say \"\"hi\"\"\"", "q"}}, // doubled quotes keep the parity
        {"\"open\nnext", {"\"open", "next"}}, // an LF ends the line even inside quotes
        {"\"open\r\nnext", {"\"open", "next"}},
        {"\"open\r", {"\"open\r"}}, // a quoted CR at the end of the file stays text
        {"", {}},
        {"\r", {""}},
    };
    for (const Case& c : cases) {
        // Every block size puts a read boundary at every place once.
        for (size_t block = 1; block <= c.text.size() + 1; ++block)
            EXPECT_EQ(linesOf(c.text, block), c.lines) << c.text << " in blocks of " << block;
    }
}

} // namespace
} // namespace tavik
