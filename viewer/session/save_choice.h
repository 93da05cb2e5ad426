#pragma once

#include "platform/cp932_text.h"

#include <string>
#include <vector>

namespace tavik {

class CQuelnaDoc;
class SpeciesTable;
enum class NameMode;
struct SpeciesRecord;
struct TreeSelection;

// What the save dialog found when the user confirmed a file name, in the
// order it checks.
enum class SaveChoiceStatus {
    Ok, // the maps may be saved
    NothingChosen, // no species checked
    InvalidName, // the name cannot be a file here
    NeedsWildcard, // several maps under one plain name
    ConfirmTotal, // a group was checked: the total is to be confirmed (OK saves)
};

struct SaveChoiceCheck {
    SaveChoiceStatus status = SaveChoiceStatus::Ok;
    Cp932Text message; // what the dialog shows or asks; empty for Ok
};

// Checks what the save dialog holds when a name is confirmed: the species
// chosen in its tree and the file path (cp932) as typed, with its folder. For
// an overlay document, which saves every species in one map, a plain name is
// fine whatever the number of species.
SaveChoiceCheck checkSaveChoice(const TreeSelection& chosen, const std::string& path, bool overlay);

// True when a path (cp932) can name a file to save: a folder that exists, and
// a file name part that is not empty, "." or "..", holds no control
// character and fits the file system (255 bytes).
bool isValidSaveName(const std::string& path);

// The file name the save dialog proposes: the wildcard of the name the
// species list shows ("%S", "%A1" or "%A2").
std::string proposedSaveName(NameMode mode);

// The folder of a saved path (cp932), without its last separator; kept as
// SavePath so that the next save dialog opens there. "/" for a file at the
// root; empty for a path without a folder.
std::string saveFolderOf(const std::string& path);

// The species a save writes, from the rows chosen in the save dialog: in the
// order chosen, except for an overlay document, whose map is saved as its
// window shows it: its species in the window's display order (painter slots
// 1 to 10), then any other species chosen. The records are the table's rows.
std::vector<const SpeciesRecord*> speciesToSave(
    const TreeSelection& chosen, const CQuelnaDoc& document, const SpeciesTable& species);

// The question asked before overwriting an existing file (cp932).
Cp932Text overwriteQuestion(const std::string& path);

} // namespace tavik
