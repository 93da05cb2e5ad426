#pragma once

#include "platform/paths.h"

#include <memory>
#include <string>
#include <string_view>

class QCoreApplication;

namespace tavik {

class DocumentList;
class MainWindow;
class MessageBoxSink;
class MessageSink;
class ProcessLauncher;
class Workspace;

// The windowed viewer: the workspace, the open documents and the main window,
// started in the order of the viewer's start-up.
class ViewerApplication {
public:
    // Messages go to `messages` (message boxes when null) and pages open
    // through `launcher` (detached processes when null); both must outlive
    // the application.
    explicit ViewerApplication(MessageSink* messages = nullptr, ProcessLauncher* launcher = nullptr);
    ~ViewerApplication();

    // Starts in a working folder (cp932): the settings with the print forms,
    // the blank map, the painter configuration and the tables; then the main
    // window with the species table and the base map image, shown (maximized
    // when FrameShowMaximized is on); then the font faces and the empty map
    // window. False after the message of a failing step: the program ends.
    bool start(std::string_view directory);

    // The database folder (local path) the user asked to open next from the
    // main window's menu, once the window has closed; empty when the program
    // ends.
    LocalPath nextDatabase() const;

    Workspace& workspace() const { return *workspace_; }
    DocumentList& documents() const { return *documents_; }
    // Null before start().
    MainWindow* mainWindow() const { return window_.get(); }

    // Loads Qt's own Japanese texts (print, colour, file and page set-up
    // dialogs, the standard buttons) whatever the locale; false when Qt's
    // translations are not installed.
    static bool installJapaneseTranslations(QCoreApplication& application);

private:
    std::unique_ptr<MessageBoxSink> messageBoxes_;
    std::unique_ptr<ProcessLauncher> desktop_;
    MessageSink* messages_;
    ProcessLauncher* launcher_;
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<DocumentList> documents_;
    std::unique_ptr<MainWindow> window_; // goes before the documents it shows
};

} // namespace tavik
