#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The files matching a path whose file-name part may hold "*" (any run of
// characters) and "?" (one character); letters match in either case, as file
// names did where the tables come from. Directories and the temporary
// files of replacements (isReplacementTemporaryName) are not matched. The
// result holds the paths (the pattern's directory part as written, then the
// name, cp932) in byte order of the names, so runs are repeatable.
std::vector<std::string> findFiles(std::string_view pattern);

// True when a name matches a wildcard pattern as findFiles matches them
// (both UTF-8).
bool matchesWildcard(std::string_view pattern, std::string_view name);

} // namespace tavik
