#pragma once

#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tavik {

// What the display order dialog works on: a copy of a document's species
// list, listed by one of the three names, with one entry selected and the
// position of the dialog's up-down control, which runs from count - 1 at the
// top entry to 0 at the bottom one.
class DisplayOrder {
public:
    // Opens on a copy of the species, listed by `mode`, the first entry
    // selected.
    DisplayOrder(std::vector<SpeciesRecord> species, NameMode mode);

    // The entries of the list: each species' name by the mode (cp932).
    std::vector<std::string> labels() const;

    NameMode mode() const { return mode_; }
    // Lists the species by another name; the selected position is kept.
    void setMode(NameMode mode) { mode_ = mode; }

    int selected() const { return selected_; }
    // Selects the entry at a position (from 0), kept within the list.
    void select(int position);

    // The up-down control: its range is 0 to spinMaximum(), its position
    // count - 1 - the selected position.
    int spinMaximum() const { return std::max(0, count() - 1); }
    int spinPosition() const { return spinMaximum() - selected_; }

    // Moves the selected species by d places towards the top (d > 0) or the
    // bottom (d < 0), kept within the list: it swaps places with the species
    // it lands on, and the selection follows it. Nothing moves with fewer
    // than two species.
    void move(int d);

    const std::vector<SpeciesRecord>& species() const { return species_; }
    int count() const { return static_cast<int>(species_.size()); }

private:
    std::vector<SpeciesRecord> species_;
    NameMode mode_;
    int selected_ = 0;
};

} // namespace tavik
