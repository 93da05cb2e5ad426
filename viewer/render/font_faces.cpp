#include "viewer/render/font_faces.h"

#include "common/tavik_ini_keys.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/settings/settings.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

namespace tavik {
namespace {

constexpr std::size_t kMaxFontFamilies = 1024;

} // namespace

std::vector<std::string> storableFontFamilies(const QStringList& installed)
{
    std::vector<std::string> families;
    for (const QString& family : installed) {
        if (families.size() == kMaxFontFamilies)
            break;
        std::optional<std::string> name = cp932Name(family);
        if (name && name->size() <= iniKey::displayFontFace.maxBytes)
            families.push_back(std::move(*name));
    }
    return families;
}

std::vector<std::string> installedFontFamilies() { return storableFontFamilies(QFontDatabase::families()); }

void settleFontFaces(Settings& settings, const std::vector<std::string>& families)
{
    if (families.empty())
        return;
    for (std::string* face : {&settings.displayFontFace, &settings.printFontFace})
        if (std::find(families.begin(), families.end(), *face) == families.end())
            *face = families.front();
}

} // namespace tavik
