// norbek: writes the literature pages of the species, with their index and style sheet.
#include "common/tool_error.h"
#include "platform/program_version.h"
#include "tools/norbek/norbek.h"
#include "tools/norbek/norbek_command_line.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace tavik;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (asksForVersion(arguments)) {
        std::fputs(versionText("norbek").c_str(), stdout);
        return 0;
    }
    if (asksForHelp(arguments)) {
        printCp932(stdout, NorbekCommandLine::usage());
        return 0;
    }
    return Norbek::run(arguments, stdin, stdout, stderr);
}
