#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace tavik::test {

// A program for a test to start. No shell comes between: each argument
// reaches the program as it stands, blanks, quotes and "%" included.
struct ProcessCall {
    ProcessCall(std::string path, std::vector<std::string> words, std::string folder = {})
        : program(std::move(path))
        , arguments(std::move(words))
        , directory(std::move(folder))
    {
    }

    std::string program; // a path, or a name looked up on PATH (pdfinfo)
    std::vector<std::string> arguments;
    std::string directory; // the working folder; empty: the test's own
    std::string input; // bytes on standard input
    std::vector<std::string> environment; // "NAME=value" settings on top of the test's environment
    bool mergeOutput = false; // standard error goes into `out` too, in the order written
};

// What a finished program gave back.
struct ProcessResult {
    int status = -1; // exit status; -1 when it did not exit by itself (killed) or could not start
    std::string out; // standard output, bytes as written
    std::string err; // standard error, unless merged into `out`
};

// A program started and not yet collected. Its output goes to files of the
// test temporary folder, so a program that writes much never blocks.
class StartedProcess {
public:
    explicit StartedProcess(const ProcessCall& call);
    // Kills and collects a program nobody waited for.
    ~StartedProcess();
    StartedProcess(StartedProcess&& other) noexcept;
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;
    StartedProcess& operator=(StartedProcess&&) = delete;

    pid_t id() const { return process_; }

    // Waits for the program to end and reads what it wrote.
    ProcessResult wait();

private:
    pid_t process_ = -1;
    std::string inPath_;
    std::string outPath_;
    std::string errPath_;
};

// Starts the program and waits for it.
ProcessResult runProcess(const ProcessCall& call);

// The path of a program of this build: "tavik" gives build/bin/tavik.
std::string builtProgram(const std::string& name);

} // namespace tavik::test
