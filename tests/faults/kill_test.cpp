// Kills samvel and ludric at random moments while they work on large tables
// and checks that every table they replace is whole afterwards: byte for
// byte the old file or the new one, never a mix, never missing.
#include "tests/faults/large_database.h"
#include "tests/support/kill_window.h"
#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

namespace tavik {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 100;

// Runs a tool to its end and returns how long it took.
Clock::duration timedRun(const std::string& tool, const std::vector<std::string>& arguments, const std::string& dir)
{
    Clock::time_point start = Clock::now();
    test::ProcessCall call(test::builtProgram(tool), arguments, dir);
    call.mergeOutput = true;
    const test::ProcessResult result = test::runProcess(call);
    EXPECT_EQ(result.status, 0) << result.out;
    return Clock::now() - start;
}

// Starts the tool and kills it after `wait`.
void runAndKill(const std::string& tool, const std::vector<std::string>& arguments, const std::string& dir,
    std::chrono::microseconds wait)
{
    test::StartedProcess process(test::ProcessCall(test::builtProgram(tool), arguments, dir));
    std::this_thread::sleep_for(wait);
    ::kill(process.id(), SIGKILL);
    process.wait();
}

// The files in a folder, sorted.
std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(KilledTools, SamvelLeavesEachFactTableOldOrNewButWhole)
{
    test::TestFolder folder("kill_samvel");
    std::string dir = folder.file("db");
    fs::create_directories(dir);
    test::writeLargeDatabase(dir, "big.csv", 150000, 1);
    test::writeLargeDatabase(dir, "small.csv", 2000, 2);

    ASSERT_EQ(test::runProcess({test::builtProgram("samvel"), {"-rebuild", "small.csv"}, dir}).status, 0);
    const std::string oldDistribution = test::readBytes(dir + "/tavik.csv");
    const std::string oldLiterature = test::readBytes(dir + "/split.csv");
    Clock::duration usual = timedRun("samvel", {"big.csv"}, dir);
    const std::string newDistribution = test::readBytes(dir + "/tavik.csv");
    const std::string newLiterature = test::readBytes(dir + "/split.csv");
    ASSERT_NE(oldDistribution, newDistribution);

    std::mt19937 random(7);
    test::KillWindow window(usual);
    int replaced = 0;
    const std::vector<std::string> keep = {"area.csv", "big.csv", "litera.csv", "small.csv", "species.csv", "split.csv",
        "tavik.csv", "tavik.ini", "tavik.lock"};
    for (int i = 0; i < kKills; ++i) {
        test::writeBytes(dir + "/tavik.csv", oldDistribution);
        test::writeBytes(dir + "/split.csv", oldLiterature);
        runAndKill("samvel", {"big.csv"}, dir, window.next(random));
        std::string distribution = test::readBytes(dir + "/tavik.csv");
        std::string literature = test::readBytes(dir + "/split.csv");
        ASSERT_TRUE(distribution == oldDistribution || distribution == newDistribution) << "kill " << i;
        ASSERT_TRUE(literature == oldLiterature || literature == newLiterature) << "kill " << i;
        replaced += distribution == newDistribution;
        window.record(distribution == newDistribution);
    }
    // The kills fell both before and after the tables were replaced.
    EXPECT_GT(replaced, 0);
    EXPECT_LT(replaced, kKills);
    // Each run removes the temporary files the killed one before it left.
    timedRun("samvel", {"big.csv"}, dir);
    EXPECT_EQ(filesIn(dir), keep);
}

TEST(KilledTools, LudricLeavesTheInputTableOldOrNewButWhole)
{
    test::TestFolder folder("kill_ludric");
    std::string dir = folder.file("db");
    fs::create_directories(dir);
    test::writeLargeDatabase(dir, "in.csv", 150000, 3, true);
    const std::string oldTable = test::readBytes(dir + "/in.csv");
    Clock::duration usual = timedRun("ludric", {"in.csv"}, dir);
    const std::string newTable = test::readBytes(dir + "/in.csv");
    ASSERT_NE(oldTable, newTable);

    std::mt19937 random(11);
    test::KillWindow window(usual);
    int replaced = 0;
    const std::vector<std::string> keep
        = {"area.csv", "in.csv", "litera.csv", "species.csv", "tavik.ini", "tavik.lock"};
    for (int i = 0; i < kKills; ++i) {
        test::writeBytes(dir + "/in.csv", oldTable);
        runAndKill("ludric", {"in.csv"}, dir, window.next(random));
        std::string table = test::readBytes(dir + "/in.csv");
        ASSERT_TRUE(table == oldTable || table == newTable) << "kill " << i << ", " << table.size() << " bytes";
        replaced += table == newTable;
        window.record(table == newTable);
    }
    EXPECT_GT(replaced, 0);
    EXPECT_LT(replaced, kKills);
    timedRun("ludric", {"in.csv"}, dir);
    EXPECT_EQ(filesIn(dir), keep);
}

} // namespace
} // namespace tavik
