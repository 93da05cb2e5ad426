#include "viewer/settings/distribution_table.h"

#include "common/angle_text.h"
#include "common/table_rows.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "viewer/settings/settings.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(DistributionLocation, ClassifiesSquaresCoordinatesAndAreas)
{
    struct Case {
        const char* location;
        LocationKind kind;
        std::vector<int>
            digits; // first lat, first lon, 2nd lat, 2nd lon, 3rd lat, 3rd lon, half, quarter, eighth, 5 km
    } cases[] = {
        {"JP5339", LocationKind::FirstOrder, {53, 39, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"JP5339-45", LocationKind::SecondOrder, {53, 39, 4, 5, 0, 0, 0, 0, 0, 0}},
        {"JP53394", LocationKind::FirstOrder, {53, 39, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"JP5339454", LocationKind::FiveKm, {53, 39, 4, 5, 0, 0, 0, 0, 0, 4}},
        {"JP5339-45-67", LocationKind::ThirdOrder, {53, 39, 4, 5, 6, 7, 0, 0, 0, 0}},
        {"JP533945675", LocationKind::TwoKm, {53, 39, 4, 5, 6, 7, 0, 0, 0, 0}},
        {"JP533945672", LocationKind::Half, {53, 39, 4, 5, 6, 7, 2, 0, 0, 0}},
        {"JP5339456712", LocationKind::Quarter, {53, 39, 4, 5, 6, 7, 1, 2, 0, 0}},
        {"JP53394567123", LocationKind::Eighth, {53, 39, 4, 5, 6, 7, 1, 2, 3, 0}},
        {"JP53", LocationKind::None, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"NP5339", LocationKind::FirstOrder, {53, 39, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        DistributionRecord r = classifyLocation(c.location);
        EXPECT_EQ(r.kind, c.kind) << c.location;
        std::vector<int> digits = {r.firstLatitude, r.firstLongitude, r.secondLatitude, r.secondLongitude,
            r.thirdLatitude, r.thirdLongitude, r.half, r.quarter, r.eighth, r.fiveKm};
        EXPECT_EQ(digits, c.digits) << c.location;
    }
}

TEST(DistributionLocation, ReadsCoordinatesInEitherOrder)
{
    for (const char* text : {"N35.5E139.25", "E139.25N35.5"}) {
        DistributionRecord r = classifyLocation(text);
        EXPECT_EQ(r.kind, LocationKind::Coordinates) << text;
        EXPECT_DOUBLE_EQ(r.latitude, 35.5) << text;
        EXPECT_DOUBLE_EQ(r.longitude, 139.25) << text;
    }
    DistributionRecord south = classifyLocation("S10W20.30'");
    EXPECT_DOUBLE_EQ(south.latitude, -10.0);
    EXPECT_DOUBLE_EQ(south.longitude, -20.5);
    DistributionRecord noLongitude = classifyLocation("N35");
    EXPECT_DOUBLE_EQ(noLongitude.longitude, 0.0);
    DistributionRecord bad = classifyLocation("N3x5E139");
    EXPECT_EQ(bad.latitude, kInvalidAngle);
    DistributionRecord area = classifyLocation("1301");
    EXPECT_EQ(area.kind, LocationKind::Area);
    EXPECT_EQ(area.areaCode, 1301);
}

class DistributionTableTest : public ::testing::Test {
protected:
    DistributionTableTest()
        : folder("distribution")
    {
    }

    test::TestFolder folder;
    Settings settings;
    MessageLog log;
};

TEST_F(DistributionTableTest, IndexesLineOffsetsAndReadsTheFirstLineOfACode)
{
    std::string path = folder.write("ta_vik.csv",
        "101,1301,A,JP5339,B\r\n"
        "102\r\n"
        "nocomma\r\n"
        "101,N35E139,C\r\n"
        "103,1301,A,1302,B,1303,C,1304,,1305");
    DistributionTable table;
    ASSERT_EQ(table.buildIndex(path, 10), DistributionIndexStatus::Ok);
    ASSERT_EQ(table.entries().size(), 5u);
    EXPECT_EQ(table.entries()[1].offset, 21u);
    EXPECT_EQ(table.entries()[2].speciesCode, 0);
    EXPECT_EQ(table.entries()[3].offset, 35u);

    RecordSet set;
    ASSERT_TRUE(table.readSpeciesRecords(101, settings, set, log));
    ASSERT_EQ(set.records.size(), 2u);
    EXPECT_EQ(set.records[0].kind, LocationKind::Area);
    EXPECT_EQ(set.records[1].kind, LocationKind::FirstOrder);
    EXPECT_EQ(set.records[1].rank, 1);

    ASSERT_TRUE(table.readSpeciesRecords(102, settings, set, log));
    EXPECT_TRUE(set.records.empty());
    EXPECT_EQ(set.speciesCode, 102);
    EXPECT_FALSE(table.readSpeciesRecords(999, settings, set, log));

    settings.rankEnabled = {true, false, true, false}; // Rank=AC
    ASSERT_TRUE(table.readSpeciesRecords(103, settings, set, log));
    ASSERT_EQ(set.records.size(), 2u);
    EXPECT_EQ(set.records[0].rank, 0);
    EXPECT_EQ(set.records[1].rank, 2);
    EXPECT_EQ(set.records[1].areaCode, 1303);
    EXPECT_TRUE(log.messages.empty());

    EXPECT_EQ(table.buildIndex(path, 4), DistributionIndexStatus::Overflow);
    EXPECT_EQ(table.buildIndex(folder.file("none.csv"), 4), DistributionIndexStatus::CannotOpen);
}

TEST_F(DistributionTableTest, LinesEndedByACarriageReturnAloneAreIndexedOneByOne)
{
    std::string path = folder.write("cr.csv", "101,1301,A\r102,JP5339,B,1302,C\r103\r");
    DistributionTable table;
    ASSERT_EQ(table.buildIndex(path, 10), DistributionIndexStatus::Ok);
    ASSERT_EQ(table.entries().size(), 3u);
    EXPECT_EQ(table.entries()[1].speciesCode, 102);
    EXPECT_EQ(table.entries()[1].offset, 11u);
    EXPECT_EQ(table.entries()[2].speciesCode, 103);

    RecordSet set;
    ASSERT_TRUE(table.readSpeciesRecords(101, settings, set, log));
    ASSERT_EQ(set.records.size(), 1u);
    EXPECT_EQ(set.records[0].areaCode, 1301);
    ASSERT_TRUE(table.readSpeciesRecords(102, settings, set, log));
    ASSERT_EQ(set.records.size(), 2u);
    EXPECT_EQ(set.records[0].kind, LocationKind::FirstOrder);
    EXPECT_EQ(set.records[1].areaCode, 1302);
    ASSERT_TRUE(table.readSpeciesRecords(103, settings, set, log));
    EXPECT_TRUE(set.records.empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DistributionTableTest, TakesAtMostPointMaxPerSpeciesRecords)
{
    std::string line = "7";
    for (int i = 0; i < 1500; ++i)
        line += ",1301,A";
    DistributionTable table;
    ASSERT_EQ(table.buildIndex(folder.write("t.csv", line + "\n"), 10), DistributionIndexStatus::Ok);
    RecordSet set;
    settings.pointMaxPerSpecies = 1000;
    ASSERT_TRUE(table.readSpeciesRecords(7, settings, set, log));
    EXPECT_EQ(set.records.size(), 1000u);
}

// A species' line is read whole however many records it holds (once the
// line buffer of 399,997 bytes, 60,000 fields and 30,000 records bounded it):
// every record up to PointMaxPerSpecies is taken, in the line's order.
TEST_F(DistributionTableTest, ALineOfAMillionRecordsIsReadWhole)
{
    const int count = 1000000;
    std::string line = "7";
    for (int i = 0; i < count; ++i)
        line += i % 2 ? ",JP" + std::to_string(5339 + i % 100) + ",B" : "," + std::to_string(1 + i % 47) + ",A";
    DistributionTable table;
    ASSERT_EQ(
        table.buildIndex(folder.write("t.csv", "6,1301,A\n" + line + "\r\n8\n"), 10), DistributionIndexStatus::Ok);
    RecordSet set;
    settings.pointMaxPerSpecies = count;
    ASSERT_TRUE(table.readSpeciesRecords(7, settings, set, log));
    ASSERT_EQ(set.records.size(), static_cast<size_t>(count));
    EXPECT_EQ(set.records[0].areaCode, 1);
    EXPECT_EQ(set.records[count - 2].areaCode, 1 + (count - 2) % 47);
    EXPECT_EQ(set.records[count - 1].kind, LocationKind::FirstOrder);
    EXPECT_EQ(set.records[count - 1].rank, 1);
    settings.pointMaxPerSpecies = count - 1;
    ASSERT_TRUE(table.readSpeciesRecords(7, settings, set, log));
    EXPECT_EQ(set.records.size(), static_cast<size_t>(count - 1));
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DistributionTableTest, FaultyLinesAreReportedWithTheFile)
{
    std::string path = folder.write("bad.csv",
        "1,1301,A,\"open\n"
        "2,\"a\"b\",A\n"
        "3,1301,A,"
            + std::string(300, '9') + ",B,1302,C\n");
    DistributionTable table;
    ASSERT_EQ(table.buildIndex(path, 10), DistributionIndexStatus::Ok);
    RecordSet set;
    EXPECT_FALSE(table.readSpeciesRecords(1, settings, set, log));
    EXPECT_FALSE(table.readSpeciesRecords(2, settings, set, log));
    // A field too long: reported, and the fields before it are used.
    EXPECT_TRUE(table.readSpeciesRecords(3, settings, set, log));
    EXPECT_EQ(set.records.size(), 1u);
    std::vector<std::string> texts = log.utf8Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], path + "\n 構文エラー。文字列が \"\" で囲まれていません。");
    EXPECT_EQ(texts[1], path + "\n 種別分布テーブルが不正です。");
    EXPECT_EQ(texts[2], path + "\n トークンの長さが 256 を越えました。");
}

// Only the fields of the records drawn are read: a prefix of the line, read
// again whole when a quoted comma made it too short.
TEST_F(DistributionTableTest, ReadsOnlyTheRecordsItDrawsEvenPastQuotedCommas)
{
    std::string line = "7,\"1301,,,\",A,\"JP5339\",B";
    for (int i = 0; i < 200000; ++i)
        line += ",1302,C";
    DistributionTable table;
    ASSERT_EQ(table.buildIndex(folder.write("t.csv", line + "\n8,1303,A\n"), 10), DistributionIndexStatus::Ok);
    RecordSet set;
    settings.pointMaxPerSpecies = 3;
    ASSERT_TRUE(table.readSpeciesRecords(7, settings, set, log));
    ASSERT_EQ(set.records.size(), 3u);
    EXPECT_EQ(set.records[0].areaCode, 1301);
    EXPECT_EQ(set.records[1].kind, LocationKind::FirstOrder);
    EXPECT_EQ(set.records[2].areaCode, 1302);
    ASSERT_TRUE(table.readSpeciesRecords(8, settings, set, log));
    ASSERT_EQ(set.records.size(), 1u);
    EXPECT_EQ(set.records[0].areaCode, 1303);
    EXPECT_TRUE(log.messages.empty());
}

// samvel replaces the table by renaming a new file over it: the viewer goes
// on reading the file it indexed, and knows that the path names another now.
TEST_F(DistributionTableTest, KeepsReadingTheFileItIndexedWhenTheTableIsReplaced)
{
    const std::string path = folder.write("ta_vik.csv", "1,1301,A\n2,1302,B\n3,1303,C\n");
    DistributionTable table;
    ASSERT_EQ(table.buildIndex(path, 10), DistributionIndexStatus::Ok);
    EXPECT_FALSE(table.changedOnDisk());
    const std::string replacement = folder.write("new.csv", "9,9999,A\n3,1399,A\n2,1398,A\n1,1397,A\n");
    ASSERT_EQ(std::rename(replacement.c_str(), path.c_str()), 0);
    EXPECT_TRUE(table.changedOnDisk());

    RecordSet set;
    for (int code : {1, 2, 3}) {
        ASSERT_TRUE(table.readSpeciesRecords(code, settings, set, log)) << code;
        ASSERT_EQ(set.records.size(), 1u);
        EXPECT_EQ(set.records[0].areaCode, 1300 + code);
    }
    EXPECT_TRUE(log.messages.empty());
}

// A table rewritten in place holds other lines at the indexed offsets: the
// species' line is checked for its code and a mismatch is reported.
TEST_F(DistributionTableTest, ReportsALineThatIsNoLongerTheSpeciesOwn)
{
    const std::string path = folder.write("ta_vik.csv", "1,1301,A\n2,1302,B\n");
    DistributionTable table;
    ASSERT_EQ(table.buildIndex(path, 10), DistributionIndexStatus::Ok);
    test::writeBytes(path, "2,1302,B\n1,1301,A\n");
    EXPECT_TRUE(table.changedOnDisk());
    RecordSet set;
    EXPECT_FALSE(table.readSpeciesRecords(2, settings, set, log));
    test::writeBytes(path, "2,");
    EXPECT_FALSE(table.readSpeciesRecords(2, settings, set, log));
    const std::vector<std::string> texts = log.utf8Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].find(path + "\n 2 行目は種コード 2 の行ではありません。"), 0u) << texts[0];
    EXPECT_EQ(texts[1].find(path + "\n 2 行目は種コード 2 の行ではありません。"), 0u) << texts[1];
}

} // namespace
} // namespace tavik
