#include "common/text_line_source.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tavik {
namespace {

struct FetchedLine {
    std::string text;
    bool tooLong;
    std::int64_t offset; // where the line began
    bool operator==(const FetchedLine&) const = default;
};

void PrintTo(const FetchedLine& line, std::ostream* out)
{
    *out << '"' << line.text << '"' << (line.tooLong ? " (cut)" : "") << " at " << line.offset;
}

std::vector<FetchedLine> readAll(const std::string& path, std::size_t blockBytes, std::size_t maxBytes)
{
    TextLineSource source(blockBytes);
    source.open(openRegularFile(path));
    std::vector<FetchedLine> lines;
    std::string line;
    for (;;) {
        const std::int64_t offset = source.nextOffset();
        if (source.next(line, maxBytes) != TextLineSource::Fetch::Line)
            break;
        lines.push_back({line, source.tooLong(), offset});
    }
    return lines;
}

// The readers read in blocks of 64 KiB and 1 MiB, so a line end split
// between two blocks is rare in their tests; here every block size from the
// smallest up splits every line end somewhere.
TEST(TextLineSource, LinesAreTheSameWhereverTheBlocksEnd)
{
    test::TestFolder folder("line_source");
    const std::string path = folder.write("t.csv",
        "lf\n"
        "crlf\r\n"
        "crcrlf\r\r\n"
        "cr\r"
        "\"quoted\rcr\",x\n"
        "\n"
        "a line longer than ten bytes\n"
        "last");
    const std::vector<FetchedLine> expected = {
        {"lf", false, 0},
        {"crlf", false, 3},
        {"crcrlf", false, 9},
        {"cr", false, 18},
        {"\"quoted\rcr\",x", false, 21},
        {"", false, 35},
        {"a line longer than t", true, 36},
        {"last", false, 65},
    };
    for (std::size_t block = TextLineSource::minBlockBytes; block <= 12; ++block)
        EXPECT_EQ(readAll(path, block, 20), expected) << "blocks of " << block;
}

TEST(TextLineSource, SeekReadsFromALineStartMetBefore)
{
    test::TestFolder folder("line_source");
    const std::string path = folder.write("t.csv", "one\r\ntwo\rthree\n");
    TextLineSource source(4);
    source.open(openRegularFile(path));
    std::string line;
    ASSERT_EQ(source.next(line, 100), TextLineSource::Fetch::Line);
    const std::int64_t second = source.nextOffset();
    ASSERT_EQ(source.next(line, 100), TextLineSource::Fetch::Line);
    ASSERT_EQ(source.next(line, 100), TextLineSource::Fetch::Line);
    EXPECT_EQ(source.next(line, 100), TextLineSource::Fetch::End);

    ASSERT_TRUE(source.seek(second));
    ASSERT_EQ(source.next(line, 100), TextLineSource::Fetch::Line);
    EXPECT_EQ(line, "two");
    ASSERT_EQ(source.next(line, 100), TextLineSource::Fetch::Line);
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(source.seek(-1));
}

} // namespace
} // namespace tavik
