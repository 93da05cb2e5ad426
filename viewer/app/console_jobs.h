#pragma once

#include <atomic>

namespace tavik {

class MessageSink;
struct CommandLine;

// Runs a command-line job (--save, --print) in the current directory: the
// viewer's start-up without windows, then the job. Returns the exit status:
// 0 on success, 1 after a failure (its message shown), 130 when `stop` was
// set (Ctrl+C) before the job finished.
int runConsoleJob(const CommandLine& line, MessageSink& messages, const std::atomic<bool>& stop);

} // namespace tavik
