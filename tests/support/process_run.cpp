#include "tests/support/process_run.h"

#include "tests/support/test_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace tavik::test {
namespace {

// A new file of its own in the test temporary directory for one stream of one
// run (mkstemp: no two runs, in this process or another, share one).
std::string streamFile(const char* stream)
{
    std::string pattern = ::testing::TempDir();
    if (pattern.empty() || pattern.back() != '/')
        pattern += '/';
    pattern += std::string("tavik_run_") + stream + "_XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0)
        throw std::runtime_error("cannot make a file from " + pattern);
    ::close(descriptor);
    return pattern;
}

} // namespace

std::string builtProgram(const std::string& name) { return std::string(TAVIK_BIN) + "/" + name; }

StartedProcess::StartedProcess(const ProcessCall& call)
    : inPath_(streamFile("in"))
    , outPath_(streamFile("out"))
    , errPath_(call.mergeOutput ? std::string() : streamFile("err"))
{
    writeBytes(inPath_, call.input);
    // Everything the child needs is made before the fork: it only opens,
    // duplicates and starts.
    std::vector<char*> argv;
    std::string program = call.program;
    argv.push_back(program.data());
    std::vector<std::string> arguments = call.arguments;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> settings = call.environment;

    process_ = ::fork();
    if (process_ == 0) {
        const int in = ::open(inPath_.c_str(), O_RDONLY);
        const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = call.mergeOutput ? out : ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || (!call.directory.empty() && ::chdir(call.directory.c_str()) != 0))
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (std::string& setting : settings)
            ::putenv(setting.data());
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
}

StartedProcess::StartedProcess(StartedProcess&& other) noexcept
    : process_(other.process_)
    , inPath_(std::move(other.inPath_))
    , outPath_(std::move(other.outPath_))
    , errPath_(std::move(other.errPath_))
{
    other.process_ = -1;
}

StartedProcess::~StartedProcess()
{
    if (process_ > 0) {
        ::kill(process_, SIGKILL);
        ::waitpid(process_, nullptr, 0);
    }
    for (const std::string* path : {&inPath_, &outPath_, &errPath_})
        if (!path->empty())
            ::unlink(path->c_str());
}

ProcessResult StartedProcess::wait()
{
    ProcessResult result;
    int status = 0;
    if (process_ > 0 && ::waitpid(process_, &status, 0) == process_ && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    process_ = -1;
    result.out = readBytes(outPath_);
    if (!errPath_.empty())
        result.err = readBytes(errPath_);
    return result;
}

ProcessResult runProcess(const ProcessCall& call) { return StartedProcess(call).wait(); }

} // namespace tavik::test
