// The same table read by the programs that share it. A species row and a
// group row land in the same fields in the viewer and in norbek, with the same cut, except where
// the two have always differed (norbek trims the blanks at the end of a field
// and the full-width blanks at its start; the viewer keeps them). An area
// code means the same area to the viewer, samvel and norbek; a literature
// code the same row to samvel and norbek.
#include "common/literature_table.h"
#include "common/tool_area_table.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "tools/norbek/norbek_settings.h"
#include "tools/norbek/norbek_tables.h"
#include "viewer/settings/area_table.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/species_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tavik {
namespace {

struct Fields {
    std::int64_t code;
    std::string scientific, author, year;
    bool parenthesis;
    std::int64_t phyleticCode;
    std::string groupName, alias1, groupAlias1, alias2, groupAlias2;
    bool operator==(const Fields&) const = default;
};

Fields fieldsOf(const SpeciesRecord& r)
{
    return {r.code, r.scientificName, r.author, r.year, r.parenthesis, r.phyleticCode, r.groupName, r.alias1,
        r.groupAlias1, r.alias2, r.groupAlias2};
}

void PrintTo(const Fields& f, std::ostream* out)
{
    *out << f.code << " [" << cp932ToUtf8(f.scientific) << "] [" << cp932ToUtf8(f.author) << "] [" << f.year << "] "
         << f.parenthesis << " " << f.phyleticCode << " [" << cp932ToUtf8(f.groupName) << "] [" << cp932ToUtf8(f.alias1)
         << "] [" << cp932ToUtf8(f.groupAlias1) << "] [" << cp932ToUtf8(f.alias2) << "] [" << cp932ToUtf8(f.groupAlias2)
         << "]";
}

class TableAgreement : public ::testing::Test {
protected:
    // Reads species.csv through both programs, in file order.
    void readBoth(const std::string& table, std::vector<Fields>& viewer, std::vector<Fields>& norbek)
    {
        const std::string path = folder_.write("species.csv", utf8ToCp932(table));
        SpeciesTable species;
        MessageLog messages;
        ASSERT_EQ(species.load(path, 100, NameMode::ScientificName, messages), SpeciesTable::LoadResult::Loaded);
        for (const SpeciesRecord& record : species.rows())
            viewer.push_back(fieldsOf(record));

        NorbekSettings settings;
        settings.tables.speciesTable = path;
        settings.phyleticTable = folder_.write("phyletic.csv", "1,Papilionidae,0,,\r\n");
        NorbekTables tables;
        ToolError error;
        ASSERT_TRUE(tables.loadSpecies(settings, error)) << cp932ToUtf8(error.message);
        std::vector<SpeciesRecord> rows = tables.species();
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.row < b.row; });
        for (const SpeciesRecord& row : rows)
            norbek.push_back(fieldsOf(row));
    }

    test::TestFolder folder_{"table_agreement"};
};

TEST_F(TableAgreement, EveryColumnOfASpeciesRowLandsInTheSameField)
{
    const std::string long70(70, 'n');
    std::string kana;
    for (int i = 0; i < 40; ++i)
        kana += "ア"; // 80 bytes in cp932: cut at a character, to 62
    std::string blanks; // 252 bytes in cp932: the code after them ends at the field's 256th byte
    for (int i = 0; i < 126; ++i)
        blanks += "　";
    std::vector<Fields> viewer, norbek;
    readBoth("101,Papilio machaon,Linnaeus,1758,,1,Papilionidae,キアゲハ,アゲハチョウ科,kiageha,swallowtails\r\n"
             "102,\"Pieris rapae, crucivora\",Boisduval,1836,C,1,\"Pieridae\",モンシロチョウ,,,\r\n"
             "103,\"Aus \"\"bus\"\"\",A,20000101,Cx,1,G,"
            + kana + ",,,\n" + "104," + long70 + "," + long70 + ",1900,,1\r\n" + "　105,Aus cus,,,,　1\r\n" + blanks
            + "1057,Aus dus\r\n",
        viewer, norbek);
    ASSERT_EQ(viewer.size(), 6u);
    EXPECT_EQ(viewer, norbek);
    EXPECT_EQ(viewer[1].scientific, "Pieris rapae, crucivora");
    EXPECT_TRUE(viewer[1].parenthesis);
    EXPECT_EQ(viewer[2].scientific, "Aus \"bus\"");
    EXPECT_EQ(viewer[2].year, "2000010"); // 7 bytes
    EXPECT_EQ(viewer[2].alias1.size(), 62u);
    EXPECT_EQ(viewer[3].scientific, long70.substr(0, 63));
    EXPECT_EQ(viewer[3].author, long70.substr(0, 47));
    EXPECT_EQ(viewer[4].code, 105); // after a full-width blank
    EXPECT_EQ(viewer[4].phyleticCode, 1);
    EXPECT_EQ(viewer[5].code, 1057); // its last digit is the field's 256th byte
}

TEST_F(TableAgreement, BlanksAroundAFieldAreWhereTheTwoHaveAlwaysDiffered)
{
    std::vector<Fields> viewer, norbek;
    readBoth("101,  Papilio machaon  ,　Linnaeus,1758,,1,G,キアゲハ　,,,\r\n", viewer, norbek);
    ASSERT_EQ(viewer.size(), 1u);
    ASSERT_EQ(norbek.size(), 1u);
    // Leading ASCII spaces go in both (the splitter drops them).
    EXPECT_EQ(viewer[0].scientific, "Papilio machaon  ");
    EXPECT_EQ(norbek[0].scientific, "Papilio machaon");
    EXPECT_EQ(cp932ToUtf8(viewer[0].author), "　Linnaeus");
    EXPECT_EQ(norbek[0].author, "Linnaeus");
    EXPECT_EQ(cp932ToUtf8(viewer[0].alias1), "キアゲハ　");
    EXPECT_EQ(cp932ToUtf8(norbek[0].alias1), "キアゲハ");
}

TEST_F(TableAgreement, AGroupRowLandsInTheSameFieldsAndTheBlanksDifferAsInTheSpecies)
{
    std::string kana;
    for (int i = 0; i < 40; ++i)
        kana += "チ"; // 80 bytes in cp932: cut at a character, to 62
    const std::string table = "　7,\"Papilionidae, s. str.\",0,アゲハチョウ科,\"swallow\"\"tails\"\"\"\r\n"
                              "\n"
                              "8,Pieridae  ,　7,"
        + kana + "　,whites\r\n";
    const std::string path = folder_.write("phyletic.csv", utf8ToCp932(table));
    PhyleticTable viewer;
    ASSERT_EQ(viewer.load(path, 10), PhyleticTableStatus::Ok);

    NorbekSettings settings;
    settings.tables.speciesTable = folder_.write("species.csv", "101,Aus bus,,,,8\r\n");
    settings.phyleticTable = path;
    NorbekTables norbek;
    ToolError error;
    ASSERT_TRUE(norbek.loadSpecies(settings, error)) << cp932ToUtf8(error.message);

    for (std::int64_t code : {7, 8}) {
        SCOPED_TRACE(code);
        const PhyleticRecord* shown = viewer.find(code);
        const PhyleticRecord* paged = norbek.findGroup(code);
        ASSERT_TRUE(shown && paged);
        EXPECT_EQ(shown->row, paged->row);
        EXPECT_EQ(shown->parentCode, paged->parentCode);
        EXPECT_EQ(shown->alias2, paged->alias2);
    }
    const PhyleticRecord& first = *viewer.find(7);
    EXPECT_EQ(first.name, norbek.findGroup(7)->name);
    EXPECT_EQ(first.name, "Papilionidae, s. str.");
    EXPECT_EQ(first.alias2, "swallow\"tails\"");
    EXPECT_EQ(viewer.find(8)->parentCode, 7); // after a full-width blank
    // The blanks at the ends: kept by the viewer, trimmed by norbek.
    EXPECT_EQ(viewer.find(8)->name, "Pieridae  ");
    EXPECT_EQ(norbek.findGroup(8)->name, "Pieridae");
    EXPECT_EQ(viewer.find(8)->alias1.size(), 62u);
    EXPECT_EQ(norbek.findGroup(8)->alias1, viewer.find(8)->alias1);
}

// The codes of one area table as each program holds them, in ascending order;
// empty for a program that refused the table.
struct AreaCodes {
    std::vector<std::int32_t> viewer, samvel, norbek;
};

class ReferenceAgreement : public TableAgreement {
protected:
    AreaCodes readAreaCodes(const std::string& table)
    {
        const std::string path = folder_.write("area.csv", utf8ToCp932(table));
        AreaCodes codes;
        AreaTable viewer;
        if (viewer.load(path, 100) == AreaTableStatus::Ok)
            for (const AreaRecord& area : viewer.rows())
                codes.viewer.push_back(area.code);
        std::sort(codes.viewer.begin(), codes.viewer.end());

        ToolAreaTable samvel;
        ToolError error;
        if (samvel.load(path, 100, error))
            codes.samvel = samvel.codes();

        NorbekTables norbek;
        if (loadNorbekReferences(norbek, path, "L1,A,2000,T\r\n"))
            for (std::int32_t code : codes.samvel)
                if (norbek.findArea(code))
                    codes.norbek.push_back(code);
        return codes;
    }

    bool loadNorbekReferences(NorbekTables& tables, const std::string& areaPath, const std::string& literature)
    {
        NorbekSettings settings;
        settings.tables.areaTable = areaPath;
        settings.tables.literaTable = folder_.write("litera.csv", utf8ToCp932(literature));
        settings.bookTable = folder_.file("no-book.csv");
        ToolError error;
        return tables.loadReferences(settings, error);
    }
};

TEST_F(ReferenceAgreement, AnAreaCodeNamesTheSameAreaInTheViewerSamvelAndNorbek)
{
    // Quoted, padded with ASCII blanks or zeros, signed, followed by text:
    // all read as the same number by all three.
    const AreaCodes codes = readAreaCodes("12,,,北海道,43.0,141.0,10,20,F,ほっかいどう,,,北,\r\n"
                                          "  13,,,青森,40.8,140.7,11,21,,,,,,\r\n"
                                          "0014,,,岩手,39.7,141.1,12,22,,,,,,\r\n"
                                          "\"15\",,,\"宮城, 仙台\",38.2,140.8,13,23,,,,,,\r\n"
                                          "+16,,,秋田,39.7,140.1,14,24,,,,,,\r\n"
                                          "17 ,,,山形,38.2,140.3,15,25,,,,,,\n"
                                          "18x,,,福島,37.7,140.4,16,26,,,,,,\r\n");
    const std::vector<std::int32_t> expected{12, 13, 14, 15, 16, 17, 18};
    EXPECT_EQ(codes.viewer, expected);
    EXPECT_EQ(codes.samvel, expected);
    EXPECT_EQ(codes.norbek, expected);
}

TEST_F(ReferenceAgreement, AnAreaCodeAfterAFullWidthBlankIsTheSameArea)
{
    // A code typed after a full-width blank: the tools trim it, so the
    // viewer must read the same area, or samvel would take records of an
    // area the maps never show.
    const AreaCodes codes = readAreaCodes("　21,,,東京,35.7,139.7,10,20,,,,,,\r\n");
    EXPECT_EQ(codes.samvel, std::vector<std::int32_t>{21});
    EXPECT_EQ(codes.viewer, codes.samvel);
    EXPECT_EQ(codes.norbek, codes.samvel);
}

TEST_F(ReferenceAgreement, ALiteratureCodeSamvelAcceptsIsOneNorbekFinds)
{
    const std::string long30(30, 'K');
    const std::string long26 = "M" + std::string(25, 'm'); // after a full-width blank: 28 bytes
    const std::string table = "Suzuki1990,鈴木,1990,日本の蝶\r\n"
                              "\"Sato, 2001\",佐藤,2001,蝶類図鑑\r\n"
                              "  Ito2005 ,伊藤,2005,\"採集記, 上\"\r\n"
        + long30 + ",長い,2010,長いコード\r\n" + "　" + long26 + ",全角,2011,全角の空白の後\r\n";
    const std::string path = folder_.write("litera.csv", utf8ToCp932(table));
    LiteratureTable samvel;
    ToolError error;
    ASSERT_TRUE(samvel.load(path, 100, error)) << cp932ToUtf8(error.message);
    NorbekTables norbek;
    ASSERT_TRUE(loadNorbekReferences(norbek, folder_.write("area.csv", "1,,,A\r\n"), table));
    for (const std::string code : {"Suzuki1990", "Sato, 2001", "Ito2005", long30.c_str(), long26.c_str()}) {
        EXPECT_TRUE(samvel.containsCode(code)) << code;
        EXPECT_GE(norbek.findLiterature(code), 0) << code;
    }
    for (const std::string code : {"Suzuki199", "Sato", "  Ito2005"}) {
        EXPECT_FALSE(samvel.containsCode(code)) << code;
        EXPECT_LT(norbek.findLiterature(code), 0) << code;
    }
}

} // namespace
} // namespace tavik
