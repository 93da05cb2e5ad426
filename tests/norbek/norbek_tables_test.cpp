#include "tools/norbek/norbek_tables.h"

#include "common/tool_error.h"
#include "platform/cp932.h"
#include "tests/support/test_folder.h"
#include "tools/norbek/norbek_settings.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(NorbekTables, SpeciesWithoutGroupCodeShareANewGroupByTheirGroupNames)
{
    test::TestFolder folder("norbek_groups");
    NorbekSettings settings;
    settings.tables.speciesTable = folder.write("species.csv",
        cp932Literal("5,Aus bus,,,,0,Aidae,Ax,エー科,,Ay\r\n"
                     "6,Aus cus,,,,0,Aidae,Ax,エー科,,Ay\r\n"
                     "7,Bus dus,,,,-1,Bidae,Bx,ビー科,,\r\n"
                     "8,Cus eus,,,,0,,Cx,,,\r\n"));
    // Codes 1, 2 and 4: the fourth group would take code 4, which is in use.
    settings.phyleticTable
        = folder.write("phyletic.csv", cp932Literal("4,Bidae,0,ビー科,\r\n1,Zidae,0,ゼット科,\r\n2,Yidae,0,,\r\n"));
    NorbekTables tables;
    ToolError error;
    ASSERT_TRUE(tables.loadSpecies(settings, error)) << cp932ToUtf8(error.message);
    const std::vector<SpeciesRecord>& species = tables.species();
    ASSERT_EQ(species.size(), 4u);
    EXPECT_EQ(species[0].phyleticCode, 5);
    EXPECT_EQ(species[1].phyleticCode, 5);
    EXPECT_EQ(species[2].phyleticCode, 4);
    EXPECT_EQ(species[3].phyleticCode, 0); // names no group
    const PhyleticRecord* created = tables.findGroup(5);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->name, "Aidae");
    EXPECT_EQ(cp932ToUtf8(created->alias1), "エー科");
    EXPECT_EQ(created->alias2, "Ay");
    EXPECT_EQ(tables.findGroup(4)->name, "Bidae");

    settings.phyleticMax = 3;
    EXPECT_FALSE(tables.loadSpecies(settings, error));
    EXPECT_EQ(
        cp932ToUtf8(error.message), "Phyletic Table が溢れました\n\ntavik.ini の PhyleticMax の値を増やして下さい");
}

} // namespace
} // namespace tavik
