#include "platform/file_replacement.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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

} // namespace
} // namespace tavik
