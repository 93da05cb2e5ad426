#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavik {

// dwcimport [--literature CODE] [--grid ORDER] [--max-uncertainty METRES]
//           [--rank BASIS:LETTER,...] DOWNLOAD INPUT-TABLE
// The options set what the [Dwc] section of tavik.ini sets, and win over it.
struct DwcImportCommandLine {
    std::string download; // UTF-8 as typed
    std::string inputTable; // UTF-8 as typed
    std::optional<std::string> literature; // a literature code
    std::optional<std::string> grid; // an order, or "none"
    std::optional<std::string> maxUncertainty; // metres, or "none"
    std::vector<std::string> ranks; // BASIS:LETTER lists, applied in order
    bool help = false;

    // Reads the arguments (UTF-8, without the program name). False with the
    // fault in `error`.
    static bool parse(const std::vector<std::string>& arguments, DwcImportCommandLine& line, std::string& error);

    static std::string usage();
};

} // namespace tavik
