// Records to input-table rows: names, ranks, places, and the reasons a
// record is not written.
#include "common/datum_shift_table.h"
#include "tools/dwcimport/area_name_index.h"
#include "tools/dwcimport/basis_ranks.h"
#include "tools/dwcimport/occurrence_mapper.h"
#include "tools/dwcimport/term_columns.h"

#include "common/tool_error.h"
#include "platform/cp932.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(DwcMapper, TheSpeciesNameLosesItsAuthorship)
{
    struct Case {
        const char* species;
        const char* scientificName;
        const char* authorship;
        const char* name;
    } cases[] = {
        {"Papilio xuthus", "Papilio xuthus Linnaeus, 1767", "", "Papilio xuthus"},
        {"", "Papilio xuthus Linnaeus, 1767", "Linnaeus, 1767", "Papilio xuthus"},
        {"", "Papilio xuthus Linnaeus, 1767", "", "Papilio xuthus"},
        {"", "Eurema mandarina (de l'Orza, 1869)", "", "Eurema mandarina"},
        {"", "Eurema mandarina de l'Orza, 1869", "", "Eurema mandarina"},
        {"", "Polygonia c-aureum (Linnaeus, 1758)", "", "Polygonia c-aureum"},
        {"", "Papilio machaon subsp. hippocrates C. & R. Felder, 1864", "", "Papilio machaon subsp. hippocrates"},
        {"", "Papilio", "", "Papilio"},
        {"", "Papilio Linnaeus, 1758", "", "Papilio"},
        {"", "  ", "", ""},
        {"  Pieris rapae ", "", "", "Pieris rapae"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(speciesNameOf(c.species, c.scientificName, c.authorship), c.name) << c.scientificName;
}

TEST(DwcMapper, RanksComeFromTheBasisOfRecordAsMapped)
{
    BasisRanks ranks;
    EXPECT_EQ(ranks.rankOf("PreservedSpecimen"), 'A');
    EXPECT_EQ(ranks.rankOf("PRESERVED_SPECIMEN"), 'A');
    EXPECT_EQ(ranks.rankOf("HUMAN_OBSERVATION"), 'B');
    EXPECT_EQ(ranks.rankOf("MachineObservation"), 'B');
    EXPECT_EQ(ranks.rankOf("MATERIAL_SAMPLE"), 'C');
    EXPECT_EQ(ranks.rankOf(""), 'C');
    std::string error;
    ASSERT_TRUE(ranks.apply("HumanObservation:C, *:Z, LIVING_SPECIMEN:A", error)) << error;
    EXPECT_EQ(ranks.rankOf("HUMAN_OBSERVATION"), 'C');
    EXPECT_EQ(ranks.rankOf("LivingSpecimen"), 'A');
    EXPECT_EQ(ranks.rankOf("FossilSpecimen"), 'Z');
    EXPECT_EQ(ranks.rankOf("PreservedSpecimen"), 'A');
    for (const char* bad : {"HumanObservation", "HumanObservation:b", ":A", "HumanObservation:AB"}) {
        EXPECT_FALSE(ranks.apply(bad, error)) << bad;
        EXPECT_NE(error.find(std::string("\"") + bad + "\""), std::string::npos) << error;
    }
}

// An area table of three prefectures as the sample database writes them, one
// name shared by two areas.
class DwcMapperTest : public ::testing::Test {
protected:
    DwcMapperTest()
    {
        for (auto [code, names] :
            {std::pair{1, std::vector<const char*>{"北海道", "ホッカイドウ", "Hokkaido"}},
                {26, {"京都府", "キョウトフ", "Kyoto", "キョウト"}}, {46, {"鹿児島県", "カゴシマケン", "Kagoshima"}},
                {90, {"Minato"}}, {91, {"Minato"}}, {27, {"大阪府", "Osaka"}}, {27127, {"北区"}}, {9001, {"Jozankei"}}})
            for (const char* name : names)
                areas.add(cp932Literal(name), code);
        areas.addRegion(cp932Literal("北海道"), 9001);
        shifts.add(5339, 11.6, -11.9);
    }

    struct Outcome {
        std::optional<SkipReason> reason;
        InputRow row;
    };

    // Maps one record given as "term=value" pairs.
    Outcome map(std::vector<std::pair<std::string, std::string>> record, const DatumShiftTable* shiftTable)
    {
        std::vector<std::string_view> header, fields;
        for (const auto& [term, value] : record) {
            header.push_back(term);
            fields.push_back(value);
        }
        OccurrenceMapper mapper(rules, areas, shiftTable);
        Outcome outcome;
        outcome.reason = mapper.map(TermColumns::fromHeader(header), fields, outcome.row);
        return outcome;
    }
    Outcome map(std::vector<std::pair<std::string, std::string>> record) { return map(std::move(record), &shifts); }

    AreaNameIndex areas;
    DatumShiftTable shifts;
    OccurrenceMapper::Rules rules = [] {
        OccurrenceMapper::Rules r;
        r.refusedIssues
            = {"ZERO_COORDINATE", "COORDINATE_INVALID", "COORDINATE_OUT_OF_RANGE", "COUNTRY_COORDINATE_MISMATCH"};
        r.maxUncertainty = 1000;
        return r;
    }();
};

using Record = std::vector<std::pair<std::string, std::string>>;

TEST_F(DwcMapperTest, EachRecordThatMustNotBecomeAMarkIsSkippedForItsFirstReason)
{
    struct Case {
        Record record;
        std::optional<SkipReason> reason;
    } cases[] = {
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35.5"}, {"decimalLongitude", "139.5"}}, std::nullopt},
        {{{"species", "Papilio xuthus"}, {"occurrenceStatus", "ABSENT"}, {"decimalLatitude", "35.5"},
             {"decimalLongitude", "139.5"}},
            SkipReason::Absent},
        {{{"species", ""}, {"scientificName", ""}, {"decimalLatitude", "35.5"}, {"decimalLongitude", "139.5"}},
            SkipReason::NoName},
        {{{"species", "Vanessa cardu\xC4\xB1"}, {"decimalLatitude", "0"}, {"decimalLongitude", "0"}},
            SkipReason::NotCp932},
        {{{"species", "Vanessa indica"}, {"decimalLatitude", "37.5"}, {"decimalLongitude", "127"},
             {"issue", "GEODETIC_DATUM_ASSUMED_WGS84;COUNTRY_COORDINATE_MISMATCH"}},
            SkipReason::FlaggedCoordinates},
        {{{"species", "Vanessa indica"}, {"decimalLatitude", "37.5"}, {"decimalLongitude", "127"},
             {"issue", "COORDINATE_ROUNDED;GEODETIC_DATUM_ASSUMED_WGS84"}},
            std::nullopt},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", ""}, {"decimalLongitude", ""}, {"stateProvince", "Kanto"}},
            SkipReason::NoPlace},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35.5"}, {"stateProvince", "Minato"}},
            SkipReason::NoPlace}, // a name two areas share
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "90.0000001"}, {"decimalLongitude", "139"}},
            SkipReason::BadCoordinates},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35"}, {"decimalLongitude", "-180.5"}},
            SkipReason::BadCoordinates},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35 N"}, {"decimalLongitude", "139"}},
            SkipReason::BadCoordinates},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "-90"}, {"decimalLongitude", "180"}}, std::nullopt},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "0.0"}, {"decimalLongitude", "-0"}},
            SkipReason::ZeroCoordinates},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "0"}, {"decimalLongitude", "139"}}, std::nullopt},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35"}, {"decimalLongitude", "139"},
             {"coordinateUncertaintyInMeters", "1000.5"}},
            SkipReason::Uncertain},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35"}, {"decimalLongitude", "139"},
             {"coordinateUncertaintyInMeters", "1000"}},
            std::nullopt},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35"}, {"decimalLongitude", "139"},
             {"geodeticDatum", "NAD27"}},
            SkipReason::UnknownDatum},
        {{{"species", "Papilio xuthus"}, {"decimalLatitude", "35"}, {"decimalLongitude", "139"},
             {"geodeticDatum", "EPSG:6668"}},
            std::nullopt},
    };
    for (const Case& c : cases) {
        std::string text;
        for (const auto& [term, value] : c.record)
            text += term + "=" + value + " ";
        EXPECT_EQ(map(c.record).reason, c.reason) << text;
    }

    rules.grid = GridOrder::First;
    EXPECT_EQ(map({{"species", "Papilio xuthus"}, {"decimalLatitude", "-33.9"}, {"decimalLongitude", "151.2"}}).reason,
        SkipReason::OutsideGrid);
    // Without the datum-shift table a Tokyo-datum record cannot be placed.
    EXPECT_EQ(map({{"species", "Papilio xuthus"}, {"decimalLatitude", "35"}, {"decimalLongitude", "139"},
                      {"geodeticDatum", "Tokyo"}},
                  nullptr)
                  .reason,
        SkipReason::UnknownDatum);
}

TEST_F(DwcMapperTest, RowsHoldTheNameRankAndPlace)
{
    Outcome point = map({{"scientificName", "Papilio xuthus Linnaeus, 1767"}, {"basisOfRecord", "PRESERVED_SPECIMEN"},
        {"decimalLatitude", " 35.50 "}, {"decimalLongitude", "+139.767125"}, {"stateProvince", "Hokkaido"}});
    ASSERT_FALSE(point.reason);
    EXPECT_EQ(point.row.name, "Papilio xuthus");
    EXPECT_EQ(point.row.rank, 'A');
    EXPECT_EQ(point.row.latitude, "35.5");
    EXPECT_EQ(point.row.longitude, "139.767125");
    EXPECT_EQ(point.row.area, ""); // coordinates win over the area
    EXPECT_EQ(point.row.grid, "");

    // Without coordinates: the stateProvince, as the area table names it; the
    // county only without a stateProvince (or within its area: see below).
    struct Case {
        const char* county;
        const char* province;
        const char* area;
    } cases[] = {
        {"", "Hokkaido", "1"},
        {"", "HOKKAIDŌ", "1"},
        {"", "Kyōto-fu", "26"},
        {"", "Kyoto Prefecture", "26"},
        {"", "京都", "26"},
        {"", "きょうと", "26"},
        {"", "鹿児島県", "46"},
        {"", "Kagoshima-ken", "46"},
        {"Kagoshima", "Hokkaido", "1"},
        {"Kagoshima", "", "46"},
        {"北区", "Osaka", "27127"}, // a ward by its municipality code under the prefecture's
        {"北区", "Kyoto", "26"},
        {"Jozankei", "北海道", "9001"}, // by its region
        {"Jozankei", "Kyoto-fu", "26"},
        {"Somewhere", "Hokkaido", "1"},
    };
    for (const Case& c : cases) {
        Outcome area = map({{"species", "Papilio xuthus"}, {"county", c.county}, {"stateProvince", c.province}});
        ASSERT_FALSE(area.reason) << c.province;
        EXPECT_EQ(area.row.area, c.area) << c.county << " " << c.province;
        EXPECT_EQ(area.row.latitude, "");
    }
}

TEST_F(DwcMapperTest, TokyoDatumCoordinatesAndSquaresFollowTheDatumShiftTable)
{
    // A Tokyo-datum record is written on the world datum: shifted by its square's row.
    Outcome tokyo = map({{"species", "Papilio xuthus"}, {"decimalLatitude", "35.681236"},
        {"decimalLongitude", "139.767125"}, {"geodeticDatum", "Tokyo"}});
    ASSERT_FALSE(tokyo.reason);
    EXPECT_EQ(tokyo.row.latitude, "35.68445822"); // + 11.6"
    EXPECT_EQ(tokyo.row.longitude, "139.76381944"); // − 11.9"

    // Squares of a world-datum database are taken where the point is...
    rules.grid = GridOrder::Eighth;
    Record station
        = {{"species", "Papilio xuthus"}, {"decimalLatitude", "35.681236"}, {"decimalLongitude", "139.767125"}};
    EXPECT_EQ(map(station).row.grid, "53394611323");
    // ...and on the Tokyo datum 11.6" south and 11.9" east of it, the square the viewer shifts back over it.
    rules.squaresOnTokyoDatum = true;
    Outcome square = map(station);
    EXPECT_EQ(square.row.grid, "53394611232");
    EXPECT_EQ(square.row.latitude, "");
}

TEST(DwcAreaNames, AFaultInTheAreaTableNamesTheTableAndTheLineOfTheFile)
{
    test::TestFolder folder("dwc_area_names");
    AreaNameIndex areas;
    ToolError error;
    const std::string badCode = folder.write("bad.csv", "1,,,北海道\r\n\r\nx,,,青森\r\n");
    EXPECT_FALSE(areas.load(badCode, 10, error));
    EXPECT_EQ(error.path, badCode);
    EXPECT_EQ(cp932ToUtf8(error.message), "地域テーブル 3 行目の地域コードが異常です [x]");

    const std::string full = folder.write("full.csv", "1,,,北海道\r\n2,,,青森\r\n");
    EXPECT_FALSE(areas.load(full, 1, error));
    EXPECT_EQ(error.path, full);
    EXPECT_EQ(cp932ToUtf8(error.message), "地域テーブルの地域数が多すぎます.上限は 1 地域です.");
}

} // namespace
} // namespace tavik
