#pragma once

#include "tests/support/test_folder.h"

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tavik::test {

// What a run of the real tavik program gave back.
struct TavikRun {
    int status = -1;
    std::string errors; // stdout and stderr, UTF-8
};

// Runs build/bin/tavik in a working folder with arguments as a shell would
// split them.
inline TavikRun runTavik(const TestFolder& folder, const std::string& arguments)
{
    std::string command = "cd '" + folder.path() + "' && " TAVIK_BIN "/tavik " + arguments + " 2>&1";
    TavikRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.errors.append(buffer, got);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace tavik::test
