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

// Reads declared keys as the viewer reads them: with the viewer's default
// (in the file's encoding), a text cut to the key's bound.
class Reader {
public:
    explicit Reader(const IniFile& ini)
        : ini_(ini)
    {
    }

    // `limit` bounds a key declared without one of its own (the tables'
    // paths, which the tools read too).
    std::string text(const IniKey& key, size_t limit = 0) const
    {
        return text(key, cp932Literal(key.viewerDefault), limit);
    }
    // A key whose default is known only as tavik starts (SavePath).
    std::string text(const IniKey& key, std::string_view fallback, size_t limit = 0) const
    {
        const size_t bound = key.maxBytes != 0 ? key.maxBytes : limit != 0 ? limit : kValueBytes;
        return cutCp932(ini_.value(key.section, key.name, fallback), std::min(bound, kValueBytes));
    }
    std::string upper(const IniKey& key) const
    {
        std::string value = text(key);
        for (char& c : value)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return value;
    }
    int integer(const IniKey& key) const
    {
        std::optional<std::string> value = ini_.value(key.section, key.name);
        return value ? parseInteger(*value) : iniCountDefault(key.viewerDefault);
    }
    bool named(const IniKey& key) const { return ini_.value(key.section, key.name).has_value(); }
    bool yes(const IniKey& key) const { return parseYesSubstring(text(key)); }
    AngleSetting angle(const IniKey& key, AngleKind kind) const
    {
        AngleSetting angle;
        angle.text = text(key);
        angle.degrees = parseAngle(angle.text, kind);
        return angle;
    }

private:
    const IniFile& ini_;
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
    using namespace iniKey;
    Reader r(ini);
    s.frameTitle = r.text(frameTitle);
    s.frameShowMaximized = r.yes(frameShowMaximized);
    s.frameWidth = r.integer(frameWidth);
    s.frameHeight = r.integer(frameHeight);
    s.childFrameWidth = r.integer(childFrameWidth);
    s.childFrameHeight = r.integer(childFrameHeight);
    s.dispScientificName = r.yes(dispScientificName);
    s.dispAlias1 = r.yes(dispAlias1);
    s.dispAlias2 = r.yes(dispAlias2);
    s.dispMarkLegend = r.yes(dispMarkLegend);
    s.dispFillLegend = r.yes(dispFillLegend);
    s.scientificNameStr = r.text(scientificNameStr);
    s.alias1NameStr = r.text(alias1NameStr);
    s.alias2NameStr = r.text(alias2NameStr);
    s.spNameMode = parseNameMode(r.text(spNameMode));
    s.dispOrderMode = parseNameMode(r.text(dispOrderMode));

    std::string ranks = r.text(rank);
    const char letters[4] = {'A', 'B', 'C', 'Z'};
    for (size_t i = 0; i < 4; ++i)
        s.rankEnabled[i] = ranks.find(letters[i]) != std::string::npos;

    s.convertColor = parseColourPair(r.text(convertColor));

    std::string lines = r.upper(geoLine);
    s.geoLine = lines == "MESH" ? GeoLineMode::Mesh : lines == "CROSS" ? GeoLineMode::Cross : GeoLineMode::None;
    s.geoWest = r.angle(geoWest, AngleKind::Longitude);
    s.geoEast = r.angle(geoEast, AngleKind::Longitude);
    s.geoSouth = r.angle(geoSouth, AngleKind::Latitude);
    s.geoNorth = r.angle(geoNorth, AngleKind::Latitude);
    s.geoLonSpan = r.angle(geoLonSpan, AngleKind::Span);
    s.geoLatSpan = r.angle(geoLatSpan, AngleKind::Span);
    // An unparsable line colour leaves the record's zero colour: black.
    s.geoLineColor = parseColour(r.text(geoLineColor)).value_or(Colour{});

    std::string lineType = r.upper(geoLineType);
    const char* types[] = {"SOLID", "DASH", "DOT", "DASHDOT", "DASHDOTDOT"};
    s.geoLineType = LineType::Solid;
    for (int i = 0; i < 5; ++i)
        if (lineType == types[i])
            s.geoLineType = static_cast<LineType>(i);

    s.geoCrossPercentText = r.text(geoCrossPercent);
    s.geoCrossPercent = parseReal(s.geoCrossPercentText);

    std::string transparent = r.upper(geoTransparent);
    s.geoTransparent = transparent.find("SELECT") != std::string::npos ? GeoTransparentMode::Select
        : transparent.find("BACKGROUND") != std::string::npos          ? GeoTransparentMode::Background
                                                                       : GeoTransparentMode::All;
    for (size_t i = 0; i < 8; ++i) {
        s.geoTransparentCheck[i] = r.upper(geoTransparentCheck[i]).find("YES") != std::string::npos;
        s.geoTransparentColor[i] = parseColour(r.text(geoTransparentColor[i]));
    }
    s.meshWgs = r.upper(meshGeodetic) == "WGS";
    s.meshMarked = r.upper(meshPaint) == "MARKEDMESH";
    s.displayFontFace = r.text(displayFontFace);
    s.displayFontSize = clampFontSize(parseReal(r.text(displayFontSize)));
}

void readPaths(const IniFile& ini, Settings& s)
{
    using namespace iniKey;
    Reader r(ini);
    const std::string& base = s.startupDirectory;
    auto absolute
        = [&](const IniKey& key) { return cutCp932(makeAbsolute(r.text(key, kPathBytes), base), kPathBytes); };
    s.blankMap = r.text(blankMap);
    s.addinMap = r.text(addinMap);
    s.printFormCfg = absolute(printFormCfg);
    s.paintCfg = absolute(paintCfg);
    s.speciesTable = r.text(speciesTable, kPathBytes);
    s.phyleticTable = r.text(phyleticTable, kPathBytes);
    s.literaTable = r.text(literaTable, kPathBytes);
    s.bookTable = r.text(bookTable, kPathBytes);
    s.areaTable = r.text(areaTable, kPathBytes);
    s.wgsJgsTable = r.text(wgsJgsTable, kPathBytes);
    s.taVikDb = absolute(taVikDb);
    s.explanationPath = absolute(explanationPath);
    s.helpDocumentPath = absolute(helpDocumentPath);
    s.helpDocumentName = r.text(helpDocumentName);
    s.helpDocumentNamed = r.named(helpDocumentPath) || r.named(helpDocumentName);
    s.htmlDefaultAction = r.yes(htmlDefaultAction);
    s.browser = absolute(browser);
    s.browserUrlStyle = r.yes(browserUrlStyle);
    s.browserUrlTop = r.text(browserUrlTop);
    s.savePath = r.text(savePath, base);
}

void readCapacities(const IniFile& ini, Settings& s)
{
    Reader r(ini);
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
    Reader r(ini);
    s.nowPrintForm = r.text(iniKey::nowPrintForm);
    s.printFontFace = r.text(iniKey::printFontFace);
    s.printFontSize = clampFontSize(parseReal(r.text(iniKey::printFontSize)));
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
    using namespace iniKey;
    auto put = [&](const IniKey& key, const std::string& value) { ini.setValue(key.section, key.name, value); };

    if (state == WindowState::Normal) {
        put(frameWidth, std::to_string(s.frameWidth));
        put(frameHeight, std::to_string(s.frameHeight));
    }
    put(frameShowMaximized, yesNo(state == WindowState::Maximized));
    put(childFrameWidth, std::to_string(s.childFrameWidth));
    put(childFrameHeight, std::to_string(s.childFrameHeight));
    put(savePath, s.savePath);
    put(spNameMode, nameModeText(s.spNameMode));
    put(dispOrderMode, nameModeText(s.dispOrderMode));
    put(dispScientificName, yesNo(s.dispScientificName));
    put(dispAlias1, yesNo(s.dispAlias1));
    put(dispAlias2, yesNo(s.dispAlias2));
    put(dispMarkLegend, yesNo(s.dispMarkLegend));
    put(dispFillLegend, yesNo(s.dispFillLegend));

    const char* geoLines[] = {"none", "mesh", "cross"};
    int lines = static_cast<int>(s.geoLine);
    if (lines >= 0 && lines <= 2)
        put(geoLine, geoLines[lines]);
    put(geoWest, s.geoWest.text);
    put(geoEast, s.geoEast.text);
    put(geoSouth, s.geoSouth.text);
    put(geoNorth, s.geoNorth.text);
    put(geoLonSpan, s.geoLonSpan.text);
    put(geoLatSpan, s.geoLatSpan.text);
    put(geoLineColor, formatColour(s.geoLineColor));
    const char* types[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};
    put(geoLineType, types[std::clamp(static_cast<int>(s.geoLineType), 0, 4)]);
    put(geoCrossPercent, s.geoCrossPercentText);
    const char* transparent[] = {"all", "background", "select"};
    put(geoTransparent, transparent[std::clamp(static_cast<int>(s.geoTransparent), 0, 2)]);
    for (size_t i = 0; i < 8; ++i) {
        const std::optional<Colour>& colour = s.geoTransparentColor[i];
        put(geoTransparentCheck[i], yesNo(colour && s.geoTransparentCheck[i]));
        put(geoTransparentColor[i], colour ? formatColour(*colour) : "");
    }
    put(meshGeodetic, s.meshWgs ? "WGS" : "JGS");
    put(meshPaint, s.meshMarked ? "MarkedMesh" : "FilledMesh");
}

} // namespace tavik
