// dwcimport: converts a Darwin Core / GBIF occurrence download into an input table.
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/program_version.h"
#include "tools/dwcimport/dwc_import.h"
#include "tools/dwcimport/dwcimport_command_line.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace tavik;
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        if (asksForVersion(arguments)) {
            std::fputs(versionText("dwcimport").c_str(), stdout);
            return 0;
        }
        DwcImportCommandLine line;
        std::string problem;
        if (!DwcImportCommandLine::parse(arguments, line, problem)) {
            std::fprintf(stderr, "dwcimport: %s\n\n%s", problem.c_str(), DwcImportCommandLine::usage().c_str());
            return 1;
        }
        if (line.help) {
            std::fputs(DwcImportCommandLine::usage().c_str(), stdout);
            return 0;
        }
        DwcImportSummary summary;
        ToolError error;
        // Progress lines only on a terminal: they rewrite one line with "\r".
        std::FILE* progress = ::isatty(STDERR_FILENO) ? stderr : nullptr;
        if (!DwcImport::run(line, progress, summary, error)) {
            std::fflush(stdout);
            printToolError(error);
            return 1;
        }
        std::fputs(summary.text().c_str(), stdout);
        return 0;
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        printToolError(ToolError{"", cp932Literal("メモリが足りません.")});
        return 1;
    }
}
