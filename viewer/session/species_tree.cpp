#include "viewer/session/species_tree.h"

#include "viewer/document/quelna_doc.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/species_table.h"

#include <algorithm>

namespace tavik {
namespace {

std::string speciesLabel(const SpeciesRecord& species, TreeLabelMode mode)
{
    switch (mode) {
    case TreeLabelMode::Alias1:
        return species.alias1;
    case TreeLabelMode::Alias2:
        return species.alias2;
    case TreeLabelMode::Full:
        return species.scientificName + "  " + species.alias1;
    case TreeLabelMode::ScientificName:
        break;
    }
    return species.scientificName;
}

std::string groupLabel(const PhyleticRecord& group, TreeLabelMode mode)
{
    switch (mode) {
    case TreeLabelMode::Alias1:
        return group.alias1;
    case TreeLabelMode::Alias2:
        return group.alias2;
    case TreeLabelMode::Full:
        return group.name + "  " + group.alias1 + "  " + group.alias2;
    case TreeLabelMode::ScientificName:
        break;
    }
    return group.name;
}

} // namespace

int SpeciesTree::append(SpeciesTreeItem item)
{
    const int index = static_cast<int>(items_.size());
    if (item.parent < 0)
        topLevel_.push_back(index);
    else
        items_[static_cast<size_t>(item.parent)].children.push_back(index);
    items_.push_back(std::move(item));
    return index;
}

// The item of a group, made (after its parent's item) the first time the
// group is met. A group whose parent codes lead back to itself would nest
// without end; the group met again on the way is put at the top level.
int SpeciesTree::groupItem(size_t groupRow, const PhyleticTable& groups, TreeLabelMode mode,
    std::vector<int>& itemOfGroup, std::vector<bool>& making)
{
    if (itemOfGroup[groupRow] >= 0)
        return itemOfGroup[groupRow];
    const PhyleticRecord& group = groups.rows()[groupRow];
    int parent = -1;
    making[groupRow] = true;
    if (group.parentCode > 0) {
        const PhyleticRecord* parentGroup = groups.find(group.parentCode);
        if (parentGroup && !making[static_cast<size_t>(parentGroup->row)])
            parent = groupItem(static_cast<size_t>(parentGroup->row), groups, mode, itemOfGroup, making);
    }
    making[groupRow] = false;
    SpeciesTreeItem item;
    item.kind = SpeciesTreeItem::Kind::Group;
    item.row = groupRow;
    item.label = groupLabel(group, mode);
    item.parent = parent;
    itemOfGroup[groupRow] = append(std::move(item));
    return itemOfGroup[groupRow];
}

SpeciesTree SpeciesTree::build(
    const SpeciesTable& species, const PhyleticTable& groups, TreeLabelMode mode, const CQuelnaDoc* document)
{
    SpeciesTree tree;
    std::vector<int> itemOfGroup(groups.rows().size(), -1);
    std::vector<bool> making(groups.rows().size(), false);
    const bool markDocument = document && mode != TreeLabelMode::Full;
    for (size_t row = 0; row < species.rows().size(); ++row) {
        const SpeciesRecord& one = species.rows()[row];
        SpeciesTreeItem item;
        item.kind = SpeciesTreeItem::Kind::Species;
        item.row = row;
        item.label = speciesLabel(one, mode);
        if (one.phyleticCode > 0) {
            if (const PhyleticRecord* group = groups.find(one.phyleticCode))
                item.parent = tree.groupItem(static_cast<size_t>(group->row), groups, mode, itemOfGroup, making);
        }
        if (markDocument) {
            const auto& shown = document->species();
            item.checked = std::any_of(
                shown.begin(), shown.end(), [&](const SpeciesRecord& s) { return s.row == static_cast<int>(row); });
        }
        const bool checked = item.checked;
        const int index = tree.append(std::move(item));
        if (checked)
            tree.selected_ = index;
    }
    return tree;
}

void SpeciesTree::collect(int index, bool chosen, TreeSelection& selection) const
{
    const SpeciesTreeItem& item = items_[static_cast<size_t>(index)];
    chosen = chosen || item.checked;
    if (!item.children.empty()) {
        if (chosen)
            selection.groupChecked = true;
        for (int child : item.children)
            collect(child, chosen, selection);
    } else if (chosen && item.kind == SpeciesTreeItem::Kind::Species) {
        selection.rows.push_back(item.row);
    }
}

TreeSelection SpeciesTree::collectChecked() const
{
    TreeSelection selection;
    for (int item : topLevel_)
        collect(item, false, selection);
    return selection;
}

} // namespace tavik
