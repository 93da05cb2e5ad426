// ludric: fills the species code column of input tables from the species table.
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/program_version.h"
#include "tools/ludric/ludric.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace tavik;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (asksForVersion(arguments)) {
        std::fputs(versionText("ludric").c_str(), stdout);
        return 0;
    }
    if (asksForHelp(arguments)) {
        printCp932(stdout, Ludric::usage());
        return 0;
    }
    if (argc < 2) {
        printCp932(stderr, Ludric::usage());
        return 1;
    }
    ToolError error;
    if (!Ludric::run(utf8ToCp932(argv[1]), stdout, error)) {
        std::fflush(stdout);
        printToolError(error);
        return 1;
    }
    return 0;
}
