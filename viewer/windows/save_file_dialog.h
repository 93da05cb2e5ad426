#pragma once

#include "viewer/session/species_tree.h"

#include <QFileDialog>

#include <string>
#include <vector>

class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavik {

class CQuelnaDoc;
class MessageSink;
class Workspace;

// The save dialog: a save-file chooser (PNG or BMP, in the folder SavePath,
// proposing the wildcard of the species list's name) extended with the
// species tree, labelled as the species list names species, with the active
// document's species checked, and the colour mode. Confirming a name runs the
// save checks in their order; a refusal shows its message and the dialog
// stays open, and so does a Cancel of the group total or of the overwrite
// prompt for the name as typed.
class SaveFileDialog : public QFileDialog {
    Q_OBJECT
public:
    SaveFileDialog(
        const Workspace& workspace, const CQuelnaDoc& document, MessageSink& messages, QWidget* parent = nullptr);

    // What was chosen when the dialog was accepted: the path as typed, with
    // its wildcards (cp932), and the bits per pixel of the files (8 or 24).
    const std::string& path() const { return path_; }
    int depth() const { return depth_; }
    const TreeSelection& selection() const { return selection_; }

    QTreeWidget* tree() const { return treeWidget_; }
    QRadioButton* colours256() const { return colours256_; }
    QRadioButton* colours24() const { return colours24_; }

public Q_SLOTS:
    void accept() override;

private:
    SpeciesTree tree_;
    bool overlay_;
    MessageSink& messages_;
    QTreeWidget* treeWidget_;
    QRadioButton* colours256_;
    QRadioButton* colours24_;
    std::vector<QTreeWidgetItem*> items_;
    std::string path_;
    int depth_ = 24;
    TreeSelection selection_;
};

} // namespace tavik
