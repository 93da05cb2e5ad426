#pragma once

#include <cstdio>

namespace tavik {

struct SamvelCommandLine;
struct ToolError;

// One import run: reads the settings and the reference tables, in normal
// mode the two fact tables, then every input table matching the pattern, and
// only when every row was accepted merges the records and replaces both fact
// tables (each through a temporary file renamed over the old one).
class Samvel {
public:
    // Progress lines go to `progress`; false with the fault in `error`.
    static bool run(const SamvelCommandLine& commandLine, std::FILE* progress, ToolError& error);
};

} // namespace tavik
