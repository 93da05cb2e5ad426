#include "viewer/windows/start_dialog.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/report_text.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/session/database_folders.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace tavik {

StartDialog::StartDialog(std::vector<LocalPath> recent, LocalPath sampleFolder, LocalPath proposedCopy,
    MessageSink& messages, QWidget* parent)
    : QDialog(parent)
    , recent_(std::move(recent))
    , sampleFolder_(std::move(sampleFolder))
    , proposedCopy_(std::move(proposedCopy))
    , messages_(messages)
    , recentList_(new QListWidget(this))
    , sampleButton_(new QPushButton(QStringLiteral("見本のデータベースを開く(&S)..."), this))
{
    setWindowTitle(QStringLiteral("Tavik - データベースを開く"));
    auto* column = new QVBoxLayout(this);
    auto* intro
        = new QLabel(QStringLiteral("分布図のデータベース（tavik.ini のあるフォルダ）を開きます。\n"
                                    "初めての方は、見本のデータベースをホームフォルダに写して開いてみて下さい。"),
            this);
    column->addWidget(intro);
    column->addWidget(new QLabel(QStringLiteral("最近使ったデータベース:"), this));
    for (const LocalPath& folder : recent_)
        recentList_->addItem(qpath(folder));
    recentList_->setCurrentRow(0);
    column->addWidget(recentList_, 1);

    auto* buttons = new QHBoxLayout;
    auto* openRecent = new QPushButton(QStringLiteral("開く(&O)"), this);
    auto* browse = new QPushButton(QStringLiteral("フォルダを選んで開く(&F)..."), this);
    auto* quit = new QPushButton(QStringLiteral("終了(&X)"), this);
    openRecent->setEnabled(!recent_.empty());
    sampleButton_->setEnabled(!sampleFolder_.empty());
    for (QPushButton* button : {openRecent, browse, sampleButton_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(quit);
    column->addLayout(buttons);
    openRecent->setDefault(!recent_.empty());

    auto takeRecent = [this] {
        if (QListWidgetItem* item = recentList_->currentItem())
            chooseFolder(localPathOf(item->text()));
    };
    connect(openRecent, &QPushButton::clicked, this, takeRecent);
    connect(recentList_, &QListWidget::itemActivated, this, takeRecent);
    connect(browse, &QPushButton::clicked, this, &StartDialog::browse);
    connect(sampleButton_, &QPushButton::clicked, this, &StartDialog::askForSampleCopy);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    resize(620, 360);
}

bool StartDialog::chooseFolder(const LocalPath& folder)
{
    if (!confirmDatabaseFolder(folder, messages_))
        return false;
    folder_ = folder;
    accept();
    return true;
}

bool StartDialog::openSampleCopy(const LocalPath& target)
{
    if (holdsDatabase(target))
        return chooseFolder(target);
    // Refused before the copy: a copy the viewer cannot open helps no one.
    if (!confirmCp932Folder(target, messages_))
        return false;
    std::string reason;
    if (!copySampleDatabase(sampleFolder_, target, reason)) {
        messages_.stop(utf8ToCp932(
            withControlsEscapedUtf8(target.utf8(), false) + "\n見本のデータベースを写せませんでした。\n" + reason));
        return false;
    }
    return chooseFolder(target);
}

void StartDialog::browse()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("データベースのフォルダを選ぶ"), QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        chooseFolder(localPathOf(folder));
}

void StartDialog::askForSampleCopy()
{
    // The new folder's name is typed as a file's name is in a save chooser
    // (a folder chooser would take only folders that exist); ~/Tavik is
    // proposed.
    QFileDialog chooser(this, QStringLiteral("見本のデータベースを写すフォルダ"));
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setOption(QFileDialog::DontConfirmOverwrite);
    chooser.setLabelText(QFileDialog::FileName, QStringLiteral("新しいフォルダの名前:"));
    chooser.setLabelText(QFileDialog::Accept, QStringLiteral("写して開く"));
    const std::filesystem::path proposed(proposedCopy_.utf8());
    chooser.setDirectory(qpath(LocalPath(proposed.parent_path().string())));
    chooser.selectFile(qpath(LocalPath(proposed.filename().string())));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    openSampleCopy(localPathOf(chooser.selectedFiles().first()));
}

} // namespace tavik
