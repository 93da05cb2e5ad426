#include "common/csv_fields.h"
#include "common/csv_reader.h"
#include "common/csv_writer.h"
#include "common/text_helpers.h"
#include "platform/cp932.h"
#include "tests/support/fault_injection.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace tavik {
namespace {

std::vector<std::string> fieldsOf(const CsvReader& reader)
{
    std::vector<std::string> fields;
    for (size_t i = 0; i < reader.fieldCount(); ++i)
        fields.emplace_back(reader.field(i));
    return fields;
}

TEST(CsvReader, SplitsLinesByTheQuotingRules)
{
    struct Case {
        std::string line;
        std::vector<std::string> fields;
    } cases[] = {
        {"a,\"b,c\",d", {"a", "b,c", "d"}}, {"\"he said \"\"hi\"\"\"", {"he said \"hi\""}},
        {"x\"yz\"w,1", {"yz", "1"}}, // text outside the quotes is dropped
        {"12,\"Aus, bus\",x", {"12", "Aus, bus", "x"}}, {"a,,", {"a", "", ""}}, {"", {}}, {"\r\n", {}},
        {"a,b\r\n", {"a", "b"}}, {"a\x1A", {"a"}}, {"\"\"", {""}},
        {"  abc  ,\"  q\"", {"abc  ", "q"}}, // leading spaces go, trailing stay
        {cp932Literal("　x"), {cp932Literal("　x")}}, // a full-width space stays
        {cp932Literal("ソ,表\"a\""), {cp932Literal("ソ"), "a"}}, // 0x5C second bytes are no separators
        {"\x81,b", {"\x81,b"}}, // a lead byte takes the comma after it
        {"a,\x81", {"a", "\x81"}}, // a lead byte at the end stays in bounds
    };
    CsvReader reader;
    for (const Case& c : cases) {
        EXPECT_EQ(reader.splitLine(c.line), CsvStatus::Ok) << c.line;
        EXPECT_EQ(fieldsOf(reader), c.fields) << c.line;
    }
}

// The viewer's reader takes 0x81-0x9F and 0xE0-0xFC for lead bytes, the
// tools' reader 0xFD-0xFF too: there a quote after 0xFD is the character's
// second byte and is not collapsed.
TEST(CsvQuotes, DoubledQuotesCollapseByEachReadersLeadBytes)
{
    struct Case {
        std::string field;
        std::string viewer; // collapsed by isCp932LeadByte
        std::string tools; // collapsed by isToolLeadByte
    } cases[] = {
        {"a\"\"b\"\"", "a\"b\"", "a\"b\""},
        {cp932Literal("表").bytes() + "\"\"", cp932Literal("表").bytes() + "\"",
            cp932Literal("表").bytes() + "\""}, // 0x95 0x5C, then a pair
        {"\x81\"\"", "\x81\"\"", "\x81\"\""}, // the first quote is 0x81's second byte: no pair is left
        {"\xFD\"\"", "\xFD\"", "\xFD\"\""}, {"\xFE\"\"", "\xFE\"", "\xFE\"\""},
        {"x\"", "x\"", "x\""}, // a quote alone at the end stays
    };
    for (const Case& c : cases) {
        std::string viewer = c.field, tools = c.field;
        viewer.resize(collapseDoubledQuotes(viewer.data(), viewer.size(), isCp932LeadByte));
        tools.resize(collapseDoubledQuotes(tools.data(), tools.size(), isToolLeadByte));
        EXPECT_EQ(viewer, c.viewer) << c.field;
        EXPECT_EQ(tools, c.tools) << c.field;
    }
}

TEST(CsvReader, ReportsSyntaxFaultsWithTheOffendingText)
{
    struct Case {
        std::string line;
        CsvStatus status;
        size_t fieldsKept;
        std::string errorText;
    } cases[] = {
        {"a,\"b", CsvStatus::UnterminatedQuote, 0, "\"b"},
        {"1,\"a\" \"b\",c", CsvStatus::MisplacedQuote, 0, "\"a\" \"b\",c"},
        {"1,2," + std::string(513, 'x') + ",4", CsvStatus::FieldTooLong, 2, std::string(513, 'x') + ",4"},
        // 512 bytes inside quotes count, not the quotes themselves.
        {"\"" + std::string(512, 'y') + "\"", CsvStatus::Ok, 1, ""},
    };
    CsvReader reader;
    for (const Case& c : cases) {
        EXPECT_EQ(reader.splitLine(c.line), c.status) << c.line;
        EXPECT_EQ(reader.fieldCount(), c.fieldsKept) << c.line;
        EXPECT_EQ(reader.errorText(), c.errorText) << c.line;
    }
}

TEST(CsvReader, KeepsNoMoreFieldsThanItsRoom)
{
    // samvel and norbek keep every field: a species' line of the
    // distribution table holds two a record.
    std::string line(400000, ',');
    CsvReader standard;
    EXPECT_EQ(standard.splitLine(line), CsvStatus::Ok);
    EXPECT_EQ(standard.fieldCount(), 400001u);

    CsvReader ludric(CsvReader::ludricTables);
    EXPECT_EQ(ludric.splitLine(std::string(11999, ',')), CsvStatus::Ok);
    EXPECT_EQ(ludric.splitLine(std::string(30000, ',')), CsvStatus::TooManyFields);
    EXPECT_EQ(ludric.fieldCount(), 12000u);
}

class CsvFile : public ::testing::Test {
protected:
    std::string write(const std::string& content) { return folder_.write("t.csv", content); }

    test::TestFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(CsvFile, ReadsLinesNumberedToTheEndOfFile)
{
    CsvReader reader;
    ASSERT_TRUE(reader.open(write("a,b\r\n\r\nc\n\x1A")));
    EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(fieldsOf(reader), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.fieldCount(), 0u);
    EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.field(0), "c");
    EXPECT_EQ(reader.field(5), "");
    EXPECT_EQ(reader.lineNumber(), 3);
    EXPECT_EQ(reader.nextLine(), CsvStatus::EndOfFile);
    EXPECT_EQ(reader.nextLine(), CsvStatus::EndOfFile);

    EXPECT_FALSE(reader.open(folder_.file("missing.csv")));
    EXPECT_FALSE(reader.open(folder_.path()));
}

TEST_F(CsvFile, ACarriageReturnAloneEndsALineOutsideQuotes)
{
    // A table saved with CR-only line ends, one quoted field holding a CR.
    CsvReader reader;
    ASSERT_TRUE(reader.open(write("a,1\rb,\"x\ry\"\r\rc,3\r\nd\r")));
    const std::vector<std::vector<std::string>> lines = {{"a", "1"}, {"b", "x\ry"}, {}, {"c", "3"}, {"d"}};
    for (const std::vector<std::string>& line : lines) {
        ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
        EXPECT_EQ(fieldsOf(reader), line) << reader.lineNumber();
    }
    EXPECT_EQ(reader.lineNumber(), 5);
    EXPECT_EQ(reader.nextLine(), CsvStatus::EndOfFile);
}

// Each line's offset, noted while reading on, finds the line again: across
// every kind of line end and a CR held back at the end of a 1 MiB read block.
TEST_F(CsvFile, LineOffsetsFindTheLinesAgain)
{
    std::string text = "a,1\rb,\"x\ry\"\r\n\r\r\nc\n";
    while (text.size() < (1 << 20) - 200)
        text += std::string(99, 'p') + "\n";
    text += std::string((1 << 20) - text.size() - 1, 'q') + "\r\nr,2\rs,3"; // the CR closes the first block
    CsvReader reader;
    ASSERT_TRUE(reader.open(write(text)));
    std::vector<std::int64_t> offsets;
    std::vector<std::vector<std::string>> lines;
    while (reader.nextLine() == CsvStatus::Ok) {
        offsets.push_back(reader.lineOffset());
        lines.push_back(fieldsOf(reader));
    }
    const size_t n = lines.size();
    ASSERT_GT(n, 10u);
    EXPECT_EQ(offsets[1], 4);
    EXPECT_EQ(offsets[3], 16); // after CR CR LF
    EXPECT_EQ(offsets[n - 2], (1 << 20) + 1);
    EXPECT_EQ(lines[n - 2], (std::vector<std::string>{"r", "2"}));
    EXPECT_EQ(reader.nextOffset(), static_cast<std::int64_t>(text.size()));
    for (size_t i : {n - 1, n - 2, n - 3, size_t{3}, size_t{2}, size_t{1}, size_t{0}, n - 3}) {
        ASSERT_TRUE(reader.seek(offsets[i], static_cast<long>(i) + 1));
        ASSERT_EQ(reader.nextLine(), CsvStatus::Ok) << i;
        EXPECT_EQ(fieldsOf(reader), lines[i]) << i;
        EXPECT_EQ(reader.lineNumber(), static_cast<long>(i) + 1);
        EXPECT_EQ(reader.lineOffset(), offsets[i]);
        EXPECT_EQ(reader.nextOffset(), i + 1 < n ? offsets[i + 1] : static_cast<std::int64_t>(text.size()));
    }
}

// A line is read whole however many read blocks it spans; one longer than a
// reader's limit is refused and the next line read where it begins.
TEST_F(CsvFile, ReadsLinesOfAnyLengthAndRefusesOnlyWhatItCannotHold)
{
    std::string longLine;
    for (int i = 0; i < 300000; ++i)
        longLine += "JP5339,A,";
    longLine += "last";
    const std::string path = write("1\r\n" + longLine + "\r\n2\n");
    CsvReader::Options bounded = CsvReader::toolTables;
    bounded.maxLineBytes = 2700004;
    bounded.fields.maxFields = 600001;
    for (const CsvReader::Options& options : {CsvReader::toolTables, bounded}) {
        CsvReader reader(options);
        ASSERT_TRUE(reader.open(path));
        EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
        EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
        EXPECT_EQ(reader.fieldCount(), 600001u);
        EXPECT_EQ(reader.field(599999), "A");
        EXPECT_EQ(reader.field(600000), "last");
        EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
        EXPECT_EQ(reader.field(0), "2");
    }

    CsvReader::Options tenBytes = CsvReader::toolTables;
    tenBytes.maxLineBytes = 10;
    CsvReader reader(tenBytes);
    std::string fits(10, 'a');
    ASSERT_TRUE(reader.open(write("1\r\n" + std::string(11, 'b') + "\n" + fits + "\n2\n")));
    EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.nextLine(), CsvStatus::LineTooLong);
    EXPECT_EQ(reader.fieldCount(), 0u);
    EXPECT_EQ(reader.errorText().substr(0, 3), "bbb");
    EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.field(0), fits);
    EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.field(0), "2");
    EXPECT_EQ(reader.lineNumber(), 4);
}

TEST_F(CsvFile, WrittenFieldsReadBackAsTheyWere)
{
    const std::vector<std::string> fields = {
        "plain",
        "a,b",
        "say \"x\"",
        "",
        cp932Literal("ソ表\"能\""),
        cp932Literal("全角　"),
        "N35\"E139\"",
    };
    std::string path = folder_.file("w.csv");
    {
        FilePtr file = openFile(path, "wb");
        CsvWriter writer(file.get());
        for (const std::string& field : fields)
            EXPECT_TRUE(writer.putField(field));
        EXPECT_TRUE(writer.endLine());
        EXPECT_TRUE(writer.putField("abcdef", 4)); // cut to 3 bytes
        EXPECT_TRUE(writer.putField(cp932Literal("あい"), 4)); // never half a character
        EXPECT_TRUE(writer.putField("tail\x82")); // a lone lead byte would eat the comma
        EXPECT_TRUE(writer.putField("z"));
        EXPECT_TRUE(writer.endLine());
        EXPECT_TRUE(writer.flush());
    }
    std::string text = folder_.read("w.csv");
    EXPECT_EQ(text.substr(0, 14), "plain,\"a,b\",\"s");
    EXPECT_NE(text.find("\r\nabc," + cp932Literal("あ").bytes() + ",tail,z\r\n"), std::string::npos) << text;

    CsvReader reader;
    ASSERT_TRUE(reader.open(path));
    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(fieldsOf(reader), fields);
}

// A disk that fails part-way through a table: the reader never takes that
// for the end of the file, and says so again if asked once more.
TEST(CsvReader, AFailedReadIsAFaultOfItsOwnAndNeverTheEnd)
{
    std::string table;
    for (int row = 1; row <= 250000; ++row)
        table += std::to_string(row) + ",a,b\r\n";
    ASSERT_GT(table.size(), 2u << 20); // the reader takes 1 MiB a read
    CsvReader reader;
    reader.open(FilePtr(test::failingStream(table, table.size() / 2, EIO)));
    CsvStatus status;
    long lastRow = 0;
    while ((status = reader.nextLine()) == CsvStatus::Ok)
        lastRow = std::stol(std::string(reader.field(0)));
    EXPECT_EQ(status, CsvStatus::ReadError);
    EXPECT_LT(lastRow, 250000);
    EXPECT_EQ(reader.lineNumber(), lastRow + 1);
    EXPECT_EQ(cp932ToUtf8(csvSyntaxMessage(status, reader.lineNumber(), reader.errorText())),
        std::to_string(lastRow + 1) + " 行目を読めません: 入出力エラーです");
    EXPECT_EQ(reader.nextLine(), CsvStatus::ReadError);
    EXPECT_EQ(reader.lineNumber(), lastRow + 1);
}

TEST(CsvSyntaxMessage, NamesTheRowAndTheText)
{
    EXPECT_EQ(cp932ToUtf8(csvSyntaxMessage(CsvStatus::UnterminatedQuote, 7, "\"ab")),
        "7 行目: ２重引用符の使い方が間違っています\n\"ab");
    EXPECT_EQ(cp932ToUtf8(csvSyntaxMessage(CsvStatus::MisplacedQuote, 2, "x")), "2 行目: 不正なデリミタです\nx");
    EXPECT_EQ(cp932ToUtf8(csvSyntaxMessage(CsvStatus::TooManyFields, 3, "x")), "3 行目: CSV syntax error  \nx");
    // The rest of a huge line is cut, and what would reach the terminal as
    // a command is shown.
    EXPECT_EQ(cp932ToUtf8(csvSyntaxMessage(CsvStatus::UnterminatedQuote, 4, "\"\x1B[2J" + std::string(1000, 'x'))),
        "4 行目: ２重引用符の使い方が間違っています\n\"\\x1B[2J" + std::string(72, 'x') + "…");
}

} // namespace
} // namespace tavik
