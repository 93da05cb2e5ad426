#pragma once

#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"

#include <string>
#include <vector>

namespace tavik::test {

// What a run of the real tavik program gave back.
struct TavikRun {
    int status = -1;
    std::string errors; // standard output and standard error, in the order written
};

// Runs build/bin/tavik with the arguments in a working folder.
inline TavikRun runTavik(const TestFolder& folder, const std::vector<std::string>& arguments)
{
    ProcessCall call{builtProgram("tavik"), arguments, folder.path()};
    call.mergeOutput = true;
    const ProcessResult result = runProcess(call);
    return {result.status, result.out};
}

} // namespace tavik::test
