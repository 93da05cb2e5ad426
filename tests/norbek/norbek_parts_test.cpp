#include "common/tool_error.h"
#include "platform/cp932.h"
#include "tests/support/test_folder.h"
#include "tools/norbek/image_lists.h"
#include "tools/norbek/media_source.h"
#include "tools/norbek/norbek.h"
#include "tools/norbek/norbek_command_line.h"
#include "tools/norbek/norbek_settings.h"
#include "tools/norbek/norbek_tables.h"
#include "tools/norbek/page_composer.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tavik {
namespace {

using List = LiteratureList;

TEST(NorbekCommandLine, TakesOptionsLeftToRight)
{
    struct Case {
        std::vector<std::string> arguments;
        NamingMode naming;
        std::vector<List> lists;
        bool allAreasFirst;
        std::optional<PageFileType> fileType;
        std::string outputPath;
    } cases[] = {
        {{"-alias1", "-area", "-allarea", "out"}, NamingMode::Alias1, {List::ByArea, List::AllAreas}, false, {}, "out"},
        {{"-alias2", "-allarea", "-area"}, NamingMode::Alias2, {List::AllAreas, List::ByArea}, true, {}, ""},
        {{"-sci", "-area", "-area"}, NamingMode::Scientific, {List::ByArea}, false, {}, ""},
        // A repeated option does not crowd out the other list.
        {{"-sci", "-area", "-area", "-allarea"}, NamingMode::Scientific, {List::ByArea, List::AllAreas}, false, {}, ""},
        {{"-sci", "-code", "-txt", "-html"}, NamingMode::Code, {}, false, PageFileType::Html, ""},
        {{"-html", "-txt", "a", "b"}, NamingMode::None, {}, false, PageFileType::Text, "a"},
    };
    for (const Case& c : cases) {
        NorbekCommandLine commandLine = NorbekCommandLine::parse(c.arguments);
        EXPECT_EQ(commandLine.naming, c.naming) << c.arguments[0];
        EXPECT_EQ(commandLine.lists, c.lists) << c.arguments[0];
        EXPECT_EQ(commandLine.allAreasFirst(), c.allAreasFirst) << c.arguments[0];
        EXPECT_EQ(commandLine.fileType, c.fileType) << c.arguments[0];
        EXPECT_EQ(commandLine.outputPath, c.outputPath) << c.arguments[0];
    }
    NorbekCommandLine bad = NorbekCommandLine::parse({"-sci", "-geo", "-template", "-x", "out"});
    EXPECT_TRUE(bad.geo && bad.templateIndex);
    EXPECT_EQ(bad.badOption, "-x");
}

TEST(NorbekPages, OutputFolderTextEndsInOneSeparator)
{
    EXPECT_EQ(Norbek::outputDirectory(""), "");
    EXPECT_EQ(Norbek::outputDirectory("out"), "out/");
    EXPECT_EQ(Norbek::outputDirectory("out/"), "out/");
    EXPECT_EQ(Norbek::outputDirectory("..\\explain\\"), "..\\explain\\");
    // 表 ends in the byte 0x5C, which is not a separator.
    EXPECT_EQ(Norbek::outputDirectory(cp932Literal("解説\\表")), cp932Literal("解説\\表") + "/");
}

TEST(NorbekPages, HeadingsOfGridSquaresAndPoints)
{
    struct Case {
        const char* location;
        const char* heading;
    } grid[] = {
        {"JP5339", "5339"},
        {"JP533945", "5339-45"},
        {"JP53394512", "5339-4512"},
        {"JP5339451234", "5339-4512-3-4"},
        {"JP53394512123456", "5339-4512-1-2-3"}, // at most three further digits
    },
      points[] = {
          {"N35.30'E139.45'", "N35.30'  E139.45'"},
          {"S35.5W139.5", "S35.5  W139.5"},
          {"E139.5N35.5", "N35.5  E139.5"},
          {"N35.5,E139.5", "N35.5  E139.5"},
          {"N35.5", "N35.5  "},
      };
    for (const Case& c : grid)
        EXPECT_EQ(gridSquareHeading(c.location), c.heading) << c.location;
    for (const Case& c : points)
        EXPECT_EQ(pointHeading(c.location), c.heading) << c.location;
}

TEST(NorbekSettings, FontNamesAreQuotedOnce)
{
    EXPECT_EQ(NorbekSettings::fontFamilyText("Century,\"Times\""), "\"Century\",\"Times\"");
    EXPECT_EQ(NorbekSettings::fontFamilyText(" MS Mincho , ,\"Open"), "\"MS Mincho\",\"Open\"");
    EXPECT_EQ(NorbekSettings::fontFamilyText(""), "");
    EXPECT_EQ(NorbekSettings::fontFamilyText("a,b,c,d,e,f,g,h,i"), "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\"");
}

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
    const std::vector<NorbekSpecies>& species = tables.species();
    ASSERT_EQ(species.size(), 4u);
    EXPECT_EQ(species[0].phyleticCode, 5);
    EXPECT_EQ(species[1].phyleticCode, 5);
    EXPECT_EQ(species[2].phyleticCode, 4);
    EXPECT_EQ(species[3].phyleticCode, 0); // names no group
    const NorbekGroup* created = tables.findGroup(5);
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

TEST(NorbekImageLists, AnImageGoesToTheSpeciesWithTheLongestNameInItsPath)
{
    std::vector<NorbekSpecies> species(4);
    species[0].scientific = "Luehdorfia japonica";
    species[0].alias1 = cp932Literal("ギフチョウ");
    species[1].scientific = "Luehdorfia puziloi";
    species[1].alias1 = cp932Literal("ヒメギフチョウ");
    species[2].scientific = "Papilio machaon";
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

TEST(NorbekMedia, SourcesResolveNameByNameBelowTheOutputFolder)
{
    test::TestFolder folder("norbek_media");
    folder.write("out/maps/Aus_bus.png", "png");
    folder.write("out/maps/Aus bus.bmp/x", "a folder named like an image");
    std::string out = folder.path() + "/out/";
    std::FILE* report = std::tmpfile();
    ASSERT_NE(report, nullptr);
    MediaSource media(out, report);
    std::vector<std::string> candidates{"Aus bus", "Aus_bus", "Aus-bus", "12"};

    EXPECT_EQ(media.resolve("maps\\*.png", candidates), "maps/Aus_bus.png");
    EXPECT_EQ(media.resolve("./maps/../maps/*.png", candidates), "./maps/../maps/Aus_bus.png");
    EXPECT_EQ(media.resolve("maps/*.bmp", {"Aus bus"}), std::nullopt);
    EXPECT_EQ(media.resolve("none/*.png", {"Aus bus", "12"}), std::nullopt);
    std::rewind(report);
    char buffer[1024] = {};
    std::string printed(buffer, std::fread(buffer, 1, sizeof buffer - 1, report));
    std::fclose(report);
    EXPECT_EQ(
        printed, out + "maps/Aus bus.bmp  ファイルではありません. 読めません.\n" + out + "none  見つかりません\n");

    EXPECT_EQ(mediaTypeOf("a/B.JPG").type, "image/jpeg");
    EXPECT_EQ(mediaTypeOf("song.Mid").type, "audio/x-midi");
    EXPECT_EQ(mediaTypeOf("x.mov").kind, MediaType::Object);
    EXPECT_EQ(mediaTypeOf("notes.d/readme").kind, MediaType::Text);
}

} // namespace
} // namespace tavik
