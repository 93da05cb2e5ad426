// The print preview of a large document, measured as a user meets it: the
// viewer opened on a database, every species opened as one document, the
// preview opened. Prints the time until the first page is on screen against
// the time one map takes to draw in the same run, the viewer's resident
// memory before, at its highest while pages are turned, and after the
// preview closes.
//
//   tavik_preview_bench DATABASE-FOLDER [PAGES-TURNED]
#include "platform/message_sink.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/process_launcher.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/map_view.h"
#include "viewer/windows/map_window.h"
#include "viewer/windows/print_preview_dialog.h"
#include "viewer/windows/viewer_application.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>

namespace {

class NoLauncher : public tavik::ProcessLauncher {
public:
    bool startDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

// Resident memory of this process in megabytes.
double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Runs the events until `done`, at most a minute.
bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavik_preview_bench DATABASE-FOLDER [PAGES-TURNED]\n");
        return 2;
    }
    const int turned = argc > 2 ? std::atoi(argv[2]) : 20;
    QApplication app(argc, argv);
    tavik::MessageLog log;
    NoLauncher launcher;
    tavik::ViewerApplication viewer(&log, &launcher);
    if (!viewer.start(argv[1])) {
        std::fprintf(
            stderr, "the viewer did not start: %s\n", log.utf8Texts().empty() ? "" : log.utf8Texts()[0].c_str());
        return 1;
    }
    tavik::MainWindow& window = *viewer.mainWindow();
    window.show();
    std::vector<size_t> rows(viewer.workspace().species().rows().size());
    std::iota(rows.begin(), rows.end(), 0);
    window.openSpecies(rows, false);
    window.activeMapWindow()->view().contents();
    QApplication::processEvents();

    // The floor: one map drawn in this run.
    const tavik::PageRenderer renderer(viewer.workspace().renderSources());
    QElapsedTimer mapClock;
    mapClock.start();
    for (int i = 0; i < 5; ++i)
        renderer.render({viewer.workspace().species().rows()[static_cast<size_t>(i)].code}, 1.0, log);
    const double mapMs = static_cast<double>(mapClock.nsecsElapsed()) / 5e6;

    ::malloc_trim(0);
    const double before = residentMb();
    double peak = before;
    double firstPageMs = -1;
    int pages = 0;
    QElapsedTimer clock;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&peak] { peak = std::max(peak, residentMb()); });
    sampler.start(20);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<tavik::PrintPreviewDialog*>(QApplication::activeModalWidget());
        waitFor([&] {
            dialog = qobject_cast<tavik::PrintPreviewDialog*>(QApplication::activeModalWidget());
            return dialog && !dialog->shownPage().isNull();
        });
        if (!dialog)
            return;
        firstPageMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        pages = dialog->pageCount();
        for (int page = 2; page <= std::min(pages, turned + 1); ++page) {
            dialog->showPage(page);
            waitFor([&] { return !dialog->shownPage().isNull(); });
        }
        dialog->setZoom(200);
        waitFor([&] { return !dialog->shownPage().isNull(); });
        dialog->reject();
    });
    clock.start();
    window.action(tavik::Command::PrintPreview)->trigger();
    sampler.stop();
    QApplication::processEvents();
    ::malloc_trim(0);
    const double after = residentMb();

    std::printf("species %zu  pages %d  pages_turned %d\n", rows.size(), pages, std::min(pages - 1, turned));
    std::printf("first_page_ms %.0f  map_ms %.1f  ratio %.1f  (goal: first page <= 1000 ms)\n", firstPageMs, mapMs,
        firstPageMs / mapMs);
    std::printf("resident_mb before %.0f  peak %.0f (+%.0f)  after_close %.0f (+%.0f)  (goal: peak <= +400 MB, "
                "memory given back on close)\n",
        before, peak, peak - before, after, after - before);
    return firstPageMs >= 0 ? 0 : 1;
}
