#pragma once

#include "platform/cp932_text.h"

#include <string>

namespace tavik {

// Most species one overlay map holds: one per painter slot.
inline constexpr int kOverlayMaxSpecies = 10;

// Why a selection of `chosen` species cannot be taken (cp932): none chosen,
// or more than an overlay holds; empty when it may be taken.
Cp932Text checkSpeciesSelection(int chosen, bool overlay);

// The words of the species selection dialog (cp932): its title and buttons,
// for opening maps or an overlay.
struct SelectionDialogTexts {
    std::string title;
    std::string openButton;
    std::string cancelButton;
};
SelectionDialogTexts selectionDialogTexts(bool overlay);

} // namespace tavik
