// The species tree of the selection and saving dialogs: nesting, labels, the
// document's species checked, and what a check chooses.
#include "viewer/session/species_tree.h"

#include "platform/cp932.h"
#include "tests/session/session_tables.h"
#include "viewer/document/quelna_doc.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// Order Lepidoptera holds the families Papilionidae (genus Papilio under it)
// and Pieridae; groups 7 and 8 name each other as parents. The species table
// meets Pieridae first, so it comes before Papilionidae.
class SpeciesTreeTest : public ::testing::Test {
protected:
    SpeciesTreeTest()
        : folder("species_tree")
    {
        test::loadSpeciesTables(workspace, folder,
            "1,Lepidoptera,0,チョウ目,Moths\r\n"
            "2,Papilionidae,1,アゲハチョウ科,Swallowtails\r\n"
            "3,Papilio,2,アゲハ属,Ageha-zoku\r\n"
            "4,Pieridae,1,シロチョウ科,Whites\r\n"
            "7,Loop A,8,,\r\n"
            "8,Loop B,7,,\r\n",
            "201,Pieris rapae,Linnaeus,1758,,4,,モンシロチョウ,,Monshiro\r\n"
            "101,Papilio xuthus,Linnaeus,1767,,3,,アゲハ,,Ageha\r\n"
            "102,Papilio machaon,Linnaeus,1758,,3,,キアゲハ,,Kiageha\r\n"
            "150,Byasa alcinous,Klug,1836,,2,,ジャコウアゲハ,,Jakou\r\n"
            "900,Solo,,,,0,,ヒトリ,,Hitori\r\n"
            "901,Lost,,,,99,,マイゴ,,Maigo\r\n"
            "902,Cyclic,,,,7,,メグリ,,Meguri\r\n");
    }

    // Labels of the items in depth-first order, indented by depth (UTF-8).
    std::vector<std::string> outline(const SpeciesTree& tree) const
    {
        std::vector<std::string> lines;
        auto walk = [&](auto& self, int item, const std::string& indent) -> void {
            const SpeciesTreeItem& shown = tree.items()[static_cast<size_t>(item)];
            lines.push_back(indent + cp932ToUtf8(shown.label));
            for (int child : shown.children)
                self(self, child, indent + "  ");
        };
        for (int item : tree.topLevel())
            walk(walk, item, "");
        return lines;
    }

    int itemLabelled(const SpeciesTree& tree, const std::string& utf8) const
    {
        for (size_t i = 0; i < tree.items().size(); ++i) {
            if (cp932ToUtf8(tree.items()[i].label) == utf8)
                return static_cast<int>(i);
        }
        ADD_FAILURE() << "no item " << utf8;
        return 0;
    }

    test::TestFolder folder;
    Workspace workspace;
};

TEST_F(SpeciesTreeTest, GroupsNestByParentCodesInTheOrderFirstMet)
{
    const SpeciesTree tree
        = SpeciesTree::build(workspace.species(), workspace.phyletic(), TreeLabelMode::ScientificName);
    const std::vector<std::string> expected = {
        "Lepidoptera",
        "  Pieridae",
        "    Pieris rapae",
        "  Papilionidae",
        "    Papilio",
        "      Papilio xuthus",
        "      Papilio machaon",
        "    Byasa alcinous",
        "Solo", // group code 0
        "Lost", // group code not in the table
        "Loop B", // parents that lead back round end at the top level
        "  Loop A",
        "    Cyclic",
    };
    EXPECT_EQ(outline(tree), expected);
}

TEST_F(SpeciesTreeTest, LabelModesNameSpeciesAndGroups)
{
    struct Case {
        TreeLabelMode mode;
        const char* group;
        const char* species;
    } cases[] = {
        {TreeLabelMode::ScientificName, "Papilionidae", "Papilio xuthus"},
        {TreeLabelMode::Alias1, "アゲハチョウ科", "アゲハ"},
        {TreeLabelMode::Alias2, "Swallowtails", "Ageha"},
        {TreeLabelMode::Full, "Papilionidae  アゲハチョウ科  Swallowtails", "Papilio xuthus  アゲハ"},
    };
    for (const Case& c : cases) {
        const SpeciesTree tree = SpeciesTree::build(workspace.species(), workspace.phyletic(), c.mode);
        const std::vector<std::string> lines = outline(tree);
        EXPECT_EQ(lines[3], std::string("  ") + c.group) << static_cast<int>(c.mode);
        EXPECT_EQ(lines[5], std::string("      ") + c.species) << static_cast<int>(c.mode);
    }
}

TEST_F(SpeciesTreeTest, ADocumentsSpeciesAreCheckedAndTheLastSelectedExceptInModeFour)
{
    CQuelnaDoc document;
    document.setSpecies({workspace.species().rows()[3], workspace.species().rows()[1]}, workspace.phyletic());
    const SpeciesTree tree
        = SpeciesTree::build(workspace.species(), workspace.phyletic(), TreeLabelMode::ScientificName, &document);
    EXPECT_TRUE(tree.items()[static_cast<size_t>(itemLabelled(tree, "Papilio xuthus"))].checked);
    EXPECT_TRUE(tree.items()[static_cast<size_t>(itemLabelled(tree, "Byasa alcinous"))].checked);
    EXPECT_FALSE(tree.items()[static_cast<size_t>(itemLabelled(tree, "Papilio machaon"))].checked);
    // The last in species-table order, not in the document's order.
    EXPECT_EQ(tree.selected(), itemLabelled(tree, "Byasa alcinous"));
    EXPECT_EQ(tree.collectChecked().rows, (std::vector<size_t>{1, 3}));

    const SpeciesTree full
        = SpeciesTree::build(workspace.species(), workspace.phyletic(), TreeLabelMode::Full, &document);
    EXPECT_TRUE(full.collectChecked().rows.empty());
    EXPECT_EQ(full.selected(), -1);
}

TEST_F(SpeciesTreeTest, ACheckedGroupChoosesEverySpeciesBeneathItAtAnyDepth)
{
    SpeciesTree tree = SpeciesTree::build(workspace.species(), workspace.phyletic(), TreeLabelMode::ScientificName);
    tree.setChecked(itemLabelled(tree, "Lepidoptera"), true);
    // Checked again below a checked group: still chosen once.
    tree.setChecked(itemLabelled(tree, "Papilio machaon"), true);
    TreeSelection chosen = tree.collectChecked();
    EXPECT_EQ(chosen.rows, (std::vector<size_t>{0, 1, 2, 3}));
    EXPECT_TRUE(chosen.groupChecked);

    tree = SpeciesTree::build(workspace.species(), workspace.phyletic(), TreeLabelMode::ScientificName);
    tree.setChecked(itemLabelled(tree, "Solo"), true);
    tree.setChecked(itemLabelled(tree, "Papilio machaon"), true);
    chosen = tree.collectChecked();
    EXPECT_EQ(chosen.rows, (std::vector<size_t>{2, 4})); // tree order
    EXPECT_FALSE(chosen.groupChecked);
}

} // namespace
} // namespace tavik
