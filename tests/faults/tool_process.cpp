#include "tests/faults/tool_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavik::test {

pid_t startTool(const std::string& tool, const std::vector<std::string>& arguments, const std::string& directory,
    const std::string& logFile, const std::vector<std::string>& environment)
{
    std::string program = std::string(TAVIK_BIN) + "/" + tool;
    std::vector<char*> argv{program.data()};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = ::fork();
    if (child == 0) {
        int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log < 0 || ::chdir(directory.c_str()) != 0)
            ::_exit(127);
        ::dup2(log, 1);
        ::dup2(log, 2);
        for (const std::string& setting : environment)
            ::putenv(const_cast<char*>(setting.c_str()));
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return child;
}

int waitForTool(pid_t process)
{
    int status = 0;
    if (::waitpid(process, &status, 0) != process || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace tavik::test
