#include "viewer/app/console_jobs.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "viewer/app/command_line.h"
#include "viewer/document/page_export.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/map_saver.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/print_snapshot.h"
#include "viewer/session/species_selection.h"
#include "viewer/session/workspace.h"

#include <QImage>

#include <cstdio>
#include <optional>

namespace tavik {
namespace {

// Passes messages on and remembers that one came: while a document is drawn
// the renderer reports only faulty lines of the distribution table.
class FaultWatch : public MessageSink {
public:
    explicit FaultWatch(MessageSink& next)
        : next_(next)
    {
    }
    void show(const Message& message) override
    {
        seen = true;
        next_.show(message);
    }

    bool seen = false;

private:
    MessageSink& next_;
};

// The species the command line names, in its order (or every species in
// table order); false after naming the first unknown code.
bool chooseSpecies(const CommandLine& line, const Workspace& workspace, std::vector<const SpeciesRecord*>& chosen,
    MessageSink& messages)
{
    if (line.all) {
        for (const SpeciesRecord& species : workspace.species().rows())
            chosen.push_back(&species);
        if (chosen.empty()) {
            messages.stop(cp932Printf("%s\n種テーブルに種がありません。", workspace.settings().speciesTable.c_str()));
            return false;
        }
        return true;
    }
    for (std::int64_t code : line.codes) {
        const SpeciesRecord* species = workspace.species().find(code);
        if (!species) {
            messages.stop(cp932Printf("種コード %lld は種テーブル %s にありません。", static_cast<long long>(code),
                workspace.settings().speciesTable.c_str()));
            return false;
        }
        chosen.push_back(species);
    }
    return true;
}

// The file or pattern the command line writes to, as a cp932 path: nothing,
// after a message naming it, when it has none that leads back to it (a
// name written with "?" in place of a character would be another file).
std::optional<std::string> targetPath(const CommandLine& line, MessageSink& messages)
{
    const LocalPath target(line.target);
    std::optional<std::string> path = cp932PathOf(target);
    if (!path)
        messages.stop(pathWithoutCp932Message(target));
    return path;
}

int saveJob(const CommandLine& line, Workspace& workspace, const std::vector<const SpeciesRecord*>& species,
    MessageSink& messages, const std::atomic<bool>& stop)
{
    const std::optional<std::string> target = targetPath(line, messages);
    if (!target)
        return 1;
    SaveJob job;
    job.path = *target;
    job.depth = line.depth;
    job.overlay = line.overlay;
    job.species = species;
    Cp932Text refusal = checkSaveJob(job);
    if (!refusal.empty()) {
        messages.stop(refusal);
        return 1;
    }
    workspace.loadAddins(messages);

    QImage device(1, 1, QImage::Format_RGB32);
    double scale = markScale(workspace.settings(), device);
    SaveProgress progress;
    progress.onMap
        = [](const std::string& text) { std::fprintf(stderr, "%s\n", cp932ToUtf8(withControlsEscaped(text)).c_str()); };
    switch (saveMaps(job, workspace.renderSources(), scale, progress, stop, messages)) {
    case SaveResult::Done:
        return 0;
    case SaveResult::Incomplete:
        std::fprintf(stderr, "分布テーブルの行が不正な種の地図は書き出していません。\n");
        return 1;
    case SaveResult::Stopped:
        std::fprintf(stderr, "中止しました。それまでに書き出した地図は残してあります。\n");
        return 130;
    case SaveResult::Failed:
        break;
    }
    return 1;
}

bool chooseForm(const CommandLine& line, Workspace& workspace, MessageSink& messages)
{
    if (line.form.empty())
        return true;
    std::string title = utf8ToCp932(line.form);
    bool selected = false;
    workspace.changePrintForms([&](PrintFormList& forms) { selected = forms.select(title); });
    if (selected)
        return true;
    std::string known;
    for (const PrintForm& form : workspace.printForms().forms())
        known += "\n  " + form.title;
    messages.stop(cp932Printf("%s\n印刷書式 \"%s\" はありません。印刷書式:%s",
        workspace.settings().printFormCfg.c_str(), title.c_str(), known.c_str()));
    return false;
}

CQuelnaDoc documentOf(
    const CommandLine& line, const Workspace& workspace, const std::vector<const SpeciesRecord*>& species)
{
    CQuelnaDoc document;
    document.setPrintForm(workspace.printForms().current());
    std::vector<SpeciesRecord> copies;
    copies.reserve(species.size());
    for (const SpeciesRecord* one : species)
        copies.push_back(*one);
    if (line.overlay)
        document.setOverlaySpecies(std::move(copies));
    else
        document.setSpecies(std::move(copies), workspace.phyletic());
    return document;
}

int printJob(const CommandLine& line, Workspace& workspace, const std::vector<const SpeciesRecord*>& species,
    MessageSink& messages, const std::atomic<bool>& stop)
{
    if (!chooseForm(line, workspace, messages))
        return 1;
    const std::optional<std::string> target = targetPath(line, messages);
    if (!target)
        return 1;
    const CQuelnaDoc document = documentOf(line, workspace, species);
    const std::string& path = *target;
    workspace.loadAddins(messages);

    const PrintSnapshot snapshot(workspace, ScreenMetrics::ofDisplayFont(workspace.settings()));
    FaultWatch faults(messages);
    const PrintSources sources = snapshot.sources(faults);
    ExportProgress progress;
    progress.onPage = [](int page, int last, const std::string& names) {
        std::fprintf(stderr, "(%d/%d)  %s\n", page, last, cp932ToUtf8(withControlsEscaped(names)).c_str());
    };
    progress.drawnWhole = [&faults] { return !faults.seen; };
    switch (exportPdf(path, document, sources, progress, stop)) {
    case ExportResult::Done:
        std::fprintf(stderr, "%s に %d ページを書き出しました。\n", line.target.c_str(), document.pageCount());
        return 0;
    case ExportResult::Stopped:
        std::fprintf(stderr, "中止しました。%s は書き出していません。\n", line.target.c_str());
        return 130;
    case ExportResult::Incomplete:
        std::fprintf(stderr, "分布テーブルの行が不正な種の地図は記録が欠けるため、%s は書き出していません。\n",
            line.target.c_str());
        return 1;
    case ExportResult::NothingToPrint:
        messages.stop(cp932Printf("%s\n印刷書式 \"%s\" の地図の並びが A4 の用紙に収まりません"
                                  "（余白、地図の間隔、タイトルの位置を見直してください）。",
            workspace.settings().printFormCfg.c_str(), document.printForm().title.c_str()));
        return 1;
    case ExportResult::FileError:
        messages.stop(cp932Printf("%s に書き込みできませんでした。", path.c_str()));
        return 1;
    }
    return 1;
}

} // namespace

int runConsoleJob(const CommandLine& line, MessageSink& messages, const std::atomic<bool>& stop)
{
    const std::optional<std::string> directory = currentDirectory();
    if (!directory) {
        messages.stop(pathWithoutCp932Message(currentLocalDirectory()));
        return 1;
    }
    Workspace workspace;
    if (!workspace.start(*directory, messages))
        return 1;
    std::vector<const SpeciesRecord*> species;
    if (!chooseSpecies(line, workspace, species, messages))
        return 1;
    if (line.overlay) {
        Cp932Text refusal = checkSpeciesSelection(static_cast<int>(species.size()), true);
        if (!refusal.empty()) {
            messages.stop(refusal);
            return 1;
        }
    }
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
