#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

struct ToolError;

// One name of an area as samvel matches input area names against it.
struct AreaName {
    std::string name; // trimmed, kana-folded, at most nameBytes bytes
    std::int32_t areaCode = 0;
    std::int32_t duplicateCount = 0; // 0 for a unique name, N for each of N identical names
    std::int32_t entryIndex = 0; // row of the area among the areas read (0-based)
};

// samvel's area table: the area codes (column 0) sorted ascending, and the
// area names (column 9 and, when not empty, column 11) sorted by name.
class ToolAreaTable {
public:
    static constexpr size_t nameBytes = 31;

    // Loads the table at a cp932 path holding at most `capacity` areas
    // (AreaMax). False with the table path and a message in `error`.
    bool load(std::string_view path, int capacity, ToolError& error);

    bool containsCode(std::int32_t code) const;

    // The entry of a name: the name is trimmed, cut to nameBytes and
    // kana-folded as the table's names were; null when no area has it.
    const AreaName* findName(std::string_view name) const;

    const std::vector<std::int32_t>& codes() const { return codes_; }
    const std::vector<AreaName>& names() const { return names_; }

    // The form a name takes in the name list.
    static std::string nameKey(std::string_view name);

private:
    std::vector<std::int32_t> codes_;
    std::vector<AreaName> names_;
};

} // namespace tavik
