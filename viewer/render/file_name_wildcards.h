#pragma once

#include <string>
#include <string_view>

namespace tavik {

struct SpeciesRecord;

// True when the file-name part of a path (after its folder) holds one of the
// wildcards %A1, %A2, %S, %C.
bool hasFileNameWildcard(std::string_view path);

// Expands the wildcards of the file-name part: %A1 alias 1, %A2 alias 2, %S
// the scientific name, %C the species code in decimal. Inserted text is never
// expanded again, and its "/" and "\" become "_" so that a name cannot lead
// into another folder. The folder part is kept as written. All text is cp932.
std::string expandFileNameWildcards(std::string_view path, const SpeciesRecord& species);

} // namespace tavik
