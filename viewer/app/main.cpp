// tavik: the map viewer. Without arguments it opens the windowed viewer on
// the database of the current directory; with arguments it runs one job
// without windows (saving maps as images, printing them to a PDF); see --help.
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/program_version.h"
#include "viewer/app/command_line.h"
#include "viewer/app/console_jobs.h"
#include "viewer/app/display_check.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/session/database_folders.h"
#include "viewer/windows/message_box_sink.h"
#include "viewer/windows/recent_databases.h"
#include "viewer/windows/start_dialog.h"
#include "viewer/windows/viewer_application.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QSettings>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer build (make test-asan): gcc 12's leak checker guesses where a
// thread's dynamic TLS block starts (libjpeg's, which Qt's PDF writer loads)
// from the malloc header it expects just before it, and crashes at exit when
// the block's address happens to fit that guess. Without the guess the block
// stays reachable through the thread's TLS vector, which the checker scans.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
#endif

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested.store(true); }

// Qt's own chatter (a missing XDG_RUNTIME_DIR on a server, say) is not the
// user's business on the command line; real warnings still reach stderr. A
// platform that cannot start (an X display that does not answer) is Qt's
// fatal error, which would abort the program: it becomes one line and exit
// status 1, and the platform plugin's own lines before it are left out.
void filterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr,
            "tavik: ウィンドウを開けません。ディスプレイ %s に接続できません"
            "（ウィンドウを使わない仕事は tavik --help を参照）\n",
            display && *display ? display : "(DISPLAY なし)");
        std::_Exit(1);
    }
    const bool platformChatter = context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0;
    if (type == QtDebugMsg || type == QtInfoMsg || platformChatter || text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", tavik::utf8Of(text).c_str());
}

// Memory that runs out anywhere ends the program with the two-line report
// and status 1, never an abort.
int reportOutOfMemory()
{
    // No allocation: the file line is empty, as in every program's report.
    std::fputs("\nメモリが足りません。\n", stderr);
    return 1;
}

// The windowed viewer's application: an exception that leaves an event
// handler is memory running out (nothing else is thrown across Qt).
class ViewerQApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            std::_Exit(reportOutOfMemory());
        }
    }
};

// The folder a run starts on: the one given on the command line, else the
// current one. Without a database there that the viewer can open, the start
// dialog asks for one (a folder given, or a database in a folder whose name
// has no cp932 form, is first said to be unfit, and why); empty when the
// user quits.
tavik::LocalPath startFolder(const tavik::LocalPath& given, tavik::MessageSink& messages)
{
    const tavik::LocalPath current = tavik::currentLocalDirectory();
    const tavik::LocalPath folder = given.empty() ? current : tavik::databaseFolderOf(given, current);
    if ((!given.empty() || tavik::holdsDatabase(folder)) && tavik::confirmDatabaseFolder(folder, messages))
        return folder;
    QSettings store;
    const tavik::LocalPath programFolder = tavik::localPathOf(QCoreApplication::applicationDirPath());
    tavik::StartDialog dialog(tavik::recentDatabases(store), tavik::installedSampleFolder(programFolder),
        tavik::localPathOf(QDir::homePath() + QStringLiteral("/Tavik")), messages);
    return dialog.exec() == QDialog::Accepted ? dialog.folder() : tavik::LocalPath();
}

// The windowed viewer on the database of `given` (or of the current folder):
// exit status 1 when the start-up fails (after its message) or there is no
// display. Opening another database from the File menu closes the main
// window and starts the viewer again on that folder.
int runViewer(int argc, char** argv, const tavik::LocalPath& given)
{
    const std::string problem = tavik::displayProblem();
    if (!problem.empty()) {
        std::fprintf(stderr, "tavik: %s\n", problem.c_str());
        return 1;
    }
    qInstallMessageHandler(filterQtMessages);
    ViewerQApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tavik"));
    QCoreApplication::setApplicationName(QStringLiteral("tavik"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tavik.Tavik"));
    tavik::ViewerApplication::installJapaneseTranslations(app);
    tavik::MessageBoxSink boxes;
    tavik::LocalPath folder = startFolder(given, boxes);
    while (!folder.empty()) {
        QSettings store;
        tavik::rememberDatabase(store, folder);
        auto viewer = std::make_unique<tavik::ViewerApplication>();
        // Every folder that gets here was confirmed to have a cp932 path.
        const std::optional<std::string> directory = tavik::cp932PathOf(folder);
        if (!directory || !viewer->start(*directory))
            return 1;
        const int status = app.exec();
        if (status != 0)
            return status;
        folder = viewer->nextDatabase();
    }
    return 0;
}

int runTavik(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (tavik::asksForVersion(arguments)) {
        std::fputs(tavik::versionText("tavik").c_str(), stdout);
        return 0;
    }
    tavik::CommandLine line = tavik::parseCommandLine(arguments);
    if (line.job == tavik::CommandLine::Job::Help) {
        std::fputs(tavik::commandLineHelp().c_str(), stdout);
        return 0;
    }
    if (line.job == tavik::CommandLine::Job::Windowed && line.error.empty())
        return runViewer(argc, argv, line.folder);
    if (!line.error.empty()) {
        // Status 1, as for every other failure of every Tavik program.
        std::fprintf(stderr, "tavik: %s\n\n%s", line.error.c_str(), tavik::commandLineHelp().c_str());
        return 1;
    }
    // Jobs draw with fonts but open no window.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(filterQtMessages);
    QGuiApplication app(argc, argv);
    std::signal(SIGINT, requestStop);
    tavik::StderrMessageSink messages;
    return tavik::runConsoleJob(line, messages, stopRequested);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return runTavik(argc, argv);
    } catch (const std::bad_alloc&) {
        return reportOutOfMemory();
    }
}
