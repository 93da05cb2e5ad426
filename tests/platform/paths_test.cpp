#include "platform/cp932.h"
#include "platform/directory_search.h"
#include "platform/paths.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace tavik {
namespace {

TEST(Paths, SplitsDriveDirectoryNameAndExtension)
{
    struct Case {
        std::string path, drive, directory, name, extension;
    } cases[] = {
        {".\\BlankMap\\jpn\\jpn.png", "", ".\\BlankMap\\jpn\\", "jpn", ".png"},
        {"maps/japan.v2.bmp", "", "maps/", "japan.v2", ".bmp"},
        {"C:\\maps\\a", "C:", "\\maps\\", "a", ""},
        {"dir.x/name", "", "dir.x/", "name", ""},
        // 表 ends in the byte 0x5C, which must not split the name.
        {utf8ToCp932("地図\\表.png"), "", utf8ToCp932("地図\\"), utf8ToCp932("表"), ".png"},
    };
    for (const Case& c : cases) {
        PathParts parts = splitPath(c.path);
        EXPECT_EQ(parts.drive, c.drive) << c.path;
        EXPECT_EQ(parts.directory, c.directory) << c.path;
        EXPECT_EQ(parts.name, c.name) << c.path;
        EXPECT_EQ(parts.extension, c.extension) << c.path;
    }
}

TEST(Paths, MakesAbsoluteAgainstTheStartupDirectory)
{
    EXPECT_EQ(makeAbsolute(".\\dbase\\ta_vik.csv", "/home/u/work"), "/home/u/work/dbase/ta_vik.csv");
    EXPECT_EQ(makeAbsolute("..\\x\\..\\y.cfg", "/home/u/work/"), "/home/u/y.cfg");
    EXPECT_EQ(makeAbsolute("/etc/../tmp", "/home"), "/tmp");
    EXPECT_EQ(makeAbsolute(".\\explain\\", "/w"), "/w/explain/");
    EXPECT_EQ(makeAbsolute("C:\\Program Files\\x.exe", "/w"), "C:\\Program Files\\x.exe");
    EXPECT_EQ(makeAbsolute(utf8ToCp932("表\\a"), "/w"), "/w/" + utf8ToCp932("表").bytes() + "/a");
}

TEST(Paths, LocalPathsUseSlashesAndUtf8AndRefuseDrives)
{
    EXPECT_EQ(localPath(".\\dbase\\x.csv").utf8(), "./dbase/x.csv");
    EXPECT_EQ(localPath(utf8ToCp932("表\\a")).utf8(), "表/a");
    EXPECT_EQ(localPath("C:\\x.csv").utf8(), "");
    EXPECT_FALSE(fileExists("C:\\x.csv"));
    EXPECT_EQ(openFile("C:/tmp", "rb"), nullptr);
}

// A path from the system becomes cp932 only when it comes back as the same
// path: a character cp932 lacks, or one cp932 folds into another ("〜" U+301C
// and "～" U+FF5E are both 0x8160), would name another file.
TEST(Paths, APathBecomesCp932OnlyWhenItLeadsBackToTheSameFile)
{
    for (const char* kept : {"/home/u/蝶の分布", "/home/u/～2026", "/home/u/①髙﨑", "/home/u/a b"}) {
        const std::optional<std::string> cp932 = cp932PathOf(LocalPath(kept));
        ASSERT_TRUE(cp932) << kept;
        EXPECT_EQ(localPath(*cp932).utf8(), kept);
    }
    // é, then U+301C, U+2212 and U+2016, each folded into another character.
    for (const char* refused : {"/home/ren\xC3\xA9",
             "/home/u/調査\xE3\x80\x9C"
             "2026",
             "/home/u/\xE2\x88\x92x", "/home/u/\xE2\x80\x96", "/home/u/a\\b"}) {
        EXPECT_FALSE(cp932PathOf(LocalPath(refused))) << refused;
    }
    // A command line writes paths in the programs' own notation: "\\" is a
    // separator there, not a character of a name.
    EXPECT_EQ(cp932PathArgument("..\\list\\*.csv"), "..\\list\\*.csv");
    EXPECT_EQ(cp932PathArgument("地図\\%S.png"), utf8ToCp932("地図\\%S.png"));
    EXPECT_FALSE(cp932PathArgument("\xE3\x80\x9C.csv"));
    const std::string message = cp932ToUtf8(pathWithoutCp932Message(LocalPath("/x/\x1B\xE3\x80\x9C")));
    EXPECT_EQ(message.substr(0, message.find('\n')), "/x/\\x1B～");
}

TEST(Paths, FileNamePartsCannotLeadIntoAnotherFolder)
{
    EXPECT_EQ(fileNamePart("Aus/bus\\.."), "Aus_bus_..");
    EXPECT_EQ(fileNamePart(std::string("a\0b", 3)), "a_b");
    // ソ is 0x83 0x5C: its second byte is not a separator.
    EXPECT_EQ(fileNamePart(utf8ToCp932("ソ/ソ")), utf8ToCp932("ソ_ソ"));
}

TEST(DirectorySearch, MatchesWildcardsInTheNamePartInByteOrder)
{
    namespace fs = std::filesystem;
    test::TestFolder folder("search");
    fs::path dir = folder.path();
    fs::create_directories(dir / "sub.csv");
    for (const char* name : {"b.csv", "a.CSV", "c.txt", "地域.csv"})
        std::ofstream(dir / name) << "x";

    std::string pattern = utf8ToCp932(dir.string()).bytes() + "\\*.csv";
    std::vector<std::string> found = findFiles(pattern);
    std::string prefix = utf8ToCp932(dir.string()).bytes() + "\\";
    std::vector<std::string> expected = {prefix + "a.CSV", prefix + "b.csv", prefix + utf8ToCp932("地域.csv").bytes()};
    EXPECT_EQ(found, expected);

    EXPECT_TRUE(matchesWildcard("?域.csv", "地域.csv"));
    EXPECT_FALSE(matchesWildcard("?.csv", "地域.csv"));
    EXPECT_TRUE(matchesWildcard("*a*b", "xaxxb"));
    EXPECT_FALSE(matchesWildcard("*a*b", "xaxxbc"));
    EXPECT_TRUE(findFiles(utf8ToCp932(dir.string()).bytes() + "/none*.csv").empty());
}

} // namespace
} // namespace tavik
