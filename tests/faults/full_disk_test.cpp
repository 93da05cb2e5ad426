// A full disk while samvel writes its fact tables: the write-failure
// message, a non-zero exit, and the old tables intact.
#include "tests/faults/large_database.h"
#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <filesystem>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// A small file system of its own: a tmpfs when the test may mount one.
class FullDisk : public ::testing::Test {
protected:
    FullDisk()
        : folder("full_disk")
        , dir(folder.file("db"))
    {
        fs::create_directories(dir);
    }
    ~FullDisk() override
    {
        if (mounted)
            ::umount2(dir.c_str(), MNT_DETACH);
    }

    bool mountSmallDisk(const std::string& size)
    {
        mounted = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
        return mounted;
    }

    test::TestFolder folder;
    std::string dir;
    bool mounted = false;
};

TEST_F(FullDisk, SamvelReportsTheWriteFailureAndKeepsTheOldTables)
{
    std::vector<std::string> environment;
    if (!mountSmallDisk("3m"))
        environment.push_back("TAVIK_INJECT_FULL_DISK=1"); // no right to mount: the seam fails the commit
    test::writeLargeDatabase(dir, "small.csv", 2000, 2);
    test::ProcessCall rebuild(test::builtProgram("samvel"), {"-rebuild", "small.csv"}, dir);
    rebuild.mergeOutput = true;
    const test::ProcessResult rebuilt = test::runProcess(rebuild);
    ASSERT_EQ(rebuilt.status, 0) << rebuilt.out;
    const std::string oldDistribution = test::readBytes(dir + "/tavik.csv");
    const std::string oldLiterature = test::readBytes(dir + "/split.csv");

    // The new tables of 25,000 rows need about 1 MB; a filler leaves less.
    test::writeLargeDatabase(dir, "big.csv", mounted ? 25000 : 2000, 1);
    if (mounted) {
        std::uintmax_t room = fs::space(dir).available;
        if (room > 300 * 1024)
            test::writeBytes(dir + "/filler", std::string(room - 300 * 1024, 'x'));
    }
    test::ProcessCall import(test::builtProgram("samvel"), {"big.csv"}, dir);
    import.environment = environment;
    import.mergeOutput = true;
    const test::ProcessResult imported = test::runProcess(import);
    const std::string& log = imported.out;
    EXPECT_EQ(imported.status, 1) << log;
    // The table that did not fit (whichever the disk ran out in), and the
    // real reason, in Japanese.
    EXPECT_NE(log.find(".csv を書き込めませんでした (ディスクに空きがありません)."), std::string::npos) << log;
    EXPECT_EQ(test::readBytes(dir + "/tavik.csv"), oldDistribution);
    EXPECT_EQ(test::readBytes(dir + "/split.csv"), oldLiterature);
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".csv."), std::string::npos) << entry.path();
}

} // namespace
} // namespace tavik
