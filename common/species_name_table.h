#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

struct ToolError;

// One species name as ludric looks it up.
struct SpeciesName {
    std::string name; // trimmed, at most nameBytes bytes
    std::int64_t speciesCode = 0;
    std::int32_t rowIndex = 0; // row of the species table (0-based)
};

// ludric's species tables: the scientific names (species table column 1) and
// the Japanese names (column 7), each sorted by name, with the species code.
class SpeciesNameTable {
public:
    static constexpr size_t nameBytes = 63;

    // Loads the table at a cp932 path holding at most `capacity` rows
    // (SpeciesMax). False with the table path and a message in `error`.
    bool load(std::string_view path, int capacity, ToolError& error);

    // The species of a name (trimmed and cut to nameBytes as the table's
    // names were); null when none has it. An empty name names no species.
    const SpeciesName* findScientific(std::string_view name) const;
    const SpeciesName* findJapanese(std::string_view name) const;

    size_t size() const { return scientific_.size(); }

private:
    std::vector<SpeciesName> scientific_;
    std::vector<SpeciesName> japanese_;
};

} // namespace tavik
