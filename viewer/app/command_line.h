#pragma once

#include "platform/paths.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// What one run of tavik is asked to do.
struct CommandLine {
    enum class Job { Windowed, Help, Save, Print };

    Job job = Job::Windowed;
    std::string target; // --save pattern or --print PDF path (as typed, UTF-8)
    int depth = 24; // bits per pixel of saved maps: 8 or 24
    bool overlay = false; // one map of up to 10 species
    bool all = false; // every species in species-table order
    std::vector<std::int64_t> codes; // species codes in the order given
    std::string form; // --form title (UTF-8), empty for the current form
    LocalPath folder; // windowed: the database folder (or a file in it) to open; empty for the start-up folder
    std::string error; // why the command line was refused (UTF-8, Japanese)
};

// Reads the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of `tavik --help` (UTF-8).
std::string commandLineHelp();

} // namespace tavik
