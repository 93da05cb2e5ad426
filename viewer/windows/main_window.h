#pragma once

#include "platform/paths.h"
#include "viewer/session/document_list.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QMdiArea;
class QPushButton;

namespace tavik {

class AddinLoadJob;
class CQuelnaDoc;
class DocumentPrinter;
class ExplanationDisplay;
class MapWindow;
class MessageSink;
class ProcessLauncher;
class QueuedMessages;
class RendererCache;
class SaveRun;
class Workspace;
enum class Command : int;

// The viewer's main window: the MDI area of map windows, the toolbar with the
// species list, the name-caption list and the "説明" button, the status bar
// and the menus. Commands are QActions shared by menus and toolbar; their
// enabling and check marks are set in one place (updateCommands). The window
// observes the document list: it opens, retitles, redraws and closes map
// windows as documents change.
class MainWindow : public QMainWindow, private DocumentList::Observer {
    Q_OBJECT
public:
    MainWindow(Workspace& workspace, DocumentList& documents, MessageSink& messages, ProcessLauncher& launcher);
    ~MainWindow() override;

    // Fills the toolbar's lists from the species table (loaded by then).
    void fillLists();

    // The action of a command; null for one without an action.
    QAction* action(Command command) const;

    // The active map window (the current one of the MDI area), or null.
    MapWindow* activeMapWindow() const;
    // Its document, or null.
    CQuelnaDoc* activeDocument() const;
    QList<MapWindow*> mapWindows() const;

    QComboBox* speciesList() const { return speciesList_; }
    QComboBox* captionList() const { return captionList_; }
    QPushButton* explanationButton() const { return explanationButton_; }
    QMdiArea* mdiArea() const { return mdiArea_; }

    Workspace& workspace() const { return workspace_; }
    DocumentList& documents() const { return documents_; }
    RendererCache& renderers() const { return *renderers_; }
    // Print, preview and printer set-up, with the printer they use.
    DocumentPrinter& printing() const { return *printing_; }

    // Opens a document of species rows (ordinary or overlay) through the
    // steps of every open: drawing allowed, the empty start-up window
    // closed, the add-ins loaded the first time, the window titled.
    void openSpecies(const std::vector<size_t>& rows, bool overlay);

    // Called by map windows.
    void mapWindowResized(const QSize& size);
    void mapWindowClosed(CQuelnaDoc& document);

    // Writes the display settings back to tavik.ini (done when the window
    // closes).
    void saveSettings();

    // Opens another database folder (local path): the window closes as on
    // exit and the program starts on that folder (nextDatabase()). A folder
    // without tavik.ini is said so and nothing happens.
    bool openDatabase(const LocalPath& folder);
    // The folder to open once this window has closed; empty to end.
    const LocalPath& nextDatabase() const { return nextDatabase_; }

public Q_SLOTS:
    void updateCommands();
    // Shows a message (cp932) with the stop icon; map views reach it
    // through a queued connection.
    void showRaisedMessage(const QByteArray& cp932Text);
    // Shows the oldest message a worker (the add-in loader, a save) queued.
    void showNextQueuedMessage();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void documentOpened(CQuelnaDoc& document) override;
    void documentChanged(CQuelnaDoc& document, DocumentList::Change change) override;
    void documentClosing(CQuelnaDoc& document) override;

    void createActions();
    void createMenus();
    void createToolBar();
    void run(Command command);
    void openFromDialog(bool overlay);
    void openFromSpeciesList(int entry);
    void changeNameMode(int entry);
    void toggleSwitch(Command command);
    void reorderActiveDocument();
    void editPainter();
    void editGeoLines();
    void editMesh();
    void editPrintForms();
    void saveImages();
    void printActiveDocument(Command command);
    void loadAddinsOnce();
    void fillSpeciesList();
    void showAbout();
    void chooseDatabase();
    QAction* recentMenuAction(bool withMap);
    ExplanationDisplay& explanations();

    Workspace& workspace_;
    DocumentList& documents_;
    MessageSink& messages_;
    ProcessLauncher& launcher_;
    std::unique_ptr<RendererCache> renderers_;
    std::unique_ptr<AddinLoadJob> addinJob_;
    std::unique_ptr<ExplanationDisplay> explanations_;
    std::unique_ptr<DocumentPrinter> printing_;
    std::unique_ptr<QueuedMessages> queuedMessages_; // for workers: to this window through its event queue
    std::unique_ptr<SaveRun> saveRun_; // the save under way, while its progress dialog shows
    std::map<Command, QAction*> actions_;
    QMdiArea* mdiArea_ = nullptr;
    QComboBox* speciesList_ = nullptr;
    QComboBox* captionList_ = nullptr;
    QPushButton* explanationButton_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    std::vector<QMenu*> menuSets_[2]; // without a map window, with one
    int shownMenuSet_ = -1;
    QMenu* recentMenus_[2] = {nullptr, nullptr};
    LocalPath nextDatabase_;
    QSize selectionDialogSize_;
    QSize saveDialogSize_;
};

} // namespace tavik
