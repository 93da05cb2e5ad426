#include "common/tavik_ini_keys.h"

#include "platform/text_numbers.h"

#include <array>
#include <iterator>
#include <vector>

namespace tavik {

std::span<const IniKey> sharedIniKeys()
{
    static constexpr std::array keys{iniKey::speciesTable, iniKey::areaTable, iniKey::literaTable,
        iniKey::phyleticTable, iniKey::bookTable, iniKey::wgsJgsTable, iniKey::taVikDb, iniKey::spLitDb,
        iniKey::speciesMax, iniKey::phyleticMax, iniKey::literaMax, iniKey::bookMax, iniKey::areaMax, iniKey::wgsJgsMax,
        iniKey::pointMaxPerSpecies, iniKey::meshGeodetic};
    return keys;
}

std::span<const IniKey> norbekIniKeys()
{
    static const std::vector<IniKey> keys = [] {
        std::vector<IniKey> keys{iniKey::norbekOrderBy, iniKey::norbekSpecies, iniKey::norbekPhyleticYn,
            iniKey::norbekGeoDeticYn, iniKey::norbekArea, iniKey::norbekSmallRegionYn, iniKey::norbekLargeRegionYn,
            iniKey::norbekLiterature, iniKey::norbekBook, iniKey::norbekDefaultFileType, iniKey::norbekHtmlCharSet,
            iniKey::norbekHtmlFont, iniKey::norbekHtmlBackGroundColor};
        keys.insert(keys.end(), std::begin(iniKey::norbekHtmlImageUrl), std::end(iniKey::norbekHtmlImageUrl));
        keys.insert(keys.end(), std::begin(iniKey::norbekHtmlImageList), std::end(iniKey::norbekHtmlImageList));
        keys.insert(keys.end(),
            {iniKey::norbekHtmlLitHeader, iniKey::norbekHtmlAllAreaHeader, iniKey::norbekIndexHtmlSort,
                iniKey::norbekOtherTextFile});
        return keys;
    }();
    return keys;
}

std::span<const IniKey> allIniKeys()
{
    static const std::vector<IniKey> keys = [] {
        std::vector<IniKey> all(sharedIniKeys().begin(), sharedIniKeys().end());
        all.insert(all.end(), norbekIniKeys().begin(), norbekIniKeys().end());
        return all;
    }();
    return keys;
}

int iniCountDefault(std::string_view text) { return parseInteger(text); }

} // namespace tavik
