#pragma once

#include "tools/dwcimport/basis_ranks.h"
#include "tools/dwcimport/grid_square.h"

#include <optional>
#include <string>
#include <vector>

namespace tavik {

class IniFile;
struct DwcImportCommandLine;

// How dwcimport converts, from the [Dwc] section of tavik.ini and the
// command line, which wins:
//   Literature=CODE                 literature code of every row
//   Rank=BASIS:LETTER,...           ranks by basisOfRecord (see BasisRanks)
//   MaxUncertainty=METRES           refuse records less certain than this
//   Grid=ORDER                      write grid squares of this order
//   RefusedIssues=FLAG,...          GBIF issue flags that mark coordinates as wrong
struct DwcSettings {
    // The flags GBIF sets on coordinates it found to be wrong.
    static constexpr const char* defaultRefusedIssues
        = "ZERO_COORDINATE,COORDINATE_INVALID,COORDINATE_OUT_OF_RANGE,COUNTRY_COORDINATE_MISMATCH";

    std::string literature; // cp932; empty when none is named
    BasisRanks ranks;
    std::optional<double> maxUncertainty; // metres
    std::optional<GridOrder> grid;
    std::vector<std::string> refusedIssues; // upper case

    // Reads [Dwc] and then the options. False with the key or option at
    // fault in `error` (UTF-8).
    static bool resolve(
        const IniFile& ini, const DwcImportCommandLine& line, DwcSettings& settings, std::string& error);
};

} // namespace tavik
