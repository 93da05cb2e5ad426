// Kills samvel, ludric, dwcimport, blankmap and tavik --save at random moments and runs each again at
// once, as a user would after a crash: after the kill every file the tool
// replaces is byte for byte its old or its new self, and after the rerun
// every one is the file an unkilled run makes, with no temporary file left.
//
// TAVIK_KILL_RERUNS sets the kills a tool (5 by default, a short run for
// `make test`); tests/faults/kill_rerun.sh runs a hundred of each and prints
// what the kills left.
#include "platform/file_replacement.h"
#include "tests/faults/large_database.h"
#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

namespace tavik {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int killsPerTool()
{
    const char* text = std::getenv("TAVIK_KILL_RERUNS");
    int kills = text ? std::atoi(text) : 0;
    return kills > 0 ? kills : 5;
}

// The files a tool replaces (paths relative to its folder) and their bytes.
using Files = std::map<std::string, std::string>;

Files readFiles(const std::string& dir, const Files& names)
{
    Files files;
    for (const auto& [name, bytes] : names)
        files[name] = test::readBytes(dir + "/" + name);
    return files;
}

// Temporary files of replacements anywhere under the folder.
int temporariesIn(const std::string& dir)
{
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        count += isReplacementTemporaryName(entry.path().filename().string());
    return count;
}

test::ProcessResult runTool(const std::string& tool, const std::vector<std::string>& arguments, const std::string& dir)
{
    test::ProcessCall call(test::builtProgram(tool), arguments, dir);
    call.mergeOutput = true;
    return test::runProcess(call);
}

// What the kills left: every target old, every target new, some of each
// (a kill between two renames), and kills after which temporary files lay
// about until the rerun.
struct Tally {
    int allOld = 0;
    int allNew = 0;
    int mixed = 0;
    int withTemporaries = 0;
};

// Restores the old files, kills the tool after a random share of its usual
// run time (up to 1.2 times it, so that some runs end by themselves), checks
// what it left, reruns it and checks the result, `kills` times.
Tally killAndRerun(const std::string& tool, const std::vector<std::string>& arguments, const std::string& dir,
    const Files& oldFiles, const Files& newFiles, unsigned seed)
{
    Clock::time_point start = Clock::now();
    EXPECT_EQ(runTool(tool, arguments, dir).status, 0);
    const auto usual = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    EXPECT_EQ(readFiles(dir, newFiles), newFiles) << tool << ": an unkilled run";

    std::mt19937 random(seed);
    Tally tally;
    const int kills = killsPerTool();
    for (int kill = 0; kill < kills; ++kill) {
        for (const auto& [name, bytes] : oldFiles)
            test::writeBytes(dir + "/" + name, bytes);
        {
            test::StartedProcess process(test::ProcessCall(test::builtProgram(tool), arguments, dir));
            std::this_thread::sleep_for(usual * 12 / 10 * (random() % 1000) / 1000);
            ::kill(process.id(), SIGKILL);
            process.wait();
        }
        int old = 0, fresh = 0;
        for (const auto& [name, bytes] : readFiles(dir, oldFiles)) {
            old += bytes == oldFiles.at(name);
            fresh += bytes == newFiles.at(name);
            EXPECT_TRUE(bytes == oldFiles.at(name) || bytes == newFiles.at(name))
                << tool << ", kill " << kill << ": " << name << " is neither its old nor its new self";
        }
        tally.allOld += old == static_cast<int>(oldFiles.size());
        tally.allNew += fresh == static_cast<int>(newFiles.size());
        tally.mixed += old > 0 && fresh > 0 && old + fresh == static_cast<int>(oldFiles.size());
        tally.withTemporaries += temporariesIn(dir) > 0;

        const test::ProcessResult rerun = runTool(tool, arguments, dir);
        EXPECT_EQ(rerun.status, 0) << tool << ", kill " << kill << ": " << rerun.out;
        EXPECT_EQ(readFiles(dir, newFiles), newFiles) << tool << ", kill " << kill << ": the rerun";
        EXPECT_EQ(temporariesIn(dir), 0) << tool << ", kill " << kill << ": after the rerun";
        if (::testing::Test::HasFailure())
            break;
    }
    std::printf("%s: %d kills: %d left every file old, %d every file new, %d some old and some new; "
                "%d left temporary files, which the rerun removed\n",
        tool.c_str(), kills, tally.allOld, tally.allNew, tally.mixed, tally.withTemporaries);
    return tally;
}

TEST(KillAndRerun, Samvel)
{
    test::TestFolder folder("kill_rerun_samvel");
    const std::string dir = folder.file("db");
    fs::create_directories(dir);
    test::writeLargeDatabase(dir, "big.csv", 60000, 1);
    test::writeLargeDatabase(dir, "small.csv", 2000, 2);
    ASSERT_EQ(runTool("samvel", {"-rebuild", "small.csv"}, dir).status, 0);
    const Files oldFiles = readFiles(dir, {{"tavik.csv", ""}, {"split.csv", ""}});
    ASSERT_EQ(runTool("samvel", {"big.csv"}, dir).status, 0);
    const Files newFiles = readFiles(dir, oldFiles);
    ASSERT_NE(oldFiles, newFiles);
    killAndRerun("samvel", {"big.csv"}, dir, oldFiles, newFiles, 17);
}

TEST(KillAndRerun, Ludric)
{
    test::TestFolder folder("kill_rerun_ludric");
    const std::string dir = folder.file("db");
    fs::create_directories(dir);
    test::writeLargeDatabase(dir, "in.csv", 60000, 3, true);
    const Files oldFiles = readFiles(dir, {{"in.csv", ""}});
    ASSERT_EQ(runTool("ludric", {"in.csv"}, dir).status, 0);
    const Files newFiles = readFiles(dir, oldFiles);
    ASSERT_NE(oldFiles, newFiles);
    killAndRerun("ludric", {"in.csv"}, dir, oldFiles, newFiles, 19);
}

TEST(KillAndRerun, Blankmap)
{
    test::TestFolder folder("kill_rerun_blankmap");
    const std::string dir = folder.file("db");
    fs::create_directories(dir);
    const std::string layout = test::readBytes(std::string(TAVIK_SOURCE_DIR) + "/examples/generate/japan_layout.json");
    const std::string boundaries = std::string(TAVIK_SOURCE_DIR) + "/examples/data/japan-prefectures.geojson";
    ASSERT_NE(layout.find("\"km-per-pixel\": 1.75"), std::string::npos);
    // The old base map: the same map at another scale.
    std::string oldLayout = layout;
    oldLayout.replace(oldLayout.find("\"km-per-pixel\": 1.75"), 20, "\"km-per-pixel\": 2.00");
    test::writeBytes(dir + "/layout.json", oldLayout);
    const std::vector<std::string> arguments = {"-a", "area.csv", "layout.json", boundaries, "map.png"};
    ASSERT_EQ(runTool("blankmap", arguments, dir).status, 0);
    const Files oldFiles = readFiles(dir, {{"map.png", ""}, {"map.cfg", ""}, {"area.csv", ""}});
    test::writeBytes(dir + "/layout.json", layout);
    ASSERT_EQ(runTool("blankmap", arguments, dir).status, 0);
    const Files newFiles = readFiles(dir, oldFiles);
    for (const auto& [name, bytes] : oldFiles)
        ASSERT_NE(bytes, newFiles.at(name)) << name;
    killAndRerun("blankmap", arguments, dir, oldFiles, newFiles, 23);
}

// The sample database with its fact tables made, in dir.
void writeSampleDatabase(const std::string& dir)
{
    fs::copy(std::string(TAVIK_SOURCE_DIR) + "/examples/japan", dir, fs::copy_options::recursive);
    ASSERT_EQ(runTool("ludric", {"input/*.csv"}, dir).status, 0);
    ASSERT_EQ(runTool("samvel", {"-rebuild", "input/*.csv"}, dir).status, 0);
}

TEST(KillAndRerun, Dwcimport)
{
    test::TestFolder folder("kill_rerun_dwcimport");
    const std::string dir = folder.file("db");
    fs::copy(std::string(TAVIK_SOURCE_DIR) + "/examples/japan", dir, fs::copy_options::recursive);
    fs::copy(std::string(TAVIK_SOURCE_DIR) + "/examples/dwc/gbif-dwca.zip", dir + "/gbif-dwca.zip");
    const std::vector<std::string> arguments = {"--literature", "S01", "gbif-dwca.zip", "input/gbif.csv"};
    const Files oldFiles = {{"input/gbif.csv", "old rows\r\n"}};
    test::writeBytes(dir + "/input/gbif.csv", "old rows\r\n");
    ASSERT_EQ(runTool("dwcimport", arguments, dir).status, 0);
    const Files newFiles = readFiles(dir, oldFiles);
    ASSERT_NE(oldFiles, newFiles);
    killAndRerun("dwcimport", arguments, dir, oldFiles, newFiles, 29);
}

// Saved maps: every map file is its old self or the new one, never a part;
// the maps of a killed batch are made whole by running it again.
TEST(KillAndRerun, TavikSave)
{
    test::TestFolder folder("kill_rerun_tavik");
    const std::string dir = folder.file("db");
    writeSampleDatabase(dir);
    fs::create_directories(dir + "/maps");
    const std::vector<std::string> arguments = {"--save", "maps/%C.png", "--all"};
    // The old maps: the same species drawn with the longitude-latitude lines off.
    const std::string settings = test::readBytes(dir + "/tavik.ini");
    std::string oldSettings = settings;
    oldSettings.replace(oldSettings.find("GeoLine=mesh"), 12, "GeoLine=none");
    test::writeBytes(dir + "/tavik.ini", oldSettings);
    ASSERT_EQ(runTool("tavik", arguments, dir).status, 0);
    Files names;
    for (const auto& entry : fs::directory_iterator(dir + "/maps"))
        names["maps/" + entry.path().filename().string()] = "";
    ASSERT_GT(names.size(), 10u);
    const Files oldFiles = readFiles(dir, names);
    test::writeBytes(dir + "/tavik.ini", settings);
    ASSERT_EQ(runTool("tavik", arguments, dir).status, 0);
    const Files newFiles = readFiles(dir, names);
    for (const auto& [name, bytes] : oldFiles)
        ASSERT_NE(bytes, newFiles.at(name)) << name;
    killAndRerun("tavik", arguments, dir, oldFiles, newFiles, 31);
}

} // namespace
} // namespace tavik
