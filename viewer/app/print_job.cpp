#include "viewer/app/print_job.h"

#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/message_sink.h"
#include "viewer/app/command_line.h"
#include "viewer/print/page_layout.h"
#include "viewer/print/print_page.h"
#include "viewer/print/quelna_doc.h"
#include "viewer/render/page_renderer.h"
#include "viewer/settings/workspace.h"

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

namespace tavik {
namespace {

constexpr int kPrinterDpi = 300;

// The scientific names of the species on a page, for the progress line.
std::string pageNames(const CQuelnaDoc& document, int page)
{
    std::string names;
    for (int i = 0; i < document.speciesCount(); ++i) {
        if (!document.isOverlay() && document.pageOf(i) != page)
            continue;
        if (!names.empty())
            names += ", ";
        names += document.species()[static_cast<size_t>(i)].scientificName;
    }
    return names;
}

bool chooseForm(const CommandLine& line, Workspace& workspace, MessageSink& messages)
{
    if (line.form.empty())
        return true;
    std::string title = utf8ToCp932(line.form);
    if (workspace.printForms.select(title))
        return true;
    std::string known;
    for (const PrintForm& form : workspace.printForms.forms())
        known += "\n  " + form.title;
    messages.stop("",
        cp932Printf("%s\n印刷書式 \"%s\" はありません。印刷書式:%s", workspace.settings.printFormCfg.c_str(),
            title.c_str(), known.c_str()));
    return false;
}

void setUpWriter(QPdfWriter& writer, const PrintForm& form)
{
    writer.setResolution(kPrinterDpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    // The whole sheet is the printable area; the form's margins count from it.
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setCreator(QStringLiteral("tavik"));
    writer.setTitle(QString::fromStdString(cp932ToUtf8(form.title)));
}

} // namespace

int printJob(const CommandLine& line, Workspace& workspace, const std::vector<const SpeciesRecord*>& species,
    MessageSink& messages, std::atomic<bool>& stop)
{
    if (!chooseForm(line, workspace, messages))
        return 1;
    const PrintForm& form = workspace.printForms.current();
    const std::string path = utf8ToCp932(line.target);

    CQuelnaDoc document;
    document.setPrintForm(form);
    std::vector<SpeciesRecord> copies;
    for (const SpeciesRecord* one : species)
        copies.push_back(*one);
    if (line.overlay)
        document.setOverlaySpecies(std::move(copies));
    else
        document.setSpecies(std::move(copies), workspace.phyletic);

    const QSize mapSize = workspace.baseImage.image.size();
    PrinterPage a4;
    a4.dpiX = a4.dpiY = kPrinterDpi;
    if (!PageLayout(form, a4, mapSize).fits()) {
        messages.stop("",
            cp932Printf("%s\n印刷書式 \"%s\" の地図の並びが A4 の用紙に収まりません"
                        "（余白、地図の間隔、タイトルの位置を見直してください）。",
                workspace.settings.printFormCfg.c_str(), form.title.c_str()));
        return 1;
    }
    workspace.loadAddins(messages);

    const RenderSources renderSources = workspace.renderSources();
    const PageRenderer renderer(renderSources);
    PrintSources sources{{workspace.settings, workspace.painter, workspace.phyletic}, mapSize, {},
        ScreenMetrics::ofDisplayFont(workspace.settings)};
    const double markScale = sources.screen.digitFactor;
    sources.renderMap
        = [&](const std::vector<std::int64_t>& codes) { return renderer.render(codes, markScale, messages); };

    FileReplacement replacement(path);
    QFile file;
    if (!replacement.open() || !file.open(replacement.stream(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        messages.stop("", cp932Printf("%s に書き込みできませんでした。", path.c_str()));
        return 1;
    }
    QPdfWriter writer(&file);
    setUpWriter(writer, form);
    QPainter painter;
    if (!painter.begin(&writer)) {
        messages.stop("", cp932Printf("%s に書き込みできませんでした。", path.c_str()));
        return 1;
    }
    const int pages = document.pageCount();
    for (int page = 1; page <= pages; ++page) {
        if (stop.load()) {
            painter.end();
            std::fprintf(stderr, "Stopped; %s was not written.\n", line.target.c_str());
            return 130;
        }
        if (page > 1)
            writer.newPage();
        std::fprintf(stderr, "(%d/%d)  %s\n", page, pages, cp932ToUtf8(pageNames(document, page)).c_str());
        printPage(painter, document, page, sources);
    }
    painter.end();
    file.close();
    if (file.error() != QFileDevice::NoError || !replacement.commit()) {
        messages.stop("", cp932Printf("%s に書き込みできませんでした。", path.c_str()));
        return 1;
    }
    std::fprintf(stderr, "%d page%s written to %s\n", pages, pages == 1 ? "" : "s", line.target.c_str());
    return 0;
}

} // namespace tavik
