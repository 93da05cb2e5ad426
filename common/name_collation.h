#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

namespace tavik {

// The one order of the tools' name lists (area names, literature texts,
// species names): byte-wise comparison of the cp932 text. Lists are sorted
// with it and searched with it, and equality means identical text.
inline bool nameLess(std::string_view a, std::string_view b) { return a < b; }

// Binary search of a list sorted by nameLess on `key` (a member naming the
// text): the first entry whose text equals name, or null.
template <typename Entry, typename Key>
const Entry* findByName(const std::vector<Entry>& list, Key Entry::*key, std::string_view name)
{
    auto it = std::lower_bound(list.begin(), list.end(), name,
        [key](const Entry& entry, std::string_view wanted) { return nameLess(entry.*key, wanted); });
    if (it == list.end() || std::string_view((*it).*key) != name)
        return nullptr;
    return &*it;
}

// Sorts a list by nameLess on `key`, keeping the file order of equal names.
template <typename Entry, typename Key> void sortByName(std::vector<Entry>& list, Key Entry::*key)
{
    std::stable_sort(
        list.begin(), list.end(), [key](const Entry& a, const Entry& b) { return nameLess(a.*key, b.*key); });
}

} // namespace tavik
