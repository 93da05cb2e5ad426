// What the save dialog checks when a name is confirmed, in its order, with
// the exact messages; the proposed name and the folder kept as SavePath.
#include "viewer/session/save_choice.h"

#include "platform/cp932.h"
#include "tests/session/session_tables.h"
#include "tests/support/test_folder.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/session/species_tree.h"
#include "viewer/settings/settings.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(SaveChoice, ChecksInOrderWithTheirMessages)
{
    test::TestFolder folder("save_choice");
    const std::string in = folder.path() + "/";
    folder.write("%S/kept", "");
    const TreeSelection none;
    const TreeSelection one{{4}, false};
    const TreeSelection two{{4, 5}, false};
    const TreeSelection family{{0, 1, 2, 3, 4, 5}, true}; // a checked group of six
    const TreeSelection familyOfOne{{7}, true};
    struct Case {
        const char* what;
        TreeSelection chosen;
        std::string path;
        bool overlay;
        SaveChoiceStatus status;
        const char* message; // UTF-8
    };
    const std::string invalid = "    ファイル名が無効です。    ";
    const std::string plain = "複数種を指定するときは、ワイルドカードを使ってファイル名の区別が付くようにして下さい。";
    const Case cases[] = {
        {"nothing checked comes first", none, in + "/", false, SaveChoiceStatus::NothingChosen,
            "    何も選択されていません。    "},
        {"no file name", one, in, false, SaveChoiceStatus::InvalidName, invalid.c_str()},
        {"a folder that is not there", one, in + "missing/%S.png", false, SaveChoiceStatus::InvalidName,
            invalid.c_str()},
        {"a dot name", one, in + "..", false, SaveChoiceStatus::InvalidName, invalid.c_str()},
        {"a control character", one, in + "a\tb.png", false, SaveChoiceStatus::InvalidName, invalid.c_str()},
        {"longer than a file name may be", one, in + std::string(252, 'x') + ".png", false,
            SaveChoiceStatus::InvalidName, invalid.c_str()},
        {"the name is checked before the wildcards", two, in + "missing/map.png", false, SaveChoiceStatus::InvalidName,
            invalid.c_str()},
        {"one species under a plain name", one, in + "map.png", false, SaveChoiceStatus::Ok, ""},
        {"two species under a plain name", two, in + "map.png", false, SaveChoiceStatus::NeedsWildcard, plain.c_str()},
        {"a wildcard in the folder does not count", two, in + "%S/map.png", false, SaveChoiceStatus::NeedsWildcard,
            plain.c_str()},
        {"two species with a wildcard", two, in + "%S_%C.png", false, SaveChoiceStatus::Ok, ""},
        {"an overlay is one map whatever its species", two, in + "map.png", true, SaveChoiceStatus::Ok, ""},
        {"a plain name is refused before the group total", family, in + "map.png", false,
            SaveChoiceStatus::NeedsWildcard, plain.c_str()},
        {"a checked group asks for the total", family, in + "%A1.bmp", false, SaveChoiceStatus::ConfirmTotal,
            "上位グループにチェックがつけられているので合計 6 種を保存します。よろしいですか？"},
        {"a group of one species saves without asking", familyOfOne, in + "map.png", false, SaveChoiceStatus::Ok, ""},
    };
    for (const Case& c : cases) {
        const SaveChoiceCheck check = checkSaveChoice(c.chosen, utf8ToCp932(c.path), c.overlay);
        EXPECT_EQ(check.status, c.status) << c.what;
        EXPECT_EQ(cp932ToUtf8(check.message), c.message) << c.what;
    }
}

TEST(SaveChoice, ProposedNameFolderKeptAndOverwriteQuestion)
{
    EXPECT_EQ(proposedSaveName(NameMode::ScientificName), "%S");
    EXPECT_EQ(proposedSaveName(NameMode::Alias1Name), "%A1");
    EXPECT_EQ(proposedSaveName(NameMode::Alias2Name), "%A2");

    EXPECT_EQ(saveFolderOf("/home/a/maps/%S.png"), "/home/a/maps");
    EXPECT_EQ(saveFolderOf(".\\maps\\%S.png"), ".\\maps");
    EXPECT_EQ(saveFolderOf("/%S.png"), "/");
    EXPECT_EQ(saveFolderOf("%S.png"), "");

    EXPECT_EQ(cp932ToUtf8(overwriteQuestion("/m/a.png")), "/m/a.png は既に存在します。\n上書きしますか？");
}

// An overlay is saved in the order its window shows (the display order sets
// the painter slots); ordinary documents save in the order chosen.
TEST(SaveChoice, AnOverlayIsSavedInItsDisplayOrder)
{
    test::TestFolder folder("save_order");
    Workspace workspace;
    test::loadSpeciesTables(workspace, folder, "1,Papilionidae,0\r\n", "11,A a,,,,1\r\n12,B b,,,,1\r\n13,C c,,,,1\r\n");
    const auto& rows = workspace.species().rows();
    CQuelnaDoc overlay;
    overlay.setOverlaySpecies({rows[2], rows[0], rows[1]}); // shown C, A, B
    TreeSelection chosen;
    chosen.rows = {0, 1, 2};
    auto codes = [](const std::vector<const SpeciesRecord*>& species) {
        std::vector<std::int64_t> out;
        for (const SpeciesRecord* record : species)
            out.push_back(record->code);
        return out;
    };
    EXPECT_EQ(codes(speciesToSave(chosen, overlay, workspace.species())), (std::vector<std::int64_t>{13, 11, 12}));
    chosen.rows = {1, 2};
    EXPECT_EQ(codes(speciesToSave(chosen, overlay, workspace.species())), (std::vector<std::int64_t>{13, 12}));
    CQuelnaDoc plain;
    chosen.rows = {2, 0};
    EXPECT_EQ(codes(speciesToSave(chosen, plain, workspace.species())), (std::vector<std::int64_t>{13, 11}));
}

} // namespace
} // namespace tavik
