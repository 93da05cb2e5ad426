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

std::span<const IniKey> viewerIniKeys()
{
    static const std::vector<IniKey> keys = [] {
        std::vector<IniKey> listed{iniKey::frameTitle, iniKey::frameShowMaximized, iniKey::frameWidth,
            iniKey::frameHeight, iniKey::childFrameWidth, iniKey::childFrameHeight, iniKey::dispScientificName,
            iniKey::dispAlias1, iniKey::dispAlias2, iniKey::dispMarkLegend, iniKey::dispFillLegend,
            iniKey::scientificNameStr, iniKey::alias1NameStr, iniKey::alias2NameStr, iniKey::spNameMode,
            iniKey::dispOrderMode, iniKey::rank, iniKey::convertColor, iniKey::geoLine, iniKey::geoWest,
            iniKey::geoEast, iniKey::geoSouth, iniKey::geoNorth, iniKey::geoLonSpan, iniKey::geoLatSpan,
            iniKey::geoLineColor, iniKey::geoLineType, iniKey::geoCrossPercent, iniKey::geoTransparent,
            iniKey::meshPaint, iniKey::displayFontFace, iniKey::displayFontSize, iniKey::blankMap, iniKey::addinMap,
            iniKey::printFormCfg, iniKey::paintCfg, iniKey::explanationPath, iniKey::helpDocumentPath,
            iniKey::helpDocumentName, iniKey::htmlDefaultAction, iniKey::browser, iniKey::browserUrlStyle,
            iniKey::browserUrlTop, iniKey::savePath, iniKey::nowPrintForm, iniKey::printFontFace,
            iniKey::printFontSize};
        listed.insert(listed.end(), std::begin(iniKey::geoTransparentCheck), std::end(iniKey::geoTransparentCheck));
        listed.insert(listed.end(), std::begin(iniKey::geoTransparentColor), std::end(iniKey::geoTransparentColor));
        return listed;
    }();
    return keys;
}

std::span<const IniKey> norbekIniKeys()
{
    static const std::vector<IniKey> keys = [] {
        std::vector<IniKey> listed{iniKey::norbekOrderBy, iniKey::norbekSpecies, iniKey::norbekPhyleticYn,
            iniKey::norbekGeoDeticYn, iniKey::norbekArea, iniKey::norbekSmallRegionYn, iniKey::norbekLargeRegionYn,
            iniKey::norbekLiterature, iniKey::norbekBook, iniKey::norbekDefaultFileType, iniKey::norbekHtmlCharSet,
            iniKey::norbekHtmlFont, iniKey::norbekHtmlBackGroundColor};
        listed.insert(listed.end(), std::begin(iniKey::norbekHtmlImageUrl), std::end(iniKey::norbekHtmlImageUrl));
        listed.insert(listed.end(), std::begin(iniKey::norbekHtmlImageList), std::end(iniKey::norbekHtmlImageList));
        listed.insert(listed.end(),
            {iniKey::norbekHtmlLitHeader, iniKey::norbekHtmlAllAreaHeader, iniKey::norbekIndexHtmlSort,
                iniKey::norbekOtherTextFile});
        return listed;
    }();
    return keys;
}

std::span<const IniKey> dwcIniKeys()
{
    static constexpr std::array keys{iniKey::dwcLiterature, iniKey::dwcRank, iniKey::dwcRankByYear,
        iniKey::dwcMaxUncertainty, iniKey::dwcGrid, iniKey::dwcEncoding, iniKey::dwcRefusedIssues};
    return keys;
}

std::span<const IniKey> allIniKeys()
{
    static const std::vector<IniKey> keys = [] {
        std::vector<IniKey> all(sharedIniKeys().begin(), sharedIniKeys().end());
        all.insert(all.end(), viewerIniKeys().begin(), viewerIniKeys().end());
        all.insert(all.end(), dwcIniKeys().begin(), dwcIniKeys().end());
        all.insert(all.end(), norbekIniKeys().begin(), norbekIniKeys().end());
        return all;
    }();
    return keys;
}

int iniCountDefault(std::string_view text) { return parseInteger(text); }

} // namespace tavik
