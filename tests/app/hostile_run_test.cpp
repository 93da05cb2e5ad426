// tavik run where the machine or the input is hostile: a display that does
// not answer, memory that runs out, control characters in a table. Each ends
// in a message and a status, never an abort or bytes that the terminal takes
// as commands.
#include "tests/support/tavik_run.h"
#include "tests/support/viewer_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tavik {
namespace {

test::TavikRun runTavikWith(const test::TestFolder& folder, const std::string& program,
    const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    test::ProcessCall call{program, arguments, folder.path()};
    call.environment = environment;
    call.mergeOutput = true;
    const test::ProcessResult result = test::runProcess(call);
    return {result.status, result.out};
}

TEST(HostileRun, ADisplayThatDoesNotAnswerIsOneLineAndStatusOne)
{
    test::TestFolder folder("no_display");
    test::writeViewerDatabase(folder, "101,1,A\r\n");
    for (const char* display : {"127.0.0.1:57", ":57"}) {
        const test::TavikRun run = runTavikWith(
            folder, test::builtProgram("tavik"), {}, {"QT_QPA_PLATFORM=xcb", std::string("DISPLAY=") + display});
        EXPECT_EQ(run.status, 1) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_NE(run.errors.find(std::string("ディスプレイ ") + display + " に接続できません"), std::string::npos)
            << run.errors;
    }
}

// Names from a table reach the terminal in progress lines and messages:
// their control characters are shown escaped (an escape sequence could set
// the terminal's title or clear its screen).
TEST(HostileRun, ControlCharactersOfATableNeverReachTheTerminal)
{
    test::TestFolder folder("escapes");
    test::writeViewerDatabase(folder, "101,1,A\r\n");
    folder.write("dbase/species.csv", "101,Papilio \x1B]0;owned\x07xuthus,Linnaeus,1767,,0,Papilionidae\r\n");
    std::filesystem::create_directories(folder.file("out"));
    const test::TavikRun run = test::runTavik(folder, {"--save", "out/%S.png", "101"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors.find('\x1B'), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find('\x07'), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("\\x1B]0;owned\\x07xuthus"), std::string::npos) << run.errors;
}

// A species' line far larger than the memory the program may take: the map is
// not drawn, the report says why, the status is 1 (an uncaught exception on
// the worker would abort). Address limits mean nothing under the sanitizer,
// which reserves terabytes of shadow memory.
TEST(HostileRun, MemoryThatRunsOutIsReportedNotAnAbort)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address limits do not apply under the address sanitizer";
#endif
    if (!std::filesystem::exists("/usr/bin/prlimit"))
        GTEST_SKIP() << "prlimit is not installed";
    test::TestFolder folder("out_of_memory");
    std::string crowded = "101";
    crowded.reserve(4 * 4000000 + 8);
    for (int i = 0; i < 4000000; ++i)
        crowded += ",1,A";
    test::writeViewerDatabase(folder, crowded + "\r\n");
    folder.write(
        "tavik.ini", "[Path]\r\nBlankMap=.\\BlankMap\\t\\t.png\r\n[Capacity]\r\nPointMaxPerSpecies=100000000\r\n");
    std::filesystem::create_directories(folder.file("out"));
    const test::TavikRun run = runTavikWith(folder, "/usr/bin/prlimit",
        {"--as=" + std::to_string(300 << 20), test::builtProgram("tavik"), "--save", "out/%C.png", "101"}, {});
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.errors.find("メモリが足りません"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("ta_vik.csv"), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/101.png")));
}

} // namespace
} // namespace tavik
