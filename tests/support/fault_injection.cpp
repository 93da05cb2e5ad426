#include "tests/support/fault_injection.h"

#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavik::test {
namespace {

// The leak checker of a sanitized build cannot run under a tracer: it stops
// the traced program with a fatal error of its own.
constexpr const char* kNoLeakCheck = "ASAN_OPTIONS=detect_leaks=0";

struct FailingBytes {
    std::string bytes;
    std::size_t failAfter;
    int error;
    std::size_t at = 0;
};

ssize_t readFailing(void* cookie, char* buffer, std::size_t size)
{
    auto* source = static_cast<FailingBytes*>(cookie);
    // Reads stop short of the failing place; the one that reaches it fails.
    const std::size_t end = std::min(source->bytes.size(), source->failAfter);
    if (source->at >= end && end < source->bytes.size()) {
        errno = source->error;
        return -1;
    }
    std::size_t count = std::min(size, end - std::min(end, source->at));
    std::memcpy(buffer, source->bytes.data() + source->at, count);
    source->at += count;
    return static_cast<ssize_t>(count);
}

int seekFailing(void* cookie, off64_t* offset, int whence)
{
    auto* source = static_cast<FailingBytes*>(cookie);
    off64_t base = whence == SEEK_SET ? 0
        : whence == SEEK_CUR          ? static_cast<off64_t>(source->at)
                                      : static_cast<off64_t>(source->bytes.size());
    if (base + *offset < 0)
        return -1;
    source->at = static_cast<std::size_t>(base + *offset);
    *offset = base + *offset;
    return 0;
}

int closeFailing(void* cookie)
{
    delete static_cast<FailingBytes*>(cookie);
    return 0;
}

} // namespace

std::FILE* failingStream(std::string bytes, std::size_t failAfter, int error)
{
    auto* source = new FailingBytes{std::move(bytes), failAfter, error};
    cookie_io_functions_t functions{readFailing, nullptr, seekFailing, closeFailing};
    return ::fopencookie(source, "rb", functions);
}

bool canInjectFaults()
{
    static const bool works = [] {
        ProcessCall call("strace", {"-f", "-qq", "-o", "/dev/null", "-e", "inject=getpid:error=EIO", "true"});
        return runProcess(call).status == 0;
    }();
    return works;
}

ProcessCall withReadErrorInjected(const ProcessCall& call, const std::string& absolutePath, int when)
{
    ProcessCall traced = call;
    traced.program = "strace";
    traced.arguments = {"-f", "-qq", "-o", "/dev/null", "-E", kNoLeakCheck, "-P", absolutePath, "-e", "trace=read",
        "-e", "inject=read:error=EIO:when=" + std::to_string(when), call.program};
    traced.arguments.insert(traced.arguments.end(), call.arguments.begin(), call.arguments.end());
    return traced;
}

ProcessCall withSystemCallFailing(
    const ProcessCall& call, const std::string& syscall, const std::string& error, const std::string& when)
{
    ProcessCall traced = call;
    traced.program = "strace";
    traced.arguments = {"-f", "-qq", "-o", "/dev/null", "-E", kNoLeakCheck, "-e", "trace=" + syscall, "-e",
        "inject=" + syscall + ":error=" + error + ":when=" + when, call.program};
    traced.arguments.insert(traced.arguments.end(), call.arguments.begin(), call.arguments.end());
    return traced;
}

} // namespace tavik::test
