#include "viewer/windows/species_selection_dialog.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/session/species_selection.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/species_tree_widget.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavik {
namespace {

} // namespace

SpeciesSelectionDialog::SpeciesSelectionDialog(
    const Workspace& workspace, bool overlay, MessageSink& messages, QWidget* parent)
    : QDialog(parent)
    , tree_(SpeciesTree::build(workspace.species(), workspace.phyletic(), TreeLabelMode::Full))
    , overlay_(overlay)
    , messages_(messages)
    , treeWidget_(new QTreeWidget(this))
{
    const SelectionDialogTexts texts = selectionDialogTexts(overlay);
    setWindowTitle(qtext(texts.title));
    setSizeGripEnabled(true);

    items_ = fillSpeciesTreeWidget(*treeWidget_, tree_);

    openButton_ = new QPushButton(qtext(texts.openButton), this);
    openButton_->setDefault(true);
    auto* cancelButton = new QPushButton(qtext(texts.cancelButton), this);
    connect(openButton_, &QPushButton::clicked, this, &SpeciesSelectionDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &SpeciesSelectionDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(openButton_);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treeWidget_, 1);
    layout->addLayout(buttons);
    resize(520, 560);
}

QTreeWidgetItem* SpeciesSelectionDialog::itemOf(int treeItem) const { return items_[static_cast<size_t>(treeItem)]; }

void SpeciesSelectionDialog::accept()
{
    readSpeciesTreeChecks(items_, tree_);
    TreeSelection chosen = tree_.collectChecked();
    const Cp932Text refusal = checkSpeciesSelection(static_cast<int>(chosen.rows.size()), overlay_);
    if (!refusal.empty()) {
        messages_.show({{}, refusal, MessageIcon::Exclamation});
        return;
    }
    selection_ = std::move(chosen);
    QDialog::accept();
}

} // namespace tavik
