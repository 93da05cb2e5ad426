#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tavik {

// What a key of tavik.ini holds.
enum class IniValueKind {
    Path, // a file or folder
    Count, // rows a table may hold
    Choice, // one word of a few
    Text, // any text
    YesNo, // "yes" or "no"
    Integer, // a whole number (a window's size)
    Number, // a real number (a font size, a percentage)
    Angle, // an angle text (degrees, minutes, seconds)
    Colour, // "r,g,b"
};

// One key of tavik.ini, with the default each program that reads it has
// always used. Where the viewer and the console tools differ (AreaMax: 4000
// and 2000; LiteraMax: 1000 and 2000; the tables' folders), both stand here
// side by side, and each program reads the key through this declaration. ""
// means the program does not read the key (or reads it with no default).
struct IniKey {
    std::string_view section;
    std::string_view name;
    IniValueKind kind;
    std::string_view viewerDefault; // tavik
    std::string_view toolsDefault; // samvel, ludric, norbek, dwcimport
    int lowest = 0; // a count below it is taken as it (the viewer), or refused (PointMaxPerSpecies)
    std::size_t maxBytes = 0; // bytes of a text value kept; 0: as many as the settings file holds
};

namespace iniKey {

// [Path]: the tables of the database. The viewer reads them beside its
// folder "dbase"; the tools, run in the database folder, by plain name.
inline constexpr IniKey speciesTable{
    "Path", "SpeciesTable", IniValueKind::Path, ".\\dbase\\species.csv", "species.csv"};
inline constexpr IniKey areaTable{"Path", "AreaTable", IniValueKind::Path, ".\\dbase\\area.csv", "area.csv"};
inline constexpr IniKey literaTable{"Path", "LiteraTable", IniValueKind::Path, ".\\dbase\\litera.csv", "litera.csv"};
inline constexpr IniKey phyleticTable{
    "Path", "PhyleticTable", IniValueKind::Path, ".\\dbase\\phyletic.csv", "phyletic.csv"};
inline constexpr IniKey bookTable{"Path", "BookTable", IniValueKind::Path, ".\\dbase\\book.csv", "book.csv"};
inline constexpr IniKey wgsJgsTable{
    "Path", "WgsJgsTable", IniValueKind::Path, ".\\dbase\\WGS_JGS.csv", ".\\dbase\\WGS_JGS.csv"};
inline constexpr IniKey taVikDb{"Path", "TaVikDB", IniValueKind::Path, ".\\dbase\\ta_vik.csv", "tavik.csv"};
inline constexpr IniKey spLitDb{"Path", "SpLitDB", IniValueKind::Path, "", "split.csv"};

// [Capacity]: rows each table may hold.
inline constexpr IniKey speciesMax{"Capacity", "SpeciesMax", IniValueKind::Count, "2000", "2000"};
inline constexpr IniKey phyleticMax{"Capacity", "PhyleticMax", IniValueKind::Count, "200", "200"};
inline constexpr IniKey literaMax{"Capacity", "LiteraMax", IniValueKind::Count, "1000", "2000"};
inline constexpr IniKey bookMax{"Capacity", "BookMax", IniValueKind::Count, "500", "200"};
inline constexpr IniKey areaMax{"Capacity", "AreaMax", IniValueKind::Count, "4000", "2000"};
inline constexpr IniKey wgsJgsMax{"Capacity", "WgsJgsMax", IniValueKind::Count, "200", "200"};
inline constexpr IniKey pointMaxPerSpecies{"Capacity", "PointMaxPerSpecies", IniValueKind::Count, "1000", "1000", 1};

// [Display] MeshGeodetic: the datum of the grid-square codes (JGS or WGS),
// which the viewer draws by and dwcimport writes by.
inline constexpr IniKey meshGeodetic{"Display", "MeshGeodetic", IniValueKind::Choice, "JGS", "JGS"};

// The keys only the viewer reads. Text values are cut to maxBytes; paths
// keep 255 bytes, angle texts 31.
inline constexpr std::size_t viewerPathBytes = 255;
inline constexpr std::size_t viewerAngleBytes = 31;

// [Display]: the main window and the map windows, the names shown, the
// longitude-latitude lines, the grid squares and the map's font.
inline constexpr IniKey frameTitle{"Display", "FrameTitle", IniValueKind::Text, "生物分布地図", "", 0, 255};
inline constexpr IniKey frameShowMaximized{"Display", "FrameShowMaximized", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey frameWidth{"Display", "FrameWidth", IniValueKind::Integer, "800", ""};
inline constexpr IniKey frameHeight{"Display", "FrameHeight", IniValueKind::Integer, "600", ""};
inline constexpr IniKey childFrameWidth{"Display", "ChildFrameWidth", IniValueKind::Integer, "510", ""};
inline constexpr IniKey childFrameHeight{"Display", "ChildFrameHeight", IniValueKind::Integer, "530", ""};
inline constexpr IniKey dispScientificName{"Display", "DispScientificName", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey dispAlias1{"Display", "DispAlias1", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey dispAlias2{"Display", "DispAlias2", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey dispMarkLegend{"Display", "DispMarkLegend", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey dispFillLegend{"Display", "DispFillLegend", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey scientificNameStr{
    "Display", "ScientificNameStr", IniValueKind::Text, "Scientfic Name", "", 0, 63};
inline constexpr IniKey alias1NameStr{"Display", "Alias1NameStr", IniValueKind::Text, "Alias 1st", "", 0, 63};
inline constexpr IniKey alias2NameStr{"Display", "Alias2NameStr", IniValueKind::Text, "Alias 2nd", "", 0, 63};
inline constexpr IniKey spNameMode{"Display", "SpNameMode", IniValueKind::Choice, "ScientificName", ""};
inline constexpr IniKey dispOrderMode{"Display", "DispOrderMode", IniValueKind::Choice, "ScientificName", ""};
inline constexpr IniKey rank{"Display", "Rank", IniValueKind::Text, "ABCZ", ""}; // the ranks shown, by letter
inline constexpr IniKey convertColor{"Display", "ConvertColor", IniValueKind::Colour, "", ""}; // two colours: from, to
inline constexpr IniKey geoLine{"Display", "GeoLine", IniValueKind::Choice, "none", ""};
inline constexpr IniKey geoWest{"Display", "GeoWest", IniValueKind::Angle, "120", "", 0, viewerAngleBytes};
inline constexpr IniKey geoEast{"Display", "GeoEast", IniValueKind::Angle, "145", "", 0, viewerAngleBytes};
inline constexpr IniKey geoSouth{"Display", "GeoSouth", IniValueKind::Angle, "0", "", 0, viewerAngleBytes};
inline constexpr IniKey geoNorth{"Display", "GeoNorth", IniValueKind::Angle, "0", "", 0, viewerAngleBytes};
inline constexpr IniKey geoLonSpan{"Display", "GeoLonSpan", IniValueKind::Angle, "1", "", 0, viewerAngleBytes};
inline constexpr IniKey geoLatSpan{"Display", "GeoLatSpan", IniValueKind::Angle, "1", "", 0, viewerAngleBytes};
inline constexpr IniKey geoLineColor{"Display", "GeoLineColor", IniValueKind::Colour, "0,0,0", ""};
inline constexpr IniKey geoLineType{"Display", "GeoLineType", IniValueKind::Choice, "SOLID", ""};
inline constexpr IniKey geoCrossPercent{"Display", "GeoCrossPercent", IniValueKind::Number, "5", "", 0, 31};
inline constexpr IniKey geoTransparent{"Display", "GeoTransparent", IniValueKind::Choice, "ALL", ""};
// The eight colours a map's background may be drawn through, each with its
// switch; only the first has a colour unless one is set.
inline constexpr IniKey geoTransparentCheck[8] = {
    {"Display", "GeoTransparentCheck0", IniValueKind::YesNo, "NO", ""},
    {"Display", "GeoTransparentCheck1", IniValueKind::YesNo, "NO", ""},
    {"Display", "GeoTransparentCheck2", IniValueKind::YesNo, "NO", ""},
    {"Display", "GeoTransparentCheck3", IniValueKind::YesNo, "NO", ""},
    {"Display", "GeoTransparentCheck4", IniValueKind::YesNo, "NO", ""},
    {"Display", "GeoTransparentCheck5", IniValueKind::YesNo, "NO", ""},
    {"Display", "GeoTransparentCheck6", IniValueKind::YesNo, "NO", ""},
    {"Display", "GeoTransparentCheck7", IniValueKind::YesNo, "NO", ""},
};
inline constexpr IniKey geoTransparentColor[8] = {
    {"Display", "GeoTransparentColor0", IniValueKind::Colour, "255,255,255", ""},
    {"Display", "GeoTransparentColor1", IniValueKind::Colour, "", ""},
    {"Display", "GeoTransparentColor2", IniValueKind::Colour, "", ""},
    {"Display", "GeoTransparentColor3", IniValueKind::Colour, "", ""},
    {"Display", "GeoTransparentColor4", IniValueKind::Colour, "", ""},
    {"Display", "GeoTransparentColor5", IniValueKind::Colour, "", ""},
    {"Display", "GeoTransparentColor6", IniValueKind::Colour, "", ""},
    {"Display", "GeoTransparentColor7", IniValueKind::Colour, "", ""},
};
inline constexpr IniKey meshPaint{"Display", "MeshPaint", IniValueKind::Choice, "FilledMesh", ""};
inline constexpr IniKey displayFontFace{"Display", "DisplayFontFace", IniValueKind::Text, "Century", "", 0, 64};
inline constexpr IniKey displayFontSize{"Display", "DisplayFontSize", IniValueKind::Number, "10.0", ""};

// [Path]: the viewer's files besides the tables. Relative ones are taken
// from the folder tavik started in; SavePath has that folder as default.
inline constexpr IniKey blankMap{"Path", "BlankMap", IniValueKind::Path,
    ".\\BlankMap\\jpn_Prefs_LEA_S\\jpn_Prefs_LEA_S.png", "", 0, viewerPathBytes};
inline constexpr IniKey addinMap{"Path", "AddinMap", IniValueKind::Path, "", "", 0, viewerPathBytes};
inline constexpr IniKey printFormCfg{
    "Path", "PrintFormCfg", IniValueKind::Path, "PrintForm.cfg", "", 0, viewerPathBytes};
inline constexpr IniKey paintCfg{"Path", "PaintCfg", IniValueKind::Path, "Painter.cfg", "", 0, viewerPathBytes};
inline constexpr IniKey explanationPath{
    "Path", "ExplanationPath", IniValueKind::Path, ".\\explain\\", "", 0, viewerPathBytes};
inline constexpr IniKey helpDocumentPath{
    "Path", "HelpDocumentPath", IniValueKind::Path, ".\\doc\\", "", 0, viewerPathBytes};
inline constexpr IniKey helpDocumentName{
    "Path", "HelpDocumentName", IniValueKind::Path, "Tavik_doc.html", "", 0, viewerPathBytes};
inline constexpr IniKey htmlDefaultAction{"Path", "HtmlDefaultAction", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey browser{"Path", "Browser", IniValueKind::Path,
    "C:\\Program Files\\Internet Explorer\\Iexplore.exe", "", 0, viewerPathBytes};
inline constexpr IniKey browserUrlStyle{"Path", "BrowserUrlStyle", IniValueKind::YesNo, "no", ""};
inline constexpr IniKey browserUrlTop{"Path", "BrowserUrlTop", IniValueKind::Text, "", "", 0, viewerPathBytes};
inline constexpr IniKey savePath{"Path", "SavePath", IniValueKind::Path, "", "", 0, viewerPathBytes};

// [Print]: the print form in use and the font of printed pages.
inline constexpr IniKey nowPrintForm{"Print", "NowPrintForm", IniValueKind::Text, "", "", 0, 254};
inline constexpr IniKey printFontFace{"Print", "PrintFontFace", IniValueKind::Text, "Century", "", 0, 64};
inline constexpr IniKey printFontSize{"Print", "PrintFontSize", IniValueKind::Number, "10.0", ""};

// [Dwc]: how dwcimport converts a download, where its command line does not
// say (the command line wins). No default: the download decides.
inline constexpr IniKey dwcLiterature{"Dwc", "Literature", IniValueKind::Text, "", ""};
inline constexpr IniKey dwcRank{"Dwc", "Rank", IniValueKind::Text, "", ""}; // BASIS:LETTER,...
inline constexpr IniKey dwcRankByYear{"Dwc", "RankByYear", IniValueKind::Text, "", ""}; // YEAR:LETTER,...,*:L
inline constexpr IniKey dwcMaxUncertainty{"Dwc", "MaxUncertainty", IniValueKind::Number, "", ""}; // metres
inline constexpr IniKey dwcGrid{"Dwc", "Grid", IniValueKind::Choice, "", ""};
inline constexpr IniKey dwcEncoding{"Dwc", "Encoding", IniValueKind::Choice, "", ""};
// The flags GBIF sets on coordinates it found to be wrong.
inline constexpr IniKey dwcRefusedIssues{"Dwc", "RefusedIssues", IniValueKind::Text, "",
    "ZERO_COORDINATE,COORDINATE_INVALID,COORDINATE_OUT_OF_RANGE,COUNTRY_COORDINATE_MISMATCH"};

// [Norbek]: the literature pages norbek writes, read by norbek alone. The
// choices are compared in lower case after the cut to maxBytes; a wrong value
// is reported as written. Species is a list of up to three of "scientific",
// "alias1" and "alias2" by commas, each name cut to 15 bytes.
inline constexpr std::size_t norbekYesNoBytes = 7;
inline constexpr std::size_t norbekChoiceBytes = 15;
inline constexpr std::size_t norbekPathBytes = 255;
inline constexpr IniKey norbekOrderBy{
    "Norbek", "OrderBy", IniValueKind::Choice, "", "authorstandard", 0, norbekChoiceBytes};
inline constexpr IniKey norbekSpecies{"Norbek", "Species", IniValueKind::Choice, "", "Scientific,Alias1"};
inline constexpr IniKey norbekPhyleticYn{"Norbek", "PhyleticYN", IniValueKind::YesNo, "", "yes", 0, norbekYesNoBytes};
inline constexpr IniKey norbekGeoDeticYn{"Norbek", "GeoDeticYN", IniValueKind::YesNo, "", "yes", 0, norbekYesNoBytes};
inline constexpr IniKey norbekArea{"Norbek", "Area", IniValueKind::Choice, "", "Standard", 0, norbekChoiceBytes};
inline constexpr IniKey norbekSmallRegionYn{
    "Norbek", "SmallRegionYN", IniValueKind::YesNo, "", "yes", 0, norbekYesNoBytes};
inline constexpr IniKey norbekLargeRegionYn{
    "Norbek", "LargeRegionYN", IniValueKind::YesNo, "", "yes", 0, norbekYesNoBytes};
inline constexpr IniKey norbekLiterature{
    "Norbek", "Literature", IniValueKind::Choice, "", "Standard", 0, norbekChoiceBytes};
inline constexpr IniKey norbekBook{"Norbek", "Book", IniValueKind::Choice, "", "Standard", 0, norbekChoiceBytes};
inline constexpr IniKey norbekDefaultFileType{
    "Norbek", "DefaultFileType", IniValueKind::Choice, "", "Html", 0, norbekChoiceBytes};
inline constexpr IniKey norbekHtmlCharSet{"Norbek", "HtmlCharSet", IniValueKind::Text, "", "", 0, 63};
inline constexpr IniKey norbekHtmlFont{"Norbek", "HtmlFont", IniValueKind::Text, "", ""}; // up to eight names by commas
inline constexpr IniKey norbekHtmlBackGroundColor{
    "Norbek", "HtmlBackGroundColor", IniValueKind::Colour, "", "255,255,255"};
// HtmlImageURL1-10 and HtmlImageList1-10: image paths relative to the pages
// (in a URL "*" stands for the species name) and lists of such paths. Each
// number is a key of its own, written out, so that the list of every key
// holds it as the settings file spells it.
inline constexpr IniKey norbekHtmlImageUrl[10] = {
    {"Norbek", "HtmlImageURL1", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL2", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL3", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL4", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL5", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL6", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL7", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL8", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL9", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageURL10", IniValueKind::Path, "", "", 0, norbekPathBytes},
};
inline constexpr IniKey norbekHtmlImageList[10] = {
    {"Norbek", "HtmlImageList1", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList2", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList3", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList4", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList5", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList6", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList7", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList8", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList9", IniValueKind::Path, "", "", 0, norbekPathBytes},
    {"Norbek", "HtmlImageList10", IniValueKind::Path, "", "", 0, norbekPathBytes},
};
inline constexpr IniKey norbekHtmlLitHeader{"Norbek", "HtmlLitHeader", IniValueKind::Text, "", "", 0, norbekPathBytes};
inline constexpr IniKey norbekHtmlAllAreaHeader{
    "Norbek", "HtmlAllAreaHeader", IniValueKind::Text, "", "", 0, norbekPathBytes};
inline constexpr IniKey norbekIndexHtmlSort{
    "Norbek", "IndexHtmlSort", IniValueKind::Choice, "", "none", 0, norbekChoiceBytes};
// OtherTextFile: the extension (with or without its dot) of an extra, empty
// file norbek makes beside each text page.
inline constexpr IniKey norbekOtherTextFile{
    "Norbek", "OtherTextFile", IniValueKind::Text, "", "", 0, norbekChoiceBytes};

} // namespace iniKey

// The keys above that more than one program reads.
std::span<const IniKey> sharedIniKeys();

// The keys only the viewer reads.
std::span<const IniKey> viewerIniKeys();

// The keys only dwcimport reads.
std::span<const IniKey> dwcIniKeys();

// The keys only norbek reads: the section [Norbek].
std::span<const IniKey> norbekIniKeys();

// Every key declared here, for the tests and the README's list.
std::span<const IniKey> allIniKeys();

// The default as a count (the key must be a Count the program reads).
int iniCountDefault(std::string_view text);

} // namespace tavik
