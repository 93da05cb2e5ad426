// Starting the viewer as a desktop program: the start dialog where no
// database is open, another database opened from the File menu, Qt's own
// dialogs in Japanese, and the zoom of a map window.
#include "viewer/windows/start_dialog.h"

#include "platform/message_sink.h"
#include "tests/windows/viewer_driver.h"
#include "viewer/session/database_folders.h"
#include "viewer/session/process_launcher.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/map_view.h"
#include "viewer/windows/map_window.h"
#include "viewer/windows/recent_databases.h"
#include "viewer/windows/viewer_application.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavik {
namespace {

namespace fs = std::filesystem;

class NoLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

TEST(StartDialog, OpensARecentOrChosenDatabaseAndRefusesAFolderWithoutTavikIni)
{
    test::TestFolder folder("start_dialog");
    folder.write("db/tavik.ini", "[Path]\r\n");
    fs::create_directories(folder.file("empty"));
    MessageLog log;
    StartDialog dialog({folder.localFile("empty"), folder.localFile("db")}, {}, folder.localFile("home/Tavik"), log);
    EXPECT_EQ(dialog.recentList()->count(), 2);
    EXPECT_FALSE(dialog.sampleButton()->isEnabled()); // no sample installed

    EXPECT_FALSE(dialog.chooseFolder(folder.localFile("empty")));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.utf8Texts()[0],
        folder.file("empty")
            + "\nこのフォルダには tavik.ini がありません。\n"
              "tavik.ini のある、データベースのフォルダを選んで下さい。");
    EXPECT_EQ(dialog.result(), 0);

    dialog.recentList()->setCurrentRow(1);
    Q_EMIT dialog.recentList()->itemActivated(dialog.recentList()->item(1));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.folder(), folder.localFile("db"));
}

// The sample is copied into a folder of the user's and opened there.
TEST(StartDialog, OpensACopyOfTheInstalledSample)
{
    test::TestFolder folder("start_sample");
    MessageLog log;
    const std::string sample = std::string(TAVIK_SOURCE_DIR) + "/examples/japan";
    StartDialog dialog({}, LocalPath(sample), folder.localFile("home/Tavik"), log);
    EXPECT_TRUE(dialog.sampleButton()->isEnabled());
    ASSERT_TRUE(dialog.openSampleCopy(folder.localFile("home/Tavik")))
        << (log.messages.empty() ? "" : log.utf8Texts()[0]);
    EXPECT_EQ(dialog.folder(), folder.localFile("home/Tavik"));
    EXPECT_TRUE(holdsDatabase(folder.localFile("home/Tavik")));
    EXPECT_EQ(
        test::readBytes(folder.file("home/Tavik/dbase/species.csv")), test::readBytes(sample + "/dbase/species.csv"));
}

TEST(StartDialog, QtsOwnDialogsAndButtonsSpeakJapanese)
{
    ASSERT_TRUE(ViewerApplication::installJapaneseTranslations(*QCoreApplication::instance()))
        << "qtbase_ja.qm of qt6-translations-l10n is missing";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "キャンセル");
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), "印刷");
}

class DesktopTest : public ::testing::Test {
protected:
    DesktopTest()
        : folder("desktop")
    {
        test::writeTwelveSpecies(folder);
    }
    MainWindow& start(const std::string& directory)
    {
        viewer = std::make_unique<ViewerApplication>(&log, &launcher);
        EXPECT_TRUE(viewer->start(directory)) << (log.messages.empty() ? "" : log.utf8Texts()[0]);
        return *viewer->mainWindow();
    }
    test::TestFolder folder;
    MessageLog log;
    NoLauncher launcher;
    std::unique_ptr<ViewerApplication> viewer;
};

// Opening another database writes this one's settings, as on exit, closes
// its windows and names the folder to start on; the recent list keeps it.
TEST_F(DesktopTest, AnotherDatabaseOpensAfterThisOneIsWrittenAndClosed)
{
    MainWindow& window = start(folder.path());
    window.resize(900, 700);
    fs::create_directories(folder.file("other"));
    EXPECT_FALSE(window.openDatabase(folder.localFile("other")));
    EXPECT_NE(log.utf8Texts().back().find("tavik.ini がありません"), std::string::npos);
    EXPECT_TRUE(window.nextDatabase().empty());

    fs::copy(folder.path() + "/tavik.ini", folder.file("other/tavik.ini"));
    const std::string before = test::readBytes(folder.file("tavik.ini"));
    ASSERT_TRUE(window.openDatabase(folder.localFile("other")));
    EXPECT_EQ(viewer->nextDatabase(), folder.localFile("other"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_NE(test::readBytes(folder.file("tavik.ini")), before); // FrameWidth and the rest written back

    QSettings store;
    rememberDatabase(store, folder.localFolder());
    rememberDatabase(store, folder.localFile("other"));
    const std::vector<LocalPath> recent = recentDatabases(store);
    ASSERT_GE(recent.size(), 2u);
    EXPECT_EQ(recent[0], folder.localFile("other"));
    EXPECT_EQ(recent[1], folder.localFolder());
}

// The zoom is a view: the window shows the map larger or smaller, smoothly,
// and fits it to the window; the map rendered (and saved) stays as it is.
TEST_F(DesktopTest, TheZoomChangesTheViewAndNotTheMap)
{
    MainWindow& window = start(folder.path());
    window.resize(900, 700);
    window.show();
    QComboBox& species = *window.speciesList();
    species.setCurrentIndex(2);
    species.activated(2);
    MapView& view = window.activeMapWindow()->view();
    const QImage shown = view.contents();
    const QImage map = view.renderedMap();
    window.action(Command::ZoomIn)->trigger();
    EXPECT_DOUBLE_EQ(view.zoom(), 1.25);
    const QImage larger = view.contents();
    EXPECT_NEAR(larger.width(), shown.width() * 1.25, 2);
    EXPECT_TRUE(view.renderedMap() == map);
    window.action(Command::ZoomOut)->trigger();
    window.action(Command::ZoomOut)->trigger();
    EXPECT_DOUBLE_EQ(view.zoom(), 0.8);
    // Shrunk by averaging: the base map's black coast stays grey-dark, not gone.
    window.action(Command::ZoomToWindow)->trigger();
    const QSize room = view.viewport()->size();
    const QImage fitted = view.contents();
    EXPECT_LE(fitted.width(), room.width() + 1);
    EXPECT_LE(fitted.height(), room.height() + 1);
    EXPECT_TRUE(fitted.width() >= room.width() - 2 || fitted.height() >= room.height() - 2);
    EXPECT_TRUE(view.renderedMap() == map);
}

} // namespace
} // namespace tavik
