#include "platform/file_replacement.h"

#include "platform/directory_search.h"
#include "platform/file_lock.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace tavik {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t filesIn(const fs::path& dir)
{
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(FileReplacement, CommitReplacesTheWholeFileAndLeavesNoTemporary)
{
    test::TestFolder folder("tavik_replace");
    fs::path dir = folder.path();
    fs::path target = dir / "table.csv";
    std::ofstream(target) << "old";

    for (FileReplacement::Sync sync : {FileReplacement::Sync::ToDisk, FileReplacement::Sync::None}) {
        FileReplacement file(target.string(), sync);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("new content"));
        EXPECT_EQ(readAll(target), "old");
        ASSERT_TRUE(file.commit());
        EXPECT_EQ(readAll(target), "new content");
        EXPECT_EQ(filesIn(dir), 1u);
        std::ofstream(target) << "old";
    }
}

TEST(FileReplacement, AnUncommittedReplacementLeavesTheOldFile)
{
    test::TestFolder folder("tavik_discard");
    fs::path dir = folder.path();
    fs::path target = dir / "table.csv";
    std::ofstream(target) << "old";
    {
        FileReplacement file(target.string());
        ASSERT_TRUE(file.open());
        file.write("half");
    }
    EXPECT_EQ(readAll(target), "old");
    EXPECT_EQ(filesIn(dir), 1u);

    FileReplacement missingFolder((dir / "no" / "x.csv").string());
    EXPECT_FALSE(missingFolder.open());
    EXPECT_FALSE(missingFolder.errorText().empty());
}

TEST(FileReplacement, AWriteProtectedTargetIsNeverReplaced)
{
    test::TestFolder folder("tavik_protected");
    fs::path dir = folder.path();
    fs::path target = dir / "table.csv";
    std::ofstream(target) << "old";
    // 0444 marks a file read-only, for root too (who could write it).
    fs::permissions(target, fs::perms(0444));
    FileReplacement refused(target.string());
    EXPECT_FALSE(refused.open());
    EXPECT_TRUE(refused.writeProtected());
    EXPECT_FALSE(replaceFileContent(target.string(), "new"));
    EXPECT_EQ(readAll(target), "old");

    // Marked read-only while the new text was written: the rename is not made.
    fs::permissions(target, fs::perms(0644));
    FileReplacement late(target.string());
    ASSERT_TRUE(late.open());
    ASSERT_TRUE(late.write("new"));
    fs::permissions(target, fs::perms(0444));
    EXPECT_FALSE(late.commit());
    EXPECT_TRUE(late.writeProtected());
    EXPECT_EQ(readAll(target), "old");
    EXPECT_EQ(filesIn(dir), 1u);
    EXPECT_TRUE(isWriteProtected(target.string()));
    EXPECT_FALSE(isWriteProtected((dir / "missing.csv").string()));
}

TEST(FileReplacement, LeftoverTemporariesOfATargetAreRemovedAndNothingElse)
{
    test::TestFolder folder("tavik_leftovers");
    fs::path dir = folder.path();
    for (const char* name : {"table.csv", "table.csv.tavik-Ab12Cd", "table.csv.tavik-000000", "table.csv.backup",
             "table.csv.tavik-short", "other.csv.tavik-Ab12Cd", "table.csv.tavik-Ab12C+"})
        std::ofstream(dir / name) << "x";
    fs::create_directories(dir / "table.csv.tavik-folder");
    EXPECT_EQ(removeLeftoverTemporaries((dir / "table.csv").string()), 2);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
        (std::vector<std::string>{"other.csv.tavik-Ab12Cd", "table.csv", "table.csv.backup", "table.csv.tavik-Ab12C+",
            "table.csv.tavik-folder", "table.csv.tavik-short"}));
}

// A table shared through a link: the file it leads to gets the new text (its
// temporary file made beside it), and the link stays a link.
TEST(FileReplacement, ALinkedTargetIsReplacedWhereTheLinkLeadsOrRefused)
{
    test::TestFolder folder("tavik_links");
    fs::path dir = folder.path();
    fs::create_directories(dir / "shared");
    fs::create_directories(dir / "db");
    std::ofstream(dir / "shared" / "ta_vik.csv") << "old";
    fs::permissions(dir / "shared" / "ta_vik.csv", fs::perms(0640));
    fs::create_symlink("../shared/ta_vik.csv", dir / "db" / "ta_vik.csv");

    ASSERT_TRUE(replaceFileContent((dir / "db" / "ta_vik.csv").string(), "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "db" / "ta_vik.csv"));
    EXPECT_EQ(readAll(dir / "shared" / "ta_vik.csv"), "new");
    EXPECT_EQ(fs::status(dir / "shared" / "ta_vik.csv").permissions(), fs::perms(0640));
    EXPECT_EQ(filesIn(dir / "shared"), 1u);
    EXPECT_EQ(filesIn(dir / "db"), 1u);

    // Temporary files of a killed run are found beside the file replaced.
    std::ofstream(dir / "shared" / "ta_vik.csv.tavik-Ab12Cd") << "half";
    EXPECT_EQ(removeLeftoverTemporaries((dir / "db" / "ta_vik.csv").string()), 1);

    FileReplacement refused(
        (dir / "db" / "ta_vik.csv").string(), FileReplacement::Sync::ToDisk, FileReplacement::Links::Refuse);
    EXPECT_FALSE(refused.open());
    EXPECT_EQ(refused.failure(), FileReplacement::Failure::Link);
    EXPECT_EQ(refused.errorText(), "シンボリックリンクには書きません");

    // Links that lead round in a circle lead nowhere.
    fs::create_symlink(dir / "loop_b", dir / "loop_a");
    fs::create_symlink(dir / "loop_a", dir / "loop_b");
    FileReplacement loop((dir / "loop_a").string());
    EXPECT_FALSE(loop.open());
    EXPECT_EQ(loop.failure(), FileReplacement::Failure::Link);
}

TEST(FileReplacement, FailuresNameTheFileOrFolderAtFaultInJapanese)
{
    test::TestFolder folder("tavik_failures");
    fs::path dir = folder.path();
    fs::create_directories(dir / "a_folder");
    FileReplacement folderTarget((dir / "a_folder").string());
    EXPECT_FALSE(folderTarget.open());
    EXPECT_EQ(folderTarget.failure(), FileReplacement::Failure::NotAFile);
    EXPECT_EQ(folderTarget.failurePath(), (dir / "a_folder").string());

    FileReplacement noFolder((dir / "none" / "page.html").string());
    EXPECT_FALSE(noFolder.open());
    EXPECT_EQ(noFolder.failure(), FileReplacement::Failure::CreateTemporary);
    EXPECT_EQ(noFolder.failurePath(), (dir / "none").string());
    EXPECT_EQ(noFolder.errorText(), "フォルダに新しいファイルを作れません: ファイルまたはフォルダがありません");

    std::ofstream(dir / "protected.csv") << "old";
    fs::permissions(dir / "protected.csv", fs::perms(0444));
    FileReplacement protectedTarget((dir / "protected.csv").string());
    EXPECT_FALSE(protectedTarget.open());
    EXPECT_EQ(protectedTarget.errorText(), "書き込み禁止のファイルです");
    EXPECT_EQ(protectedTarget.failurePath(), (dir / "protected.csv").string());
}

// Two tables that belong together are put in place together: a failure with
// the second, while it is written or while it is renamed, leaves the first
// as it was too.
TEST(FileReplacement, TablesCommittedTogetherAreAllReplacedOrNone)
{
    test::TestFolder folder("tavik_together");
    fs::path dir = folder.path();
    std::ofstream(dir / "first.csv") << "old first";
    std::ofstream(dir / "second.csv") << "old second";

    {
        // The second cannot be written whole: a file size limit stands in
        // for a full disk.
        FileReplacement first((dir / "first.csv").string()), second((dir / "second.csv").string());
        ASSERT_TRUE(first.open() && second.open());
        ASSERT_TRUE(first.write("new first"));
        struct rlimit old;
        ::getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        auto previous = ::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        second.write(std::string(100000, 'x'));
        bool committed = commitTogether({&first, &second});
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, previous);
        EXPECT_FALSE(committed);
        EXPECT_EQ(first.failure(), FileReplacement::Failure::None);
        EXPECT_EQ(second.failure(), FileReplacement::Failure::Write);
        EXPECT_EQ(second.errorText(), "ファイルが大きすぎます");
    }
    EXPECT_EQ(readAll(dir / "first.csv"), "old first");
    EXPECT_EQ(readAll(dir / "second.csv"), "old second");
    EXPECT_EQ(filesIn(dir), 2u);

    {
        // The second's rename fails (a folder took its name): the first gets
        // its old file back.
        FileReplacement first((dir / "first.csv").string()), second((dir / "second.csv").string());
        ASSERT_TRUE(first.open() && second.open());
        first.write("new first");
        second.write("new second");
        fs::remove(dir / "second.csv");
        fs::create_directories(dir / "second.csv" / "inside");
        EXPECT_FALSE(commitTogether({&first, &second}));
        EXPECT_EQ(second.failure(), FileReplacement::Failure::Rename);
    }
    EXPECT_EQ(readAll(dir / "first.csv"), "old first");
    EXPECT_EQ(filesIn(dir), 2u);
    fs::remove_all(dir / "second.csv");

    FileReplacement first((dir / "first.csv").string()), second((dir / "second.csv").string());
    ASSERT_TRUE(first.open() && second.open());
    first.write("new first");
    second.write("new second");
    EXPECT_TRUE(commitTogether({&first, &second}));
    EXPECT_EQ(readAll(dir / "first.csv"), "new first");
    EXPECT_EQ(readAll(dir / "second.csv"), "new second");
    EXPECT_EQ(filesIn(dir), 2u);
}

// A link planted as the lock file is not followed: taking the lock would
// create or lock a file wherever it leads.
TEST(FileLock, ALinkOrAFifoAsTheLockFileIsRefused)
{
    test::TestFolder folder("tavik_lock_link");
    fs::path dir = folder.path();
    fs::create_symlink(dir / "elsewhere", dir / "tavik.lock");
    FileLock lock;
    EXPECT_EQ(lock.acquire((dir / "tavik.lock").string(), std::chrono::seconds(0)), FileLock::Status::CannotOpen);
    EXPECT_FALSE(fs::exists(dir / "elsewhere"));
    ASSERT_EQ(::mkfifo((dir / "fifo.lock").c_str(), 0644), 0);
    EXPECT_EQ(lock.acquire((dir / "fifo.lock").string(), std::chrono::seconds(0)), FileLock::Status::CannotOpen);
    EXPECT_EQ(lock.errorText(), "通常のファイルではありません (フォルダ・装置・パイプなど)");
}

TEST(FileReplacement, TemporaryNamesAreKnownAndPassedOverByWildcards)
{
    for (const char* name : {"in.csv.tavik-Ab12Cd", "a.tavik-000000"})
        EXPECT_TRUE(isReplacementTemporaryName(name)) << name;
    for (const char* name : {"in.csv", "in.csv.tavik-short", "in.csv.tavik-Ab12C+", ".tavik-Ab12Cd", "in.tavik.csv"})
        EXPECT_FALSE(isReplacementTemporaryName(name)) << name;

    // A killed ludric's half-written table is no input table.
    test::TestFolder folder("tavik_wildcards");
    for (const char* name : {"input/a.csv", "input/b.csv", "input/b.csv.tavik-Ab12Cd"})
        folder.write(name, "x");
    EXPECT_EQ(findFiles(folder.file("input") + "/*"),
        (std::vector<std::string>{folder.file("input/a.csv"), folder.file("input/b.csv")}));
}

} // namespace
} // namespace tavik
