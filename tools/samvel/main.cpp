// samvel: merges input tables into the distribution and species-literature tables.
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/program_version.h"
#include "tools/samvel/samvel.h"
#include "tools/samvel/samvel_command_line.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

int runSamvel(int argc, char** argv)
{
    using namespace tavik;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (asksForVersion(arguments)) {
        std::fputs(versionText("samvel").c_str(), stdout);
        return 0;
    }
    if (asksForHelp(arguments)) {
        printCp932(stdout, SamvelCommandLine::usage());
        return 0;
    }
    SamvelCommandLine commandLine = SamvelCommandLine::parse(arguments);
    if (!commandLine.invalidParameter.empty())
        printCp932(stderr, cp932Printf("無効なパラメータ %s\n", commandLine.invalidParameter.c_str()));
    if (!commandLine.pathFault.empty()) {
        printToolError({"", commandLine.pathFault});
        return 1;
    }
    if (commandLine.inputPattern.empty()) {
        printCp932(stderr, SamvelCommandLine::usage());
        return 1;
    }
    ToolError error;
    if (!Samvel::run(commandLine, stdout, error)) {
        std::fflush(stdout);
        printToolError(error);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Memory that runs out anywhere is reported like any fault.
    try {
        return runSamvel(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        tavik::printToolError({"", tavik::cp932Literal("メモリが足りません.")});
        return 1;
    }
}
