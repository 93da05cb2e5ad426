#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/datum_shift_table.h"
#include "viewer/basemap/addin_overlays.h"
#include "viewer/basemap/base_image.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/document/print_page.h"
#include "viewer/print/print_form_list.h"
#include "viewer/render/page_renderer.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/area_table.h"
#include "viewer/settings/distribution_table.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

namespace tavik {

class MessageSink;

// What the viewer loads at start-up and keeps for the whole run: the settings
// record, the configuration files and the tables. Windows, the command line
// and tests all start the viewer through it.
class Workspace {
public:
    // The whole start-up of the viewer without windows, in order: settings,
    // print forms, blank map, painter configuration, tables and the index of
    // the distribution table, then the species table, the base map image and
    // the font faces. The windowed viewer runs the same steps one by one,
    // creating its main window after loadSettings. False after a message
    // that ends the program.
    bool start(std::string_view startupDirectory, MessageSink& messages);

    // Reads "tavik.ini" in startupDirectory (cp932) and runs the start-up:
    // the configuration files, then the tables. False after a message that
    // ends the program.
    bool loadSettings(std::string_view startupDirectory, MessageSink& messages);

    // Loads the species table and gives species their group codes (done when
    // the main window is created). False after the message of a faulty line
    // of the species table, which ends the start-up; a group table too small
    // for the species' groups is reported and the maps can still be drawn.
    bool loadSpeciesTable(MessageSink& messages);

    // Loads the base map image of BlankMap and applies ConvertColor. False
    // after a message that ends the start-up.
    bool loadBaseImage(MessageSink& messages);

    // Loads the add-in overlays of AddinMap once (before the first map). Load
    // errors are shown together in one message; the records read are kept
    // and drawn either way. False when there were errors.
    bool loadAddins(MessageSink& messages);

    // Indexes the distribution table anew when its file has been replaced or
    // changed since it was indexed (samvel run meanwhile), so that maps drawn
    // from now on show the new records; renderers made before keep the file
    // they had. True when it was indexed anew; a new index that fails is
    // reported and the old one is kept.
    bool refreshDistributionIndex(MessageSink& messages);

    // Settles the display and print font faces on installed families.
    void settleFonts();

    // What the page renderer draws from: copies of the settings, the painter
    // configuration, the tables, the base image and the add-ins as they are
    // now, frozen for as long as a renderer, a save or a print holds them.
    RenderSources renderSources() const;

    // Counts the changes of what renderers draw from (settings, painter
    // configuration, print forms, add-ins) made after start-up. A renderer or
    // a rendered map made at an older revision is out of date. Every change
    // goes through the functions below, which count it.
    std::uint64_t revision() const { return revision_; }

    // What the viewer holds, read-only: a change goes through a change
    // function, so that none is made without being counted.
    const Settings& settings() const { return settings_; }
    const PrintFormList& printForms() const { return printForms_; }
    const BlankMap& blankMap() const { return blankMap_; }
    const PainterConfig& painter() const { return painter_; }
    const PhyleticTable& phyletic() const { return phyletic_; }
    const AreaTable& areas() const { return areas_; }
    const DatumShiftTable& datumShifts() const { return datumShifts_; }
    const DistributionTable& distribution() const { return distribution_; }
    const SpeciesTable& species() const { return species_; }
    const BaseImage& baseImage() const { return baseImage_; }
    const AddinOverlays& addins() const { return addins_; }

    // Changes the settings (change(Settings&)) and counts the change.
    template <typename Change> void changeSettings(Change&& change)
    {
        change(settings_);
        ++revision_;
    }
    // Changes the print forms (change(PrintFormList&)) and counts the change.
    template <typename Change> void changePrintForms(Change&& change)
    {
        change(printForms_);
        ++revision_;
    }
    void setPainter(PainterConfig painter);
    // Takes the add-ins a loader read into overlays of its own.
    void takeAddins(AddinOverlays& loaded);
    // The order of the species list in a name mode (SpNameMode): the setting
    // and the sorted table change together.
    void setNameMode(NameMode mode);
    // What the settings keep for tavik.ini and no map draws from: the
    // windows' sizes and the folder of the last save. Not counted.
    void keepMapWindowSize(int width, int height);
    void keepMainWindowSize(int width, int height);
    void keepSaveFolder(std::string folder);

    // A path as written in the settings, resolved against the start-up
    // directory (the working directory of the run).
    std::string resolved(const std::string& path) const;

private:
    // Tests build a workspace piece by piece through it
    // (tests/support/workspace_access.h).
    friend struct WorkspaceAccess;

    bool checkCapacities(MessageSink& messages) const;
    bool loadConfigurationFiles(MessageSink& messages);
    bool loadTables(MessageSink& messages);

    Settings settings_;
    PrintFormList printForms_;
    BlankMap blankMap_;
    PainterConfig painter_;
    PhyleticTable phyletic_;
    AreaTable areas_;
    DatumShiftTable datumShifts_;
    DistributionTable distribution_;
    SpeciesTable species_;
    BaseImage baseImage_;
    AddinOverlays addins_;
    std::uint64_t revision_ = 0;
};

} // namespace tavik
