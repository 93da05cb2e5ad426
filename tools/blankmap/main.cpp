// blankmap: makes a base map (image, blank-map definition, area table
// skeleton) from boundary polygons.
#include "common/tool_error.h"
#include "platform/program_version.h"
#include "platform/report_text.h"
#include "tools/blankmap/blank_map_maker.h"
#include "tools/blankmap/blankmap_command_line.h"

#include <cstdio>
#include <new>

namespace {

int runBlankMap(int argc, char** argv)
{
    using namespace tavik;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (asksForVersion(arguments)) {
        std::fputs(versionText("blankmap").c_str(), stdout);
        return 0;
    }
    BlankMapRequest request;
    bool help = false;
    std::string problem;
    if (!parseBlankMapCommandLine(arguments, request, help, problem)) {
        // The message may quote an argument, which can hold any byte.
        std::fprintf(stderr, "blankmap: %s\n\n%s", withControlsEscapedUtf8(problem, false).c_str(),
            BlankMapMaker::usage().c_str());
        return 1;
    }
    if (help) {
        std::fputs(BlankMapMaker::usage().c_str(), stdout);
        return 0;
    }
    BlankMapError error;
    if (!BlankMapMaker().make(request, stdout, error)) {
        std::fflush(stdout);
        printReport(error.file, error.message, stderr);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Memory that runs out anywhere is reported like any fault.
    try {
        return runBlankMap(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        tavik::printReport("", "メモリが足りません.", stderr);
        return 1;
    }
}
