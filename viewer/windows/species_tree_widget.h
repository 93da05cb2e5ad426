#pragma once

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace tavik {

class SpeciesTree;

// Shows a species tree in a tree widget with check boxes: groups with a
// folder icon, species with a page, the tree's checks and its selected item.
// Returns the widget item of every tree item, by index.
std::vector<QTreeWidgetItem*> fillSpeciesTreeWidget(QTreeWidget& widget, const SpeciesTree& tree);

// Takes the widget's check boxes back into the tree.
void readSpeciesTreeChecks(const std::vector<QTreeWidgetItem*>& items, SpeciesTree& tree);

} // namespace tavik
