// The painter, geo-line and mesh dialogs driven from the viewer's menus as a
// user drives them, offscreen: what they show on opening, the wiring of their
// controls and checks, what OK changes (settings, the painter file, every
// open map) and that Cancel changes nothing.
#include "platform/message_sink.h"
#include "tests/windows/viewer_driver.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/painter_config.h"
#include "viewer/session/process_launcher.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/colour_box.h"
#include "viewer/windows/geo_line_dialog.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/map_view.h"
#include "viewer/windows/map_window.h"
#include "viewer/windows/mesh_dialog.h"
#include "viewer/windows/painter_dialog.h"
#include "viewer/windows/viewer_application.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tavik {
namespace {

class NoLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

// Types into a field as a user does (the dialogs follow textEdited).
void type(QLineEdit* field, const QString& text)
{
    field->setText(text);
    Q_EMIT field->textEdited(text);
}

class PaintDialogsTest : public ::testing::Test {
protected:
    PaintDialogsTest()
        : folder("paint_dialogs")
    {
        test::writeTwelveSpecies(folder);
    }

    MainWindow& start()
    {
        viewer = std::make_unique<ViewerApplication>(&log, &launcher);
        EXPECT_TRUE(viewer->start(folder.path())) << (log.messages.empty() ? "" : log.utf8Texts()[0]);
        return *viewer->mainWindow();
    }

    Workspace& workspace() { return viewer->workspace(); }

    void open(MainWindow& window, std::initializer_list<std::int64_t> codes, bool overlay)
    {
        std::vector<size_t> rows;
        for (std::int64_t code : codes)
            rows.push_back(static_cast<size_t>(workspace().species().find(code)->row));
        window.openSpecies(rows, overlay);
    }

    test::TestFolder folder;
    MessageLog log;
    NoLauncher launcher;
    std::unique_ptr<ViewerApplication> viewer;
};

// The middle of the pixels of a colour in an image, or (-1, -1) when none
// has it.
QPoint centreOf(const QImage& image, const QColor& colour)
{
    long long sumX = 0, sumY = 0, count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                sumX += x;
                sumY += y;
                ++count;
            }
        }
    }
    if (count == 0)
        return {-1, -1};
    return {static_cast<int>(sumX / count), static_cast<int>(sumY / count)};
}

TEST_F(PaintDialogsTest, ThePainterChangesEveryOpenMapAndThePainterFile)
{
    MainWindow& window = start();
    open(window, {103}, false); // a red filled circle on the town
    MapView& ordinary = window.activeMapWindow()->view();
    const QPoint mark = centreOf(ordinary.contents(), QColor(255, 0, 0));
    ASSERT_NE(mark, QPoint(-1, -1));
    open(window, {103, 101}, true);
    MapView& overlay = window.activeMapWindow()->view();
    overlay.contents();
    const int renders[] = {ordinary.renderCount(), overlay.renderCount()};

    bool checked = false;
    test::onModal<PainterDialog>([&](PainterDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "ペンキ屋");
        // The rows are labelled with the overlay's species.
        EXPECT_EQ(dialog.rowLabel(0)->toolTip(), "Papilio protenor  Cramer 1775  クロアゲハ");
        EXPECT_EQ(dialog.rowLabel(1)->text(), "Papilio xuthus  Linnaeus 1767  アゲハ");
        EXPECT_EQ(dialog.rowLabel(2)->text(), "");
        EXPECT_EQ(dialog.shapeList(0)->currentText(), "filled-circle");
        EXPECT_EQ(dialog.shapeList(4)->currentIndex(), -1); // no target: shape 0
        EXPECT_EQ(dialog.sizeField(0)->text(), "10.0");
        EXPECT_EQ(dialog.thicknessField(1)->text(), "2");
        EXPECT_EQ(dialog.faceList()->currentIndex(), -1); // "Century" is not installed

        // The mark colour of rank A, through the colour chooser.
        test::onModal<QColorDialog>([](QColorDialog& chooser) {
            EXPECT_EQ(chooser.currentColor(), QColor(255, 0, 0));
            chooser.setCurrentColor(QColor(0, 128, 0));
            chooser.accept();
        });
        dialog.colourBox(0, 0)->click();
        EXPECT_EQ(dialog.colourBox(0, 0)->colour(), (Colour{0, 128, 0}));
        EXPECT_NE(centreOf(dialog.preview()->pixmap().toImage(), QColor(0, 128, 0)), QPoint(-1, -1));
        dialog.shapeList(0)->setCurrentIndex(6);
        Q_EMIT dialog.shapeList(0)->activated(6); // "filled-square"

        // Slots 4 to 10 have no size yet: OK is refused on slot 4's size.
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.utf8Texts()[0], "大きさ:\n1以上99以下の値を指定して下さい");
        EXPECT_EQ(dialog.focusWidget(), dialog.sizeField(3));
        for (int i = 3; i < 10; ++i) {
            Q_EMIT dialog.shapeList(i)->activated(i); // slot 10 takes the entry "A"
            type(dialog.sizeField(i), "6.5");
            type(dialog.thicknessField(i), "1");
        }
        dialog.accept();
        EXPECT_EQ(log.messages.size(), 2u);
        EXPECT_EQ(log.utf8Texts()[1], "フォントを指定して下さい");
        EXPECT_EQ(dialog.focusWidget(), dialog.faceList());
        Q_EMIT dialog.faceList()->activated(0);
        checked = true;
        dialog.accept();
    });
    window.action(Command::Painter)->trigger();
    ASSERT_TRUE(checked);
    EXPECT_EQ(log.messages.size(), 2u);

    // The viewer paints with the new configuration, which the file holds.
    const PainterConfig& painter = workspace().painter();
    EXPECT_EQ(painter.slots[0].ranks[0].mark, (Colour{0, 128, 0}));
    EXPECT_EQ(painter.slots[0].shape, 7);
    EXPECT_FLOAT_EQ(painter.slots[9].size, 6.5f);
    PainterConfig reread;
    ASSERT_TRUE(reread.load(workspace().settings().paintCfg, log));
    EXPECT_EQ(reread.slots, painter.slots);
    EXPECT_EQ(reread.faceName, painter.faceName);
    EXPECT_DOUBLE_EQ(reread.fontSize, 6.5); // slot 10's "A" is the first letter

    // Every open map is drawn anew, in the new colour.
    EXPECT_EQ(ordinary.contents().pixelColor(mark), QColor(0, 128, 0));
    EXPECT_GT(ordinary.renderCount(), renders[0]);
    overlay.contents();
    EXPECT_GT(overlay.renderCount(), renders[1]);
}

TEST_F(PaintDialogsTest, CancelledDialogsChangeNothing)
{
    MainWindow& window = start();
    open(window, {101}, false);
    const std::string painterFile = folder.read("Painter.cfg");
    const PainterConfig painter = workspace().painter();
    const std::uint64_t revision = workspace().revision();

    test::onModal<PainterDialog>([](PainterDialog& dialog) {
        EXPECT_EQ(dialog.rowLabel(0)->text(), "Papilio xuthus  Linnaeus 1767  アゲハ");
        for (int i = 0; i < 100; ++i)
            dialog.spinButton(Qt::RightArrow)->click();
        dialog.spinButton(Qt::UpArrow)->click();
        EXPECT_EQ(dialog.editor().config().overlapShiftX, 78);
        EXPECT_EQ(dialog.editor().config().overlapShiftY, -4);
        type(dialog.sizeField(0), "20");
        dialog.reject();
    });
    window.action(Command::Painter)->trigger();

    test::onModal<GeoLineDialog>([](GeoLineDialog& dialog) {
        dialog.kindButton(GeoLineMode::Mesh)->click();
        type(dialog.field(GeoLineField::North), "N40");
        dialog.reject();
    });
    window.action(Command::GeoLine)->trigger();

    test::onModal<MeshDialog>([](MeshDialog& dialog) {
        dialog.datumButton(true)->click();
        dialog.reject();
    });
    window.action(Command::Mesh)->trigger();

    EXPECT_EQ(folder.read("Painter.cfg"), painterFile);
    EXPECT_EQ(workspace().painter().slots, painter.slots);
    EXPECT_EQ(workspace().painter().overlapShiftX, painter.overlapShiftX);
    EXPECT_EQ(workspace().settings().geoLine, GeoLineMode::None);
    EXPECT_EQ(workspace().settings().geoNorth.text, "0");
    EXPECT_FALSE(workspace().settings().meshWgs);
    EXPECT_EQ(workspace().revision(), revision);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(PaintDialogsTest, TheGeoLineDialogEnablesByKindChecksAndStoresTheLines)
{
    MainWindow& window = start();
    open(window, {101}, false);
    MapView& view = window.activeMapWindow()->view();
    view.contents();
    const int renders = view.renderCount();

    test::onModal<GeoLineDialog>([&](GeoLineDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "経緯線の設定");
        EXPECT_TRUE(dialog.kindButton(GeoLineMode::None)->isChecked());
        EXPECT_FALSE(dialog.rangeGroup()->isEnabled());
        EXPECT_FALSE(dialog.field(GeoLineField::Ratio)->isEnabled());
        EXPECT_FALSE(dialog.selectedGroup()->isEnabled());
        EXPECT_EQ(dialog.lineColourText()->text(), "R:0  G:0  B:0");
        // GeoTransparentColor0 is white by default, but not in use.
        EXPECT_FALSE(dialog.colourCheck(0)->isVisibleTo(&dialog));
        EXPECT_TRUE(dialog.addButton()->isVisibleTo(&dialog));

        dialog.kindButton(GeoLineMode::Cross)->click();
        EXPECT_TRUE(dialog.field(GeoLineField::Ratio)->isEnabled());
        EXPECT_TRUE(dialog.rangeGroup()->isEnabled());
        EXPECT_FALSE(dialog.selectedGroup()->isEnabled());
        dialog.overwriteButton(GeoTransparentMode::Select)->click();
        EXPECT_TRUE(dialog.selectedGroup()->isEnabled());
        dialog.kindButton(GeoLineMode::Mesh)->click();
        EXPECT_FALSE(dialog.field(GeoLineField::Ratio)->isEnabled());
        EXPECT_TRUE(dialog.selectedGroup()->isEnabled());

        // The base map's three colours: the islands' white, the sea, the coasts.
        dialog.takeColoursButton()->click();
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(dialog.colourCheck(i)->isVisibleTo(&dialog), i < 3) << i;
        EXPECT_EQ(dialog.colourCheck(0)->text(), "R:255  G:255  B:255");
        EXPECT_EQ(dialog.colourCheck(1)->text(), "R:180  G:210  B:255");
        EXPECT_EQ(dialog.colourCheck(2)->text(), "R:0  G:0  B:0");
        EXPECT_TRUE(dialog.colourCheck(2)->isChecked());
        dialog.colourCheck(2)->click(); // black off again
        dialog.addButton()->click();
        EXPECT_TRUE(dialog.colourCheck(3)->isVisibleTo(&dialog));

        type(dialog.field(GeoLineField::North), "N91");
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(cp932ToUtf8(log.messages[0].title), "範囲エラー");
        EXPECT_EQ(log.utf8Texts()[0], "範囲: 北の緯度\n-89.99999 以上  89.99999 以下で入力して下さい。");
        EXPECT_EQ(dialog.focusWidget(), dialog.field(GeoLineField::North));
        type(dialog.field(GeoLineField::North), "N46");
        type(dialog.field(GeoLineField::South), "N20");
        dialog.styleList()->setCurrentIndex(2);
        Q_EMIT dialog.styleList()->activated(2);
        dialog.accept();
    });
    window.action(Command::GeoLine)->trigger();

    const Settings& s = workspace().settings();
    EXPECT_EQ(s.geoLine, GeoLineMode::Mesh);
    EXPECT_EQ(s.geoNorth.text, "N46");
    EXPECT_DOUBLE_EQ(s.geoSouth.degrees, 20.0);
    EXPECT_EQ(s.geoLineType, LineType::Dot);
    EXPECT_EQ(s.geoTransparent, GeoTransparentMode::Select);
    EXPECT_TRUE(s.geoTransparentCheck[1]);
    EXPECT_EQ(s.geoTransparentColor[1], (Colour{180, 210, 255}));
    EXPECT_FALSE(s.geoTransparentCheck[2]);
    EXPECT_TRUE(s.geoTransparentCheck[3]);
    view.contents();
    EXPECT_GT(view.renderCount(), renders);

    // The lines reach tavik.ini when the viewer closes.
    window.close();
    const std::string ini = folder.read("tavik.ini");
    EXPECT_NE(ini.find("GeoLine=mesh"), std::string::npos);
    EXPECT_NE(ini.find("GeoNorth=N46"), std::string::npos);
    EXPECT_NE(ini.find("GeoTransparentColor3=0,0,0"), std::string::npos);
}

TEST_F(PaintDialogsTest, TheMeshDialogOpensWithTheSettingsAndStoresTheChoices)
{
    MainWindow& window = start();
    const std::uint64_t revision = workspace().revision();
    for (bool wgs : {true, false}) {
        test::onModal<MeshDialog>([&](MeshDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "地域メッシュ");
            EXPECT_EQ(dialog.datumButton(false)->text(), "旧　測地系  ( 地域メッシュコードＮ )");
            EXPECT_EQ(dialog.datumButton(!wgs)->isChecked(), true);
            EXPECT_EQ(dialog.paintButton(!wgs)->isChecked(), true);
            dialog.datumButton(wgs)->click();
            dialog.paintButton(wgs)->click();
            dialog.accept();
        });
        window.action(Command::Mesh)->trigger();
        EXPECT_EQ(workspace().settings().meshWgs, wgs);
        EXPECT_EQ(workspace().settings().meshMarked, wgs);
    }
    EXPECT_EQ(workspace().revision(), revision + 2);
    window.close();
    EXPECT_NE(folder.read("tavik.ini").find("MeshPaint=FilledMesh"), std::string::npos);
}

} // namespace
} // namespace tavik
