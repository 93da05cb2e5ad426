// tavik: the map viewer. Without arguments it opens the windowed viewer on
// the database of the current directory; with arguments it runs one job
// without windows (saving maps as images, printing them to a PDF); see --help.
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/program_version.h"
#include "viewer/app/command_line.h"
#include "viewer/app/console_jobs.h"
#include "viewer/app/display_check.h"
#include "viewer/windows/viewer_application.h"

#include <QApplication>
#include <QGuiApplication>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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
// user's business on the command line; real warnings still reach stderr.
void filterQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// The windowed viewer: exit status 1 when the start-up fails (after its
// message) or there is no display.
int runViewer(int argc, char** argv)
{
    const std::string problem = tavik::displayProblem();
    if (!problem.empty()) {
        std::fprintf(stderr, "tavik: %s\n", problem.c_str());
        return 1;
    }
    qInstallMessageHandler(filterQtMessages);
    QApplication app(argc, argv);
    tavik::ViewerApplication viewer;
    if (!viewer.start(tavik::currentDirectory()))
        return 1;
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
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
        return runViewer(argc, argv);
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
