#include "viewer/settings/settings.h"

#include "common/angle_text.h"
#include "common/tavik_ini_keys.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"

#include <algorithm>
#include <vector>

namespace tavik {
namespace {

// Every value is fetched into a buffer of 10,000 bytes first.
constexpr size_t kValueBytes = 9999;
constexpr size_t kPathBytes = 255;
constexpr size_t kAngleTextBytes = 31;

class Reader {
public:
    Reader(const IniFile& ini, const char* section)
        : ini_(ini)
        , section_(section)
    {
    }

    std::string text(std::string_view key, std::string_view fallback, size_t limit = kValueBytes) const
    {
        std::string value = ini_.value(section_, key, fallback);
        return cutCp932(value, std::min(limit, kValueBytes));
    }
    std::string upper(std::string_view key, std::string_view fallback) const
    {
        std::string value = text(key, fallback);
        for (char& c : value)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return value;
    }
    // A declared key as the viewer reads it, with the viewer's default.
    std::string text(const IniKey& key, size_t limit = kValueBytes) const
    {
        return cutCp932(ini_.value(key.section, key.name, key.viewerDefault), std::min(limit, kValueBytes));
    }
    int integer(const IniKey& key) const
    {
        std::optional<std::string> value = ini_.value(key.section, key.name);
        return value ? parseInteger(*value) : iniCountDefault(key.viewerDefault);
    }
    bool named(const char* key) const { return ini_.value(section_, key).has_value(); }
    int integer(const char* key, int fallback) const
    {
        std::optional<std::string> value = ini_.value(section_, key);
        return value ? parseInteger(*value) : fallback;
    }
    bool yes(const char* key, std::string_view fallback) const { return parseYesSubstring(text(key, fallback)); }
    AngleSetting angle(const char* key, std::string_view fallback, AngleKind kind) const
    {
        AngleSetting angle;
        angle.text = text(key, fallback, kAngleTextBytes);
        angle.degrees = parseAngle(angle.text, kind);
        return angle;
    }

private:
    const IniFile& ini_;
    const char* section_;
};

// Splits at commas the way strtok does (empty parts vanish), looking at no
// more than the first 510 bytes.
std::vector<std::string_view> commaParts(std::string_view value)
{
    value = value.substr(0, std::min<size_t>(value.size(), 510));
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        size_t end = comma == std::string_view::npos ? value.size() : comma;
        if (end > start)
            parts.push_back(value.substr(start, end - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

std::uint8_t lowByte(std::string_view part) { return static_cast<std::uint8_t>(parseInteger64(part) & 0xFF); }

std::optional<std::array<Colour, 2>> parseColourPair(std::string_view value)
{
    std::vector<std::string_view> parts = commaParts(value);
    if (parts.size() < 6)
        return std::nullopt;
    std::array<Colour, 2> pair;
    pair[0] = {lowByte(parts[0]), lowByte(parts[1]), lowByte(parts[2])};
    pair[1] = {lowByte(parts[3]), lowByte(parts[4]), lowByte(parts[5])};
    return pair;
}

NameMode parseNameMode(std::string_view value)
{
    if (value == "Alias1Name")
        return NameMode::Alias1Name;
    if (value == "Alias2Name")
        return NameMode::Alias2Name;
    return NameMode::ScientificName;
}

const char* nameModeText(NameMode mode)
{
    switch (mode) {
    case NameMode::Alias1Name:
        return "Alias1Name";
    case NameMode::Alias2Name:
        return "Alias2Name";
    case NameMode::ScientificName:
        break;
    }
    return "ScientificName";
}

double clampFontSize(double points) { return std::clamp(points, 1.0, 99.0); }

void readDisplay(const IniFile& ini, Settings& s)
{
    Reader r(ini, "Display");
    s.frameTitle = r.text("FrameTitle", cp932Literal("生物分布地図"), 255);
    s.frameShowMaximized = r.yes("FrameShowMaximized", "no");
    s.frameWidth = r.integer("FrameWidth", 800);
    s.frameHeight = r.integer("FrameHeight", 600);
    s.childFrameWidth = r.integer("ChildFrameWidth", 510);
    s.childFrameHeight = r.integer("ChildFrameHeight", 530);
    s.dispScientificName = r.yes("DispScientificName", "no");
    s.dispAlias1 = r.yes("DispAlias1", "no");
    s.dispAlias2 = r.yes("DispAlias2", "no");
    s.dispMarkLegend = r.yes("DispMarkLegend", "no");
    s.dispFillLegend = r.yes("DispFillLegend", "no");
    s.scientificNameStr = r.text("ScientificNameStr", "Scientfic Name", 63);
    s.alias1NameStr = r.text("Alias1NameStr", "Alias 1st", 63);
    s.alias2NameStr = r.text("Alias2NameStr", "Alias 2nd", 63);
    s.spNameMode = parseNameMode(r.text("SpNameMode", "ScientificName"));
    s.dispOrderMode = parseNameMode(r.text("DispOrderMode", "ScientificName"));

    std::string rank = r.text("Rank", "ABCZ");
    const char letters[4] = {'A', 'B', 'C', 'Z'};
    for (size_t i = 0; i < 4; ++i)
        s.rankEnabled[i] = rank.find(letters[i]) != std::string::npos;

    s.convertColor = parseColourPair(r.text("ConvertColor", ""));

    std::string geoLine = r.upper("GeoLine", "none");
    s.geoLine = geoLine == "MESH" ? GeoLineMode::Mesh : geoLine == "CROSS" ? GeoLineMode::Cross : GeoLineMode::None;
    s.geoWest = r.angle("GeoWest", "120", AngleKind::Longitude);
    s.geoEast = r.angle("GeoEast", "145", AngleKind::Longitude);
    s.geoSouth = r.angle("GeoSouth", "0", AngleKind::Latitude);
    s.geoNorth = r.angle("GeoNorth", "0", AngleKind::Latitude);
    s.geoLonSpan = r.angle("GeoLonSpan", "1", AngleKind::Span);
    s.geoLatSpan = r.angle("GeoLatSpan", "1", AngleKind::Span);
    // An unparsable line colour leaves the record's zero colour: black.
    s.geoLineColor = parseColour(r.text("GeoLineColor", "0,0,0")).value_or(Colour{});

    std::string lineType = r.upper("GeoLineType", "SOLID");
    const char* types[] = {"SOLID", "DASH", "DOT", "DASHDOT", "DASHDOTDOT"};
    s.geoLineType = LineType::Solid;
    for (int i = 0; i < 5; ++i)
        if (lineType == types[i])
            s.geoLineType = static_cast<LineType>(i);

    s.geoCrossPercentText = r.text("GeoCrossPercent", "5", 31);
    s.geoCrossPercent = parseReal(s.geoCrossPercentText);

    std::string transparent = r.upper("GeoTransparent", "ALL");
    s.geoTransparent = transparent.find("SELECT") != std::string::npos ? GeoTransparentMode::Select
        : transparent.find("BACKGROUND") != std::string::npos          ? GeoTransparentMode::Background
                                                                       : GeoTransparentMode::All;
    for (size_t i = 0; i < 8; ++i) {
        std::string key = "GeoTransparentCheck" + std::to_string(i);
        s.geoTransparentCheck[i] = r.upper(key.c_str(), "NO").find("YES") != std::string::npos;
    }
    for (size_t i = 0; i < 8; ++i) {
        std::string key = "GeoTransparentColor" + std::to_string(i);
        s.geoTransparentColor[i] = parseColour(r.text(key.c_str(), i == 0 ? "255,255,255" : ""));
    }
    s.meshWgs = r.upper(iniKey::meshGeodetic.name, iniKey::meshGeodetic.viewerDefault) == "WGS";
    s.meshMarked = r.upper("MeshPaint", "FilledMesh") == "MARKEDMESH";
    s.displayFontFace = r.text("DisplayFontFace", "Century", 64);
    s.displayFontSize = clampFontSize(parseReal(r.text("DisplayFontSize", "10.0")));
}

void readPaths(const IniFile& ini, Settings& s)
{
    Reader r(ini, "Path");
    const std::string& base = s.startupDirectory;
    auto absolute = [&](std::string_view key, std::string_view fallback) {
        return cutCp932(makeAbsolute(r.text(key, fallback, kPathBytes), base), kPathBytes);
    };
    s.blankMap = r.text("BlankMap", ".\\BlankMap\\jpn_Prefs_LEA_S\\jpn_Prefs_LEA_S.png", kPathBytes);
    s.addinMap = r.text("AddinMap", "", kPathBytes);
    s.printFormCfg = absolute("PrintFormCfg", "PrintForm.cfg");
    s.paintCfg = absolute("PaintCfg", "Painter.cfg");
    s.speciesTable = r.text(iniKey::speciesTable, kPathBytes);
    s.phyleticTable = r.text(iniKey::phyleticTable, kPathBytes);
    s.literaTable = r.text(iniKey::literaTable, kPathBytes);
    s.bookTable = r.text(iniKey::bookTable, kPathBytes);
    s.areaTable = r.text(iniKey::areaTable, kPathBytes);
    s.wgsJgsTable = r.text(iniKey::wgsJgsTable, kPathBytes);
    s.taVikDb = absolute(iniKey::taVikDb.name, iniKey::taVikDb.viewerDefault);
    s.explanationPath = absolute("ExplanationPath", ".\\explain\\");
    s.helpDocumentPath = absolute("HelpDocumentPath", ".\\doc\\");
    s.helpDocumentName = r.text("HelpDocumentName", "Tavik_doc.html", kPathBytes);
    s.helpDocumentNamed = r.named("HelpDocumentPath") || r.named("HelpDocumentName");
    s.htmlDefaultAction = r.yes("HtmlDefaultAction", "no");
    s.browser = absolute("Browser", "C:\\Program Files\\Internet Explorer\\Iexplore.exe");
    s.browserUrlStyle = r.yes("BrowserUrlStyle", "no");
    s.browserUrlTop = r.text("BrowserUrlTop", "", kPathBytes);
    s.savePath = r.text("SavePath", base, kPathBytes);
}

void readCapacities(const IniFile& ini, Settings& s)
{
    Reader r(ini, "Capacity");
    auto capacity = [&](const IniKey& key) { return std::max(key.lowest, r.integer(key)); };
    s.speciesMax = capacity(iniKey::speciesMax);
    s.phyleticMax = capacity(iniKey::phyleticMax);
    s.literaMax = capacity(iniKey::literaMax);
    s.bookMax = capacity(iniKey::bookMax);
    s.areaMax = capacity(iniKey::areaMax);
    s.wgsJgsMax = capacity(iniKey::wgsJgsMax);
    s.pointMaxPerSpecies = std::max(0, r.integer(iniKey::pointMaxPerSpecies));
    // Read as a number, "1,000" would draw one record and "all" none.
    if (std::optional<std::string> text
        = ini.value(iniKey::pointMaxPerSpecies.section, iniKey::pointMaxPerSpecies.name);
        text) {
        std::string_view digits = *text; // the settings file drops the blanks around values
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos
            || digits.find_first_not_of('0') == std::string_view::npos)
            s.pointMaxPerSpeciesFault = *text;
    }
}

void readPrint(const IniFile& ini, Settings& s)
{
    Reader r(ini, "Print");
    s.nowPrintForm = r.text("NowPrintForm", "", 254);
    s.printFontFace = r.text("PrintFontFace", "Century", 64);
    s.printFontSize = clampFontSize(parseReal(r.text("PrintFontSize", "10.0")));
}

const char* yesNo(bool on) { return on ? "yes" : "no"; }

} // namespace

bool parseYesSubstring(std::string_view value)
{
    return value.find("YES") != std::string_view::npos || value.find("Yes") != std::string_view::npos
        || value.find("yes") != std::string_view::npos;
}

std::optional<Colour> parseColour(std::string_view value)
{
    std::vector<std::string_view> parts = commaParts(value);
    if (parts.size() < 3)
        return std::nullopt;
    return Colour{lowByte(parts[0]), lowByte(parts[1]), lowByte(parts[2])};
}

std::string formatColour(const Colour& colour)
{
    return std::to_string(colour.r) + "," + std::to_string(colour.g) + "," + std::to_string(colour.b);
}

Settings readSettings(const IniFile& ini, std::string_view startupDirectory)
{
    Settings settings;
    settings.startupDirectory = std::string(startupDirectory);
    readDisplay(ini, settings);
    readPaths(ini, settings);
    readCapacities(ini, settings);
    readPrint(ini, settings);
    return settings;
}

void writeSettings(const Settings& s, WindowState state, IniFile& ini)
{
    auto display = [&](const std::string& key, const std::string& value) { ini.setValue("Display", key, value); };

    if (state == WindowState::Normal) {
        display("FrameWidth", std::to_string(s.frameWidth));
        display("FrameHeight", std::to_string(s.frameHeight));
    }
    display("FrameShowMaximized", yesNo(state == WindowState::Maximized));
    display("ChildFrameWidth", std::to_string(s.childFrameWidth));
    display("ChildFrameHeight", std::to_string(s.childFrameHeight));
    ini.setValue("Path", "SavePath", s.savePath);
    display("SpNameMode", nameModeText(s.spNameMode));
    display("DispOrderMode", nameModeText(s.dispOrderMode));
    display("DispScientificName", yesNo(s.dispScientificName));
    display("DispAlias1", yesNo(s.dispAlias1));
    display("DispAlias2", yesNo(s.dispAlias2));
    display("DispMarkLegend", yesNo(s.dispMarkLegend));
    display("DispFillLegend", yesNo(s.dispFillLegend));

    const char* geoLines[] = {"none", "mesh", "cross"};
    int geoLine = static_cast<int>(s.geoLine);
    if (geoLine >= 0 && geoLine <= 2)
        display("GeoLine", geoLines[geoLine]);
    display("GeoWest", s.geoWest.text);
    display("GeoEast", s.geoEast.text);
    display("GeoSouth", s.geoSouth.text);
    display("GeoNorth", s.geoNorth.text);
    display("GeoLonSpan", s.geoLonSpan.text);
    display("GeoLatSpan", s.geoLatSpan.text);
    display("GeoLineColor", formatColour(s.geoLineColor));
    const char* types[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};
    display("GeoLineType", types[std::clamp(static_cast<int>(s.geoLineType), 0, 4)]);
    display("GeoCrossPercent", s.geoCrossPercentText);
    const char* transparent[] = {"all", "background", "select"};
    display("GeoTransparent", transparent[std::clamp(static_cast<int>(s.geoTransparent), 0, 2)]);
    for (size_t i = 0; i < 8; ++i) {
        std::string n = std::to_string(i);
        const std::optional<Colour>& colour = s.geoTransparentColor[i];
        display("GeoTransparentCheck" + n, yesNo(colour && s.geoTransparentCheck[i]));
        display("GeoTransparentColor" + n, colour ? formatColour(*colour) : "");
    }
    display("MeshGeodetic", s.meshWgs ? "WGS" : "JGS");
    display("MeshPaint", s.meshMarked ? "MarkedMesh" : "FilledMesh");
}

} // namespace tavik
