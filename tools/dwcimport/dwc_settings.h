#pragma once

#include "common/grid_square.h"
#include "tools/dwcimport/basis_ranks.h"
#include "tools/dwcimport/text_encoding.h"
#include "tools/dwcimport/year_ranks.h"

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
//   RankByYear=YEAR:LETTER,...,*:L  ranks by date instead (see YearRanks); none: by basisOfRecord
//   MaxUncertainty=METRES           refuse records less certain than this
//   Grid=ORDER                      write grid squares of this order
//   RefusedIssues=FLAG,...          GBIF issue flags that mark coordinates as wrong
//   Encoding=utf-8|cp932|utf-16|latin1   the text's encoding where nothing else says
struct DwcSettings {
    std::string literature; // cp932; empty when none is named
    BasisRanks ranks;
    std::optional<YearRanks> yearRanks;
    std::optional<double> maxUncertainty; // metres
    std::optional<GridOrder> grid;
    std::vector<std::string> refusedIssues; // upper case
    std::optional<TextEncoding> encoding; // --encoding
    std::optional<TextEncoding> settingsEncoding; // Encoding=

    // Reads [Dwc] and then the options. False with the key or option at
    // fault in `error` (UTF-8).
    static bool resolve(
        const IniFile& ini, const DwcImportCommandLine& line, DwcSettings& settings, std::string& error);
};

} // namespace tavik
