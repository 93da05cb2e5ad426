// tavik: the map viewer. With arguments it runs one job without windows
// (saving maps as images, printing them to a PDF); see --help.
#include "platform/message_sink.h"
#include "viewer/app/command_line.h"
#include "viewer/app/console_jobs.h"

#include <QGuiApplication>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    tavik::CommandLine line = tavik::parseCommandLine(arguments);
    if (line.job == tavik::CommandLine::Job::Help) {
        std::fputs(tavik::commandLineHelp().c_str(), stdout);
        return 0;
    }
    if (line.job == tavik::CommandLine::Job::Windowed) {
        std::fputs("The windowed viewer is not part of this build; tavik runs its command-line jobs.\n\n", stderr);
        std::fputs(tavik::commandLineHelp().c_str(), stderr);
        return 2;
    }
    if (!line.error.empty()) {
        std::fprintf(stderr, "tavik: %s\n\n%s", line.error.c_str(), tavik::commandLineHelp().c_str());
        return 2;
    }
    // Jobs draw with fonts but open no window.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(filterQtMessages);
    QGuiApplication app(argc, argv);
    std::signal(SIGINT, requestStop);
    tavik::StderrMessageSink messages;
    return tavik::runConsoleJob(line, messages, stopRequested);
}
