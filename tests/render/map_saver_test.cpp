#include "viewer/render/map_saver.h"

#include "platform/message_sink.h"
#include "tests/support/viewer_database.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/workspace.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// Six species with one mark each, saved by two workers.
class MapSaverTest : public ::testing::Test {
protected:
    MapSaverTest()
        : folder("map_saver")
    {
        std::string distribution, species;
        for (int code = 1; code <= 6; ++code) {
            species += std::to_string(code) + ",Species " + std::to_string(code) + "\r\n";
            distribution += std::to_string(code) + ",N35E135,A\r\n";
        }
        test::writeViewerDatabase(folder, distribution);
        folder.write("dbase/species.csv", species);
        fs::create_directories(folder.file("out"));
        EXPECT_TRUE(workspace.loadSettings(folder.path(), log));
        workspace.loadSpeciesTable(log);
        EXPECT_TRUE(workspace.loadBaseImage(log));
        job.path = folder.file("out/map_%C.png");
        for (const SpeciesRecord& s : workspace.species().rows())
            job.species.push_back(&s);
    }

    std::vector<std::string> filesInOut() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.file("out")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TestFolder folder;
    Workspace workspace;
    MessageLog log;
    SaveJob job;
    SaveProgress progress;
    std::atomic<bool> stop{false};
};

TEST_F(MapSaverTest, ARendererKeptByAWindowOutlivesTheSourcesItWasMadeFrom)
{
    // The sources are a temporary: a renderer holding them by reference
    // would read freed memory here (the sanitizer build catches it).
    const PageRenderer renderer(workspace.renderSources());
    const QImage map = renderer.render({101}, 1.0, log);
    ASSERT_FALSE(map.isNull());
    EXPECT_EQ(map.size(), workspace.baseImage().image.size());

    // Loading the add-ins changes what maps are drawn from.
    const std::uint64_t before = workspace.revision();
    workspace.loadAddins(log);
    EXPECT_GT(workspace.revision(), before);
}

TEST_F(MapSaverTest, SeveralWorkersWriteEveryMapAndReportInOrder)
{
    std::vector<std::string> texts;
    progress.onMap = [&](const std::string& text) { texts.push_back(text); };
    ASSERT_EQ(saveMaps(job, workspace.renderSources(), 1.0, progress, stop, log, 2), SaveResult::Done);
    EXPECT_EQ(filesInOut(),
        (std::vector<std::string>{"map_1.png", "map_2.png", "map_3.png", "map_4.png", "map_5.png", "map_6.png"}));
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0], "(1/6)  map_1.png");
    EXPECT_EQ(texts[5], "(6/6)  map_6.png");
    EXPECT_EQ(progress.percent.load(), 100);
}

TEST_F(MapSaverTest, AFailedFileEndsTheBatchWithTheFilesBeforeItOnly)
{
    fs::create_directories(folder.file("out/map_3.png"));
    ASSERT_EQ(saveMaps(job, workspace.renderSources(), 1.0, progress, stop, log, 2), SaveResult::Failed);
    // Maps 4 to 6 may have been rendered already, but none of them appears.
    EXPECT_EQ(filesInOut(), (std::vector<std::string>{"map_1.png", "map_2.png", "map_3.png"}));
    EXPECT_TRUE(fs::is_directory(folder.file("out/map_3.png")));
    ASSERT_FALSE(log.messages.empty());
    EXPECT_EQ(log.utf8Texts().back(),
        folder.file("out/map_3.png")
            + " に書き込みできませんでした。\n通常のファイルではありません (フォルダ・装置・パイプなど)");
}

// A map is written to a temporary file created exclusively beside it: links
// planted in a shared output folder under names a writer might take are never
// followed (the temporary names once were the program's id and a count).
TEST_F(MapSaverTest, PlantedLinksInTheOutputFolderAreNeverFollowed)
{
    const std::string victim = folder.write("victim.txt", "precious");
    for (int i = 0; i < 6; ++i)
        fs::create_symlink(victim,
            folder.file("out/map_" + std::to_string(i + 1) + ".png.tavik-" + std::to_string(::getpid()) + "-"
                + std::to_string(i)));
    ASSERT_EQ(saveMaps(job, workspace.renderSources(), 1.0, progress, stop, log, 2), SaveResult::Done);
    EXPECT_EQ(test::readBytes(victim), "precious");
    for (int code = 1; code <= 6; ++code)
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.file("out/map_" + std::to_string(code) + ".png"))));

    // A link at a map's own name is refused, not followed.
    fs::remove(folder.file("out/map_1.png"));
    fs::create_symlink(victim, folder.file("out/map_1.png"));
    ASSERT_EQ(saveMaps(job, workspace.renderSources(), 1.0, progress, stop, log, 2), SaveResult::Failed);
    EXPECT_EQ(test::readBytes(victim), "precious");
    EXPECT_EQ(log.utf8Texts().back().find(folder.file("out/map_1.png") + " に書き込みできませんでした。\n"), 0u)
        << log.utf8Texts().back();
}

// A killed batch leaves temporary files beside the maps it was writing; the
// next batch that writes those maps removes them, and no one else's.
TEST_F(MapSaverTest, TheTemporariesOfAKilledBatchGoWithTheMapsWrittenAgain)
{
    folder.write("out/map_2.png.tavik-Ab3dE9", "half a map");
    folder.write("out/other.png.tavik-Xy7pQ2", "another map's");
    ASSERT_EQ(saveMaps(job, workspace.renderSources(), 1.0, progress, stop, log, 2), SaveResult::Done);
    EXPECT_FALSE(fs::exists(folder.file("out/map_2.png.tavik-Ab3dE9")));
    EXPECT_TRUE(fs::exists(folder.file("out/other.png.tavik-Xy7pQ2")));
}

// A stop ends the batch at once, whatever the number of workers: the map
// whose file is going in place is kept, maps rendered ahead of it are
// dropped, and the progress names the map that was in the making.
TEST_F(MapSaverTest, AStopEndsTheBatchAtOnceWithAnyNumberOfWorkers)
{
    for (unsigned threads : {1u, 2u, 8u}) {
        SCOPED_TRACE(threads);
        fs::remove_all(folder.file("out"));
        fs::create_directories(folder.file("out"));
        stop.store(false);
        progress.onMap = [&](const std::string&) { stop.store(true); };
        ASSERT_EQ(saveMaps(job, workspace.renderSources(), 1.0, progress, stop, log, threads), SaveResult::Stopped);
        EXPECT_EQ(filesInOut(), (std::vector<std::string>{"map_1.png"}));
        EXPECT_EQ(progress.text(), "(2/6)  map_2.png");
        EXPECT_EQ(progress.percent.load(), 16);
    }
}

} // namespace
} // namespace tavik
