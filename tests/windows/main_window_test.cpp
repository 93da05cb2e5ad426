// The windowed viewer driven as a user drives it, offscreen: start-up, the
// selection dialog, paging, the toolbar's lists, display switches, the display
// order dialog, add-ins on the first open, and the settings written on exit.
#include "viewer/windows/main_window.h"

#include "platform/message_sink.h"
#include "platform/program_version.h"
#include "tests/windows/viewer_driver.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/process_launcher.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/addin_wait_dialog.h"
#include "viewer/windows/display_order_dialog.h"
#include "viewer/windows/map_view.h"
#include "viewer/windows/map_window.h"
#include "viewer/windows/species_selection_dialog.h"
#include "viewer/windows/viewer_application.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tavik {
namespace {

class NoLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
        : folder("main_window")
    {
        test::writeTwelveSpecies(folder);
    }

    MainWindow& start()
    {
        viewer = std::make_unique<ViewerApplication>(&log, &launcher);
        EXPECT_TRUE(viewer->start(folder.path())) << (log.messages.empty() ? "" : log.utf8Texts()[0]);
        return *viewer->mainWindow();
    }

    // Opens species through the selection dialog, checking the items whose
    // labels start with these texts.
    void openFromDialog(MainWindow& window, std::vector<std::string> labels, bool overlay = false)
    {
        test::onModal<SpeciesSelectionDialog>([labels](SpeciesSelectionDialog& dialog) {
            for (const std::string& label : labels) {
                QTreeWidgetItem* item = test::treeItem(*dialog.tree(), label);
                ASSERT_TRUE(item) << label;
                item->setCheckState(0, Qt::Checked);
            }
            dialog.openButton()->click();
        });
        window.action(overlay ? Command::OpenOverlay : Command::OpenMap)->trigger();
    }

    QStringList titles(MainWindow& window)
    {
        QStringList list;
        for (MapWindow* map : window.mapWindows())
            list << map->windowTitle();
        return list;
    }

    std::vector<std::string> messages()
    {
        QApplication::processEvents(); // queued messages
        return log.utf8Texts();
    }

    test::TestFolder folder;
    MessageLog log;
    NoLauncher launcher;
    std::unique_ptr<ViewerApplication> viewer;
};

TEST_F(MainWindowTest, StartsWithTheEmptyWindowToolbarListsAndEveryCommand)
{
    MainWindow& window = start();
    EXPECT_EQ(window.windowTitle(), QString("テストの地図"));
    EXPECT_EQ(titles(window), QStringList{"Quelna1"});
    // Nothing drawn before the first open.
    const QImage blank = window.activeMapWindow()->view().contents();
    EXPECT_EQ(blank.pixelColor(40, 60), QColor(Qt::white));
    EXPECT_EQ(window.activeMapWindow()->view().renderCount(), 0);

    // The species by scientific name after an empty entry; the captions.
    QComboBox& species = *window.speciesList();
    ASSERT_EQ(species.count(), 13);
    EXPECT_EQ(species.itemText(0), "");
    EXPECT_EQ(species.itemText(1), "Anthocharis scolymus");
    EXPECT_EQ(species.itemText(12), "Pieris rapae");
    QComboBox& captions = *window.captionList();
    EXPECT_EQ(captions.count(), 3);
    EXPECT_EQ(captions.itemText(1), "和名");
    EXPECT_EQ(captions.currentIndex(), 0);
    EXPECT_EQ(species.width(), 380);
    EXPECT_EQ(captions.width(), 140);
    EXPECT_EQ(window.explanationButton()->width(), 80);
    EXPECT_EQ(window.explanationButton()->text(), "説明");

    // The toolbar in its order.
    QToolBar* toolBar = window.findChild<QToolBar*>();
    ASSERT_TRUE(toolBar);
    QList<QAction*> tools;
    for (QAction* a : toolBar->actions()) {
        if (!a->isSeparator())
            tools << a;
    }
    ASSERT_EQ(tools.size(), 9);
    EXPECT_EQ(tools[0], window.action(Command::SaveImage));
    EXPECT_EQ(tools[1], window.action(Command::Print));
    EXPECT_EQ(toolBar->widgetForAction(tools[2]), &species);
    EXPECT_EQ(toolBar->widgetForAction(tools[4]), window.explanationButton());
    EXPECT_EQ(tools[8], window.action(Command::LastPage));

    // Every command of the menus with its text and shortcut, in the menu set
    // of a map window (the empty one is a map window).
    auto menuActions = [&] {
        std::set<QAction*> found;
        for (QAction* top : window.menuBar()->actions()) {
            for (QAction* a : top->menu()->actions())
                found.insert(a);
        }
        return found;
    };
    std::set<QAction*> inMenus = menuActions();
    for (const CommandInfo& info : commandTable()) {
        QAction* a = window.action(info.command);
        ASSERT_TRUE(a) << static_cast<int>(info.command);
        EXPECT_EQ(a->text(), QString::fromUtf8(info.text));
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromUtf8(info.shortcut)));
        const bool pagingOnly = info.command >= Command::TopPage && info.command <= Command::LastPage;
        EXPECT_EQ(inMenus.count(a) == 1, !pagingOnly) << info.text;
    }
    EXPECT_TRUE(window.action(Command::Print)->isEnabled());
    EXPECT_FALSE(window.action(Command::DisplayOrder)->isEnabled());
    EXPECT_FALSE(window.action(Command::NextPage)->isEnabled());
    EXPECT_TRUE(window.action(Command::DispScientificName)->isChecked());
    EXPECT_FALSE(window.action(Command::DispAlias2)->isChecked());

    // Without a map window: the first menu set, without the document's
    // commands; print stays on the toolbar, disabled.
    window.activeMapWindow()->close();
    QApplication::processEvents();
    EXPECT_TRUE(window.mapWindows().isEmpty());
    inMenus = menuActions();
    EXPECT_EQ(inMenus.count(window.action(Command::Print)), 0u);
    EXPECT_EQ(inMenus.count(window.action(Command::DisplayOrder)), 0u);
    EXPECT_EQ(inMenus.count(window.action(Command::OpenMap)), 1u);
    EXPECT_EQ(window.menuBar()->actions().size(), 3); // no window menu
    EXPECT_FALSE(window.action(Command::Print)->isEnabled());
    EXPECT_TRUE(window.action(Command::SaveImage)->isEnabled());
}

TEST_F(MainWindowTest, OpensThreeSpeciesFromTheDialogAndPagesToTheLastMap)
{
    MainWindow& window = start();
    openFromDialog(window, {"Papilio xuthus", "Papilio machaon", "Papilio protenor"});
    // The empty window of start-up is gone; the new one pages three species.
    ASSERT_EQ(titles(window), QStringList{"(    1/   3 )"});
    EXPECT_FALSE(window.action(Command::TopPage)->isEnabled());
    EXPECT_TRUE(window.action(Command::NextPage)->isEnabled());
    EXPECT_TRUE(window.action(Command::DisplayOrder)->isEnabled());
    window.action(Command::NextPage)->trigger();
    window.action(Command::NextPage)->trigger();
    EXPECT_EQ(titles(window), QStringList{"(    3/   3 )"});
    EXPECT_FALSE(window.action(Command::NextPage)->isEnabled());
    EXPECT_FALSE(window.action(Command::LastPage)->isEnabled());
    EXPECT_TRUE(window.action(Command::PreviousPage)->isEnabled());

    // The view shows what the renderer draws for the third species.
    MapView& view = window.activeMapWindow()->view();
    const QImage shown = view.contents().convertToFormat(QImage::Format_RGB32);
    const PageRenderer renderer(viewer->workspace().renderSources());
    MessageLog renderLog;
    const QImage expected = renderer.render({103}, view.markScale(), renderLog).convertToFormat(QImage::Format_RGB32);
    const QPoint origin = view.mapOrigin();
    ASSERT_GT(origin.y(), 3); // below the captions of two names
    ASSERT_EQ(expected.size(), QSize(300, 200));
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x)
            differing += shown.pixel(origin.x() + x, origin.y() + y) != expected.pixel(x, y);
    }
    EXPECT_EQ(differing, 0);
    // Its mark on the town is there, and not species 101's fill of West.
    EXPECT_NE(expected, viewer->workspace().baseImage().image.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(shown.pixelColor(origin + QPoint(66, 100)), QColor(255, 255, 255));

    // Paging renders anew; repainting does not.
    const int renders = view.renderCount();
    view.contents();
    view.contents();
    EXPECT_EQ(view.renderCount(), renders);
    window.action(Command::TopPage)->trigger();
    const QImage first = view.contents().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(view.renderCount(), renders + 1);
    EXPECT_EQ(first.pixelColor(view.mapOrigin() + QPoint(66, 100)), QColor(255, 160, 160)); // 101 fills West
}

TEST_F(MainWindowTest, TheSelectionDialogRefusesNoneAndTooManyForAnOverlay)
{
    MainWindow& window = start();
    std::vector<std::string> shown;
    bool stayedOpen = false;
    test::onModal<SpeciesSelectionDialog>([&](SpeciesSelectionDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "種を選択し、重ね合わせて開く");
        EXPECT_EQ(dialog.openButton()->text(), "重ね合わせて開く");
        dialog.openButton()->click(); // none
        // A family and five of the other: eleven.
        test::treeItem(*dialog.tree(), "Papilionidae")->setCheckState(0, Qt::Checked);
        for (const char* name :
            {"Pieris rapae", "Pieris melete", "Colias erate", "Eurema mandarina", "Anthocharis scolymus"})
            test::treeItem(*dialog.tree(), name)->setCheckState(0, Qt::Checked);
        dialog.openButton()->click();
        stayedOpen = dialog.isVisible();
        shown = log.utf8Texts();
        // Ten: taken.
        test::treeItem(*dialog.tree(), "Pieris rapae")->setCheckState(0, Qt::Unchecked);
        dialog.openButton()->click();
    });
    window.action(Command::OpenOverlay)->trigger();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(shown, (std::vector<std::string>{"  種を選択して下さい  ", "11 > MAX 10 \n選択数が多すぎます。"}));

    ASSERT_EQ(titles(window), QStringList{"Overlay"});
    CQuelnaDoc& overlay = *window.activeDocument();
    EXPECT_TRUE(overlay.isOverlay());
    EXPECT_EQ(overlay.speciesCount(), 10);
    // In tree order: the family's six, then the four of the other.
    EXPECT_EQ(overlay.species()[0].code, 101);
    EXPECT_EQ(overlay.species()[6].code, 108);
    for (Command paging : {Command::TopPage, Command::PreviousPage, Command::NextPage, Command::LastPage})
        EXPECT_FALSE(window.action(paging)->isEnabled());
    // The legend of ten species grows the scrolling area under the map.
    MapView& view = window.activeMapWindow()->view();
    view.contents();
    QApplication::processEvents();
    EXPECT_GT(view.widget()->height(), 200 + 10 * 12);

    // A cancelled dialog opens nothing.
    test::onModal<SpeciesSelectionDialog>([](SpeciesSelectionDialog& dialog) { dialog.reject(); });
    window.action(Command::OpenMap)->trigger();
    EXPECT_EQ(titles(window), QStringList{"Overlay"});
}

TEST_F(MainWindowTest, TheToolbarListsOpenOneSpeciesAndChangeTheNameMode)
{
    MainWindow& window = start();
    QComboBox& species = *window.speciesList();
    species.activated(0); // the empty entry
    EXPECT_EQ(titles(window), QStringList{"Quelna1"});
    species.setCurrentIndex(2);
    species.activated(2); // "Byasa alcinous"
    ASSERT_EQ(titles(window), QStringList{"(    1/   1 )"});
    EXPECT_EQ(window.activeDocument()->currentSpecies()->code, 106);
    EXPECT_FALSE(window.action(Command::DisplayOrder)->isEnabled());
    species.activated(3); // later opens keep the windows open
    EXPECT_EQ(titles(window).size(), 2);

    window.captionList()->setCurrentIndex(1);
    window.captionList()->activated(1);
    EXPECT_EQ(viewer->workspace().settings().spNameMode, NameMode::Alias1Name);
    ASSERT_EQ(species.count(), 13);
    EXPECT_EQ(species.itemText(0), "");
    EXPECT_EQ(species.itemText(1), "アオスジアゲハ"); // by alias 1, byte order of cp932
    species.activated(1);
    EXPECT_EQ(window.activeDocument()->currentSpecies()->code, 105);
}

TEST_F(MainWindowTest, DisplaySwitchesFlipTheirCheckAndRedrawEveryMapWindow)
{
    MainWindow& window = start();
    window.speciesList()->activated(1);
    window.speciesList()->activated(2);
    QList<MapWindow*> maps = window.mapWindows();
    ASSERT_EQ(maps.size(), 2);
    std::vector<int> renders;
    for (MapWindow* map : maps)
        renders.push_back(map->view().renderCount());
    maps[1]->view().contents();
    const int before = maps[1]->view().mapOrigin().y();
    QAction& alias2 = *window.action(Command::DispAlias2);
    alias2.trigger();
    EXPECT_TRUE(alias2.isChecked());
    EXPECT_TRUE(viewer->workspace().settings().dispAlias2);
    for (int i = 0; i < maps.size(); ++i)
        EXPECT_EQ(maps[i]->view().renderCount(), renders[static_cast<size_t>(i)] + 1);
    // A third caption line moves the map down.
    maps[1]->view().contents();
    EXPECT_GT(maps[1]->view().mapOrigin().y(), before);
    window.action(Command::DispAlias2)->trigger();
    EXPECT_FALSE(alias2.isChecked());
    EXPECT_FALSE(viewer->workspace().settings().dispAlias2);
}

TEST_F(MainWindowTest, TheDisplayOrderDialogReordersTheActiveDocument)
{
    MainWindow& window = start();
    openFromDialog(window, {"Papilionidae"});
    CQuelnaDoc& document = *window.activeDocument();
    ASSERT_EQ(document.speciesCount(), 6);
    test::onModal<DisplayOrderDialog>([](DisplayOrderDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "表示順序");
        EXPECT_EQ(dialog.captions()->currentIndex(), 0);
        EXPECT_EQ(dialog.list()->currentRow(), 0);
        EXPECT_EQ(dialog.list()->item(2)->text(), "Papilio protenor");
        dialog.list()->setCurrentRow(2);
        dialog.upButton()->click(); // the third moves up to second place
        EXPECT_EQ(dialog.list()->currentRow(), 1);
        dialog.captions()->setCurrentIndex(1);
        dialog.captions()->activated(1); // listed by alias 1, selection kept
        EXPECT_EQ(dialog.list()->item(1)->text(), "クロアゲハ");
        EXPECT_EQ(dialog.list()->currentRow(), 1);
        dialog.accept();
    });
    window.action(Command::DisplayOrder)->trigger();
    EXPECT_EQ(document.species()[1].code, 103);
    EXPECT_EQ(document.species()[2].code, 102);
    EXPECT_EQ(viewer->workspace().settings().dispOrderMode, NameMode::Alias1Name);
    EXPECT_EQ(titles(window), QStringList{"(    1/   6 )"});

    // Cancelled: the order stays.
    test::onModal<DisplayOrderDialog>([](DisplayOrderDialog& dialog) {
        dialog.upButton()->click();
        dialog.downButton()->click();
        dialog.list()->setCurrentRow(5);
        dialog.upButton()->click();
        dialog.reject();
    });
    window.action(Command::DisplayOrder)->trigger();
    EXPECT_EQ(document.species()[5].code, 106);
}

TEST_F(MainWindowTest, TheExplanationButtonAndHelpDocumentReportWhatIsMissing)
{
    // A database that names its own document (one with none gets the user
    // guide).
    test::writeTwelveSpecies(folder, "HelpDocumentName=Tavik_doc.html\r\n");
    MainWindow& window = start();
    window.explanationButton()->click(); // no species shown: nothing
    EXPECT_TRUE(messages().empty());
    window.speciesList()->activated(12); // Pieris rapae
    window.explanationButton()->click();
    window.action(Command::Documentation)->trigger();
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "Pieris rapae\nモンシロチョウ\nMonshiro\n説明はありません");
    EXPECT_EQ(shown[1],
        folder.path()
            + "/doc/Tavik_doc.html\n\nドキュメントがありません。\ntavik.ini の DocumentPath を確認して下さい");
}

TEST_F(MainWindowTest, TheDisplaySettingsAreWrittenBackOnClose)
{
    MainWindow& window = start();
    window.action(Command::DispAlias2)->trigger();
    window.action(Command::DispScientificName)->trigger();
    window.captionList()->activated(2);
    window.resize(700, 500);
    window.close();
    const std::string ini = cp932ToUtf8(folder.read("tavik.ini"));
    for (const char* line :
        {"DispScientificName=no", "DispAlias1=yes", "DispAlias2=yes", "SpNameMode=Alias2Name", "FrameWidth=700",
            "FrameHeight=500", "FrameShowMaximized=no", "FrameTitle=テストの地図", "ChildFrameWidth="})
        EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
}

TEST_F(MainWindowTest, AddinsLoadBehindTheWaitDialogOnTheFirstOpenOnly)
{
    folder.write("addin/marks.csv", "E133.40,N35,FILLEDCIRCLE,lime,SOLID,20000\r\n");
    folder.write("addin/list.lst", "missing.csv\r\nmarks.csv\r\n");
    test::writeTwelveSpecies(folder, "AddinMap=.\\addin\\list.lst\r\n");
    MainWindow& window = start();
    int dialogs = 0;
    test::onModal<AddinWaitDialog>([&](AddinWaitDialog& dialog) {
        ++dialogs;
        EXPECT_EQ(dialog.windowTitle(), "Addin読込中");
    });
    window.speciesList()->activated(1);
    EXPECT_EQ(dialogs, 1);
    ASSERT_EQ(titles(window), QStringList{"(    1/   1 )"}); // opened despite the error
    EXPECT_EQ(messages(), std::vector<std::string>{folder.path() + "/addin/missing.csv 見つかりません"});
    EXPECT_EQ(viewer->workspace().addins().records().size(), 1u);
    window.speciesList()->activated(2); // loaded once: no second dialog
    EXPECT_EQ(titles(window).size(), 2);
    EXPECT_EQ(messages().size(), 1u);
    // The add-in's disc is drawn on the map.
    MapView& view = window.activeMapWindow()->view();
    const QImage shown = view.contents();
    const QPoint disc = viewer->workspace().blankMap().blocks()[0].project(133.40, 35.0);
    EXPECT_EQ(shown.pixelColor(view.mapOrigin() + disc), QColor(0, 255, 0));
}

// A faulty line of the distribution table, met when a map window draws the
// species, is reported as saving and printing report it: the file named.
TEST_F(MainWindowTest, AMapWindowReportsAFaultyDistributionLine)
{
    folder.write("dbase/ta_vik.csv", "101,1,A\r\n102,\"2\"x\"y\",A\r\n103,3,A\r\n");
    MainWindow& window = start();
    QComboBox& species = *window.speciesList();
    species.setCurrentIndex(8);
    species.activated(8); // "Papilio machaon"
    ASSERT_EQ(window.activeDocument()->currentSpecies()->code, 102);
    window.activeMapWindow()->view().contents();
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], folder.file("dbase/ta_vik.csv") + "\n 種別分布テーブルが不正です。");
    EXPECT_EQ(log.messages[0].icon, MessageIcon::Stop);
}

// Every menu shortcut works with the focus in a map view (the map window's
// own Ctrl+W once made Ctrl+W ambiguous, and it did nothing). Dialogs the
// commands open are closed as they come.
TEST_F(MainWindowTest, EveryMenuShortcutWorksWithTheFocusInAMapView)
{
    MainWindow& window = start();
    window.show();
    QComboBox& species = *window.speciesList();
    species.setCurrentIndex(2);
    species.activated(2);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(10);
    // Exit closes the window: it comes last.
    std::vector<CommandInfo> commands = commandTable();
    std::stable_partition(
        commands.begin(), commands.end(), [](const CommandInfo& info) { return info.command != Command::Exit; });
    for (const CommandInfo& info : commands) {
        if (!*info.shortcut)
            continue;
        SCOPED_TRACE(info.shortcut);
        QAction* action = window.action(info.command);
        ASSERT_TRUE(action);
        MapWindow* map = window.activeMapWindow();
        ASSERT_TRUE(map);
        QApplication::setActiveWindow(&window); // as the window manager does after a dialog
        map->view().widget()->setFocus();
        QApplication::processEvents();
        QSignalSpy triggered(action, &QAction::triggered);
        const QKeySequence sequence(QString::fromUtf8(info.shortcut));
        QTest::keyClick(map->view().widget(), sequence[0].key(), sequence[0].keyboardModifiers());
        EXPECT_EQ(triggered.count(), 1);
        if (info.command == Command::CloseWindow) {
            EXPECT_EQ(window.mapWindows().size(), 0);
            species.activated(2);
        }
    }
}

// Shrinking the main window leaves the map windows their size (the area
// scrolls), and only a size the user gives a map window is the size of the
// next ones.
TEST_F(MainWindowTest, ShrinkingTheMainWindowKeepsTheMapWindowsAndTheirSavedSize)
{
    MainWindow& window = start();
    window.resize(1100, 900);
    window.show();
    QComboBox& species = *window.speciesList();
    species.setCurrentIndex(2);
    species.activated(2);
    QApplication::processEvents();
    MapWindow* map = window.activeMapWindow();
    ASSERT_TRUE(map);
    const QSize opened = map->size();
    const Settings& s = viewer->workspace().settings();
    const QSize saved(s.childFrameWidth, s.childFrameHeight);
    window.resize(320, 240);
    QApplication::processEvents();
    EXPECT_EQ(map->size(), opened);
    EXPECT_EQ(QSize(s.childFrameWidth, s.childFrameHeight), saved);
    window.action(Command::Tile)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(QSize(s.childFrameWidth, s.childFrameHeight), saved);

    // A drag on the frame is the user's size.
    const QPoint corner(map->width() - 2, map->height() - 2);
    QTest::mousePress(map, Qt::LeftButton, Qt::NoModifier, corner);
    map->resize(400, 300);
    QTest::mouseRelease(map, Qt::LeftButton, Qt::NoModifier, corner);
    EXPECT_EQ(QSize(s.childFrameWidth, s.childFrameHeight), QSize(400, 300));
}

TEST_F(MainWindowTest, AStartUpFailureEndsWithItsMessage)
{
    std::filesystem::remove(folder.file("BlankMap/t/t.png"));
    viewer = std::make_unique<ViewerApplication>(&log, &launcher);
    EXPECT_FALSE(viewer->start(folder.path()));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].icon, MessageIcon::Stop);
    EXPECT_NE(log.utf8Texts()[0].find("t.png"), std::string::npos) << log.utf8Texts()[0];
}

TEST_F(MainWindowTest, AboutBoxNamesTheVersionTheProgramsReport)
{
    MainWindow& window = start();
    window.action(Command::About)->trigger();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("バージョン " + std::string(programVersion())), std::string::npos) << messages()[0];
    EXPECT_EQ(log.messages[0].icon, MessageIcon::Information);
}

} // namespace
} // namespace tavik
