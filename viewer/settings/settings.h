#pragma once

#include "common/colour.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

class IniFile;

// An angle setting: the text as written (written back verbatim) and its value
// in degrees (kInvalidAngle when the text is not an angle).
struct AngleSetting {
    std::string text;
    double degrees = 0.0;
};

// Which species name names a species (and sorts the species list).
enum class NameMode { ScientificName = 1, Alias1Name = 2, Alias2Name = 3 };

enum class GeoLineMode { None = 0, Mesh = 1, Cross = 2 };

// Pen style of the longitude-latitude lines.
enum class LineType { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };

// Where longitude-latitude lines may overwrite the base map.
enum class GeoTransparentMode { All = 0, Background = 1, Select = 2 };

// Window state of the main window when the viewer closes.
enum class WindowState { Normal, Maximized, Minimized };

// Largest PointMaxPerSpecies. A species' record set grows with its line, so
// memory is the real bound; this one keeps a mistyped setting from asking
// for more than a machine holds (about 4 GB of records).
inline constexpr int kPointMaxLimit = 100000000;

// The viewer's settings, read once from "tavik.ini" at start-up, in the
// groups their readers need: a renderer or a dialog takes the group it
// draws or edits, never the whole record. Text fields are cp932, cut to
// their byte limits.

// [Display]: the main window and the map windows.
struct WindowSettings {
    std::string frameTitle;
    bool frameShowMaximized = false;
    int frameWidth = 800; // pixels
    int frameHeight = 600;
    int childFrameWidth = 510;
    int childFrameHeight = 530;
};

// [Display]: which names and legends a map shows, the ranks drawn, and the
// colour of the base map converted for the marks.
struct DisplaySettings {
    bool dispScientificName = false;
    bool dispAlias1 = false;
    bool dispAlias2 = false;
    bool dispMarkLegend = false;
    bool dispFillLegend = false;
    std::string scientificNameStr;
    std::string alias1NameStr;
    std::string alias2NameStr;
    NameMode spNameMode = NameMode::ScientificName;
    NameMode dispOrderMode = NameMode::ScientificName;
    std::array<bool, 4> rankEnabled = {true, true, true, true}; // ranks A, B, C, Z
    std::optional<std::array<Colour, 2>> convertColor; // from, to

    bool rankShown(int rank) const { return rank >= 0 && rank < 4 && rankEnabled[static_cast<size_t>(rank)]; }
};

// [Display]: the longitude-latitude lines.
struct GeoLineSettings {
    GeoLineMode geoLine = GeoLineMode::None;
    AngleSetting geoWest, geoEast, geoSouth, geoNorth; // degrees
    AngleSetting geoLonSpan, geoLatSpan; // degrees
    Colour geoLineColor;
    LineType geoLineType = LineType::Solid;
    std::string geoCrossPercentText;
    double geoCrossPercent = 5.0; // percent
    GeoTransparentMode geoTransparent = GeoTransparentMode::All;
    std::array<bool, 8> geoTransparentCheck = {};
    std::array<std::optional<Colour>, 8> geoTransparentColor; // unset slots are empty
};

// [Display]: the national grid squares.
struct MeshSettings {
    bool meshWgs = false; // grid-square codes on the world datum (else Japanese datum)
    bool meshMarked = false; // a mark in each square instead of a filled square
};

// [Display] and [Print]: the fonts of the screen and of printed pages.
struct FontSettings {
    std::string displayFontFace;
    double displayFontSize = 10.0; // points, 1.0 to 99.0
    std::string printFontFace;
    double printFontSize = 10.0; // points, 1.0 to 99.0
};

// [Path], and [Print] NowPrintForm: the files the viewer reads and writes.
struct PathSettings {
    // The current directory at start-up: where "tavik.ini" is, what relative
    // paths are made absolute against, the default of savePath.
    std::string startupDirectory;

    std::string blankMap;
    std::string addinMap;
    std::string printFormCfg; // absolute
    std::string paintCfg; // absolute
    std::string speciesTable;
    std::string phyleticTable; // made absolute after loading
    std::string literaTable;
    std::string bookTable;
    std::string areaTable; // made absolute after loading
    std::string wgsJgsTable; // made absolute after loading
    std::string taVikDb; // absolute
    std::string explanationPath; // absolute
    std::string helpDocumentPath; // absolute
    std::string helpDocumentName;
    bool helpDocumentNamed = false; // tavik.ini names a document of its own
    bool htmlDefaultAction = false;
    std::string browser; // absolute
    bool browserUrlStyle = false;
    std::string browserUrlTop;
    std::string savePath;
    std::string nowPrintForm; // the print form in use, by name
};

// [Capacity]: rows of the tables (below 0 counts as 0).
struct CapacitySettings {
    int speciesMax = 2000;
    int phyleticMax = 200;
    int literaMax = 1000;
    int bookMax = 500;
    int areaMax = 4000;
    int wgsJgsMax = 200;
    int pointMaxPerSpecies = 1000;
    // PointMaxPerSpecies as written when it is no positive whole number
    // ("1,000", "all", "-1", ""): the start-up refuses it.
    std::optional<std::string> pointMaxPerSpeciesFault;
};

// The whole record, as the start-up reads it and the session keeps it.
struct Settings : WindowSettings,
                  DisplaySettings,
                  GeoLineSettings,
                  MeshSettings,
                  FontSettings,
                  PathSettings,
                  CapacitySettings { };

// Reads every key of the four sections, each missing or unparsable value
// taking its fallback. startupDirectory is cp932.
Settings readSettings(const IniFile& ini, std::string_view startupDirectory);

// Writes back the keys that the viewer changes at run time. In the normal
// window state frameWidth and frameHeight are written as the window's size.
void writeSettings(const Settings& settings, WindowState state, IniFile& ini);

// Value parsers shared with the dialogs that edit these settings.
bool parseYesSubstring(std::string_view value);
std::optional<Colour> parseColour(std::string_view value);
std::string formatColour(const Colour& colour);

} // namespace tavik
