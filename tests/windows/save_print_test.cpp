// Saving and printing from the windows, driven as a user drives them,
// offscreen: the save dialog's refusals and names, the files of a run, a
// Cancel and a write-protected file, the print dialog's range, the preview's
// pages against those of `tavik --print`, and the printer set-up.
#include "viewer/windows/main_window.h"

#include "imagefiles/palette.h"
#include "platform/message_sink.h"
#include "tests/support/tavik_run.h"
#include "tests/windows/viewer_driver.h"
#include "viewer/document/page_export.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/print/print_form.h"
#include "viewer/session/process_launcher.h"
#include "viewer/session/save_run.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/document_printer.h"
#include "viewer/windows/map_view.h"
#include "viewer/windows/map_window.h"
#include "viewer/windows/print_preview_dialog.h"
#include "viewer/windows/printer_setup_dialog.h"
#include "viewer/windows/progress_dialog.h"
#include "viewer/windows/save_file_dialog.h"
#include "viewer/windows/viewer_application.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <thread>

namespace tavik {
namespace {

class NoLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

// Types a file name (a path) into a file dialog's name field.
void typeName(QFileDialog& dialog, const QString& name)
{
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
}

// The files of a folder, by name.
std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SavePrintTest : public ::testing::Test {
protected:
    SavePrintTest()
        : folder("save_print")
    {
        test::writeTwelveSpecies(folder);
        std::filesystem::create_directories(folder.file("maps"));
    }

    MainWindow& start()
    {
        viewer = std::make_unique<ViewerApplication>(&log, &launcher);
        EXPECT_TRUE(viewer->start(folder.path())) << (log.messages.empty() ? "" : log.utf8Texts()[0]);
        return *viewer->mainWindow();
    }

    // Saves through the save dialog: `act` sets it up, then the name is
    // confirmed; returns once the run has ended.
    void save(MainWindow& window, const std::string& name, std::function<void(SaveFileDialog&)> act = {})
    {
        const QString path = QString::fromStdString(folder.file("maps/" + name));
        test::onModal<SaveFileDialog>([path, act](SaveFileDialog& dialog) {
            if (act)
                act(dialog);
            typeName(dialog, path);
            dialog.accept();
            if (dialog.isVisible())
                dialog.reject(); // refused: the test reads the message
        });
        window.action(Command::SaveImage)->trigger();
        QApplication::processEvents(); // messages queued by the worker
    }

    std::vector<std::string> messages()
    {
        QApplication::processEvents();
        return log.utf8Texts();
    }

    test::TestFolder folder;
    MessageLog log;
    NoLauncher launcher;
    std::unique_ptr<ViewerApplication> viewer;
};

TEST_F(SavePrintTest, TheSaveDialogRefusesWithItsMessagesAndStaysOpen)
{
    MainWindow& window = start();
    window.action(Command::SaveImage)->trigger(); // the empty window: no dialog, nothing
    EXPECT_TRUE(messages().empty());
    window.openSpecies({0, 1, 2}, false); // Papilio xuthus, machaon, protenor

    std::vector<bool> stayedOpen;
    const std::string maps = folder.file("maps");
    test::onModal<SaveFileDialog>([&](SaveFileDialog& dialog) {
        // Opened with the document's species checked, the last selected,
        // 24 bits, and the wildcard of the scientific name proposed.
        EXPECT_EQ(dialog.windowTitle(), "名前を付けて保存");
        EXPECT_TRUE(dialog.colours24()->isChecked());
        EXPECT_EQ(dialog.colours256()->text(), "２５６色");
        EXPECT_TRUE(dialog.selectedFiles().value(0).endsWith("/%S.png"))
            << dialog.selectedFiles().value(0).toStdString();
        QTreeWidget& tree = *dialog.tree();
        QTreeWidgetItem* protenor = test::treeItem(tree, "Papilio protenor");
        ASSERT_TRUE(protenor);
        EXPECT_EQ(protenor->checkState(0), Qt::Checked);
        EXPECT_EQ(test::treeItem(tree, "Papilio helenus")->checkState(0), Qt::Unchecked);
        EXPECT_EQ(tree.currentItem(), protenor);

        auto confirm = [&](const std::string& name) {
            typeName(dialog, QString::fromStdString(maps + "/" + name));
            dialog.accept();
            stayedOpen.push_back(dialog.isVisible());
        };
        for (const char* label : {"Papilio xuthus", "Papilio machaon", "Papilio protenor"})
            test::treeItem(tree, label)->setCheckState(0, Qt::Unchecked);
        confirm("%S.png");
        test::treeItem(tree, "Papilio xuthus")->setCheckState(0, Qt::Checked);
        test::treeItem(tree, "Papilio machaon")->setCheckState(0, Qt::Checked);
        confirm("map.png");
        confirm("missing/%S.png");
        test::treeItem(tree, "Papilionidae")->setCheckState(0, Qt::Checked);
        log.answer = false; // Cancel the total
        confirm("%S.png");
        dialog.reject();
    });
    window.action(Command::SaveImage)->trigger();
    EXPECT_EQ(stayedOpen, std::vector<bool>(4, true));
    EXPECT_EQ(messages(),
        (std::vector<std::string>{"    何も選択されていません。    ",
            "複数種を指定するときは、ワイルドカードを使ってファイル名の区別が付くようにして下さい。",
            "    ファイル名が無効です。    ",
            "上位グループにチェックがつけられているので合計 6 種を保存します。よろしいですか？"}));
    EXPECT_TRUE(filesIn(maps).empty());
}

TEST_F(SavePrintTest, WildcardsNameEachFileAndTheFolderIsKept)
{
    folder.write("dbase/species.csv",
        cp932Literal("123,Aus bus,Linnaeus,1758,,1,,エーバス,,Ebasu\r\n"
                     "101,Papilio xuthus,Linnaeus,1767,,1,,アゲハ,,Ageha\r\n"));
    MainWindow& window = start();
    window.openSpecies({0}, false);
    save(window, "%S_%C.png");
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(filesIn(folder.file("maps")), std::vector<std::string>{"Aus bus_123.png"});
    const QImage saved(QString::fromStdString(folder.file("maps/Aus bus_123.png")));
    EXPECT_EQ(saved.size(), QSize(300, 200));
    EXPECT_EQ(folder.read("maps/Aus bus_123.png")[25], 2); // 24-bit colour, no palette
    EXPECT_TRUE(std::filesystem::equivalent(viewer->workspace().settings().savePath, folder.file("maps")));
}

TEST_F(SavePrintTest, BmpWith256ColoursWritesEightBitFilesWithTheStandardPalette)
{
    MainWindow& window = start();
    window.openSpecies({0, 1}, false);
    save(window, "%C.bmp", [](SaveFileDialog& dialog) { dialog.colours256()->setChecked(true); });
    ASSERT_EQ(filesIn(folder.file("maps")), (std::vector<std::string>{"101.bmp", "102.bmp"}));
    const std::string bmp = folder.read("maps/102.bmp");
    ASSERT_GT(bmp.size(), 54u + 1024u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 8); // bits per pixel
    const Palette palette = standardPalette();
    ASSERT_EQ(palette.size(), 256u);
    for (size_t i = 0; i < palette.size(); ++i) {
        const size_t at = 54 + 4 * i; // blue, green, red, reserved
        EXPECT_EQ(static_cast<unsigned char>(bmp[at + 2]), palette[i].r) << i;
        EXPECT_EQ(static_cast<unsigned char>(bmp[at + 1]), palette[i].g) << i;
        EXPECT_EQ(static_cast<unsigned char>(bmp[at]), palette[i].b) << i;
    }
}

TEST_F(SavePrintTest, AnOverlayIsSavedAsOneMapOfTheChosenSpecies)
{
    MainWindow& window = start();
    window.openSpecies({0, 1}, true);
    save(window, "overlay.png");
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(filesIn(folder.file("maps")), std::vector<std::string>{"overlay.png"});
    // Both species drawn: the west island filled in slot 1's colour, the
    // east one in slot 2's, as the overlay view shows them.
    const QImage saved(QString::fromStdString(folder.file("maps/overlay.png")));
    const QImage& shown = window.activeMapWindow()->view().renderedMap();
    EXPECT_EQ(saved.pixel(66, 100), shown.pixel(66, 100));
    EXPECT_EQ(saved.pixel(212, 100), shown.pixel(212, 100));
    EXPECT_NE(saved.pixel(66, 100), saved.pixel(212, 100));
}

TEST_F(SavePrintTest, AWriteProtectedFileGivesItsMessageAndStopsTheRun)
{
    MainWindow& window = start();
    window.openSpecies({0, 1, 2}, false);
    const std::string kept = folder.write("maps/Papilio machaon.png", "kept");
    ::chmod(kept.c_str(), 0444);
    save(window, "%S.png");
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].ends_with("/maps/Papilio machaon.png は書き込み保護されてます。")) << shown[0];
    EXPECT_EQ(log.messages[0].icon, MessageIcon::Stop);
    // The file before it stays, the protected one is untouched, none after.
    EXPECT_EQ(filesIn(folder.file("maps")), (std::vector<std::string>{"Papilio machaon.png", "Papilio xuthus.png"}));
    EXPECT_EQ(folder.read("maps/Papilio machaon.png"), "kept");
}

TEST_F(SavePrintTest, ACancelAfterTheFirstOfManyMapsLeavesWholeFilesOnly)
{
    start();
    Workspace& workspace = viewer->workspace();
    SaveJob job;
    job.path = folder.file("maps/%C.png");
    for (const SpeciesRecord& species : workspace.species().rows())
        job.species.push_back(&species);
    SaveRun run(job, workspace.renderSources(), 1.0);
    // The first map waits, before its file is put in place, until Cancel
    // has been pressed; Cancel is pressed once the first map is reached.
    std::atomic<bool> firstReached{false};
    run.progress().onMap = [&run, &firstReached](const std::string& text) {
        if (!text.starts_with("(1/"))
            return;
        firstReached.store(true);
        for (int i = 0; i < 1000 && !run.stopping(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    MessageLog runMessages;
    run.start(runMessages, 2);
    ProgressDialog dialog(run, QStringLiteral("保存中"), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.windowTitle(), "保存中");
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        if (firstReached.load()) {
            press.stop();
            dialog.cancelButton()->click();
        }
    });
    press.start(10);
    dialog.exec();
    ASSERT_TRUE(run.waitFor(std::chrono::seconds(20)));
    EXPECT_EQ(run.result(), SaveResult::Stopped);
    EXPECT_TRUE(runMessages.messages.empty());
    // Files of the first maps in order (the one being written finished),
    // each whole; nothing after them and no half-written file.
    const std::vector<std::string> files = filesIn(folder.file("maps"));
    ASSERT_GE(files.size(), 1u);
    EXPECT_LT(files.size(), 12u);
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i], std::to_string(101 + i) + ".png");
        EXPECT_EQ(QImage(QString::fromStdString(folder.file("maps/" + files[i]))).size(), QSize(300, 200)) << files[i];
    }
}

TEST_F(SavePrintTest, TheProgressDialogShowsTheMapBeingSavedAndClosesAtTheEnd)
{
    start();
    Workspace& workspace = viewer->workspace();
    SaveJob job;
    job.path = folder.file("maps/%S.png");
    job.species = {&workspace.species().rows()[0], &workspace.species().rows()[1]};
    SaveRun run(job, workspace.renderSources(), 1.0);
    // The second map waits until the dialog has shown the first.
    std::atomic<bool> shown{false};
    run.progress().onMap = [&shown](const std::string& text) {
        if (text.starts_with("(2/"))
            for (int i = 0; i < 500 && !shown.load(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    MessageLog runMessages;
    run.start(runMessages);
    ProgressDialog dialog(run, QStringLiteral("保存中"), QStringLiteral("Cancel"));
    QString text;
    int percent = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (dialog.text()->text().startsWith("(2/") && !shown.load()) {
            text = dialog.text()->text();
            percent = dialog.bar()->value();
            shown.store(true);
        }
    });
    watch.start(20);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted); // closed by the end of the run
    EXPECT_EQ(text, "(2/2)  Papilio machaon.png");
    EXPECT_EQ(percent, 50);
    EXPECT_EQ(run.result(), SaveResult::Done);
}

TEST_F(SavePrintTest, ThePrintDialogOffersPagesOneToThePageCount)
{
    MainWindow& window = start();
    auto range = [&window] {
        int pages[4] = {-1, -1, -1, -1};
        test::onModal<QPrintDialog>([&pages](QPrintDialog& dialog) {
            pages[0] = dialog.minPage();
            pages[1] = dialog.maxPage();
            pages[2] = dialog.fromPage();
            pages[3] = dialog.toPage();
            dialog.reject();
        });
        window.action(Command::Print)->trigger();
        return std::vector<int>(pages, pages + 4);
    };
    EXPECT_EQ(range(), (std::vector<int>{1, 1, 1, 1})); // the empty window
    std::vector<size_t> all(12);
    std::iota(all.begin(), all.end(), 0);
    window.openSpecies(all, false);
    const int pages = window.activeDocument()->pageCount();
    ASSERT_GT(pages, 1);
    EXPECT_EQ(range(), (std::vector<int>{1, pages, 1, pages}));
    window.openSpecies({0, 1, 2}, true); // an overlay prints as one page
    EXPECT_EQ(range(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_TRUE(messages().empty());
}

// The pages of a PDF file as images at 40 dots per inch (pdftoppm, which
// numbers the page files with as many digits as the last page needs).
std::vector<QImage> pdfPages(const std::string& pdf)
{
    const std::filesystem::path folder = std::filesystem::path(pdf).parent_path() / "pages";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string command = "pdftoppm -r 40 -png '" + pdf + "' '" + (folder / "page").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<QImage> pages;
    for (const std::string& name : filesIn(folder.string()))
        pages.push_back(QImage(QString::fromStdString((folder / name).string())).convertToFormat(QImage::Format_RGB32));
    return pages;
}

// The printer writes a PDF as `tavik --print` does: A4 at 300 dots per inch.
void printToPdf(QPrinter& printer, const std::string& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
}

// Runs the events until `done` holds (a page drawn on the worker), at most
// twenty seconds.
bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The mean difference of two images of one size, per channel (0 to 255), of
// their 8 x 8 blocks' mean colours where `b` is inked (not white): how the
// maps and texts look, not where a line falls to the pixel.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    long blocks = 0;
    for (int y = 0; y + 8 <= a.height(); y += 8)
        for (int x = 0; x + 8 <= a.width(); x += 8) {
            int ink = 0;
            double difference[3] = {0, 0, 0};
            for (int dy = 0; dy < 8; ++dy)
                for (int dx = 0; dx < 8; ++dx) {
                    const QRgb p = a.pixel(x + dx, y + dy), q = b.pixel(x + dx, y + dy);
                    ink += (q & 0xFFFFFFu) != 0xFFFFFFu;
                    difference[0] += qRed(p) - qRed(q);
                    difference[1] += qGreen(p) - qGreen(q);
                    difference[2] += qBlue(p) - qBlue(q);
                }
            if (!ink)
                continue;
            ++blocks;
            sum += (std::abs(difference[0]) + std::abs(difference[1]) + std::abs(difference[2])) / 64.0;
        }
    return blocks ? sum / (3.0 * static_cast<double>(blocks)) : 0.0;
}

// Printing from the windows draws the pages `tavik --print` draws, on a
// worker behind the progress dialog, and puts the PDF file in place whole.
TEST_F(SavePrintTest, PrintingFromTheWindowsDrawsThePagesThatTavikPrintDraws)
{
    MainWindow& window = start();
    std::vector<size_t> all(12);
    std::iota(all.begin(), all.end(), 0);
    window.openSpecies(all, false);
    window.activeMapWindow()->view().contents(); // the view draws: screen metrics taken
    QPrinter& printer = window.printing().printer();
    const std::string printed = folder.file("printed.pdf");
    printToPdf(printer, printed);
    EXPECT_EQ(window.printing().printPages(
                  printer, *window.activeDocument(), window.activeMapWindow()->view().screenMetrics()),
        ExportResult::Done);
    EXPECT_EQ(printer.outputFileName().toStdString(), printed);

    const test::TavikRun run = test::runTavik(folder, {"--print", "atlas.pdf", "--all"});
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<QImage> expected = pdfPages(folder.file("atlas.pdf"));
    const std::vector<QImage> drawn = pdfPages(printed);
    ASSERT_EQ(drawn.size(), static_cast<size_t>(window.activeDocument()->pageCount()));
    ASSERT_EQ(drawn.size(), expected.size());
    // Page 1 holds a map, not a blank sheet.
    int inked = 0;
    for (int y = 0; y < drawn[0].height(); ++y)
        for (int x = 0; x < drawn[0].width(); ++x)
            inked += drawn[0].pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(inked, 1000);
    for (size_t page = 0; page < drawn.size(); ++page)
        EXPECT_TRUE(drawn[page] == expected[page]) << "page " << page + 1;
    EXPECT_TRUE(messages().empty());
    std::vector<std::string> leftovers;
    for (const std::string& name : filesIn(folder.path()))
        if (name.find(".tavik-") != std::string::npos)
            leftovers.push_back(name);
    EXPECT_TRUE(leftovers.empty());
}

// The preview draws the page shown and keeps a few: its maps are shrunk by
// averaging, so that the page at 50 % looks as the printed page shrunk does
// (coastlines and grid lines whole); paging and zoom draw anew.
TEST_F(SavePrintTest, ThePreviewShowsPagesAsThePrintLooksAndKeepsOnlyAFew)
{
    // Longitude-latitude lines every 0.1 degree (five pixels apart): lines a
    // plain shrink would break up or drop.
    std::string settings = test::readBytes(folder.file("tavik.ini"));
    settings.replace(settings.find("[Display]\r\n"), 11,
        "[Display]\r\nGeoLine=mesh\r\nGeoWest=125\r\nGeoEast=145\r\nGeoSouth=25\r\nGeoNorth=45\r\n"
        "GeoLonSpan=0.1\r\nGeoLatSpan=0.1\r\nGeoLineType=solid\r\nGeoTransparent=overwrite\r\n");
    folder.write("tavik.ini", settings);
    MainWindow& window = start();
    std::vector<size_t> all(12);
    std::iota(all.begin(), all.end(), 0);
    window.openSpecies(all, false);
    window.activeMapWindow()->view().contents();
    printToPdf(window.printing().printer(), folder.file("unused.pdf"));
    const test::TavikRun run = test::runTavik(folder, {"--print", "atlas.pdf", "--all"});
    ASSERT_EQ(run.status, 0) << run.errors;

    QImage shown, secondPage, quarter;
    int pages = 0;
    test::onModal<PrintPreviewDialog>([&](PrintPreviewDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "印刷ﾌﾟﾚﾋﾞｭｰ");
        pages = dialog.pageCount();
        EXPECT_EQ(dialog.zoom(), 50);
        EXPECT_TRUE(waitFor([&] { return !dialog.shownPage().isNull(); }));
        shown = dialog.shownPage();
        dialog.showPage(2);
        EXPECT_TRUE(waitFor([&] { return !dialog.shownPage().isNull(); }));
        secondPage = dialog.shownPage();
        dialog.setZoom(200);
        EXPECT_TRUE(waitFor([&] { return !dialog.shownPage().isNull(); }));
        EXPECT_NEAR(dialog.shownPage().width(), shown.width() * 4, 4);
        // At 25 % the maps are shrunk to less than half their pixels.
        dialog.showPage(1);
        dialog.setZoom(25);
        EXPECT_TRUE(waitFor([&] { return !dialog.shownPage().isNull(); }));
        quarter = dialog.shownPage();
        dialog.reject();
    });
    window.action(Command::PrintPreview)->trigger();
    EXPECT_EQ(pages, window.activeDocument()->pageCount());
    ASSERT_FALSE(shown.isNull());
    EXPECT_NE(shown, secondPage);

    // The printed page at 300 dots per inch, shrunk by averaging to the
    // preview's size.
    const std::string command
        = "pdftoppm -r 300 -singlefile -png '" + folder.file("atlas.pdf") + "' '" + folder.file("full") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    QImage printed(QString::fromStdString(folder.file("full.png")));
    ASSERT_FALSE(printed.isNull());
    printed = printed.convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(quarter.isNull());
    const QImage printedQuarter = printed.scaled(quarter.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // A plain shrink, which drops pixels, differs by about 23 here.
    EXPECT_LT(meanDifference(quarter.convertToFormat(QImage::Format_RGB32), printedQuarter), 10.0);
    printed = printed.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(meanDifference(shown.convertToFormat(QImage::Format_RGB32), printed), 12.0);
    EXPECT_TRUE(messages().empty());
}

// The preview's printer set-up changes the paper of the pages it shows (and
// of the next print), as ﾌﾟﾘﾝﾀの設定 does.
TEST_F(SavePrintTest, ThePreviewsPrinterSetUpChangesThePaperOfItsPages)
{
    MainWindow& window = start();
    window.openSpecies({0, 1, 2}, false);
    window.activeMapWindow()->view().contents();
    printToPdf(window.printing().printer(), folder.file("unused.pdf"));
    QSize portrait, landscape;
    test::onModal<PrintPreviewDialog>([&](PrintPreviewDialog& dialog) {
        EXPECT_TRUE(waitFor([&] { return !dialog.shownPage().isNull(); }));
        portrait = dialog.shownPage().size();
        test::onModal<PrinterSetupDialog>([](PrinterSetupDialog& setup) {
            setup.landscape()->setChecked(true);
            setup.accept();
        });
        dialog.setupButton()->click();
        EXPECT_TRUE(waitFor([&] { return !dialog.shownPage().isNull(); }));
        landscape = dialog.shownPage().size();
        dialog.reject();
    });
    window.action(Command::PrintPreview)->trigger();
    EXPECT_LT(portrait.width(), portrait.height());
    EXPECT_GT(landscape.width(), landscape.height());
    EXPECT_EQ(window.printing().printer().pageLayout().orientation(), QPageLayout::Landscape);
}

// A form that fits no map on the paper is reported, and no empty preview
// opens.
TEST_F(SavePrintTest, NoPreviewOpensForAFormThatFitsNoMap)
{
    MainWindow& window = start();
    window.openSpecies({0, 1}, false);
    PrintForm form = window.activeDocument()->printForm();
    form.topMargin = RealField::fromText("290");
    window.activeDocument()->setPrintForm(form);
    bool opened = false;
    test::onModal<PrintPreviewDialog>([&](PrintPreviewDialog& dialog) {
        opened = true;
        dialog.reject();
    });
    window.action(Command::PrintPreview)->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("用紙に収まりません"), std::string::npos) << messages()[0];
}

TEST_F(SavePrintTest, ThePrinterSetUpSetsThePrinterAndPaperOfTheNextPrint)
{
    MainWindow& window = start();
    test::onModal<PrinterSetupDialog>([](PrinterSetupDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "ﾌﾟﾘﾝﾀの設定");
        dialog.printers()->setCurrentText("PDF ファイル");
        dialog.papers()->setCurrentText("A3");
        dialog.landscape()->setChecked(true);
        dialog.accept();
    });
    window.action(Command::PrintSetup)->trigger();
    const QPrinter& printer = window.printing().printer();
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A3);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

} // namespace
} // namespace tavik
