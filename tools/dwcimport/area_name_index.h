#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavik {

struct ToolError;

// The names of the area table's areas, for finding the area of a record
// that has no coordinates by its stateProvince or county. An area is known by
// its standard name (column 3), its names in alias 1 and 2 (columns 9 and 10:
// in the sample database katakana and romanised) and its further name
// (column 11); its large and small regions (columns 12 and 13) say what it
// lies in. Names match as they are written in Japan in every form:
// - kanji, hiragana or katakana, full- or half-width (ﾄｳｷｮｳ), with or
//   without 都, 道, 府 or 県;
// - romanised in any case, full-width (Ｔｏｋｙｏ) or not, long vowels
//   written with a macron, a circumflex, doubled or with "u" or "h" (Tōkyō,
//   Tôkyô, Toukyou, Ohsaka), older Hepburn's "m" before b, m, p (Gumma),
//   with or without "-ken", "-fu", "-to", "-do", " Prefecture", " Pref.",
//   " Metropolis".
// A name that two areas share names neither.
class AreaNameIndex {
public:
    // Loads the area table at a cp932 path holding at most `capacity` areas
    // (AreaMax). False with the table path and a message in `error`.
    bool load(std::string_view path, int capacity, ToolError& error);

    // Adds one name (cp932) of an area.
    void add(std::string_view name, std::int32_t areaCode);

    // Adds a region (cp932) an area lies in (the area table's large or small region).
    void addRegion(std::string_view region, std::int32_t areaCode);

    // The code of the area a UTF-8 name names, or nothing.
    std::optional<std::int32_t> find(std::string_view utf8Name) const;

    // True when the area `inner` lies in the area `outer`: it is that area,
    // its code is a municipality's code under the prefecture's (JIS X 0401/
    // 0402: 27102 or 271021 lies in 27), or one of its regions is a name of
    // `outer`.
    bool liesIn(std::int32_t inner, std::int32_t outer) const;

private:
    static constexpr std::int32_t ambiguous = -1;
    void addKey(const std::string& key, std::int32_t areaCode);

    std::unordered_map<std::string, std::int32_t> codes_; // key of a name → area code, or ambiguous
    std::unordered_map<std::int32_t, std::vector<std::string>> names_; // area code → keys of its names
    std::unordered_map<std::int32_t, std::vector<std::string>> regions_; // area code → keys of its regions
};

// The forms a name (UTF-8) is looked up in: the key of the whole name, then
// the keys of the name without its ending that names the kind of area.
std::vector<std::string> areaNameKeys(std::string_view utf8Name);

} // namespace tavik
