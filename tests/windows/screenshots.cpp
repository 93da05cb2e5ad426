// tavik_screenshots DATABASE-FOLDER OUTPUT-FOLDER
// Starts the windowed viewer offscreen on a database (a copy of the Japan
// sample with its fact tables built) and writes pictures of its windows and
// dialogs: `make screenshots` runs it into docs/screens/.
#include "platform/message_sink.h"
#include "tests/windows/viewer_driver.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/session/database_folders.h"
#include "viewer/session/process_launcher.h"
#include "viewer/session/save_run.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/settings/species_table.h"
#include "viewer/windows/display_order_dialog.h"
#include "viewer/windows/geo_line_dialog.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/map_view.h"
#include "viewer/windows/map_window.h"
#include "viewer/windows/mesh_dialog.h"
#include "viewer/windows/painter_dialog.h"
#include "viewer/windows/print_form_dialog.h"
#include "viewer/windows/print_preview_dialog.h"
#include "viewer/windows/progress_dialog.h"
#include "viewer/windows/save_file_dialog.h"
#include "viewer/windows/script_editor.h"
#include "viewer/windows/species_selection_dialog.h"
#include "viewer/windows/start_dialog.h"
#include "viewer/windows/viewer_application.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using namespace tavik;

class NoLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

bool save(QWidget& widget, const std::string& folder, const char* name)
{
    QApplication::processEvents();
    const std::string path = folder + "/" + name;
    const bool saved = widget.grab().save(QString::fromStdString(path));
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

// The rows of the species table with these codes, in this order.
std::vector<size_t> rowsOf(const Workspace& workspace, std::initializer_list<std::int64_t> codes)
{
    std::vector<size_t> rows;
    for (std::int64_t code : codes) {
        if (const SpeciesRecord* species = workspace.species().find(code))
            rows.push_back(static_cast<size_t>(species->row));
    }
    return rows;
}

// The offscreen platform's one screen: 1280 x 1024 at 96 dots per inch, so
// that the sample's main window (1100 x 900) fits as it would on a desktop.
void configureScreen(const std::string& folder)
{
    const std::string path = folder + "/offscreen-screen.json";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fputs("{\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": 1280, "
                   "\"height\": 1024, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}\n",
            file);
        std::fclose(file);
        ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).c_str(), 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavik_screenshots DATABASE-FOLDER OUTPUT-FOLDER\n");
        return 2;
    }
    const std::string database = argv[1];
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    configureScreen(database);
    QApplication app(argc, argv);
    ViewerApplication::installJapaneseTranslations(app);
    const std::string out = argv[2];
    MessageLog log;
    bool ok = true;

    // The start dialog of a viewer started from the desktop menu, with the
    // database as the one recently used.
    {
        const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
        StartDialog start({LocalPath(database)},
            installedSampleFolder(localPathOf(QCoreApplication::applicationDirPath())), LocalPath(home + "/Tavik"),
            log);
        start.show();
        ok = save(start, out, "start-dialog.png") && ok;
    }

    NoLauncher launcher;
    ViewerApplication viewer(&log, &launcher);
    if (!viewer.start(database)) {
        for (const std::string& text : log.utf8Texts())
            std::fprintf(stderr, "%s\n", text.c_str());
        return 1;
    }
    MainWindow& window = *viewer.mainWindow();

    // The selection dialog with a family checked and open.
    test::onModal<SpeciesSelectionDialog>([&](SpeciesSelectionDialog& dialog) {
        if (QTreeWidgetItem* family = test::treeItem(*dialog.tree(), "Papilionidae")) {
            family->setCheckState(0, Qt::Checked);
            family->setExpanded(true);
            if (QTreeWidgetItem* parent = family->parent())
                parent->setExpanded(true);
            dialog.tree()->setCurrentItem(family);
        }
        ok = save(dialog, out, "selection-dialog.png") && ok;
        dialog.reject();
    });
    window.action(Command::OpenMap)->trigger();

    // An ordinary window of five species at the third, and an overlay of
    // four species with its legend of marks and fills (the sample turns the
    // legend on); side by side, each zoomed to its window. The ordinary map
    // shows its captions, the overlay its legend.
    window.openSpecies(rowsOf(viewer.workspace(), {101, 102, 108, 109, 103}), false);
    window.action(Command::NextPage)->trigger();
    window.action(Command::NextPage)->trigger();
    window.openSpecies(rowsOf(viewer.workspace(), {108, 109, 402, 305}), true);
    window.mdiArea()->tileSubWindows();
    QApplication::processEvents();
    for (MapWindow* map : window.mapWindows()) {
        window.mdiArea()->setActiveSubWindow(map);
        map->view().contents();
        QApplication::processEvents();
        window.action(Command::ZoomToWindow)->trigger();
        QApplication::processEvents();
    }
    ok = save(window, out, "main-window.png") && ok;

    // The display order dialog of the ordinary window, the third species
    // selected.
    window.mdiArea()->setActiveSubWindow(window.mapWindows().front());
    test::onModal<DisplayOrderDialog>([&](DisplayOrderDialog& dialog) {
        dialog.list()->setCurrentRow(2);
        ok = save(dialog, out, "display-order-dialog.png") && ok;
        dialog.reject();
    });
    window.action(Command::DisplayOrder)->trigger();

    // The painter dialog over the overlay: its rows name the overlay's species.
    for (MapWindow* map : window.mapWindows()) {
        if (map->windowTitle() == "Overlay")
            window.mdiArea()->setActiveSubWindow(map);
    }
    test::onModal<PainterDialog>([&](PainterDialog& dialog) {
        ok = save(dialog, out, "painter-dialog.png") && ok;
        dialog.reject();
    });
    window.action(Command::Painter)->trigger();

    // The geo-line dialog with crosses over the base map's most frequent
    // colours.
    test::onModal<GeoLineDialog>([&](GeoLineDialog& dialog) {
        dialog.kindButton(GeoLineMode::Cross)->click();
        dialog.overwriteButton(GeoTransparentMode::Select)->click();
        dialog.takeColoursButton()->click();
        ok = save(dialog, out, "geo-line-dialog.png") && ok;
        dialog.reject();
    });
    window.action(Command::GeoLine)->trigger();

    test::onModal<MeshDialog>([&](MeshDialog& dialog) {
        ok = save(dialog, out, "mesh-dialog.png") && ok;
        dialog.reject();
    });
    window.action(Command::Mesh)->trigger();
    // The print form editor on its margins tab, and on its header tab with
    // a font element inserted at the end of the script.
    test::onModal<PrintFormDialog>([&](PrintFormDialog& dialog) {
        dialog.tabs()->setCurrentIndex(static_cast<int>(FormTab::Margins));
        ok = save(dialog, out, "print-form-margins.png") && ok;
        dialog.tabs()->setCurrentIndex(static_cast<int>(FormTab::Header));
        dialog.scriptEditor(FormScript::Header)->moveCursor(QTextCursor::End);
        dialog.scriptButton(FormScript::Header, ScriptButton::Font)->click();
        ok = save(dialog, out, "print-form-header.png") && ok;
        dialog.reject();
    });
    window.action(Command::PrintForms)->trigger();
    // The save dialog of the ordinary window: its species checked, the
    // family open, 24 bits.
    window.mdiArea()->setActiveSubWindow(window.mapWindows().front());
    test::onModal<SaveFileDialog>([&](SaveFileDialog& dialog) {
        if (QTreeWidgetItem* family = test::treeItem(*dialog.tree(), "Papilionidae"))
            family->setExpanded(true);
        ok = save(dialog, out, "save-dialog.png") && ok;
        dialog.reject();
    });
    window.action(Command::SaveImage)->trigger();

    // The progress dialog while every species is saved, at the third map;
    // the run is then cancelled.
    {
        Workspace& workspace = viewer.workspace();
        const std::string saved = database + "/saved";
        std::filesystem::create_directories(saved);
        SaveJob job;
        job.path = saved + "/%S.png";
        for (const SpeciesRecord& species : workspace.species().rows())
            job.species.push_back(&species);
        SaveRun run(job, workspace.renderSources(), window.activeMapWindow()->view().markScale());
        std::atomic<bool> grabbed{false};
        run.progress().onMap = [&grabbed](const std::string& text) {
            if (text.starts_with("(3/"))
                for (int i = 0; i < 1000 && !grabbed.load(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
        };
        MessageLog runMessages;
        run.start(runMessages);
        ProgressDialog dialog(run, QStringLiteral("保存中"), QStringLiteral("Cancel"), &window);
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!grabbed.load() && dialog.text()->text().startsWith("(3/")) {
                ok = save(dialog, out, "save-progress-dialog.png") && ok;
                grabbed.store(true);
                dialog.cancel();
            }
        });
        watch.start(50);
        dialog.exec();
        run.waitFor(std::chrono::seconds(20));
    }

    // The print preview of the ordinary window's first page, once it is
    // drawn.
    test::onModal<PrintPreviewDialog>([&](PrintPreviewDialog& dialog) {
        QElapsedTimer clock;
        clock.start();
        while (dialog.shownPage().isNull() && clock.elapsed() < 20000) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ok = save(dialog, out, "print-preview.png") && ok;
        dialog.reject();
    });
    window.action(Command::PrintPreview)->trigger();

    for (const std::string& text : log.utf8Texts())
        std::fprintf(stderr, "message: %s\n", text.c_str());
    return ok ? 0 : 1;
}
