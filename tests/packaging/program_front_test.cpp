// What every program answers before it touches a database: --version in the
// one form man pages and the package read, --help on standard output with
// status 0, and a command-line mistake refused with the usage and status 1.
#include "platform/program_version.h"
#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavik {
namespace {

struct ProgramFront {
    std::string program;
    std::string usageMark; // a piece of the usage text (UTF-8)
    std::vector<std::string> mistake; // arguments the program refuses
};

const std::vector<ProgramFront> kPrograms = {
    {"tavik", "tavik --save パターン", {"--bogus"}},
    {"samvel", "samvel  -rebuild  入力テーブル", {"-bogus"}},
    {"ludric", "ludric  入力テーブル", {}},
    {"norbek", "norbek [-sci, -alias1", {"-bogus"}},
    {"dwcimport", "dwcimport [OPTIONS] DOWNLOAD INPUT-TABLE", {"--bogus"}},
    {"blankmap", "blankmap [-a 地域テーブル]", {"--bogus"}},
};

test::ProcessResult run(const test::TestFolder& folder, const std::string& program, std::vector<std::string> arguments)
{
    return test::runProcess({test::builtProgram(program), std::move(arguments), folder.path()});
}

TEST(ProgramFront, EveryProgramAnswersVersionHelpAndMistakes)
{
    // An empty folder: none of these may need tavik.ini or write anything.
    test::TestFolder folder("program_front");
    for (const ProgramFront& front : kPrograms) {
        SCOPED_TRACE(front.program);
        const std::string firstLine = front.program + " (Tavik) " + std::string(programVersion()) + "\n";

        const test::ProcessResult version = run(folder, front.program, {"--version"});
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out.substr(0, firstLine.size()), firstLine);
        EXPECT_EQ(version.err, "");
        // --version wins over anything else given with it.
        EXPECT_EQ(run(folder, front.program, {"--version", "--bogus"}).status, 0);

        const test::ProcessResult help = run(folder, front.program, {"--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find(front.usageMark), std::string::npos) << help.out;
        EXPECT_EQ(help.err, "");

        const test::ProcessResult mistake = run(folder, front.program, front.mistake);
        EXPECT_EQ(mistake.status, 1);
        EXPECT_EQ(mistake.out, "");
        EXPECT_NE(mistake.err.find(front.usageMark), std::string::npos) << mistake.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

} // namespace
} // namespace tavik
