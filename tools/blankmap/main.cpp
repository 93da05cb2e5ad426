// blankmap: makes a base map (image, blank-map definition, area table
// skeleton) from boundary polygons.
#include "platform/program_version.h"
#include "tools/blankmap/blank_map_maker.h"
#include "tools/blankmap/blankmap_command_line.h"

#include <cstdio>

int main(int argc, char** argv)
{
    using namespace tavik;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (asksForVersion(arguments)) {
        std::fputs(versionText("blankmap").c_str(), stdout);
        return 0;
    }
    BlankMapRequest request;
    bool help = false;
    std::string error;
    if (!parseBlankMapCommandLine(arguments, request, help, error)) {
        std::fprintf(stderr, "blankmap: %s\n\n%s", error.c_str(), BlankMapMaker::usage().c_str());
        return 1;
    }
    if (help) {
        std::fputs(BlankMapMaker::usage().c_str(), stdout);
        return 0;
    }
    if (!BlankMapMaker().make(request, stdout, error)) {
        std::fflush(stdout);
        std::fprintf(stderr, "blankmap: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
