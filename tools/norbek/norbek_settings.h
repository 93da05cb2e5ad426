#pragma once

#include "common/tool_settings.h"
#include "tools/norbek/norbek_command_line.h"

#include <array>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class IniFile;

// The three names a species, an area, a literature or a book may be shown
// by: the standard (scientific) one, alias 1 (Japanese) and alias 2.
enum class NameForm { Standard, Alias1, Alias2 };

// Order of the species on the index page.
enum class IndexOrder { None, Code, Scientific, Alias1, Alias2 };

// What norbek reads from "tavik.ini": the table keys of [Path] and [Capacity]
// and the section [Norbek]. Text values are cp932.
struct NorbekSettings {
    // HtmlImageURL1.. and HtmlImageList1..: as many as are declared.
    static constexpr int imageSources = static_cast<int>(std::size(iniKey::norbekHtmlImageUrl));
    static_assert(std::size(iniKey::norbekHtmlImageList) == std::size(iniKey::norbekHtmlImageUrl));

    ToolSettings tables; // SpeciesTable, AreaTable, LiteraTable, SpLitDB and their capacities
    std::string phyleticTable{iniKey::phyleticTable.toolsDefault};
    std::string bookTable{iniKey::bookTable.toolsDefault};
    int phyleticMax = iniCountDefault(iniKey::phyleticMax.toolsDefault); // groups
    int bookMax = iniCountDefault(iniKey::bookMax.toolsDefault); // books

    NameForm orderBy = NameForm::Standard; // OrderBy: which author sorts the literature
    std::vector<NameForm> species{NameForm::Standard, NameForm::Alias1}; // Species: names in the header, in order
    bool phyletic = true; // PhyleticYN: group names beside the species names
    bool geoDetic = true; // GeoDeticYN: an area's latitude and longitude in its heading
    NameForm area = NameForm::Standard; // Area: name of an area in its heading
    bool smallRegion = true; // SmallRegionYN
    bool largeRegion = true; // LargeRegionYN
    NameForm literature = NameForm::Standard; // Literature: author and title shown
    NameForm book = NameForm::Standard; // Book: book title shown
    PageFileType defaultFileType = PageFileType::Html; // DefaultFileType
    std::string htmlCharSet; // HtmlCharSet, as written
    std::string fontFamily; // HtmlFont as one CSS font-family text; empty: none
    std::array<int, 3> background{255, 255, 255}; // HtmlBackGroundColor: red, green, blue 0-255
    std::array<std::string, imageSources> imageUrls; // HtmlImageURL1-10: "*" stands for the species name
    std::array<std::string, imageSources> imageLists; // HtmlImageList1-10: lists of image paths
    std::string litHeader; // HtmlLitHeader
    std::string allAreaHeader; // HtmlAllAreaHeader
    IndexOrder indexOrder = IndexOrder::None; // IndexHtmlSort
    std::string otherTextFile; // OtherTextFile: extension of an extra text-mode file, without a dot

    // Reads every key in order; false at the first value that is not allowed,
    // with the whole report to print in `fault`. iniPath is the settings
    // file's path as the report names it.
    static bool read(const IniFile& ini, std::string_view iniPath, NorbekSettings& settings, Cp932Text& fault);

    // HtmlFont as CSS: each name in double quotes unless it is quoted
    // already, joined by ","; at most eight names of 63 bytes each.
    static std::string fontFamilyText(std::string_view htmlFont);
};

} // namespace tavik
