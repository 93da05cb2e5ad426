// ludric: fills the species code column of input tables from the species table.
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/program_version.h"
#include "tools/ludric/ludric.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

int runLudric(int argc, char** argv)
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
    const std::optional<std::string> folder = cp932PathArgument(argv[1]);
    if (!folder) {
        printToolError({"", pathWithoutCp932Message(LocalPath(argv[1]))});
        return 1;
    }
    ToolError error;
    if (!Ludric::run(*folder, stdout, error)) {
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
        return runLudric(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        tavik::printToolError({"", tavik::cp932Literal("メモリが足りません.")});
        return 1;
    }
}
