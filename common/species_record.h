#pragma once

#include "common/text_helpers.h"

#include <cstdint>
#include <string>

namespace tavik {

class CsvReader;

// A row of the species table (species.csv), as the viewer and norbek read
// it. Texts are cp932.
struct SpeciesRecord {
    static constexpr size_t nameBytes = 63; // every name and group name
    static constexpr size_t authorBytes = 47;
    static constexpr size_t yearBytes = 7;

    std::int64_t code = 0;
    std::string scientificName; // up to 63 bytes
    std::string author; // up to 47 bytes
    std::string year; // up to 7 bytes
    bool parenthesis = false; // "C": author and year are printed in parentheses
    std::int64_t phyleticCode = 0; // 0 or negative: to be assigned from the group names
    std::string groupName; // the group's scientific name, up to 63 bytes
    std::string alias1; // first vernacular name (the Japanese name), up to 63 bytes
    std::string groupAlias1; // up to 63 bytes
    std::string alias2; // up to 63 bytes
    std::string groupAlias2; // up to 63 bytes
    int row = 0; // position among the rows of the file (0-based); the loader sets it

    // The current row of a table, its texts kept as `texts` says.
    static SpeciesRecord read(const CsvReader& reader, TableTexts texts);
};

} // namespace tavik
