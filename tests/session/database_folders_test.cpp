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
    EXPECT_EQ(installedSampleFolder(folder.localFile("usr/bin")), folder.localFile("usr/share/tavik/japan"));
    EXPECT_EQ(
        installedGuidePage(folder.localFile("usr/bin")), folder.localFile("usr/share/doc/tavik/guide/ja/index.html"));
    EXPECT_TRUE(installedSampleFolder(folder.localFile("elsewhere/bin")).empty());
    EXPECT_TRUE(installedGuidePage(folder.localFolder()).empty());
    EXPECT_TRUE(holdsDatabase(folder.localFile("usr/share/tavik/japan")));
    EXPECT_FALSE(holdsDatabase(folder.localFile("usr/share/tavik")));
}

TEST(DatabaseFolders, APathNamesItsFolderAndTheRecentListKeepsEightWithoutDoubles)
{
    test::TestFolder folder("given");
    folder.write("db/tavik.ini", "");
    const LocalPath db = folder.localFile("db");
    EXPECT_EQ(databaseFolderOf(LocalPath("db"), folder.localFolder()), db);
    EXPECT_EQ(databaseFolderOf(LocalPath("db/"), folder.localFolder()), db);
    EXPECT_EQ(databaseFolderOf(LocalPath("db/tavik.ini"), folder.localFolder()), db);
    EXPECT_EQ(databaseFolderOf(folder.localFile("db/../db"), LocalPath("/elsewhere")), db);

    std::vector<LocalPath> recent;
    for (int i = 0; i < 10; ++i)
        recent = withRecentDatabase(recent, LocalPath("/db" + std::to_string(i)));
    ASSERT_EQ(recent.size(), kRecentDatabases);
    EXPECT_EQ(recent.front(), LocalPath("/db9"));
    EXPECT_EQ(recent.back(), LocalPath("/db2"));
    recent = withRecentDatabase(recent, LocalPath("/db5"));
    EXPECT_EQ(recent.front(), LocalPath("/db5"));
    EXPECT_EQ(std::count(recent.begin(), recent.end(), LocalPath("/db5")), 1);
    EXPECT_EQ(recent.size(), kRecentDatabases);
}

// The sample is copied for the user's own work: writable even when the
// installed files are not, and never into a folder that holds something.
TEST(DatabaseFolders, TheSampleIsCopiedWholeIntoAnEmptyFolderOnly)
{
    test::TestFolder folder("sample_copy");
    const LocalPath sample = folder.localFile("share/japan");
    folder.write("share/japan/tavik.ini", "[Path]\r\n");
    folder.write("share/japan/dbase/species.csv", "1,A a\r\n");
    ::chmod(folder.file("share/japan/tavik.ini").c_str(), 0444);
    std::string reason;
    ASSERT_TRUE(copySampleDatabase(sample, folder.localFile("home/Tavik"), reason)) << reason;
    EXPECT_TRUE(holdsDatabase(folder.localFile("home/Tavik")));
    EXPECT_EQ(test::readBytes(folder.file("home/Tavik/dbase/species.csv")), "1,A a\r\n");
    struct stat info { };
    ASSERT_EQ(::stat(folder.file("home/Tavik/tavik.ini").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IWUSR);

    fs::create_directories(folder.file("empty"));
    EXPECT_TRUE(copySampleDatabase(sample, folder.localFile("empty"), reason)) << reason;
    EXPECT_FALSE(copySampleDatabase(sample, folder.localFile("home/Tavik"), reason));
    EXPECT_EQ(reason, folder.file("home/Tavik") + " は空のフォルダではありません");
    EXPECT_FALSE(copySampleDatabase(folder.localFile("none"), folder.localFile("other"), reason));
    EXPECT_FALSE(fs::exists(folder.file("other")));
}

} // namespace
} // namespace tavik
