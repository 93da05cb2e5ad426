// Documents: which print page each species falls on under a form's grid and
// paging level, and the overlay's single page.
#include "viewer/document/quelna_doc.h"

#include "viewer/settings/phyletic_table.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tavik {
namespace {

// Genera 11 "X" and 12 "Y" in family 1; genus 13 "Z" in family 2; genus 14
// is named "X" too but its alias 1 differs. Family 2's parent is not in the
// table.
class Groups {
public:
    Groups()
    {
        test::TestFolder folder("quelna_doc_groups");
        table.load(folder.write("groups.csv",
                       "1,Fam1,0,F1,\r\n2,Fam2,99,F2,\r\n11,X,1,x,\r\n12,Y,1,y,\r\n13,Z,2,z,\r\n14,X,2,other,\r\n"),
            50);
    }
    PhyleticTable table;
};

std::vector<SpeciesRecord> speciesOfGroups(const std::vector<std::int64_t>& groupCodes)
{
    std::vector<SpeciesRecord> species;
    for (std::int64_t group : groupCodes) {
        SpeciesRecord record;
        record.code = 100 + static_cast<std::int64_t>(species.size());
        record.phyleticCode = group;
        species.push_back(record);
    }
    return species;
}

PrintForm formOf(int rows, int columns, int pagingLevel)
{
    PrintForm form = PrintForm::builtIn();
    form.rows = PrintForm::countFromText(std::to_string(rows));
    form.columns = PrintForm::countFromText(std::to_string(columns));
    form.pagingLevel = IntegerField::fromText(std::to_string(pagingLevel));
    return form;
}

struct PagingCase {
    const char* name;
    int rows, columns, level;
    std::vector<std::int64_t> groups; // the group code of each species, in order
    std::vector<int> pages;
};

TEST(CQuelnaDoc, PaginatesByGridAndPagingLevel)
{
    Groups groups;
    const std::vector<PagingCase> cases = {
        {"no paging level 0", 2, 2, 0, {11, 11, 12, 12, 12, 12, 12}, {1, 1, 1, 1, 2, 2, 2}},
        {"no paging level -1", 2, 2, -1, {11, 12, 11, 12, 11, 12, 11}, {1, 1, 1, 1, 2, 2, 2}},
        {"genus change forces a page", 2, 2, 1, {11, 11, 12, 12, 12, 12, 12}, {1, 1, 2, 2, 2, 2, 3}},
        {"two genera on a 2 x 3 grid", 2, 3, 1, {11, 11, 11, 12, 12, 12, 12}, {1, 1, 1, 2, 2, 2, 2}},
        // A species without a group neither forces a page nor lets the next
        // species compare with the group before it.
        {"missing group", 2, 2, 1, {11, 77, 12, 12}, {1, 1, 1, 1}},
        {"missing group first", 2, 2, 1, {77, 11, 12}, {1, 1, 2}},
        {"same name, other alias 1", 3, 3, 1, {11, 14}, {1, 2}},
        {"level 2 climbs to the family", 3, 3, 2, {11, 12, 13}, {1, 1, 2}},
        {"above the top group there is none", 3, 3, 3, {11, 13, 12}, {1, 1, 1}},
        {"one map a page", 1, 1, 0, {11, 11, 11}, {1, 2, 3}},
    };
    for (const PagingCase& c : cases) {
        CQuelnaDoc document;
        document.setPrintForm(formOf(c.rows, c.columns, c.level));
        document.setSpecies(speciesOfGroups(c.groups), groups.table);
        std::vector<int> pages;
        for (int i = 0; i < document.speciesCount(); ++i)
            pages.push_back(document.pageOf(i));
        EXPECT_EQ(pages, c.pages) << c.name;
        EXPECT_EQ(document.pageCount(), c.pages.back()) << c.name;
        EXPECT_EQ(document.viewCount(), static_cast<int>(c.groups.size())) << c.name;
    }
}

TEST(CQuelnaDoc, FindsTheFirstSpeciesOfAPageAndPagesThroughViews)
{
    Groups groups;
    CQuelnaDoc document;
    document.setPrintForm(formOf(2, 2, 1));
    document.setSpecies(speciesOfGroups({11, 11, 12, 12, 12, 12, 12}), groups.table);
    EXPECT_EQ(document.firstSpeciesOnPage(1), 0);
    EXPECT_EQ(document.firstSpeciesOnPage(2), 2);
    EXPECT_EQ(document.firstSpeciesOnPage(3), 6);
    EXPECT_EQ(document.firstSpeciesOnPage(4), -1);

    EXPECT_EQ(document.currentSpecies()->code, 100);
    document.setCurrentView(3);
    EXPECT_EQ(document.currentSpecies()->code, 102);
    document.setCurrentView(99);
    EXPECT_EQ(document.currentView(), 7);

    // A new form takes effect when the document is paginated again.
    document.setPrintForm(formOf(1, 1, 0));
    document.paginate(groups.table);
    EXPECT_EQ(document.pageCount(), 7);
}

TEST(CQuelnaDoc, AnOverlayIsOneViewOnOnePage)
{
    Groups groups;
    CQuelnaDoc document;
    document.setPrintForm(formOf(1, 1, 1));
    document.setOverlaySpecies(speciesOfGroups({11, 12, 13}));
    document.paginate(groups.table);
    EXPECT_TRUE(document.isOverlay());
    EXPECT_EQ(document.viewCount(), 1);
    EXPECT_EQ(document.pageCount(), 1);
    EXPECT_EQ(document.pageOf(2), 1);
    document.setCurrentView(2);
    EXPECT_EQ(document.currentSpecies()->code, 100);

    CQuelnaDoc empty;
    EXPECT_EQ(empty.currentSpecies(), nullptr);
    EXPECT_EQ(empty.firstSpeciesOnPage(1), -1);
}

} // namespace
} // namespace tavik
