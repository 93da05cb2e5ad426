#include "tools/norbek/image_lists.h"

#include "platform/cp932.h"
#include "tools/norbek/norbek_tables.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(NorbekImageLists, AnImageGoesToTheSpeciesWithTheLongestNameInItsPath)
{
    std::vector<SpeciesRecord> species(4);
    species[0].scientificName = "Luehdorfia japonica";
    species[0].alias1 = cp932Literal("ギフチョウ");
    species[1].scientificName = "Luehdorfia puziloi";
    species[1].alias1 = cp932Literal("ヒメギフチョウ");
    species[2].scientificName = "Papilio machaon";
    species[2].alias2 = "kiageha";
    species[3].alias1 = cp932Literal("ギ");
    ImageLists lists;
    lists.index(species);
    struct Case {
        std::string path;
        int species;
        NameForm kindAfter;
    } cases[] = {
        {"img/Papilio_machaon_1.jpg", 2, NameForm::Standard},
        {cp932Literal("img/ヒメギフチョウ.gif"), 1, NameForm::Alias1},
        {"img/Papilio-machaon.png", 2, NameForm::Standard}, // alias 1 tried first, then scientific
        {"img/kiageha.png", 2, NameForm::Alias2},
        {"img/none.png", -1, NameForm::Alias1}, // alias 2, then scientific and alias 1
        // ャ is 0x83 0x83: with "M" it holds the bytes of ギ (0x83 0x4D) across two characters.
        {cp932Literal("img/ャM.png"), -1, NameForm::Alias2},
    };
    NameForm kind = NameForm::Standard;
    for (const Case& c : cases) {
        EXPECT_EQ(lists.match(c.path, kind), c.species) << cp932ToUtf8(c.path);
        EXPECT_EQ(kind, c.kindAfter) << cp932ToUtf8(c.path);
    }
}

} // namespace
} // namespace tavik
