#pragma once

#include "viewer/session/workspace.h"

namespace tavik {

// What a test may change in a workspace without going through the change
// functions: the tables and settings it builds a case from.
struct WorkspaceAccess {
    static Settings& settings(Workspace& workspace) { return workspace.settings_; }
    static PrintFormList& printForms(Workspace& workspace) { return workspace.printForms_; }
    static BlankMap& blankMap(Workspace& workspace) { return workspace.blankMap_; }
    static PainterConfig& painter(Workspace& workspace) { return workspace.painter_; }
    static PhyleticTable& phyletic(Workspace& workspace) { return workspace.phyletic_; }
    static SpeciesTable& species(Workspace& workspace) { return workspace.species_; }
    static BaseImage& baseImage(Workspace& workspace) { return workspace.baseImage_; }
    static AddinOverlays& addins(Workspace& workspace) { return workspace.addins_; }
};

} // namespace tavik
