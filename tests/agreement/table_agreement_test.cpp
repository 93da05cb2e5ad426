// The same species table read by the viewer and by norbek: every column
// lands in the same field, with the same cut, except where the two have
// always differed (norbek trims the blanks at the end of a field and the
// full-width blanks at its start; the viewer keeps them).
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "tools/norbek/norbek_settings.h"
#include "tools/norbek/norbek_tables.h"
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

Fields fieldsOf(const NorbekSpecies& s)
{
    return {s.code, s.scientific, s.author, s.year, s.parenthesised, s.phyleticCode, s.groupName, s.alias1,
        s.groupAlias1, s.alias2, s.groupAlias2};
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
        std::vector<NorbekSpecies> rows = tables.species();
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.row < b.row; });
        for (const NorbekSpecies& row : rows)
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
    std::vector<Fields> viewer, norbek;
    readBoth("101,Papilio machaon,Linnaeus,1758,,1,Papilionidae,キアゲハ,アゲハチョウ科,kiageha,swallowtails\r\n"
             "102,\"Pieris rapae, crucivora\",Boisduval,1836,C,1,\"Pieridae\",モンシロチョウ,,,\r\n"
             "103,\"Aus \"\"bus\"\"\",A,20000101,Cx,1,G,"
            + kana + ",,,\n" + "104," + long70 + "," + long70 + ",1900,,1\r\n",
        viewer, norbek);
    ASSERT_EQ(viewer.size(), 4u);
    EXPECT_EQ(viewer, norbek);
    EXPECT_EQ(viewer[1].scientific, "Pieris rapae, crucivora");
    EXPECT_TRUE(viewer[1].parenthesis);
    EXPECT_EQ(viewer[2].scientific, "Aus \"bus\"");
    EXPECT_EQ(viewer[2].year, "2000010"); // 7 bytes
    EXPECT_EQ(viewer[2].alias1.size(), 62u);
    EXPECT_EQ(viewer[3].scientific, long70.substr(0, 63));
    EXPECT_EQ(viewer[3].author, long70.substr(0, 47));
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

} // namespace
} // namespace tavik
