// Drawing a document's pages onto a paged device and into a PDF file: the
// range, the progress callback, the stop flag and what is left on disk.
#include "viewer/document/page_export.h"

#include "tests/support/test_folder.h"
#include "viewer/document/print_page.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/settings.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavik {
namespace {

// Five species on a 2 x 2 form: pages 1 (four maps) and 2 (one map).
class PageExportTest : public ::testing::Test {
protected:
    PageExportTest()
        : folder("page_export")
        , sources{{settings, painter, groups}, QSize(300, 200),
              [this](const std::vector<std::int64_t>& codes) {
                  rendered.push_back(codes.front());
                  QImage map(300, 200, QImage::Format_RGB32);
                  map.fill(Qt::gray);
                  return map;
              },
              ScreenMetrics{}}
    {
        PrintForm form = PrintForm::builtIn();
        form.rows = PrintForm::countFromText("2");
        form.columns = PrintForm::countFromText("2");
        std::vector<SpeciesRecord> species(5);
        for (size_t i = 0; i < species.size(); ++i) {
            species[i].code = 101 + static_cast<std::int64_t>(i);
            species[i].scientificName = "Sp " + std::to_string(i + 1);
        }
        document.setPrintForm(form);
        document.setSpecies(species, groups);
        progress.onPage = [this](int page, int last, const std::string& names) {
            pages.push_back(std::to_string(page) + "/" + std::to_string(last) + " " + names);
            if (stopAfterFirst)
                stop.store(true);
        };
    }

    test::TestFolder folder;
    Settings settings;
    PainterConfig painter;
    PhyleticTable groups;
    PrintSources sources;
    CQuelnaDoc document;
    ExportProgress progress;
    std::atomic<bool> stop{false};
    bool stopAfterFirst = false;
    std::vector<std::string> pages;
    std::vector<std::int64_t> rendered;
};

TEST_F(PageExportTest, DrawsTheRangeOnePageASheetWithProgressBeforeEachPage)
{
    ASSERT_EQ(document.pageCount(), 2);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    EXPECT_EQ(printDocument(writer, document, sources, {}, progress, stop), ExportResult::Done);
    EXPECT_EQ(pages, (std::vector<std::string>{"1/2 Sp 1, Sp 2, Sp 3, Sp 4", "2/2 Sp 5"}));
    EXPECT_EQ(rendered, (std::vector<std::int64_t>{101, 102, 103, 104, 105}));

    pages.clear();
    rendered.clear();
    EXPECT_EQ(printDocument(writer, document, sources, {2, 2}, progress, stop), ExportResult::Done);
    EXPECT_EQ(pages, (std::vector<std::string>{"2/2 Sp 5"}));
    EXPECT_EQ(rendered, (std::vector<std::int64_t>{105}));
}

TEST_F(PageExportTest, AStopBetweenPagesEndsTheExportAndLeavesTheFileAsItWas)
{
    const std::string path = folder.file("atlas.pdf");
    folder.write("atlas.pdf", "old");
    stopAfterFirst = true;
    EXPECT_EQ(exportPdf(path, document, sources, progress, stop), ExportResult::Stopped);
    EXPECT_EQ(pages.size(), 1u);
    EXPECT_EQ(folder.read("atlas.pdf"), "old");

    stop.store(false);
    stopAfterFirst = false;
    EXPECT_EQ(exportPdf(path, document, sources, progress, stop), ExportResult::Done);
    EXPECT_EQ(folder.read("atlas.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "no temporary file left";
}

TEST_F(PageExportTest, AFormWithoutRoomOrAFolderWithoutAccessWritesNothing)
{
    PrintForm cramped = document.printForm();
    cramped.leftMargin = RealField::fromText("200");
    document.setPrintForm(cramped);
    EXPECT_EQ(exportPdf(folder.file("a.pdf"), document, sources, progress, stop), ExportResult::NothingToPrint);
    EXPECT_TRUE(pages.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.file("a.pdf")));

    document.setPrintForm(PrintForm::builtIn());
    EXPECT_EQ(exportPdf(folder.file("none/a.pdf"), document, sources, progress, stop), ExportResult::FileError);
}

} // namespace
} // namespace tavik
