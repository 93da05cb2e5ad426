#include "viewer/render/file_name_wildcards.h"

#include "viewer/settings/species_table.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(FileNameWildcards, ExpandOnlyTheNamePartAndNeverExpandInsertedText)
{
    SpeciesRecord species;
    species.code = 123;
    species.scientificName = "Aus bus";
    species.alias1 = "%S-alias";
    species.alias2 = "two";
    struct Case {
        const char* pattern;
        const char* expanded;
    } cases[] = {
        {"%S_%C.png", "Aus bus_123.png"},
        {"maps/%C/%S.bmp", "maps/%C/Aus bus.bmp"},
        {"maps\\%A1%A2.png", "maps\\%S-aliastwo.png"},
        {"%%S%A3.png", "%Aus bus%A3.png"},
        {"plain.png", "plain.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(expandFileNameWildcards(c.pattern, species), c.expanded) << c.pattern;

    species.scientificName = "Aus/bus\\..";
    EXPECT_EQ(expandFileNameWildcards("out/%S.png", species), "out/Aus_bus_...png");

    EXPECT_TRUE(hasFileNameWildcard("out/%C.png"));
    EXPECT_FALSE(hasFileNameWildcard("%C/out.png"));
    EXPECT_FALSE(hasFileNameWildcard("out%A3.png"));
}

} // namespace
} // namespace tavik
