#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tavik {

struct ToolError;

// The names of the area table's areas, for finding the area of a record
// that has no coordinates by its stateProvince or county. An area is known by
// its standard name (column 3), its names in alias 1 and 2 (columns 9 and 10:
// in the sample database katakana and romanised) and its further name
// (column 11). Names match when they are equal after blanks at the ends are
// dropped, hiragana folded to katakana, ASCII letters folded to lower case,
// long vowels written with a macron or circumflex taken as plain ("Kyōto"),
// and one ending that names the kind of area is dropped: 県, 府, 都
// (prefecture, urban prefecture, metropolis), "-ken", "-fu", "-to" and
// " Prefecture". A name that two areas share names neither.
class AreaNameIndex {
public:
    // Loads the area table at a cp932 path holding at most `capacity` areas
    // (AreaMax). False with the table path and a message in `error`.
    bool load(std::string_view path, int capacity, ToolError& error);

    // Adds one name (cp932) of an area.
    void add(std::string_view name, std::int32_t areaCode);

    // The code of the area a UTF-8 name names, or nothing.
    std::optional<std::int32_t> find(std::string_view utf8Name) const;

private:
    static constexpr std::int32_t ambiguous = -1;
    void addKey(std::string key, std::int32_t areaCode);

    std::unordered_map<std::string, std::int32_t> codes_; // key of a name → area code, or ambiguous
};

// The form names are compared in (cp932): see AreaNameIndex.
std::string areaNameKey(std::string_view cp932Name);

} // namespace tavik
