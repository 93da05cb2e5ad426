#pragma once

#include "tests/support/process_run.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace tavik::test {

// A read-only stream over bytes whose reads fail with `error` once
// `failAfter` bytes were read: a disk that breaks part-way through a file.
// It can be positioned (fseeko) within the bytes. The caller closes it.
std::FILE* failingStream(std::string bytes, std::size_t failAfter, int error);

// True when this machine can run a program under strace with a failure
// injected (strace installed, and tracing allowed).
bool canInjectFaults();

// The call run under strace so that the `when`-th read() of the file at
// `absolutePath` fails with EIO (1 is the first). Reads are counted across
// every process of the run.
ProcessCall withReadErrorInjected(const ProcessCall& call, const std::string& absolutePath, int when);

// The call run under strace so that calls of `syscall` ("fsync") fail with
// `error` ("EIO"): `when` is strace's expression ("2" the second call, "2+"
// the second and every later one).
ProcessCall withSystemCallFailing(
    const ProcessCall& call, const std::string& syscall, const std::string& error, const std::string& when);

} // namespace tavik::test
