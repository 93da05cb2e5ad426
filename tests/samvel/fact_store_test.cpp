#include "common/csv_reader.h"
#include "common/csv_writer.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "tests/support/test_folder.h"
#include "tools/samvel/fact_store.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tavik {
namespace {

TEST(FactStore, MergesReliabilitiesByRank)
{
    // Each row: the later letter, the head's letter, a blank, the letter kept.
    const char* rows[]
        = {"AB A", "AC A", "BC B", "ZA Z", "ZB Z", "ZC Z", "BA A", "CA A", "AZ Z", "DA A", "AD D", "CB B"};
    for (const char* row : rows)
        EXPECT_EQ(FactStore::mergedReliability(row[1], row[0]), row[3]) << row;
}

// A species may gather any number of records (once at most 239,999, in a
// line of at most 399,997 bytes): its line is written whole, merged, and the
// tools' reader reads it back.
TEST(FactStore, ASpeciesLineOfAnyLengthIsWrittenWholeAndReadsBack)
{
    FactStore store({7, 8});
    const int count = 250000;
    for (int code = count; code >= 1; --code)
        ASSERT_EQ(store.addPoint(1, FactLocation::area(code), 'B'), FactStore::AddResult::Added);
    ASSERT_EQ(store.addPoint(1, FactLocation::area(count), 'A'), FactStore::AddResult::Added);
    test::TestFolder folder("fact_store");
    const std::string path = folder.file("ta_vik.csv");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    CsvWriter writer(file);
    ToolError error;
    EXPECT_TRUE(store.writeDistribution(writer, "ta_vik.csv", error)) << error.message;
    std::fclose(file);

    CsvReader reader;
    ASSERT_TRUE(reader.open(path));
    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    EXPECT_EQ(reader.fieldCount(), 1u);
    ASSERT_EQ(reader.nextLine(), CsvStatus::Ok);
    ASSERT_EQ(reader.fieldCount(), 2u * count + 1);
    EXPECT_EQ(reader.field(0), "8");
    EXPECT_EQ(reader.field(1), "1");
    EXPECT_EQ(reader.field(2), "B");
    EXPECT_EQ(reader.field(2 * count - 1), std::to_string(count));
    EXPECT_EQ(reader.field(2 * count), "A");
}

} // namespace
} // namespace tavik
