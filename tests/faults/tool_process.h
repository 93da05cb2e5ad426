#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tavik::test {

// Starts build/bin/<tool> with the arguments in `directory`, its output sent
// to `logFile`; returns the process id (or -1).
pid_t startTool(const std::string& tool, const std::vector<std::string>& arguments, const std::string& directory,
    const std::string& logFile, const std::vector<std::string>& environment = {});

// Waits for a process; its exit status, or -1 when it did not exit normally.
int waitForTool(pid_t process);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

} // namespace tavik::test
