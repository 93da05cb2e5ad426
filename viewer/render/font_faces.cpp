#include "viewer/render/font_faces.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/settings/settings.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace tavik {

std::vector<std::string> installedFontFamilies()
{
    std::vector<std::string> families;
    for (const QString& family : QFontDatabase::families()) {
        if (families.size() == 1024)
            break;
        families.push_back(cutCp932(cp932Text(family), 64));
    }
    return families;
}

void settleFontFaces(Settings& settings, const std::vector<std::string>& families)
{
    if (families.empty())
        return;
    for (std::string* face : {&settings.displayFontFace, &settings.printFontFace})
        if (std::find(families.begin(), families.end(), *face) == families.end())
            *face = families.front();
}

} // namespace tavik
