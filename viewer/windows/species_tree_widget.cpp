#include "viewer/windows/species_tree_widget.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/session/species_tree.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>

namespace tavik {
namespace {

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

std::vector<QTreeWidgetItem*> fillSpeciesTreeWidget(QTreeWidget& widget, const SpeciesTree& tree)
{
    widget.setHeaderHidden(true);
    widget.setColumnCount(1);
    widget.setUniformRowHeights(true);
    widget.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    widget.header()->setStretchLastSection(false);
    const QIcon groupIcon = itemIcon(*widget.style(), SpeciesTreeItem::Kind::Group);
    const QIcon speciesIcon = itemIcon(*widget.style(), SpeciesTreeItem::Kind::Species);
    const auto& items = tree.items();
    std::vector<QTreeWidgetItem*> shownItems(items.size(), nullptr);
    // Items are made parents first, so a parent's widget item always exists.
    for (size_t i = 0; i < items.size(); ++i) {
        const SpeciesTreeItem& item = items[i];
        QTreeWidgetItem* shown = item.parent < 0 ? new QTreeWidgetItem(&widget)
                                                 : new QTreeWidgetItem(shownItems[static_cast<size_t>(item.parent)]);
        shown->setText(0, qtext(item.label));
        shown->setIcon(0, item.kind == SpeciesTreeItem::Kind::Group ? groupIcon : speciesIcon);
        shown->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        shown->setCheckState(0, item.checked ? Qt::Checked : Qt::Unchecked);
        shown->setData(0, Qt::UserRole, static_cast<int>(i));
        shownItems[i] = shown;
    }
    // The top-level groups open, so that the groups under them show.
    widget.expandToDepth(0);
    if (tree.selected() >= 0) {
        QTreeWidgetItem* selected = shownItems[static_cast<size_t>(tree.selected())];
        widget.setCurrentItem(selected);
        widget.scrollToItem(selected);
    }
    return shownItems;
}

void readSpeciesTreeChecks(const std::vector<QTreeWidgetItem*>& items, SpeciesTree& tree)
{
    for (size_t i = 0; i < items.size(); ++i)
        tree.setChecked(static_cast<int>(i), items[i]->checkState(0) == Qt::Checked);
}

} // namespace tavik
