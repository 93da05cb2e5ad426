#pragma once

#include "common/text_helpers.h"

#include <cstdint>
#include <string>

namespace tavik {

class CsvReader;

// A row of the phyletic table (phyletic.csv): a taxonomic group, as the
// viewer and norbek read it. Texts are cp932.
struct PhyleticRecord {
    static constexpr size_t nameBytes = 63;

    std::int64_t code = 0;
    std::string name; // the group's scientific name, up to 63 bytes
    std::int64_t parentCode = 0; // 0 or negative: a top-level group
    std::string alias1; // the group's name in the alias 1 form, up to 63 bytes
    std::string alias2; // up to 63 bytes
    int row = 0; // position among the rows of the file (0-based); the loader sets it

    // The current row of a table, its texts kept as `texts` says.
    static PhyleticRecord read(const CsvReader& reader, TableTexts texts);
};

} // namespace tavik
