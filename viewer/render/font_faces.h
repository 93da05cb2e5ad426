#pragma once

#include <QtCore/qcontainerfwd.h>

#include <string>
#include <vector>

namespace tavik {

struct Settings;

// The families of `installed` that a face setting can name: their cp932
// names, in order, at most 1,024. A family whose name cp932 cannot hold
// whole (a Korean name, one that comes back as another, one longer than the
// 64 bytes a face setting keeps) is left out: chosen, it would be stored as
// another name ("????", or cut), never found again, and maps would be drawn
// in another font without a word.
std::vector<std::string> storableFontFamilies(const QStringList& installed);

// The installed font families a face setting can name (storableFontFamilies).
std::vector<std::string> installedFontFamilies();

// Settles the display and print font faces: a face that names no installed
// family (exact bytes) is replaced by the first family installed. Nothing
// changes when no family is installed at all.
void settleFontFaces(Settings& settings, const std::vector<std::string>& families);

} // namespace tavik
