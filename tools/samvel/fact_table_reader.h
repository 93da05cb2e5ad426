#pragma once

#include "platform/cp932_text.h"

#include <string>
#include <string_view>

namespace tavik {

class ToolAreaTable;
class FactStore;
class LiteratureTable;
class SpeciesCodeTable;
class FactLocation;
struct ToolError;

// Reads the two fact tables samvel wrote before (normal mode) into the store,
// checking every species code, area code, coordinate and literature code
// against the reference tables.
class FactTableReader {
public:
    FactTableReader(const SpeciesCodeTable& species, const ToolAreaTable& areas, const LiteratureTable& literature,
        FactStore& store);

    // The distribution table at a cp932 path: per line the species code and
    // location-reliability pairs.
    bool readDistribution(std::string_view path, ToolError& error);

    // The species-literature table: per line the species code, a location and
    // literature codes.
    bool readSpeciesLiterature(std::string_view path, ToolError& error);

private:
    // Reads a stored location; false with a message naming the row.
    bool parseLocation(std::string_view text, bool meshByJ, long row, FactLocation& location, Cp932Text& message);

    const SpeciesCodeTable& species_;
    const ToolAreaTable& areas_;
    const LiteratureTable& literature_;
    FactStore& store_;
};

} // namespace tavik
