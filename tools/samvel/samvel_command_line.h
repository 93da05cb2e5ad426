#pragma once

#include "platform/cp932_text.h"

#include <string>
#include <vector>

namespace tavik {

// samvel [-rebuild | -Rebuild] input-table
struct SamvelCommandLine {
    bool rebuild = false;
    std::string inputPattern; // cp932; its file-name part may hold "*" and "?"; empty: show the usage
    std::string invalidParameter; // cp932; the option that ended the scan, if any
    Cp932Text pathFault; // the message of an input table named with no cp932 form

    // Takes the arguments (UTF-8, without the program name) left to right: an
    // unknown option ends the scan, the first other argument is the input
    // table, further ones are ignored.
    static SamvelCommandLine parse(const std::vector<std::string>& arguments);

    // The usage text (cp932), one line per line.
    static std::string usage();
};

} // namespace tavik
