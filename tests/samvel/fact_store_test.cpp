#include "common/csv_writer.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
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

TEST(FactStore, RefusesMoreRecordsThanOneSpeciesMayHold)
{
    FactStore store({5});
    for (std::uint32_t i = 0; i < FactStore::maxRecordsPerSpecies; ++i)
        ASSERT_EQ(store.addPoint(0, FactLocation::area(1), 'A'), FactStore::AddResult::Added);
    EXPECT_EQ(store.addPoint(0, FactLocation::area(1), 'A'), FactStore::AddResult::SpeciesFull);
    EXPECT_EQ(store.addLiterature(0, FactLocation::area(1), "L1"), FactStore::AddResult::Added);
}

TEST(FactStore, RefusesADistributionLineTheReaderCouldNotReadBack)
{
    FactStore store({7, 8});
    for (int code = 1; code <= 30000; ++code)
        store.addPoint(1, FactLocation::area(code), 'A');
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    CsvWriter writer(file);
    ToolError error;
    EXPECT_FALSE(store.writeDistribution(writer, "tavik.csv", error));
    EXPECT_EQ(cp932ToUtf8(error.message), "種コード[8]の分布記録 30000 件は種別分布テーブルの 1 行に収まりません.");
    std::fclose(file);
}

} // namespace
} // namespace tavik
