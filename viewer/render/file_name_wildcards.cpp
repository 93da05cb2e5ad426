#include "viewer/render/file_name_wildcards.h"

#include "platform/paths.h"
#include "viewer/settings/species_table.h"

#include <array>

namespace tavik {
namespace {

constexpr std::array<std::string_view, 4> kWildcards = {"%A1", "%A2", "%S", "%C"};

// Where the file-name part begins (after the last separator).
size_t nameStart(std::string_view path)
{
    PathParts parts = splitPath(path);
    return parts.drive.size() + parts.directory.size();
}

} // namespace

bool hasFileNameWildcard(std::string_view path)
{
    std::string_view name = path.substr(nameStart(path));
    for (std::string_view wildcard : kWildcards)
        if (name.find(wildcard) != std::string_view::npos)
            return true;
    return false;
}

std::string expandFileNameWildcards(std::string_view path, const SpeciesRecord& species)
{
    size_t start = nameStart(path);
    std::string result(path.substr(0, start));
    std::string_view rest = path.substr(start);
    while (!rest.empty()) {
        size_t earliest = std::string_view::npos;
        size_t which = 0;
        for (size_t i = 0; i < kWildcards.size(); ++i) {
            size_t at = rest.find(kWildcards[i]);
            if (at < earliest) {
                earliest = at;
                which = i;
            }
        }
        if (earliest == std::string_view::npos) {
            result += rest;
            break;
        }
        result += rest.substr(0, earliest);
        switch (which) {
        case 0:
            result += fileNamePart(species.alias1);
            break;
        case 1:
            result += fileNamePart(species.alias2);
            break;
        case 2:
            result += fileNamePart(species.scientificName);
            break;
        default:
            result += std::to_string(species.code);
            break;
        }
        rest.remove_prefix(earliest + kWildcards[which].size());
    }
    return result;
}

} // namespace tavik
