#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tavik {

class CQuelnaDoc;
class PhyleticTable;
class SpeciesTable;

// How the items of a species tree are labelled.
enum class TreeLabelMode {
    ScientificName = 1, // species: scientific name; group: group name
    Alias1 = 2, // alias 1; group alias 1
    Alias2 = 3, // alias 2; group alias 2
    Full = 4, // "scientific name  alias 1"; "name  alias 1  alias 2"
};

// One item of a species tree: a group or a species.
struct SpeciesTreeItem {
    enum class Kind { Group, Species };

    Kind kind = Kind::Species;
    size_t row = 0; // row of the species table or of the phyletic table
    std::string label; // cp932
    int parent = -1; // index of the parent item; -1 at the top level
    std::vector<int> children; // indices, in order
    bool checked = false;
};

// The species chosen in a tree: rows of the species table in tree order, and
// whether a group item was chosen on the way.
struct TreeSelection {
    std::vector<size_t> rows;
    bool groupChecked = false;
};

// The tree of taxonomic groups and species that the selection and saving
// dialogs show with check boxes. Groups nest by the parent group codes of the
// phyletic table; each species sits under the group its phyletic code names,
// or at the top level. Groups and species appear in the order in which they
// are first met walking the species table.
class SpeciesTree {
public:
    // Builds the tree in a label mode. With a document and a mode of 1 to 3,
    // the items of the document's species are checked and the last of them
    // is selected.
    static SpeciesTree build(const SpeciesTable& species, const PhyleticTable& groups, TreeLabelMode mode,
        const CQuelnaDoc* document = nullptr);

    const std::vector<SpeciesTreeItem>& items() const { return items_; }
    const std::vector<int>& topLevel() const { return topLevel_; }

    // The selected item, or -1.
    int selected() const { return selected_; }

    void setChecked(int item, bool checked) { items_[static_cast<size_t>(item)].checked = checked; }

    // The species chosen: an item counts when it or any of its ancestors is
    // checked; a group counts as all the species beneath it, at any depth.
    TreeSelection collectChecked() const;

private:
    int append(SpeciesTreeItem item);
    int groupItem(size_t groupRow, const PhyleticTable& groups, TreeLabelMode mode, std::vector<int>& itemOfGroup,
        std::vector<bool>& making);
    void collect(int item, bool chosen, TreeSelection& selection) const;

    std::vector<SpeciesTreeItem> items_;
    std::vector<int> topLevel_;
    int selected_ = -1;
};

} // namespace tavik
