#pragma once

#include <string>
#include <vector>

namespace tavik {

struct Settings;

// The installed font families (at most 1,024), as cp932 names.
std::vector<std::string> installedFontFamilies();

// Settles the display and print font faces: a face that names no installed
// family (exact bytes) is replaced by the first family installed. Nothing
// changes when no family is installed at all.
void settleFontFaces(Settings& settings, const std::vector<std::string>& families);

} // namespace tavik
