#include "viewer/windows/viewer_application.h"

#include "viewer/session/document_list.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/desktop_launcher.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/message_box_sink.h"
#include "viewer/windows/toolbar_icons.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

#include <algorithm>

namespace tavik {

ViewerApplication::ViewerApplication(MessageSink* messages, ProcessLauncher* launcher)
    : messageBoxes_(std::make_unique<MessageBoxSink>())
    , desktop_(std::make_unique<DesktopLauncher>())
    , messages_(messages ? messages : messageBoxes_.get())
    , launcher_(launcher ? launcher : desktop_.get())
    , workspace_(std::make_unique<Workspace>())
    , documents_(std::make_unique<DocumentList>(*workspace_))
{
}

ViewerApplication::~ViewerApplication() = default;

LocalPath ViewerApplication::nextDatabase() const { return window_ ? window_->nextDatabase() : LocalPath(); }

bool ViewerApplication::installJapaneseTranslations(QCoreApplication& application)
{
    // The translators live as long as the application.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    application.installTranslator(translator);
    return true;
}

bool ViewerApplication::start(std::string_view directory)
{
    if (!workspace_->loadSettings(directory, *messages_))
        return false;

    QApplication::setWindowIcon(applicationIcon());
    window_ = std::make_unique<MainWindow>(*workspace_, *documents_, *messages_, *launcher_);
    messageBoxes_->setParent(window_.get());
    const Settings& s = workspace_->settings();
    QSize screen(s.frameWidth, s.frameHeight);
    if (const QScreen* primary = QApplication::primaryScreen())
        screen = primary->availableGeometry().size();
    window_->resize(std::clamp(s.frameWidth, 200, std::max(200, screen.width())),
        std::clamp(s.frameHeight, 150, std::max(150, screen.height())));

    // A faulty line of the species table ends the start-up after its
    // message; a group table too small for the species' groups is reported
    // and maps can still be drawn.
    if (!workspace_->loadSpeciesTable(*messages_))
        return false;
    window_->fillLists();
    if (!workspace_->loadBaseImage(*messages_))
        return false;
    if (s.frameShowMaximized)
        window_->showMaximized();
    else
        window_->show();

    workspace_->settleFonts();
    documents_->openEmpty();
    return true;
}

} // namespace tavik
