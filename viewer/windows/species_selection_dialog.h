#pragma once

#include "viewer/session/species_tree.h"

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;
class QPushButton;

namespace tavik {

class MessageSink;
class Workspace;

// The species selection dialog: the species tree (label mode 4) with check
// boxes, for opening maps or, in overlay mode, an overlay of at most ten
// species. OK closes it only when the checked species can be taken; otherwise
// it shows why and stays open. Resizable: the tree follows the dialog's size.
class SpeciesSelectionDialog : public QDialog {
    Q_OBJECT
public:
    SpeciesSelectionDialog(const Workspace& workspace, bool overlay, MessageSink& messages, QWidget* parent = nullptr);

    // The species chosen when the dialog was accepted.
    const TreeSelection& selection() const { return selection_; }

    QTreeWidget* tree() const { return treeWidget_; }
    QPushButton* openButton() const { return openButton_; }

    // The tree item showing an item of the species tree.
    QTreeWidgetItem* itemOf(int treeItem) const;

public Q_SLOTS:
    void accept() override;

private:
    SpeciesTree tree_;
    bool overlay_;
    MessageSink& messages_;
    QTreeWidget* treeWidget_;
    QPushButton* openButton_;
    std::vector<QTreeWidgetItem*> items_;
    TreeSelection selection_;
};

} // namespace tavik
