#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavik {

// dwcimport [--literature CODE] [--grid ORDER] [--max-uncertainty METRES]
//           [--rank BASIS:LETTER,...] [--rank-by-year YEAR:LETTER,...,*:LETTER]
//           [--encoding utf-8|cp932|utf-16|latin1] DOWNLOAD INPUT-TABLE
// The options set what the [Dwc] section of tavik.ini sets, and win over it.
// DOWNLOAD "-" is standard input.
struct DwcImportCommandLine {
    std::string download; // UTF-8 as typed
    std::string inputTable; // UTF-8 as typed
    std::optional<std::string> literature; // a literature code
    std::optional<std::string> grid; // an order, or "none"
    std::optional<std::string> maxUncertainty; // metres, or "none"
    std::vector<std::string> ranks; // BASIS:LETTER lists, applied in order
    std::optional<std::string> rankByYear; // YEAR:LETTER list, or "none"
    std::optional<std::string> encoding; // an encoding's name
    bool help = false;

    // Reads the arguments (UTF-8, without the program name). False with the
    // fault in `error` (UTF-8).
    static bool parse(const std::vector<std::string>& arguments, DwcImportCommandLine& line, std::string& error);

    // The help text (UTF-8), in Japanese and in English.
    static std::string usage();
};

} // namespace tavik
