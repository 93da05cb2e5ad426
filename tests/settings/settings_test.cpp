#include "viewer/settings/settings.h"

#include "common/angle_text.h"
#include "common/tavik_ini_keys.h"
#include "common/tool_settings.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/text_numbers.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace tavik {
namespace {

Settings settingsFrom(const std::string& text) { return readSettings(IniFile::fromText(text), "/start"); }

TEST(Settings, MissingFileGivesEveryDefault)
{
    Settings s = settingsFrom("");
    EXPECT_EQ(cp932ToUtf8(s.frameTitle), "生物分布地図");
    EXPECT_EQ(s.frameWidth, 800);
    EXPECT_EQ(s.childFrameHeight, 530);
    EXPECT_EQ(s.scientificNameStr, "Scientfic Name");
    EXPECT_EQ(s.spNameMode, NameMode::ScientificName);
    EXPECT_EQ(s.rankEnabled, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_FALSE(s.convertColor.has_value());
    EXPECT_EQ(s.geoLine, GeoLineMode::None);
    EXPECT_DOUBLE_EQ(s.geoWest.degrees, 120.0);
    EXPECT_EQ(s.geoNorth.text, "0");
    EXPECT_EQ(s.geoTransparentColor[0], (Colour{255, 255, 255}));
    EXPECT_FALSE(s.geoTransparentColor[1].has_value());
    EXPECT_FALSE(s.meshWgs);
    EXPECT_FALSE(s.meshMarked);
    EXPECT_DOUBLE_EQ(s.geoCrossPercent, 5.0);
    EXPECT_EQ(s.blankMap, ".\\BlankMap\\jpn_Prefs_LEA_S\\jpn_Prefs_LEA_S.png");
    EXPECT_EQ(s.printFormCfg, "/start/PrintForm.cfg");
    EXPECT_EQ(s.taVikDb, "/start/dbase/ta_vik.csv");
    EXPECT_EQ(s.explanationPath, "/start/explain/");
    EXPECT_EQ(s.speciesTable, ".\\dbase\\species.csv");
    EXPECT_EQ(s.savePath, "/start");
    EXPECT_EQ(s.areaMax, 4000);
    EXPECT_EQ(s.pointMaxPerSpecies, 1000);
    EXPECT_EQ(s.printFontFace, "Century");
}

TEST(Settings, SwitchesAndKeywordsFollowTheirOwnRules)
{
    struct Case {
        const char* lines;
        bool (*check)(const Settings&);
    } cases[] = {
        {"FrameShowMaximized=Yes sir", [](const Settings& s) { return s.frameShowMaximized; }},
        {"FrameShowMaximized=YEs", [](const Settings& s) { return !s.frameShowMaximized; }},
        {"DispAlias1=oh yes", [](const Settings& s) { return s.dispAlias1; }},
        {"GeoTransparentCheck3=yEs", [](const Settings& s) { return s.geoTransparentCheck[3]; }},
        {"GeoLine=Mesh", [](const Settings& s) { return s.geoLine == GeoLineMode::Mesh; }},
        {"GeoLine=cRoSs", [](const Settings& s) { return s.geoLine == GeoLineMode::Cross; }},
        {"GeoLine=grid", [](const Settings& s) { return s.geoLine == GeoLineMode::None; }},
        {"GeoTransparent=background and select",
            [](const Settings& s) { return s.geoTransparent == GeoTransparentMode::Select; }},
        {"GeoTransparent=Background",
            [](const Settings& s) { return s.geoTransparent == GeoTransparentMode::Background; }},
        {"GeoLineType=dashdot", [](const Settings& s) { return s.geoLineType == LineType::DashDot; }},
        {"GeoLineType=wavy", [](const Settings& s) { return s.geoLineType == LineType::Solid; }},
        {"Rank=ZA",
            [](const Settings& s) {
                return s.rankEnabled == std::array<bool, 4>{true, false, false, true};
            }},
        {"Rank=", [](const Settings& s) { return s.rankEnabled == std::array<bool, 4>{}; }},
        {"SpNameMode=alias1name", [](const Settings& s) { return s.spNameMode == NameMode::ScientificName; }},
        {"SpNameMode=Alias2Name", [](const Settings& s) { return s.spNameMode == NameMode::Alias2Name; }},
        {"DisplayFontSize=0.5", [](const Settings& s) { return s.displayFontSize == 1.0; }},
        {"DisplayFontSize=big", [](const Settings& s) { return s.displayFontSize == 1.0; }},
        {"MeshGeodetic=wgs", [](const Settings& s) { return s.meshWgs; }},
        {"MeshPaint=markedmesh", [](const Settings& s) { return s.meshMarked; }},
        {"GeoLineColor=1,2",
            [](const Settings& s) {
                return s.geoLineColor == Colour{0, 0, 0};
            }},
        {"GeoTransparentColor4=10,20", [](const Settings& s) { return !s.geoTransparentColor[4].has_value(); }},
        {"GeoTransparentColor2=256,-1,300",
            [](const Settings& s) {
                return s.geoTransparentColor[2] == Colour{0, 255, 44};
            }},
        {"GeoTransparentColor0=", [](const Settings& s) { return !s.geoTransparentColor[0].has_value(); }},
        {"ConvertColor=1,2,3,4,5,6",
            [](const Settings& s) {
                return s.convertColor && (*s.convertColor)[1] == Colour{4, 5, 6};
            }},
        {"ConvertColor=1,2,3,4,5", [](const Settings& s) { return !s.convertColor.has_value(); }},
        {"GeoSouth=N30.30'",
            [](const Settings& s) { return s.geoSouth.degrees == 30.5 && s.geoSouth.text == "N30.30'"; }},
        {"GeoWest=N120", [](const Settings& s) { return s.geoWest.degrees == kInvalidAngle; }},
        {"FrameWidth=12px", [](const Settings& s) { return s.frameWidth == 12; }},
        {"FrameWidth=wide", [](const Settings& s) { return s.frameWidth == 0; }},
    };
    for (const Case& c : cases) {
        Settings s = settingsFrom(std::string("[Display]\n") + c.lines + "\n");
        EXPECT_TRUE(c.check(s)) << c.lines;
    }
    Settings print = settingsFrom("[Print]\nPrintFontSize=150\n");
    EXPECT_EQ(print.printFontSize, 99.0);
}

TEST(Settings, TextsAreCutToTheirFieldsAndCapacitiesAreNeverNegative)
{
    std::string longTitle(300, 'x');
    Settings s = settingsFrom("[Display]\nFrameTitle=" + longTitle + "\nAlias1NameStr=" + longTitle
        + "\n[Capacity]\nAreaMax=-5\nSpeciesMax=99999999999\n");
    EXPECT_EQ(s.frameTitle.size(), 255u);
    EXPECT_EQ(s.alias1NameStr.size(), 63u);
    EXPECT_EQ(s.areaMax, 0);
    EXPECT_EQ(s.speciesMax, 2147483647);
}

const char* const kUserFile = "; my settings\r\n"
                              "[Display]\r\n"
                              "FrameTitle=My maps\r\n"
                              "FrameWidth=1000\r\n"
                              "FrameHeight=700\r\n"
                              "GeoWest=E120.30'\r\n"
                              "GeoTransparentColor4=10,20\r\n"
                              "GeoTransparentCheck4=yes\r\n"
                              "GeoTransparentColor5=1,2,3\r\n"
                              "GeoTransparentCheck5=yes\r\n"
                              "Rank=AB\r\n"
                              "\r\n"
                              "[Path]\r\n"
                              "BlankMap=maps\\japan.png\r\n";

TEST(Settings, SavingKeepsOtherLinesAndWritesTheListedForms)
{
    IniFile ini = IniFile::fromText(kUserFile);
    Settings s = readSettings(ini, "/start");
    s.frameWidth = 1234; // the window was resized, but closes maximized
    s.dispMarkLegend = true;
    s.geoLine = GeoLineMode::Cross;
    s.geoLineType = LineType::DashDotDot;
    s.spNameMode = NameMode::Alias2Name;
    s.meshMarked = true;
    writeSettings(s, WindowState::Maximized, ini);

    IniFile reread = IniFile::fromText(ini.text());
    EXPECT_EQ(reread.value("Display", "FrameWidth").value_or("?"), "1000");
    EXPECT_EQ(reread.value("Display", "FrameShowMaximized").value_or("?"), "yes");
    EXPECT_EQ(reread.value("Display", "FrameTitle").value_or("?"), "My maps");
    EXPECT_EQ(reread.value("Display", "Rank").value_or("?"), "AB");
    EXPECT_EQ(reread.value("Display", "GeoWest").value_or("?"), "E120.30'");
    EXPECT_EQ(reread.value("Display", "GeoLine").value_or("?"), "cross");
    EXPECT_EQ(reread.value("Display", "GeoLineType").value_or("?"), "dashdotdot");
    EXPECT_EQ(reread.value("Display", "SpNameMode").value_or("?"), "Alias2Name");
    EXPECT_EQ(reread.value("Display", "DispMarkLegend").value_or("?"), "yes");
    EXPECT_EQ(reread.value("Display", "GeoTransparentCheck4").value_or("?"), "no");
    EXPECT_EQ(reread.value("Display", "GeoTransparentColor4").value_or("?"), "");
    EXPECT_EQ(reread.value("Display", "GeoTransparentCheck5").value_or("?"), "yes");
    EXPECT_EQ(reread.value("Display", "GeoTransparentColor5").value_or("?"), "1,2,3");
    EXPECT_EQ(reread.value("Display", "GeoTransparent").value_or("?"), "all");
    EXPECT_EQ(reread.value("Display", "MeshGeodetic").value_or("?"), "JGS");
    EXPECT_EQ(reread.value("Display", "MeshPaint").value_or("?"), "MarkedMesh");
    EXPECT_EQ(reread.value("Path", "SavePath").value_or("?"), "/start");
    EXPECT_EQ(reread.value("Path", "BlankMap").value_or("?"), "maps\\japan.png");

    // The user's own lines are still there byte for byte.
    std::string text = ini.text();
    EXPECT_EQ(text.rfind("; my settings\r\n[Display]\r\nFrameTitle=My maps\r\nFrameWidth=1000\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n\r\n[Path]\r\nBlankMap=maps\\japan.png\r\n"), std::string::npos);

    // Closed in the normal state, the window's size is written.
    writeSettings(s, WindowState::Normal, ini);
    EXPECT_EQ(IniFile::fromText(ini.text()).value("Display", "FrameWidth").value_or("?"), "1234");
    EXPECT_EQ(IniFile::fromText(ini.text()).value("Display", "FrameShowMaximized").value_or("?"), "no");
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

// The keys the viewer and the tools both read: each program takes its own
// default from the one declaration, and a value written under the declared
// section and name reaches both (a key misspelt in one reader fails here).
TEST(SharedIniKeys, EachProgramReadsItsDefaultAndTheWrittenValue)
{
    struct Reach {
        const IniKey& key;
        int Settings::*viewer;
        int ToolSettings::*tools; // null: the tools' shared settings do not hold it
    } counts[] = {
        {iniKey::speciesMax, &Settings::speciesMax, &ToolSettings::speciesMax},
        {iniKey::areaMax, &Settings::areaMax, &ToolSettings::areaMax},
        {iniKey::literaMax, &Settings::literaMax, &ToolSettings::literaMax},
        {iniKey::pointMaxPerSpecies, &Settings::pointMaxPerSpecies, &ToolSettings::pointMaxPerSpecies},
        {iniKey::phyleticMax, &Settings::phyleticMax, nullptr},
        {iniKey::bookMax, &Settings::bookMax, nullptr},
        {iniKey::wgsJgsMax, &Settings::wgsJgsMax, nullptr},
    };
    const Settings viewerDefaults = readSettings(IniFile::fromText(""), "/start");
    const ToolSettings toolDefaults = ToolSettings::read(IniFile::fromText(""));
    for (const Reach& reach : counts) {
        const std::string name(reach.key.name);
        EXPECT_EQ(viewerDefaults.*reach.viewer, iniCountDefault(reach.key.viewerDefault)) << name;
        const std::string written = "[" + std::string(reach.key.section) + "]\n" + name + "=37\n";
        EXPECT_EQ(readSettings(IniFile::fromText(written), "/start").*reach.viewer, 37) << name;
        if (reach.tools) {
            EXPECT_EQ(toolDefaults.*reach.tools, iniCountDefault(reach.key.toolsDefault)) << name;
            EXPECT_EQ(ToolSettings::read(IniFile::fromText(written)).*reach.tools, 37) << name;
        }
    }
    // The defaults that have always differed stay as they were.
    EXPECT_EQ(viewerDefaults.areaMax, 4000);
    EXPECT_EQ(toolDefaults.areaMax, 2000);
    EXPECT_EQ(viewerDefaults.literaMax, 1000);
    EXPECT_EQ(toolDefaults.literaMax, 2000);

    const ToolSettings tools = ToolSettings::read(IniFile::fromText("[Path]\nSpeciesTable=s.csv\nTaVikDB=t.csv\n"));
    EXPECT_EQ(tools.speciesTable, "s.csv");
    EXPECT_EQ(tools.taVikDb, "t.csv");
    EXPECT_EQ(toolDefaults.areaTable, iniKey::areaTable.toolsDefault);
    EXPECT_EQ(viewerDefaults.areaTable, iniKey::areaTable.viewerDefault);
    EXPECT_TRUE(readSettings(IniFile::fromText("[Display]\nMeshGeodetic=wgs\n"), "/start").meshWgs);

    // No key is declared twice, and every group of keys is in the list of
    // every key.
    std::set<std::string> names;
    for (const IniKey& key : allIniKeys())
        EXPECT_TRUE(names.insert(std::string(key.section) + "/" + std::string(key.name)).second) << key.name;
    for (std::span<const IniKey> group : {sharedIniKeys(), viewerIniKeys(), dwcIniKeys(), norbekIniKeys()})
        for (const IniKey& key : group)
            EXPECT_TRUE(names.count(std::string(key.section) + "/" + std::string(key.name))) << key.name;
}

// A key written under a name nothing declares is read back by no program,
// and a default that is no value of its kind is read as something else.
TEST(SharedIniKeys, WhatTheViewerWritesIsDeclaredAndEveryDefaultIsOfItsKind)
{
    std::set<std::string> declared;
    for (const IniKey& key : allIniKeys())
        declared.insert(std::string(key.section) + "/" + std::string(key.name));
    IniFile written = IniFile::fromText("");
    writeSettings(settingsFrom(""), WindowState::Normal, written);
    std::string section;
    std::istringstream lines(written.text());
    int keys = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('[')) {
            section = line.substr(1, line.find(']') - 1);
        } else if (line.find('=') != std::string::npos) {
            ++keys;
            EXPECT_TRUE(declared.contains(section + "/" + line.substr(0, line.find('=')))) << line;
        }
    }
    EXPECT_GT(keys, 40);

    for (const IniKey& key : allIniKeys()) {
        for (std::string_view value : {key.viewerDefault, key.toolsDefault}) {
            const std::string text(value);
            switch (key.kind) {
            case IniValueKind::YesNo:
                EXPECT_TRUE(text.empty() || text == "no" || text == "NO" || text == "yes") << key.name;
                break;
            case IniValueKind::Count:
            case IniValueKind::Integer:
                EXPECT_TRUE(text.empty() || text.find_first_not_of("0123456789") == std::string::npos) << key.name;
                break;
            case IniValueKind::Number:
                EXPECT_TRUE(text.empty() || parseReal(text) > 0) << key.name;
                break;
            case IniValueKind::Angle:
                EXPECT_TRUE(text.empty() || parseAngle(text, AngleKind::Span) != kInvalidAngle) << key.name;
                break;
            case IniValueKind::Colour:
                EXPECT_TRUE(text.empty() || parseColour(text)) << key.name;
                break;
            case IniValueKind::Path:
            case IniValueKind::Choice:
            case IniValueKind::Text:
                break;
            }
        }
        EXPECT_TRUE(key.maxBytes == 0 || key.viewerDefault.size() <= key.maxBytes) << key.name;
    }
}

} // namespace
} // namespace tavik
