#pragma once

#include <string>
#include <vector>

namespace tavik {

class CQuelnaDoc;
struct Settings;

// The commands of the viewer's menus and toolbar, by their numbers.
enum class Command : int {
    SaveImage = 32773,
    OpenMap = 32774,
    TopPage = 32775,
    PreviousPage = 32776,
    NextPage = 32777,
    LastPage = 32778,
    PrintForms = 32779,
    Documentation = 32788,
    OpenOverlay = 32790,
    Painter = 32791,
    DisplayOrder = 32792,
    DispScientificName = 32793,
    DispAlias1 = 32794,
    DispAlias2 = 32795,
    DispMarkLegend = 32796,
    DispFillLegend = 32797,
    GeoLine = 32798,
    Mesh = 32799,
    // Commands of our own beside the framework's and the viewer's.
    ZoomIn = 32850,
    ZoomOut = 32851,
    ZoomToWindow = 32852,
    OpenDatabase = 32853,
    // The framework's standard commands.
    CloseWindow = 57602,
    PrintSetup = 57606,
    Print = 57607,
    PrintPreview = 57609,
    ArrangeIcons = 57649,
    Cascade = 57650,
    Tile = 57651,
    About = 57664,
    Exit = 57665,
    ToolBar = 59392,
    StatusBar = 59393,
};

// How a command shows in menus and on the toolbar.
struct CommandInfo {
    Command command;
    const char* text; // UTF-8; "&" marks the access key
    const char* shortcut; // portable key text ("Ctrl+N"), empty for none
    const char* statusTip; // UTF-8, shown in the status bar
    bool mapWindowOnly; // in the menus only while a map window is open
};

// Every command with its text, shortcut and status tip.
const std::vector<CommandInfo>& commandTable();
const CommandInfo& commandInfo(Command command);

// Whether a command can be chosen, given the document of the active map
// window (null when there is no map window).
bool commandEnabled(Command command, const CQuelnaDoc* active);

// The display switch a command toggles (its check mark), or null for a
// command that toggles none.
bool* displaySwitch(Settings& settings, Command command);
const bool* displaySwitch(const Settings& settings, Command command);

// The title of a map window: "( %4d/%4d )" with the current view and the view
// count, "Overlay" for an overlay, "Quelna1" for the empty window of
// start-up.
std::string mapWindowTitle(const CQuelnaDoc& document);

// The current view a paging command leads to (Top, Previous, Next, Last).
int pagedView(const CQuelnaDoc& document, Command command);

} // namespace tavik
