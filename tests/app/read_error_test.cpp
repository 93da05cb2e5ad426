// A table that cannot be read to its end stops tavik with the file and the
// line; no map is written from what was read before the failure. The read
// errors are injected with strace (skipped where strace is missing).
#include "tests/support/tavik_run.h"
#include "tests/support/viewer_database.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavik {
namespace {

bool haveStrace() { return std::filesystem::exists("/usr/bin/strace"); }

// Runs tavik under strace, failing the `call`-th `syscall` (read or pread64)
// on the file at `path` with EIO.
test::TavikRun runWithReadError(const test::TestFolder& folder, const std::string& path, const char* syscall, int call,
    const std::vector<std::string>& arguments)
{
    test::ProcessCall strace{"/usr/bin/strace",
        {"-f", "-qq", "-o", "/dev/null", "-E", "ASAN_OPTIONS=detect_leaks=0", "-P", path, "-e",
            std::string("trace=") + syscall, "-e",
            std::string("inject=") + syscall + ":error=EIO:when=" + std::to_string(call), test::builtProgram("tavik")},
        folder.path()};
    strace.arguments.insert(strace.arguments.end(), arguments.begin(), arguments.end());
    strace.mergeOutput = true;
    const test::ProcessResult result = test::runProcess(strace);
    return {result.status, result.out};
}

class ReadErrorTest : public ::testing::Test {
protected:
    ReadErrorTest()
        : folder("read_error")
    {
        // Species 101 has a line of 600,000 records (2.4 MB): the index reads
        // it in several blocks, the map in many.
        std::string crowded = "101";
        for (int i = 0; i < 600000; ++i)
            crowded += ",1,A";
        test::writeViewerDatabase(folder, crowded + "\r\n102,2,B\r\n");
        std::filesystem::create_directories(folder.file("out"));
    }
    bool mapWritten() const { return !std::filesystem::is_empty(folder.file("out")); }

    test::TestFolder folder;
};

TEST_F(ReadErrorTest, AFailedReadOfATableIsNeverItsEnd)
{
    if (!haveStrace())
        GTEST_SKIP() << "strace is not installed";
    ASSERT_EQ(test::runTavik(folder, {"--save", "out/%C.png", "102"}).status, 0);
    std::filesystem::remove(folder.file("out/102.png"));

    struct Case {
        const char* table; // in the folder
        const char* name; // as the report names it
        const char* syscall;
        int call;
        const char* line; // the line the report names
    };
    // The area table is padded so that its second block is read after the
    // first areas; the distribution table's index fails in its second block,
    // the crowded species' line in its first (the map reads 1,000 records).
    folder.write("dbase/area.csv",
        "1,,,West,N35,E133.40,66,100,F\r\n2,,,East,N35,E136.20,212,100,F\r\n" + std::string(200000, '\n'));
    const Case cases[] = {
        {"dbase/area.csv", "area.csv", "read", 2, "行目を読めません"},
        {"dbase/ta_vik.csv", "ta_vik.csv", "read", 2, "1 行目を読めません"},
        {"dbase/ta_vik.csv", "ta_vik.csv", "pread64", 1, "1 行目を読めません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const test::TavikRun run
            = runWithReadError(folder, folder.file(c.table), c.syscall, c.call, {"--save", "out/%C.png", "101", "102"});
        EXPECT_EQ(run.status, 1) << run.errors;
        EXPECT_NE(run.errors.find(c.name), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find(c.line), std::string::npos) << run.errors;
        EXPECT_FALSE(std::filesystem::exists(folder.file("out/101.png")));
    }
}

} // namespace
} // namespace tavik
