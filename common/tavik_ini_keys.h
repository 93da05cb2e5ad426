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

// The keys only norbek reads: the section [Norbek].
std::span<const IniKey> norbekIniKeys();

// Every key declared here, for the tests and the README's list.
std::span<const IniKey> allIniKeys();

// The default as a count (the key must be a Count the program reads).
int iniCountDefault(std::string_view text);

} // namespace tavik
