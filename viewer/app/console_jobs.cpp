#include "viewer/app/console_jobs.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/app/command_line.h"
#include "viewer/app/print_job.h"
#include "viewer/render/font_faces.h"
#include "viewer/render/map_saver.h"
#include "viewer/render/page_renderer.h"
#include "viewer/settings/workspace.h"

#include <QImage>

#include <cstdio>
#include <thread>

namespace tavik {
namespace {

// The species the command line names, in its order (or every species in
// table order); false after naming the first unknown code.
bool chooseSpecies(const CommandLine& line, const Workspace& workspace, std::vector<const SpeciesRecord*>& chosen,
    MessageSink& messages)
{
    if (line.all) {
        for (const SpeciesRecord& species : workspace.species.rows())
            chosen.push_back(&species);
        if (chosen.empty()) {
            messages.stop("", cp932Printf("%s\n種テーブルに種がありません。", workspace.settings.speciesTable.c_str()));
            return false;
        }
        return true;
    }
    for (std::int64_t code : line.codes) {
        const SpeciesRecord* species = workspace.species.find(code);
        if (!species) {
            messages.stop("",
                cp932Printf("種コード %lld は種テーブル %s にありません。", static_cast<long long>(code),
                    workspace.settings.speciesTable.c_str()));
            return false;
        }
        chosen.push_back(species);
    }
    return true;
}

bool startViewer(Workspace& workspace, MessageSink& messages)
{
    if (!workspace.loadSettings(currentDirectory(), messages))
        return false;
    workspace.loadSpeciesTable(messages);
    if (!workspace.loadBaseImage(messages))
        return false;
    settleFontFaces(workspace.settings, installedFontFamilies());
    return true;
}

int saveJob(const CommandLine& line, Workspace& workspace, const std::vector<const SpeciesRecord*>& species,
    MessageSink& messages, std::atomic<bool>& stop)
{
    SaveJob job;
    job.path = utf8ToCp932(line.target);
    job.depth = line.depth;
    job.overlay = line.overlay;
    job.species = species;
    std::string refusal = checkSaveJob(job);
    if (!refusal.empty()) {
        messages.stop("", refusal);
        return 1;
    }
    workspace.loadAddins(messages);

    QImage device(1, 1, QImage::Format_RGB32);
    double scale = markScale(workspace.settings, device);
    SaveProgress progress;
    progress.onMap = [](const std::string& text) { std::fprintf(stderr, "%s\n", cp932ToUtf8(text).c_str()); };
    // Ctrl+C sets `stop`; the worker sees it through its own flag before the
    // next map.
    std::atomic<bool> finished{false};
    std::thread relay([&] {
        while (!finished.load()) {
            if (stop.load())
                progress.stop.store(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    SaveResult result = saveMaps(job, workspace.renderSources(), scale, progress, messages);
    finished.store(true);
    relay.join();
    switch (result) {
    case SaveResult::Done:
        return 0;
    case SaveResult::Stopped:
        std::fprintf(stderr, "Stopped; the maps written so far are kept.\n");
        return 130;
    case SaveResult::Failed:
        break;
    }
    return 1;
}

} // namespace

int runConsoleJob(const CommandLine& line, MessageSink& messages, std::atomic<bool>& stop)
{
    Workspace workspace;
    if (!startViewer(workspace, messages))
        return 1;
    std::vector<const SpeciesRecord*> species;
    if (!chooseSpecies(line, workspace, species, messages))
        return 1;
    switch (line.job) {
    case CommandLine::Job::Save:
        return saveJob(line, workspace, species, messages, stop);
    case CommandLine::Job::Print:
        return printJob(line, workspace, species, messages, stop);
    default:
        return 1;
    }
}

} // namespace tavik
