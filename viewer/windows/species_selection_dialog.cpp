#include "viewer/windows/species_selection_dialog.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "viewer/session/species_selection.h"
#include "viewer/session/workspace.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavik {
namespace {

QString qtext(const std::string& cp932) { return QString::fromStdString(cp932ToUtf8(cp932)); }

// Group items show a folder (open when selected), species items a page.
QIcon itemIcon(const QStyle& style, SpeciesTreeItem::Kind kind)
{
    QIcon icon;
    if (kind == SpeciesTreeItem::Kind::Group) {
        icon.addPixmap(style.standardPixmap(QStyle::SP_DirClosedIcon), QIcon::Normal);
        icon.addPixmap(style.standardPixmap(QStyle::SP_DirOpenIcon), QIcon::Selected);
    } else {
        icon.addPixmap(style.standardPixmap(QStyle::SP_FileIcon), QIcon::Normal);
    }
    return icon;
}

} // namespace

SpeciesSelectionDialog::SpeciesSelectionDialog(
    const Workspace& workspace, bool overlay, MessageSink& messages, QWidget* parent)
    : QDialog(parent)
    , tree_(SpeciesTree::build(workspace.species, workspace.phyletic, TreeLabelMode::Full))
    , overlay_(overlay)
    , messages_(messages)
    , treeWidget_(new QTreeWidget(this))
{
    const SelectionDialogTexts texts = selectionDialogTexts(overlay);
    setWindowTitle(qtext(texts.title));
    setSizeGripEnabled(true);

    treeWidget_->setHeaderHidden(true);
    treeWidget_->setColumnCount(1);
    treeWidget_->setUniformRowHeights(true);
    treeWidget_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    treeWidget_->header()->setStretchLastSection(false);
    const QIcon groupIcon = itemIcon(*style(), SpeciesTreeItem::Kind::Group);
    const QIcon speciesIcon = itemIcon(*style(), SpeciesTreeItem::Kind::Species);
    const auto& items = tree_.items();
    items_.assign(items.size(), nullptr);
    // Items are made parents first, so a parent's tree item always exists.
    for (size_t i = 0; i < items.size(); ++i) {
        const SpeciesTreeItem& item = items[i];
        QTreeWidgetItem* shown = item.parent < 0 ? new QTreeWidgetItem(treeWidget_)
                                                 : new QTreeWidgetItem(items_[static_cast<size_t>(item.parent)]);
        shown->setText(0, qtext(item.label));
        shown->setIcon(0, item.kind == SpeciesTreeItem::Kind::Group ? groupIcon : speciesIcon);
        shown->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        shown->setCheckState(0, item.checked ? Qt::Checked : Qt::Unchecked);
        shown->setData(0, Qt::UserRole, static_cast<int>(i));
        items_[i] = shown;
    }

    // The top-level groups open, so that the groups under them show.
    treeWidget_->expandToDepth(0);

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
    for (size_t i = 0; i < items_.size(); ++i)
        tree_.setChecked(static_cast<int>(i), items_[i]->checkState(0) == Qt::Checked);
    TreeSelection chosen = tree_.collectChecked();
    const std::string refusal = checkSpeciesSelection(static_cast<int>(chosen.rows.size()), overlay_);
    if (!refusal.empty()) {
        messages_.show({"", refusal, MessageIcon::Exclamation});
        return;
    }
    selection_ = std::move(chosen);
    QDialog::accept();
}

} // namespace tavik
