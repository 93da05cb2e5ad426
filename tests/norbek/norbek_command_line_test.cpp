#include "tools/norbek/norbek_command_line.h"

#include "platform/cp932.h"
#include "tools/norbek/norbek.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(Norbek::outputDirectory(cp932Literal("解説\\表")), cp932Literal("解説\\表").bytes() + "/");
}

} // namespace
} // namespace tavik
