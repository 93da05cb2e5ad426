// A save running on every core while the painter and geo-line dialogs are
// accepted again and again: the run draws from the sources it started with
// and every map is whole. The ThreadSanitizer build (make test-tsan) runs this
// to prove that nothing the run reads is written meanwhile.
#include "viewer/session/save_run.h"

#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "tests/support/viewer_database.h"
#include "viewer/session/document_list.h"
#include "viewer/session/geo_line_editor.h"
#include "viewer/session/painter_editor.h"
#include "viewer/session/workspace.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <thread>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// A sink that worker threads may call.
class LockedLog : public MessageSink {
public:
    void show(const Message& message) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(message);
    }
    size_t size()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_.size();
    }

private:
    std::mutex mutex_;
    std::vector<Message> messages_;
};

TEST(SaveRun, DrawsFromTheSourcesItStartedWithWhileDialogsChangeThemAHundredTimes)
{
    test::TestFolder folder("save_run_stress");
    std::string distribution, species;
    const int count = 120;
    for (int code = 1; code <= count; ++code) {
        species += std::to_string(code) + ",Species " + std::to_string(code) + "\r\n";
        distribution += std::to_string(code) + ",1,A,N35E135,A,3,B\r\n";
    }
    test::writeViewerDatabase(folder, distribution);
    folder.write("dbase/species.csv", species);
    fs::create_directories(folder.file("out"));
    Workspace workspace;
    MessageLog log;
    ASSERT_TRUE(workspace.start(folder.path(), log));
    DocumentList documents(workspace);

    SaveJob job;
    job.path = folder.file("out/map_%C.png");
    for (const SpeciesRecord& s : workspace.species().rows())
        job.species.push_back(&s);
    const PainterConfig original = workspace.painter();
    SaveRun run(std::move(job), workspace.renderSources(), 1.0);
    LockedLog messages;
    run.start(messages, std::max(2u, std::thread::hardware_concurrency()));

    // Each OK builds new sources for later maps; the run keeps its own.
    for (int round = 0; round < 100; ++round) {
        PainterConfig changed = original;
        changed.slots[0].ranks[0].mark = Colour{static_cast<std::uint8_t>(round), 0, 0};
        changed.overlapShiftX = round % 20;
        acceptPainter(workspace, documents, changed, log);
        GeoLineEditor lines(workspace.settings());
        lines.kind = round % 2 ? GeoLineMode::Mesh : GeoLineMode::Cross;
        lines.setText(GeoLineField::Parallel, std::to_string(1 + round % 5));
        workspace.changeSettings([&lines](Settings& settings) { lines.apply(settings); });
        documents.refreshAll();
    }
    run.wait();
    ASSERT_EQ(run.result(), SaveResult::Done);
    EXPECT_EQ(messages.size(), 0u);

    // Every map is the one the first sources draw.
    Workspace first;
    MessageLog ignored;
    ASSERT_TRUE(first.start(folder.path(), ignored));
    first.setPainter(original);
    const PageRenderer renderer(first.renderSources());
    for (int code : {1, count / 2, count}) {
        const QImage saved(QString::fromStdString(folder.file("out/map_" + std::to_string(code) + ".png")));
        ASSERT_FALSE(saved.isNull()) << code;
        const QImage expected = renderer.render({code}, 1.0, ignored).convertToFormat(saved.format());
        EXPECT_TRUE(saved == expected) << code;
    }
}

} // namespace
} // namespace tavik
