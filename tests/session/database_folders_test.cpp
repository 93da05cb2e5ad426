// Finding and making database folders for the start of the windowed viewer:
// what the installed tree ships, a path given to the program, the recent
// list, the sample copied for the user.
#include "viewer/session/database_folders.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace tavik {
namespace {

namespace fs = std::filesystem;

TEST(DatabaseFolders, InstalledFilesAreFoundBesideTheProgram)
{
    test::TestFolder folder("installed");
    folder.write("usr/share/tavik/japan/tavik.ini", "[Path]\r\n");
    folder.write("usr/share/doc/tavik/guide/ja/index.html", "<html></html>");
    fs::create_directories(folder.file("usr/bin"));
    EXPECT_EQ(installedSampleFolder(folder.file("usr/bin")), folder.file("usr/share/tavik/japan"));
    EXPECT_EQ(
        installedGuidePage(folder.file("usr/bin")).utf8(), folder.file("usr/share/doc/tavik/guide/ja/index.html"));
    EXPECT_EQ(installedSampleFolder(folder.file("elsewhere/bin")), "");
    EXPECT_EQ(installedGuidePage(folder.path()).utf8(), "");
    EXPECT_TRUE(holdsDatabase(folder.file("usr/share/tavik/japan")));
    EXPECT_FALSE(holdsDatabase(folder.file("usr/share/tavik")));
}

TEST(DatabaseFolders, APathNamesItsFolderAndTheRecentListKeepsEightWithoutDoubles)
{
    test::TestFolder folder("given");
    folder.write("db/tavik.ini", "");
    EXPECT_EQ(databaseFolderOf("db", folder.path()), folder.file("db"));
    EXPECT_EQ(databaseFolderOf("db/", folder.path()), folder.file("db"));
    EXPECT_EQ(databaseFolderOf("db/tavik.ini", folder.path()), folder.file("db"));
    EXPECT_EQ(databaseFolderOf(folder.file("db/../db"), "/elsewhere"), folder.file("db"));

    std::vector<std::string> recent;
    for (int i = 0; i < 10; ++i)
        recent = withRecentDatabase(recent, "/db" + std::to_string(i));
    ASSERT_EQ(recent.size(), kRecentDatabases);
    EXPECT_EQ(recent.front(), "/db9");
    EXPECT_EQ(recent.back(), "/db2");
    recent = withRecentDatabase(recent, "/db5");
    EXPECT_EQ(recent.front(), "/db5");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "/db5"), 1);
    EXPECT_EQ(recent.size(), kRecentDatabases);
}

// The sample is copied for the user's own work: writable even when the
// installed files are not, and never into a folder that holds something.
TEST(DatabaseFolders, TheSampleIsCopiedWholeIntoAnEmptyFolderOnly)
{
    test::TestFolder folder("sample_copy");
    const std::string sample = folder.file("share/japan");
    folder.write("share/japan/tavik.ini", "[Path]\r\n");
    folder.write("share/japan/dbase/species.csv", "1,A a\r\n");
    ::chmod(folder.file("share/japan/tavik.ini").c_str(), 0444);
    std::string reason;
    ASSERT_TRUE(copySampleDatabase(sample, folder.file("home/Tavik"), reason)) << reason;
    EXPECT_TRUE(holdsDatabase(folder.file("home/Tavik")));
    EXPECT_EQ(test::readBytes(folder.file("home/Tavik/dbase/species.csv")), "1,A a\r\n");
    struct stat info { };
    ASSERT_EQ(::stat(folder.file("home/Tavik/tavik.ini").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IWUSR);

    fs::create_directories(folder.file("empty"));
    EXPECT_TRUE(copySampleDatabase(sample, folder.file("empty"), reason)) << reason;
    EXPECT_FALSE(copySampleDatabase(sample, folder.file("home/Tavik"), reason));
    EXPECT_EQ(reason, folder.file("home/Tavik") + " は空のフォルダではありません");
    EXPECT_FALSE(copySampleDatabase(folder.file("none"), folder.file("other"), reason));
    EXPECT_FALSE(fs::exists(folder.file("other")));
}

} // namespace
} // namespace tavik
