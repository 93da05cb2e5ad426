#pragma once

#include "tools/blankmap/blank_map_maker.h"

#include <string>
#include <vector>

namespace tavik {

// Reads blankmap's arguments (UTF-8, after the program name) into a request
// (cp932 paths). False with `error` (UTF-8) for a command line it cannot
// take; `help` is set for -h and --help.
bool parseBlankMapCommandLine(
    const std::vector<std::string>& arguments, BlankMapRequest& request, bool& help, std::string& error);

} // namespace tavik
