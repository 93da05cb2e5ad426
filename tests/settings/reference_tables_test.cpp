#include "common/datum_shift_table.h"
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "viewer/settings/area_table.h"
#include "viewer/settings/distribution_table.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/species_table.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavik {
namespace {

std::vector<std::int64_t> codesByName(const SpeciesTable& table)
{
    std::vector<std::int64_t> codes;
    for (size_t i : table.byName())
        codes.push_back(table.rows()[i].code);
    return codes;
}

TEST(SpeciesTable, SortsByTheSelectedNameWithEmptyNamesLast)
{
    test::TestFolder folder("species_sort");
    std::string path = folder.write("species.csv",
        "1,Papilio xuthus,Linnaeus,1767,,0,Papilionidae,ナミアゲハ\r\n"
        "2,,,,,0,,アオスジアゲハ\r\n"
        "\r\n"
        "3,Anthocharis scolymus,Butler,1866,C,5,Pieridae,\r\n");
    SpeciesTable table;
    MessageLog log;
    ASSERT_EQ(table.load(path, 10, NameMode::ScientificName, log), SpeciesTable::LoadResult::Loaded);
    ASSERT_EQ(table.rows().size(), 3u);
    EXPECT_EQ(codesByName(table), (std::vector<std::int64_t>{3, 1, 2}));
    EXPECT_TRUE(table.rows()[2].parenthesis);
    EXPECT_EQ(table.rows()[2].phyleticCode, 5);

    table.sortByName(NameMode::Alias1Name);
    // ア (0x83 0x41) sorts before ナ (0x83 0x69); the species without alias is last.
    EXPECT_EQ(codesByName(table), (std::vector<std::int64_t>{2, 1, 3}));
}

TEST(SpeciesTable, StopsSilentlyAtCapacityAndReportsALineItCannotReadWhole)
{
    test::TestFolder folder("species_limits");
    SpeciesTable table;
    MessageLog log;
    using Result = SpeciesTable::LoadResult;
    ASSERT_EQ(table.load(folder.write("a.csv", "1,a\n2,b\n3,c\n"), 2, NameMode::ScientificName, log), Result::Loaded);
    EXPECT_EQ(table.rows().size(), 2u);
    EXPECT_EQ(table.load(folder.file("none.csv"), 10, NameMode::ScientificName, log), Result::CannotOpen);
    EXPECT_TRUE(table.rows().empty());
    EXPECT_TRUE(log.messages.empty());

    // A line that cannot be read whole would leave out every species after
    // it: the file and the line are reported.
    const std::string longName(300, 'x');
    struct Case {
        std::string second, message;
    } cases[] = {
        {"2,\"b", " 2 行目: 構文エラー。文字列が \"\" で囲まれていません。"},
        {"2," + longName, " 2 行目: トークンの長さが 256 を越えました。"},
        {"2,\"a\" \"b\"", " 2 行目: ２重引用符の使い方が間違っています。"},
    };
    for (const Case& c : cases) {
        log.messages.clear();
        const std::string path = folder.write("b.csv", "1,a\n" + c.second + "\n3,c\n");
        EXPECT_EQ(table.load(path, 10, NameMode::ScientificName, log), Result::FaultyLine) << c.second;
        EXPECT_EQ(table.rows().size(), 1u);
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.utf8Texts()[0], path + "\n" + c.message);
    }
    // A long text in a column beyond those read leaves the species whole.
    log.messages.clear();
    const std::string notes = "2,b,,,,,,,,,," + longName + "\n3,c\n";
    EXPECT_EQ(table.load(folder.write("c.csv", notes), 10, NameMode::ScientificName, log), Result::Loaded);
    EXPECT_EQ(table.rows().size(), 2u);
    EXPECT_TRUE(log.messages.empty());
}

TEST(SpeciesTable, AssignsGroupCodesByGroupNamesAndCreatesMissingGroups)
{
    test::TestFolder folder("assign_groups");
    PhyleticTable groups;
    ASSERT_EQ(
        groups.load(folder.write("phyletic.csv", "10,Papilionidae,1,Swallowtails\r\n"), 5), PhyleticTableStatus::Ok);
    SpeciesTable species;
    MessageLog log;
    species.load(folder.write("species.csv",
                     "1,A,,,,0,Papilionidae,,Swallowtails\n"
                     "2,B,,,,0,Pieridae,,Whites,,Shiro\n"
                     "3,C,,,,-1,Pieridae,,Whites\n"
                     "4,D,,,,7,Pieridae,,Whites\n"
                     "5,E,,,,0,,,\n"),
        10, NameMode::ScientificName, log);
    ASSERT_TRUE(species.assignPhyleticCodes(groups, log));
    const auto& rows = species.rows();
    EXPECT_EQ(rows[0].phyleticCode, 10);
    EXPECT_EQ(rows[1].phyleticCode, 2); // rows before the new group, plus one
    EXPECT_EQ(rows[2].phyleticCode, 2);
    EXPECT_EQ(rows[3].phyleticCode, 7);
    EXPECT_EQ(rows[4].phyleticCode, 0);
    const PhyleticRecord* created = groups.find(2);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->name, "Pieridae");
    EXPECT_EQ(created->alias2, "Shiro");
    EXPECT_EQ(created->parentCode, 0);
    EXPECT_TRUE(log.messages.empty());
}

TEST(SpeciesTable, NewGroupNeverTakesACodeAFileGroupHolds)
{
    test::TestFolder folder("group_codes");
    PhyleticTable groups;
    groups.load(folder.write("phyletic.csv", "2,X\n3,Y\n"), 5);
    SpeciesTable species;
    MessageLog log;
    species.load(folder.write("species.csv", "1,A,,,,0,Z\n"), 10, NameMode::ScientificName, log);
    ASSERT_TRUE(species.assignPhyleticCodes(groups, log));
    EXPECT_EQ(species.rows()[0].phyleticCode, 4);
    EXPECT_EQ(groups.find(3)->name, "Y");
}

TEST(SpeciesTable, GroupOverflowIsReportedAndLaterSpeciesKeepTheirCodes)
{
    test::TestFolder folder("group_overflow");
    PhyleticTable groups;
    groups.load(folder.write("phyletic.csv", "1,X\n"), 1);
    SpeciesTable species;
    MessageLog log;
    species.load(folder.write("species.csv", "1,A,,,,0,Y\n2,B,,,,0,X\n"), 10, NameMode::ScientificName, log);
    EXPECT_FALSE(species.assignPhyleticCodes(groups, log));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.utf8Texts()[0], "Phyletic Table が溢れました\n\ntavik.ini の PhyleticMax の値を増やして下さい");
    EXPECT_EQ(species.rows()[0].phyleticCode, 0);
    EXPECT_EQ(species.rows()[1].phyleticCode, 0);
}

TEST(AreaTable, ReadsPointsAndFillFlagsAndReportsOverflow)
{
    test::TestFolder folder("areas");
    std::string path = folder.write("area.csv",
        "1301,,,Tokyo,N35.41',E139.41',500,400,F\r\n"
        "1302,,,Kanagawa,N35.27',E139.38',99999,-5,Mark\r\n");
    AreaTable areas;
    ASSERT_EQ(areas.load(path, 2), AreaTableStatus::Ok);
    const AreaRecord* tokyo = areas.find(1301);
    ASSERT_NE(tokyo, nullptr);
    EXPECT_NEAR(tokyo->latitude, 35 + 41.0 / 60, 1e-12);
    EXPECT_EQ(tokyo->x, 500);
    EXPECT_TRUE(tokyo->fill);
    EXPECT_EQ(areas.find(1302)->x, 32767);
    EXPECT_FALSE(areas.find(1302)->fill);
    EXPECT_EQ(areas.find(9), nullptr);

    EXPECT_EQ(areas.load(path, 1), AreaTableStatus::Overflow);
    EXPECT_EQ(areas.load(folder.file("none.csv"), 5), AreaTableStatus::CannotOpen);
}

TEST(DatumShiftTable, HoldsShiftsInDegreesSortedBySquare)
{
    test::TestFolder folder("datum");
    DatumShiftTable table;
    ASSERT_EQ(table.load(folder.write("a.csv", "5339,x,11.7,-10.8\n\n4928,x,3.6,7.2\n"), 2), DatumShiftStatus::Ok);
    ASSERT_EQ(table.rows().size(), 2u);
    EXPECT_EQ(table.rows()[0].squareCode, 4928);
    EXPECT_NEAR(table.find(5339)->latitudeShift, 11.7 / 3600, 1e-15);
    EXPECT_NEAR(table.find(5339)->longitudeShift, -0.003, 1e-15);
    EXPECT_EQ(table.find(5340), nullptr);

    EXPECT_EQ(table.load(folder.write("b.csv", "5339,x,1,1\n0,x,1,1\n"), 5), DatumShiftStatus::BadSquareCode);
    EXPECT_EQ(table.load(folder.write("c.csv", "1,x,1,1\n2,x,1,1\n"), 1), DatumShiftStatus::Overflow);
    EXPECT_EQ(table.load(folder.file("none.csv"), 5), DatumShiftStatus::CannotOpen);
}

// A line the reader refuses ends the area, datum-shift and group tables
// with its number: every row after it would otherwise be lost without a word.
TEST(ReferenceTables, AFaultyLineEndsTheTableWithItsNumber)
{
    test::TestFolder folder("faulty_tables");
    const std::string broken = "1,a,,b,N35,E139,1,1,F\r\n2,\"open,,,N35,E139\r\n3,c,,d,N35,E139,1,1,F\r\n";
    const std::string misquoted = "1,a,0,b,c\n2,\"x\"y\",0,,\n";
    const std::string longField = "5339,x,1,1\n" + std::string(300, '7') + ",x,1,1\n";

    AreaTable areas;
    ASSERT_EQ(areas.load(folder.write("area.csv", broken), 10), AreaTableStatus::FaultyLine);
    EXPECT_EQ(areas.fault().line, 2);
    EXPECT_EQ(areas.fault().status, CsvStatus::UnterminatedQuote);
    // A field too long beyond the columns read leaves the row whole.
    ASSERT_EQ(areas.load(folder.write("long.csv", "1,a,,b,N35,E139,1,1,F," + std::string(300, 'x') + "\n"), 10),
        AreaTableStatus::Ok);

    PhyleticTable groups;
    ASSERT_EQ(groups.load(folder.write("groups.csv", misquoted), 10), PhyleticTableStatus::FaultyLine);
    EXPECT_EQ(groups.fault().line, 2);
    EXPECT_EQ(groups.rows().size(), 1u);

    DatumShiftTable shifts;
    ASSERT_EQ(shifts.load(folder.write("wgs.csv", longField), 10), DatumShiftStatus::FaultyLine);
    EXPECT_EQ(shifts.fault().line, 2);
    EXPECT_EQ(shifts.fault().status, CsvStatus::FieldTooLong);

    EXPECT_EQ(cp932ToUtf8(csvLineFaultMessage(CsvStatus::ReadError, "area.csv", 12)),
        "area.csv\n 12 行目を読めません。ファイルを読み込み中にエラーが起きました。");
}

// A folder, a device or a FIFO named as a table holds no table: each is a
// table that cannot be opened, found at once (a FIFO without a writer would
// block an ordinary open, /dev/zero read on for ever).
TEST(ReferenceTables, APathThatIsNoRegularFileCannotBeOpened)
{
    test::TestFolder folder("not_regular");
    const std::string fifo = folder.file("fifo.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {folder.path(), std::string("/dev/zero"), std::string("/dev/urandom"), fifo}) {
        SCOPED_TRACE(path);
        AreaTable areas;
        EXPECT_EQ(areas.load(path, 10), AreaTableStatus::CannotOpen);
        DatumShiftTable shifts;
        EXPECT_EQ(shifts.load(path, 10), DatumShiftStatus::CannotOpen);
        PhyleticTable groups;
        EXPECT_EQ(groups.load(path, 10), PhyleticTableStatus::CannotOpen);
        DistributionTable distribution;
        EXPECT_EQ(distribution.buildIndex(path, 10), DistributionIndexStatus::CannotOpen);
        SpeciesTable species;
        MessageLog log;
        EXPECT_EQ(species.load(path, 10, NameMode::ScientificName, log), SpeciesTable::LoadResult::CannotOpen);
    }
}

} // namespace
} // namespace tavik
