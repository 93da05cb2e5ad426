#include "viewer/windows/save_file_dialog.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/session/save_choice.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/species_tree_widget.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace tavik {
namespace {

const QString kPngFilter = QStringLiteral("PNG形式(*.png)");
const QString kBmpFilter = QStringLiteral("WindowsBMP形式(*.BMP)");

TreeLabelMode labelModeOf(NameMode mode)
{
    switch (mode) {
    case NameMode::Alias1Name:
        return TreeLabelMode::Alias1;
    case NameMode::Alias2Name:
        return TreeLabelMode::Alias2;
    case NameMode::ScientificName:
        break;
    }
    return TreeLabelMode::ScientificName;
}

} // namespace

SaveFileDialog::SaveFileDialog(
    const Workspace& workspace, const CQuelnaDoc& document, MessageSink& messages, QWidget* parent)
    : QFileDialog(parent)
    , tree_(SpeciesTree::build(
          workspace.species(), workspace.phyletic(), labelModeOf(workspace.settings().spNameMode), &document))
    , overlay_(document.isOverlay())
    , messages_(messages)
    , treeWidget_(new QTreeWidget)
    , colours256_(new QRadioButton(QStringLiteral("２５６色")))
    , colours24_(new QRadioButton(QStringLiteral("２４ビット(1600万色)")))
{
    // Qt's own chooser, so that the tree and the colour mode can sit in it.
    setOption(QFileDialog::DontUseNativeDialog);
    // The overwrite prompt comes after the save checks, through the messages.
    setOption(QFileDialog::DontConfirmOverwrite);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setWindowTitle(QStringLiteral("名前を付けて保存"));
    setLabelText(QFileDialog::LookIn, QStringLiteral("保存する場所:"));
    setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    setLabelText(QFileDialog::FileType, QStringLiteral("ファイルの種類:"));
    setLabelText(QFileDialog::Accept, QStringLiteral("保存(&S)"));
    setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    setNameFilters({kPngFilter, kBmpFilter});
    setDefaultSuffix(QStringLiteral("png"));
    // A name typed without extension takes the one of the type chosen.
    connect(this, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        setDefaultSuffix(filter == kBmpFilter ? QStringLiteral("bmp") : QStringLiteral("png"));
    });
    const Settings& s = workspace.settings();
    setDirectory(qpath(localPath(s.savePath.empty() ? s.startupDirectory : s.savePath)));
    selectFile(qtext(proposedSaveName(s.spNameMode)));

    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(8, 0, 0, 0);
    column->addWidget(new QLabel(QStringLiteral("種を選択　(複数可。チェックを付けて下さい。）")));
    items_ = fillSpeciesTreeWidget(*treeWidget_, tree_);
    treeWidget_->setSelectionBehavior(QAbstractItemView::SelectRows);
    treeWidget_->setMinimumWidth(300);
    column->addWidget(treeWidget_, 1);
    auto* colourMode = new QGroupBox(QStringLiteral("色モード"));
    auto* colourButtons = new QVBoxLayout(colourMode);
    colourButtons->addWidget(colours256_);
    colourButtons->addWidget(colours24_);
    colours24_->setChecked(true);
    auto* help = new QLabel(QStringLiteral("%S  　学名\n%A1   別名１（ Alias 1 ）\n\n%A2   別名２（ Alias 2 )"));
    help->setTextFormat(Qt::PlainText);
    auto* lower = new QHBoxLayout;
    lower->addWidget(colourMode);
    lower->addWidget(help, 1);
    column->addLayout(lower);

    // The chooser's grid gets the panel as a column of its own on the right.
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    resize(1040, 560);
}

void SaveFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    // A folder's name goes into that folder, as the chooser does.
    if (QFileInfo(files.first()).isDir()) {
        QFileDialog::accept();
        return;
    }
    readSpeciesTreeChecks(items_, tree_);
    TreeSelection chosen = tree_.collectChecked();
    const int depth = colours256_->isChecked() ? 8 : 24;
    const std::optional<std::string> chosenPath = cp932PathOf(localPathOf(files.first()));
    if (!chosenPath) {
        messages_.show({{}, pathWithoutCp932Message(localPathOf(files.first())), MessageIcon::Exclamation});
        return;
    }
    const std::string& path = *chosenPath;
    const SaveChoiceCheck check = checkSaveChoice(chosen, path, overlay_);
    switch (check.status) {
    case SaveChoiceStatus::Ok:
        break;
    case SaveChoiceStatus::ConfirmTotal:
        if (!messages_.ask({{}, check.message, MessageIcon::Exclamation}))
            return;
        break;
    default:
        messages_.show({{}, check.message, MessageIcon::Exclamation});
        return;
    }
    if (fileExists(path) && !messages_.ask({{}, overwriteQuestion(path), MessageIcon::Exclamation}))
        return;
    path_ = path;
    depth_ = depth;
    selection_ = std::move(chosen);
    QFileDialog::accept();
}

} // namespace tavik
