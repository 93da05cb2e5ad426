#include "viewer/windows/main_window.h"

#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/program_version.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/font_faces.h"
#include "viewer/session/addin_load_job.h"
#include "viewer/session/database_folders.h"
#include "viewer/session/explanation_display.h"
#include "viewer/session/geo_line_editor.h"
#include "viewer/session/painter_editor.h"
#include "viewer/session/renderer_cache.h"
#include "viewer/session/save_choice.h"
#include "viewer/session/save_run.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/addin_wait_dialog.h"
#include "viewer/windows/display_order_dialog.h"
#include "viewer/windows/document_printer.h"
#include "viewer/windows/geo_line_dialog.h"
#include "viewer/windows/map_view.h"
#include "viewer/windows/map_window.h"
#include "viewer/windows/mesh_dialog.h"
#include "viewer/windows/painter_dialog.h"
#include "viewer/windows/print_form_dialog.h"
#include "viewer/windows/progress_dialog.h"
#include "viewer/windows/recent_databases.h"
#include "viewer/windows/save_file_dialog.h"
#include "viewer/windows/species_selection_dialog.h"
#include "viewer/windows/toolbar_icons.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <deque>
#include <mutex>
#include <optional>

namespace tavik {

// Passes messages from workers to the main window through its event queue,
// so that they are shown after the work that raised them (a drawing, a load,
// a save) is done. The texts wait in a queue under a mutex of ours; only a
// call by name crosses to the window's thread, so nothing a worker allocates
// is freed on the other side without a lock the thread checker can see.
class QueuedMessages : public MessageSink {
public:
    explicit QueuedMessages(MainWindow& window)
        : window_(window)
    {
    }
    void show(const Message& message) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            waiting_.push_back(message.text);
        }
        QMetaObject::invokeMethod(&window_, "showNextQueuedMessage", Qt::QueuedConnection);
    }
    // The oldest message not yet shown, if any.
    std::optional<Cp932Text> takeNext()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (waiting_.empty())
            return std::nullopt;
        Cp932Text text = std::move(waiting_.front());
        waiting_.pop_front();
        return text;
    }

private:
    MainWindow& window_;
    std::mutex mutex_;
    std::deque<Cp932Text> waiting_;
};

namespace {

// Stands between groups of commands in a menu.
constexpr int kSeparator = 0;
// Stands for the submenu of the recently opened databases.
constexpr int kRecentMenu = 1;

} // namespace

MainWindow::MainWindow(Workspace& workspace, DocumentList& documents, MessageSink& messages, ProcessLauncher& launcher)
    : workspace_(workspace)
    , documents_(documents)
    , messages_(messages)
    , launcher_(launcher)
    , renderers_(std::make_unique<RendererCache>(workspace))
    , addinJob_(std::make_unique<AddinLoadJob>(workspace))
    , printing_(std::make_unique<DocumentPrinter>(workspace, messages, this))
    , queuedMessages_(std::make_unique<QueuedMessages>(*this))
{
    const Settings& s = workspace_.settings();
    setWindowTitle(qtext(s.frameTitle));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &MainWindow::updateCommands);

    createActions();
    createToolBar();
    createMenus();
    // The message pane says "レディ" whenever no status tip is shown.
    statusBar()->showMessage(QStringLiteral("レディ"));
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->showMessage(QStringLiteral("レディ"));
    });
    documents_.setObserver(this);
    updateCommands();
}

MainWindow::~MainWindow()
{
    saveRun_.reset();
    documents_.setObserver(nullptr);
    // Map windows go first: their views refer to the renderers.
    const auto windows = mdiArea_->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (auto* map = qobject_cast<MapWindow*>(window))
            map->detach();
        delete window;
    }
}

void MainWindow::createActions()
{
    for (const CommandInfo& info : commandTable()) {
        QAction* action = nullptr;
        if (info.command == Command::StatusBar) {
            action = new QAction(this);
            action->setCheckable(true);
            action->setChecked(true);
            connect(action, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
        } else if (info.command == Command::ToolBar) {
            continue; // the toolbar's own toggle, made with the toolbar
        } else {
            action = new QAction(this);
            const Command command = info.command;
            connect(action, &QAction::triggered, this, [this, command] { run(command); });
        }
        action->setText(QString::fromUtf8(info.text));
        action->setStatusTip(QString::fromUtf8(info.statusTip));
        if (*info.shortcut)
            action->setShortcut(QKeySequence(QString::fromUtf8(info.shortcut)));
        if (displaySwitch(workspace_.settings(), info.command))
            action->setCheckable(true);
        actions_[info.command] = action;
    }
    for (Command command : {Command::SaveImage, Command::Print, Command::TopPage, Command::PreviousPage,
             Command::NextPage, Command::LastPage})
        actions_[command]->setIcon(toolbarIcon(command));
}

void MainWindow::createToolBar()
{
    QToolBar* toolBar = addToolBar(QStringLiteral("ツール バー"));
    toolBar->setObjectName(QStringLiteral("toolbar"));
    toolBar->setMovable(true);
    toolBar->setIconSize(QSize(16, 16));
    QAction* toggle = toolBar->toggleViewAction();
    const CommandInfo& info = commandInfo(Command::ToolBar);
    toggle->setText(QString::fromUtf8(info.text));
    toggle->setStatusTip(QString::fromUtf8(info.statusTip));
    actions_[Command::ToolBar] = toggle;

    const Settings& s = workspace_.settings();
    QFont font(qtext(s.displayFontFace));
    font.setPointSize(std::max(1, static_cast<int>(s.displayFontSize)));

    speciesList_ = new QComboBox(toolBar);
    speciesList_->setObjectName(QStringLiteral("speciesList"));
    speciesList_->setFixedWidth(380);
    speciesList_->setMaxVisibleItems(30);
    captionList_ = new QComboBox(toolBar);
    captionList_->setObjectName(QStringLiteral("captionList"));
    captionList_->setFixedWidth(140);
    explanationButton_ = new QPushButton(QStringLiteral("説明"), toolBar);
    explanationButton_->setObjectName(QStringLiteral("explanationButton"));
    explanationButton_->setFixedWidth(80);
    for (QWidget* control : {static_cast<QWidget*>(speciesList_), static_cast<QWidget*>(captionList_),
             static_cast<QWidget*>(explanationButton_)})
        control->setFont(font);

    toolBar->addAction(actions_[Command::SaveImage]);
    toolBar->addAction(actions_[Command::Print]);
    toolBar->addSeparator();
    toolBar->addWidget(speciesList_);
    toolBar->addWidget(captionList_);
    toolBar->addWidget(explanationButton_);
    toolBar->addSeparator();
    for (Command command : {Command::TopPage, Command::PreviousPage, Command::NextPage, Command::LastPage})
        toolBar->addAction(actions_[command]);

    connect(speciesList_, &QComboBox::activated, this, &MainWindow::openFromSpeciesList);
    connect(captionList_, &QComboBox::activated, this, &MainWindow::changeNameMode);
    connect(explanationButton_, &QPushButton::clicked, this, [this] {
        CQuelnaDoc* document = activeDocument();
        explanations().showExplanation(document ? document->currentSpecies() : nullptr);
    });
}

void MainWindow::createMenus()
{
    // Two menu sets: one while no map window is open, one while a map window
    // is active, which adds the commands that act on its document.
    struct Menu {
        const char* title;
        std::vector<int> commands; // kSeparator between groups
    };
    const std::vector<Menu> menus = {
        {"ファイル(&F)",
            {int(Command::OpenDatabase), kRecentMenu, kSeparator, int(Command::OpenMap), int(Command::OpenOverlay),
                kSeparator, int(Command::SaveImage), kSeparator, int(Command::PrintForms), int(Command::Print),
                int(Command::PrintPreview), int(Command::PrintSetup), kSeparator, int(Command::CloseWindow),
                int(Command::Exit)}},
        {"表示(&V)",
            {int(Command::ToolBar), int(Command::StatusBar), kSeparator, int(Command::DispScientificName),
                int(Command::DispAlias1), int(Command::DispAlias2), int(Command::DispMarkLegend),
                int(Command::DispFillLegend), kSeparator, int(Command::ZoomIn), int(Command::ZoomOut),
                int(Command::ZoomToWindow), kSeparator, int(Command::DisplayOrder), kSeparator, int(Command::Painter),
                int(Command::GeoLine), int(Command::Mesh)}},
        {"ウィンドウ(&W)", {int(Command::Cascade), int(Command::Tile), int(Command::ArrangeIcons)}},
        {"ヘルプ(&H)", {int(Command::Documentation), kSeparator, int(Command::About)}},
    };
    for (int set = 0; set < 2; ++set) {
        const bool withMap = set == 1;
        for (const Menu& spec : menus) {
            std::vector<QAction*> entries;
            for (int id : spec.commands) {
                if (id == kSeparator) {
                    entries.push_back(nullptr);
                    continue;
                }
                if (id == kRecentMenu) {
                    entries.push_back(recentMenuAction(withMap));
                    continue;
                }
                const Command command = static_cast<Command>(id);
                if (commandInfo(command).mapWindowOnly && !withMap)
                    continue;
                entries.push_back(actions_[command]);
            }
            if (std::none_of(entries.begin(), entries.end(), [](QAction* a) { return a; }))
                continue;
            QMenu* menu = new QMenu(QString::fromUtf8(spec.title), this);
            bool separatorDue = false;
            for (QAction* entry : entries) {
                if (!entry) {
                    separatorDue = !menu->isEmpty();
                    continue;
                }
                if (separatorDue)
                    menu->addSeparator();
                separatorDue = false;
                menu->addAction(entry);
            }
            if (withMap && spec.commands.front() == int(Command::Cascade)) {
                windowMenu_ = menu;
                connect(menu, &QMenu::aboutToShow, this, [this] {
                    // The open map windows, after the arranging commands,
                    // each with the species it shows.
                    for (QAction* entry : windowMenu_->actions()) {
                        if (entry->data().isValid())
                            delete entry;
                    }
                    windowMenu_->addSeparator()->setData(true);
                    int number = 1;
                    for (MapWindow* window : mapWindows()) {
                        const CQuelnaDoc* document = window->document();
                        const SpeciesRecord* species = document->currentSpecies();
                        QString label = QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle());
                        if (species && !document->isOverlay())
                            label += QStringLiteral("  ")
                                + qtext(speciesName(*species, workspace_.settings().spNameMode));
                        QAction* entry = windowMenu_->addAction(label);
                        entry->setData(true);
                        entry->setCheckable(true);
                        entry->setChecked(window == activeMapWindow());
                        connect(
                            entry, &QAction::triggered, this, [this, window] { mdiArea_->setActiveSubWindow(window); });
                    }
                });
            }
            menuSets_[set].push_back(menu);
        }
    }
}

QAction* MainWindow::action(Command command) const
{
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

MapWindow* MainWindow::activeMapWindow() const
{
    auto* window = qobject_cast<MapWindow*>(mdiArea_->currentSubWindow());
    return window && window->document() ? window : nullptr;
}

CQuelnaDoc* MainWindow::activeDocument() const
{
    MapWindow* window = activeMapWindow();
    return window ? window->document() : nullptr;
}

QList<MapWindow*> MainWindow::mapWindows() const
{
    QList<MapWindow*> windows;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        auto* map = qobject_cast<MapWindow*>(window);
        if (map && map->document())
            windows.push_back(map);
    }
    return windows;
}

void MainWindow::updateCommands()
{
    const CQuelnaDoc* active = activeDocument();
    for (auto& [command, action] : actions_) {
        if (command == Command::ToolBar || command == Command::StatusBar)
            continue;
        action->setEnabled(commandEnabled(command, active));
        if (const bool* on = displaySwitch(workspace_.settings(), command))
            action->setChecked(*on);
    }
    const int set = active ? 1 : 0;
    if (set != shownMenuSet_) {
        menuBar()->clear();
        for (QMenu* menu : menuSets_[set])
            menuBar()->addMenu(menu);
        shownMenuSet_ = set;
    }
}

void MainWindow::fillLists()
{
    const Settings& s = workspace_.settings();
    captionList_->clear();
    for (const std::string* caption : {&s.scientificNameStr, &s.alias1NameStr, &s.alias2NameStr})
        captionList_->addItem(qtext(*caption));
    captionList_->setCurrentIndex(static_cast<int>(s.spNameMode) - 1);
    fillSpeciesList();
}

void MainWindow::fillSpeciesList()
{
    const SpeciesTable& table = workspace_.species();
    const NameMode mode = workspace_.settings().spNameMode;
    speciesList_->clear();
    speciesList_->addItem(QString());
    for (size_t row : table.byName())
        speciesList_->addItem(qtext(speciesName(table.rows()[row], mode)));
}

void MainWindow::run(Command command)
{
    switch (command) {
    case Command::OpenMap:
        openFromDialog(false);
        break;
    case Command::OpenOverlay:
        openFromDialog(true);
        break;
    case Command::TopPage:
    case Command::PreviousPage:
    case Command::NextPage:
    case Command::LastPage:
        if (CQuelnaDoc* document = activeDocument()) {
            workspace_.refreshDistributionIndex(messages_);
            documents_.turnPage(*document, command);
        }
        break;
    case Command::DispScientificName:
    case Command::DispAlias1:
    case Command::DispAlias2:
    case Command::DispMarkLegend:
    case Command::DispFillLegend:
        toggleSwitch(command);
        break;
    case Command::DisplayOrder:
        reorderActiveDocument();
        break;
    case Command::Painter:
        editPainter();
        break;
    case Command::GeoLine:
        editGeoLines();
        break;
    case Command::Mesh:
        editMesh();
        break;
    case Command::Documentation:
        explanations().showHelpDocument();
        break;
    case Command::PrintForms:
        editPrintForms();
        break;
    case Command::SaveImage:
        saveImages();
        break;
    case Command::Print:
    case Command::PrintPreview:
        printActiveDocument(command);
        break;
    case Command::PrintSetup:
        printing_->setUp();
        break;
    case Command::CloseWindow:
        if (MapWindow* window = activeMapWindow())
            window->close();
        break;
    case Command::Cascade:
        mdiArea_->cascadeSubWindows();
        break;
    case Command::Tile:
        mdiArea_->tileSubWindows();
        break;
    case Command::ArrangeIcons:
        // Minimized map windows line up along the bottom of the area.
        for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
            if (window->isMinimized())
                window->showMinimized();
        }
        break;
    case Command::Exit:
        close();
        break;
    case Command::OpenDatabase:
        chooseDatabase();
        break;
    case Command::ZoomIn:
    case Command::ZoomOut:
    case Command::ZoomToWindow:
        if (MapWindow* window = activeMapWindow()) {
            MapView& view = window->view();
            if (command == Command::ZoomIn)
                view.zoomIn();
            else if (command == Command::ZoomOut)
                view.zoomOut();
            else
                view.zoomToWindow();
        }
        break;
    case Command::About:
        showAbout();
        break;
    default:
        break;
    }
    updateCommands();
}

QAction* MainWindow::recentMenuAction(bool withMap)
{
    // One submenu per menu set, filled as it opens from the user's recent list.
    auto* menu = new QMenu(QStringLiteral("最近使ったデータベース(&R)"), this);
    recentMenus_[withMap ? 1 : 0] = menu;
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        QSettings store;
        int number = 1;
        for (const LocalPath& folder : recentDatabases(store)) {
            QAction* entry = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(qpath(folder)));
            connect(entry, &QAction::triggered, this, [this, folder] { openDatabase(folder); });
        }
        if (menu->isEmpty())
            menu->addAction(QStringLiteral("（なし）"))->setEnabled(false);
    });
    return menu->menuAction();
}

void MainWindow::chooseDatabase()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("データベースのフォルダを選ぶ"),
        qpath(localPath(workspace_.settings().startupDirectory)), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        openDatabase(localPathOf(folder));
}

bool MainWindow::openDatabase(const LocalPath& folder)
{
    if (!confirmDatabaseFolder(folder, messages_))
        return false;
    // The window closes as on exit (its settings written to this database's
    // tavik.ini); the program then opens the other database.
    nextDatabase_ = folder;
    if (!close()) {
        nextDatabase_ = {};
        return false;
    }
    return true;
}

void MainWindow::showAbout()
{
    // The version is the one `tavik --version` prints and the package carries.
    const std::string text = "Tavik 生物分布地図ビューア\n\nバージョン " + std::string(programVersion());
    messages_.show({{}, cp932Literal(text), MessageIcon::Information});
}

void MainWindow::editPrintForms()
{
    PrintFormDialog dialog(workspace_, messages_, this);
    // Saved: every open document takes the new current form, and ordinary
    // ones are paginated anew.
    if (dialog.exec() == QDialog::Accepted)
        documents_.takePrintForm(workspace_.printForms().current());
}

void MainWindow::openFromDialog(bool overlay)
{
    SpeciesSelectionDialog dialog(workspace_, overlay, messages_, this);
    if (selectionDialogSize_.isValid())
        dialog.resize(selectionDialogSize_);
    const int result = dialog.exec();
    selectionDialogSize_ = dialog.size();
    if (result != QDialog::Accepted)
        return;
    openSpecies(dialog.selection().rows, overlay);
}

void MainWindow::openFromSpeciesList(int entry)
{
    // The empty first entry opens nothing.
    const auto& byName = workspace_.species().byName();
    if (entry < 1 || static_cast<size_t>(entry) > byName.size())
        return;
    openSpecies({byName[static_cast<size_t>(entry) - 1]}, false);
}

void MainWindow::openSpecies(const std::vector<size_t>& rows, bool overlay)
{
    if (rows.empty())
        return;
    documents_.prepareOpen(activeDocument());
    loadAddinsOnce();
    // A samvel run since the last map: the new map shows the new records.
    workspace_.refreshDistributionIndex(messages_);
    documents_.open(rows, overlay);
    updateCommands();
}

void MainWindow::loadAddinsOnce()
{
    if (!addinJob_->needed())
        return;
    addinJob_->start();
    AddinWaitDialog dialog(*addinJob_, this);
    dialog.exec();
    addinJob_->finish(*queuedMessages_);
}

void MainWindow::changeNameMode(int entry)
{
    if (entry < 0 || entry > 2)
        return;
    const NameMode mode = static_cast<NameMode>(entry + 1);
    workspace_.setNameMode(mode);
    fillSpeciesList();
}

void MainWindow::toggleSwitch(Command command)
{
    if (!displaySwitch(workspace_.settings(), command))
        return;
    workspace_.changeSettings([command](Settings& settings) {
        bool* on = displaySwitch(settings, command);
        *on = !*on;
    });
    documents_.refreshAll();
}

void MainWindow::reorderActiveDocument()
{
    CQuelnaDoc* document = activeDocument();
    if (!commandEnabled(Command::DisplayOrder, document))
        return;
    Settings chosen = workspace_.settings();
    DisplayOrderDialog dialog(*document, chosen, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The name the order was sorted by is kept, as the dialog left it.
    workspace_.changeSettings([&chosen](Settings& settings) { settings.dispOrderMode = chosen.dispOrderMode; });
    if (accepted)
        documents_.reorder(*document, dialog.order().species());
}

void MainWindow::editPainter()
{
    PainterDialog dialog(workspace_.painter(), painterRowLabels(activeDocument()), installedFontFamilies(),
        workspace_.settings(), messages_, this);
    if (dialog.exec() == QDialog::Accepted)
        acceptPainter(workspace_, documents_, dialog.editor().accepted(), messages_);
}

void MainWindow::editGeoLines()
{
    GeoLineDialog dialog(workspace_.settings(), workspace_.baseImage().image, messages_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    workspace_.changeSettings([&dialog](Settings& settings) { dialog.editor().apply(settings); });
    documents_.refreshAll();
}

void MainWindow::editMesh()
{
    MeshDialog dialog(workspace_.settings(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    workspace_.changeSettings([&dialog](Settings& settings) { dialog.apply(settings); });
    documents_.refreshAll();
}

void MainWindow::saveImages()
{
    // Saving works on the maps of the active window's document.
    MapWindow* window = activeMapWindow();
    const CQuelnaDoc* document = window ? window->document() : nullptr;
    if (!document || document->speciesCount() == 0)
        return;
    SaveFileDialog dialog(workspace_, *document, messages_, this);
    if (saveDialogSize_.isValid())
        dialog.resize(saveDialogSize_);
    const int result = dialog.exec();
    saveDialogSize_ = dialog.size();
    if (result != QDialog::Accepted)
        return;
    workspace_.keepSaveFolder(saveFolderOf(dialog.path()));
    SaveJob job;
    job.path = dialog.path();
    job.depth = dialog.depth();
    job.overlay = document->isOverlay();
    // An overlay is saved as its window shows it (display order, slots).
    job.species = speciesToSave(dialog.selection(), *document, workspace_.species());
    // The run draws from sources frozen now; a dialog's OK meanwhile changes
    // only the maps drawn after it.
    saveRun_ = std::make_unique<SaveRun>(std::move(job), workspace_.renderSources(), window->view().markScale());
    saveRun_->start(*queuedMessages_);
    ProgressDialog progress(*saveRun_, QStringLiteral("保存中"), QStringLiteral("Cancel"), this);
    progress.exec();
    // A Cancel stops the workers at once; they end with the map each is
    // drawing, whose file is dropped.
    saveRun_->wait();
    saveRun_.reset();
}

void MainWindow::printActiveDocument(Command command)
{
    MapWindow* window = activeMapWindow();
    if (!window)
        return;
    if (command == Command::PrintPreview)
        printing_->preview(*window->document(), window->view().screenMetrics());
    else
        printing_->print(*window->document(), window->view().screenMetrics());
}

ExplanationDisplay& MainWindow::explanations()
{
    if (!explanations_) {
        explanations_ = std::make_unique<ExplanationDisplay>(workspace_.settings(), launcher_, messages_, "");
        explanations_->setInstalledGuide(installedGuidePage(localPathOf(QCoreApplication::applicationDirPath())));
    }
    return *explanations_;
}

void MainWindow::showRaisedMessage(const QByteArray& cp932Text) { messages_.stop(cp932Of(cp932Text)); }

void MainWindow::showNextQueuedMessage()
{
    if (std::optional<Cp932Text> text = queuedMessages_->takeNext())
        messages_.stop(*text);
}

void MainWindow::documentOpened(CQuelnaDoc& document)
{
    auto* window = new MapWindow(document, *this);
    // The view raises its messages from the event queue, after its drawing.
    connect(&window->view(), &MapView::messageRaised, this, &MainWindow::showRaisedMessage);
    // The window below the active one and a title bar to the right, like a
    // cascade, or at the top-left corner when that would leave the area.
    QPoint place(0, 0);
    if (QMdiSubWindow* previous = mdiArea_->currentSubWindow(); previous && !previous->isMaximized())
        place = previous->pos() + QPoint(24, 24);
    mdiArea_->addSubWindow(window);
    const Settings& s = workspace_.settings();
    const QSize area = mdiArea_->viewport()->size();
    window->resize(std::max(100, std::min(s.childFrameWidth, area.width() - 2)),
        std::max(100, std::min(s.childFrameHeight, area.height() - 2)));
    if (place.x() + window->width() > area.width() || place.y() + window->height() > area.height())
        place = QPoint(0, 0);
    window->move(place);
    window->show();
    mdiArea_->setActiveSubWindow(window);
    updateCommands();
}

void MainWindow::documentChanged(CQuelnaDoc& document, DocumentList::Change)
{
    for (MapWindow* window : mapWindows()) {
        if (window->document() == &document) {
            window->retitle();
            window->view().markStale();
        }
    }
    updateCommands();
}

void MainWindow::documentClosing(CQuelnaDoc& document)
{
    for (MapWindow* window : mapWindows()) {
        if (window->document() == &document) {
            window->detach();
            window->close();
        }
    }
    updateCommands();
}

void MainWindow::mapWindowResized(const QSize& size) { workspace_.keepMapWindowSize(size.width(), size.height()); }

void MainWindow::mapWindowClosed(CQuelnaDoc& document)
{
    documents_.close(document);
    updateCommands();
}

void MainWindow::saveSettings()
{
    WindowState state = WindowState::Normal;
    if (isMinimized())
        state = WindowState::Minimized;
    else if (isMaximized())
        state = WindowState::Maximized;
    else
        workspace_.keepMainWindowSize(width(), height());
    const Settings& s = workspace_.settings();
    const std::string path = joinPath(s.startupDirectory, "tavik.ini");
    IniFile ini = IniFile::load(path);
    writeSettings(s, state, ini);
    // A settings file that cannot be read whole is never written over.
    std::string reason;
    if (!ini.save(path, &reason))
        messages_.stop(cp932Printf("%s に書き込みできませんでした。\n%s", path.c_str(), utf8ToCp932(reason).c_str()));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A save under way is cancelled, and its workers are waited for: none
    // may outlive the window whose sources and messages it uses.
    if (saveRun_) {
        saveRun_->cancel();
        saveRun_->wait();
    }
    saveSettings();
    event->accept();
}

} // namespace tavik
