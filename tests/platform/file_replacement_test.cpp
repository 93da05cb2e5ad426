#include "platform/file_replacement.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tavik
