#pragma once

#include <string>
#include <string_view>

#include "viewer/basemap/addin_overlays.h"
#include "viewer/basemap/base_image.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/print/print_form_list.h"
#include "viewer/render/page_renderer.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/area_table.h"
#include "viewer/settings/datum_shift_table.h"
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
    // Reads "tavik.ini" in startupDirectory (cp932) and runs the start-up:
    // the configuration files, then the tables. False after a message that
    // ends the program.
    bool loadSettings(std::string_view startupDirectory, MessageSink& messages);

    // Loads the species table and gives species their group codes (done when
    // the main window is created). False when the group table overflowed.
    bool loadSpeciesTable(MessageSink& messages);

    // Loads the base map image of BlankMap and applies ConvertColor. False
    // after a message that ends the start-up.
    bool loadBaseImage(MessageSink& messages);

    // Loads the add-in overlays of AddinMap once (before the first map). Load
    // errors are shown together in one message; the records read are kept
    // and drawn either way. False when there were errors.
    bool loadAddins(MessageSink& messages);

    // What the page renderer draws from.
    RenderSources renderSources() const;

    Settings settings;
    PrintFormList printForms;
    BlankMap blankMap;
    PainterConfig painter;
    PhyleticTable phyletic;
    AreaTable areas;
    DatumShiftTable datumShifts;
    DistributionTable distribution;
    SpeciesTable species;
    BaseImage baseImage;
    AddinOverlays addins;

    // A path as written in the settings, resolved against the start-up
    // directory (the working directory of the run).
    std::string resolved(const std::string& path) const;

private:
    bool checkCapacities(MessageSink& messages) const;
    bool loadConfigurationFiles(MessageSink& messages);
    bool loadTables(MessageSink& messages);
};

} // namespace tavik
