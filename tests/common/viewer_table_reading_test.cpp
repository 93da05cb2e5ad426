#include "common/table_rows.h"

#include "platform/cp932.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace tavik {
namespace {

struct SplitCase {
    std::string line;
    CsvStatus status;
    std::vector<std::string> fields;
};

std::vector<std::string> split(std::string line, CsvStatus& status)
{
    std::vector<std::string_view> views;
    status = splitViewerLine(line, views);
    return std::vector<std::string>(views.begin(), views.end());
}

TEST(ViewerTableReading, SplitsFieldsByTheTokenizerRules)
{
    const std::string so = utf8ToCp932("ソ"); // second byte 0x5C
    // A lead byte takes the next byte with it, even a quote or a comma.
    const std::string leadQuote = "\x81\"";
    const std::string leadComma = "\x81,";
    SplitCase cases[] = {
        {"12,\"Aus, bus\",x", CsvStatus::Ok, {"12", "Aus, bus", "x"}},
        {"1,ab\"c\"d,e", CsvStatus::Ok, {"1", "c", "e"}},
        {"\"a\"\"b\"", CsvStatus::Ok, {"a\"b"}},
        {"a,,", CsvStatus::Ok, {"a", "", ""}},
        {"", CsvStatus::Ok, {}},
        {"\r\n", CsvStatus::Ok, {}},
        {"x,y\r\x1A", CsvStatus::Ok, {"x", "y"}},
        {"  lead, trail  ", CsvStatus::Ok, {"lead", "trail  "}},
        {so + "," + so + "\"", CsvStatus::UnterminatedQuote, {}},
        {"\"" + so + ",\",2", CsvStatus::Ok, {so + ",", "2"}},
        {leadQuote + ",1", CsvStatus::Ok, {leadQuote, "1"}},
        {leadComma + "2,3", CsvStatus::Ok, {leadComma + "2", "3"}},
        {"\"a\" \"b\"", CsvStatus::MisplacedQuote, {}},
        {"\"a\"b\",c", CsvStatus::MisplacedQuote, {}},
        {"a,\"open", CsvStatus::UnterminatedQuote, {}},
        {"a," + std::string(256, 'x') + ",b", CsvStatus::Ok, {"a", std::string(256, 'x'), "b"}},
        {"a," + std::string(257, 'x') + ",b", CsvStatus::FieldTooLong, {"a"}},
    };
    for (const SplitCase& c : cases) {
        CsvStatus status;
        std::vector<std::string> fields = split(c.line, status);
        EXPECT_EQ(status, c.status) << c.line;
        if (status == CsvStatus::Ok || status == CsvStatus::FieldTooLong) {
            EXPECT_EQ(fields, c.fields) << c.line;
        }
    }
}

TEST(ViewerTableReading, KeepsSixtyThousandFieldsAndDropsTheRest)
{
    std::string exact(59999, ',');
    CsvStatus status;
    EXPECT_EQ(split(exact, status).size(), 60000u);
    EXPECT_EQ(status, CsvStatus::Ok);

    std::string over(60005, ',');
    std::vector<std::string> fields = split(over, status);
    EXPECT_EQ(status, CsvStatus::TooManyFields);
    EXPECT_EQ(fields.size(), 60000u);

    // The distribution table's reader keeps them all.
    std::vector<std::string_view> views;
    EXPECT_EQ(splitViewerLine(over, views, CsvReader::anyFields), CsvStatus::Ok);
    EXPECT_EQ(views.size(), 60006u);
}

TEST(ViewerTableReading, ReadsLinesOfAnyLengthAndSeeks)
{
    test::TestFolder folder("csv_reader");
    std::string longLine(3 << 20, 'x'); // many read blocks, once beyond the line buffer
    for (size_t i = 0; i < longLine.size(); i += 128)
        longLine[i] = ',';
    std::string path = folder.write("t.csv", "a,b\r\n" + longLine + "\nlast,\"x\"\r\nz\0y,1\n"s);

    CsvReader reader(CsvReader::viewerTables);
    ASSERT_TRUE(reader.open(path));
    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.fieldCount(), 2u);
    EXPECT_EQ(reader.field(1), "b");
    EXPECT_EQ(reader.field(2), "");

    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.lineNumber(), 2);
    EXPECT_EQ(reader.fieldCount(), longLine.size() / 128 + 1);
    EXPECT_EQ(reader.field(1), std::string(127, 'x'));
    // The next line starts where it should after the long one.
    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.field(0), "last");
    EXPECT_EQ(reader.field(1), "x");
    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.field(0), std::string("z\0y", 3));
    EXPECT_EQ(reader.nextLine(), CsvStatus::EndOfFile);

    ASSERT_TRUE(reader.seek(5, 2));
    EXPECT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.lineNumber(), 2);
    EXPECT_EQ(reader.fieldCount(), longLine.size() / 128 + 1);
    reader.close();
    EXPECT_FALSE(reader.open(folder.file("missing.csv")));
}

TEST(ViewerTableReading, ACarriageReturnAloneEndsALineOutsideQuotes)
{
    test::TestFolder folder("csv_reader_cr");
    std::string path = folder.write("t.csv", "a,1\rb,\"x\ry\"\r\rc,3\r\nd\r");
    CsvReader reader(CsvReader::viewerTables);
    ASSERT_TRUE(reader.open(path));
    const std::vector<std::vector<std::string>> lines = {{"a", "1"}, {"b", "x\ry"}, {}, {"c", "3"}, {"d"}};
    for (const std::vector<std::string>& line : lines) {
        ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
        std::vector<std::string> fields;
        for (size_t i = 0; i < reader.fieldCount(); ++i)
            fields.emplace_back(reader.field(i));
        EXPECT_EQ(fields, line) << reader.lineNumber();
    }
    EXPECT_EQ(reader.lineNumber(), 5);
    EXPECT_EQ(reader.nextLine(), CsvStatus::EndOfFile);
    ASSERT_TRUE(reader.seek(13, 4));
    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.field(0), "c");
    EXPECT_EQ(reader.lineNumber(), 4);
}

TEST(ViewerTableReading, AnEndOfFileMarkLineEndsTheToolsTableAndIsABlankLineInTheMaps)
{
    test::TestFolder folder("csv_end_mark");
    const std::string path = folder.write("t.csv", "a\r\n\x1A\r\nb\r\n");
    auto rowsRead = [&](const CsvReader::Options& options) {
        CsvReader reader(options);
        EXPECT_TRUE(reader.open(path));
        std::vector<std::string> rows;
        while (reader.nextRow(1) == CsvReader::Row::Held)
            rows.emplace_back(reader.field(0));
        return rows;
    };
    EXPECT_EQ(rowsRead(CsvReader::toolTables), std::vector<std::string>{"a"});
    EXPECT_EQ(rowsRead(CsvReader::viewerTables), (std::vector<std::string>{"a", "b"}));
}

} // namespace
} // namespace tavik
