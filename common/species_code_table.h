#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tavik {

struct ToolError;

// samvel's species table: the species codes of the species table (column 0),
// sorted ascending, each code once.
class SpeciesCodeTable {
public:
    // Loads the table at a cp932 path holding at most `capacity` rows
    // (SpeciesMax). False with the table path and a message in `error`.
    bool load(std::string_view path, int capacity, ToolError& error);

    const std::vector<std::int64_t>& codes() const { return codes_; }

    // Position of a code in codes(), by binary search.
    std::optional<size_t> find(std::int64_t code) const;

private:
    std::vector<std::int64_t> codes_;
};

} // namespace tavik
