// Printed pages painted into an image: maps in the cells of the grid, titles
// over or under them, header and footer, and forms that leave no room.
#include "viewer/document/print_page.h"

#include "tests/support/print_script.h"
#include "tests/support/test_folder.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/print/print_form_list.h"
#include "viewer/render/mark_painter.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace tavik {
namespace {

using test::printScript;

const QRgb kWhite = qRgb(255, 255, 255);

// The map of each species is one flat colour, so a cell shows whose it is.
QRgb mapColour(std::int64_t code)
{
    return qRgb(static_cast<int>(code % 7) * 30, 100, static_cast<int>(code % 5) * 50);
}

// An A4 sheet at 127 dots per inch, exactly 5 dots a millimetre
// (1050 x 1485 dots), a 300 x 200 pixel base map, and a 2 x 2 form with
// 10 mm margins, gaps of 10 % (columns) and 30 % (rows), title offset 10 %.
//
// The grid is 630 x 500 map pixels; the width decides, so a map pixel is
// 950 / 630 = 1.50794 dots and a map 452 x 301 dots. The maps of row 0 start
// at y = 50 + 0.2 x 200 x 1.50794 = 110 (title on top), those of row 1 at
// 50 + 1.3 x 301.587 + 60.317 = 502; column 1 starts at x = 50 + 1.1 x
// 452.381 = 547. The 10-point print font is 18 dots high.
class PrintPageTest : public ::testing::Test {
protected:
    PrintPageTest()
        : sheet(1050, 1485, QImage::Format_RGB32)
    {
        sheet.setDotsPerMeterX(5000);
        sheet.setDotsPerMeterY(5000);
        sheet.fill(kWhite);
        settings.printFontFace = "DejaVu Sans";
        settings.printFontSize = 10.0;
        for (int slot = 0; slot < 3; ++slot) {
            TargetStyle& style = painter.slots[static_cast<size_t>(slot)];
            style.shape = MarkShape::FilledCircle;
            style.size = 10.0f;
            style.thickness = 1;
            for (std::uint8_t rank = 0; rank < 4; ++rank) {
                const auto blue = static_cast<std::uint8_t>(40 * slot);
                style.ranks[rank].mark = {200, static_cast<std::uint8_t>(10 * rank), blue};
                style.ranks[rank].fill = {static_cast<std::uint8_t>(10 * rank), 200, blue};
            }
        }
        form = PrintForm::builtIn();
        form.rows = PrintForm::countFromText("2");
        form.columns = PrintForm::countFromText("2");
        form.pagingLevel = IntegerField::fromText("0");
        for (RealField* margin : {&form.leftMargin, &form.rightMargin, &form.topMargin, &form.bottomMargin})
            *margin = RealField::fromText("10");
        form.horizontalGap = RealField::fromText("10");
        form.verticalGap = RealField::fromText("30");
        form.mapTitle.script = printScript("<legend draw=\"fill\"/>");
        form.pageHeader.script = printScript("<legend draw=\"fill\" rank=\"z\"/>");
        form.pageFooter.script = printScript("<legend draw=\"fill\" rank=\"c\"/>");
    }

    void makeDocument(int count, bool overlay = false)
    {
        std::vector<SpeciesRecord> species(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            species[static_cast<size_t>(i)].code = 101 + i;
        document.setPrintForm(form);
        if (overlay)
            document.setOverlaySpecies(species);
        else
            document.setSpecies(species, groups);
    }

    PageResult print(int page)
    {
        PrintSources sources{{settings, painter, groups}, QSize(300, 200),
            [this](const std::vector<std::int64_t>& codes) {
                rendered.push_back(codes);
                QImage map(300, 200, QImage::Format_RGB32);
                map.fill(mapColour(codes.front()));
                return map;
            },
            ScreenMetrics{96.0, 96.0, 1.0}};
        QPainter onSheet(&sheet);
        return printPage(onSheet, document, page, sources);
    }

    QRgb at(int x, int y) const { return sheet.pixel(x, y); }
    QRgb fill(int slot, int rank) const
    {
        const Colour& c = painter.slots[static_cast<size_t>(slot)].ranks[static_cast<size_t>(rank)].fill;
        return qRgb(c.r, c.g, c.b);
    }

    QImage sheet;
    Settings settings;
    PainterConfig painter;
    PhyleticTable groups;
    PrintForm form;
    CQuelnaDoc document;
    std::vector<std::vector<std::int64_t>> rendered;
};

TEST_F(PrintPageTest, MapsFillTheCellsRowByRowWhereTheGridPutsThem)
{
    makeDocument(5);
    ASSERT_EQ(print(1), PageResult::Drawn);
    // Each cell's corners just inside and just outside.
    EXPECT_EQ(at(50, 110), mapColour(101));
    EXPECT_EQ(at(49, 110), kWhite);
    EXPECT_EQ(at(50, 109), kWhite);
    EXPECT_EQ(at(501, 410), mapColour(101));
    EXPECT_EQ(at(502, 410), kWhite);
    EXPECT_EQ(at(501, 411), kWhite);
    EXPECT_EQ(at(547, 110), mapColour(102));
    EXPECT_EQ(at(546, 110), kWhite);
    EXPECT_EQ(at(998, 110), mapColour(102));
    EXPECT_EQ(at(999, 110), kWhite);
    EXPECT_EQ(at(50, 502), mapColour(103));
    EXPECT_EQ(at(50, 501), kWhite);
    EXPECT_EQ(at(547, 502), mapColour(104));
    EXPECT_EQ(rendered.size(), 4u);

    // Each title box sits at the top of its row's title space, the legend
    // fill sample one tenth of the 18-dot font in and 0.15 of it down.
    EXPECT_EQ(at(58, 59), fill(0, 0));
    EXPECT_EQ(at(555, 59), fill(0, 0));
    EXPECT_EQ(at(58, 451), fill(0, 0)); // row 1: 50 + 1.3 x 301.587 = 442
    EXPECT_EQ(at(58, 443), kWhite);
    // Header 5 mm from the sheet's top; footer 5 mm under the bottom margin line.
    EXPECT_EQ(at(58, 34), fill(0, 3));
    EXPECT_EQ(at(58, 1469), fill(0, 2));

    sheet.fill(kWhite);
    rendered.clear();
    ASSERT_EQ(print(2), PageResult::Drawn);
    EXPECT_EQ(at(50, 110), mapColour(105));
    EXPECT_EQ(at(547, 110), kWhite);
    EXPECT_EQ(rendered.size(), 1u);
}

TEST_F(PrintPageTest, TitlesBelowTheMapStartTheTitleOffsetUnderIt)
{
    form.mapTitle.bottom = true;
    makeDocument(1);
    ASSERT_EQ(print(1), PageResult::Drawn);
    // The map starts at the top margin; the title 10 % of its height under it:
    // 50 + 301.587 + 30.159 = 381.
    EXPECT_EQ(at(50, 50), mapColour(101));
    EXPECT_EQ(at(50, 350), mapColour(101));
    EXPECT_EQ(at(50, 351), kWhite);
    EXPECT_EQ(at(58, 390), fill(0, 0));
    EXPECT_EQ(at(58, 382), kWhite);
}

TEST_F(PrintPageTest, LegendMarksAreDrawnAtTheScaleOfTheMaps)
{
    form.mapTitle.script = printScript("<legend draw=\"mark\"/>");
    makeDocument(1);
    ASSERT_EQ(print(1), PageResult::Drawn);
    // s = 10 x 1.508 + 0.5: the centre is trunc(0.6 s d) = 9 in and
    // trunc(0.6 x 18) = 10 down; the circle's radius trunc((10 x 1.508 x d
    // + 1) / 2) = 8 dots, as a mark of size 10 is on the maps.
    const QRgb mark = qRgb(200, 0, 0);
    EXPECT_EQ(at(59, 60), mark);
    EXPECT_EQ(at(59 + 7, 60), mark);
    EXPECT_EQ(at(59, 60 - 7), mark);
    EXPECT_EQ(at(59 + 10, 60), kWhite);
}

TEST_F(PrintPageTest, AnOverlayIsOneCellWithEverySpecies)
{
    form.mapTitle.script = printScript("<legend draw=\"fill\" order=\"3\"/>");
    makeDocument(3, true);
    ASSERT_EQ(print(1), PageResult::Drawn);
    ASSERT_EQ(rendered.size(), 1u);
    EXPECT_EQ(rendered[0], (std::vector<std::int64_t>{101, 102, 103}));
    EXPECT_EQ(at(50, 110), mapColour(101));
    EXPECT_EQ(at(547, 110), kWhite);
    EXPECT_EQ(at(58, 59), fill(2, 0));
}

TEST_F(PrintPageTest, FormsWithoutRoomForTheGridGetHeaderAndFooterOnly)
{
    // One row whose title offset lies far beyond the vertical gap: the grid
    // would have a negative height.
    form.rows = PrintForm::countFromText("1");
    form.mapTitle.topOffset = RealField::fromText("150");
    makeDocument(1);
    EXPECT_EQ(print(1), PageResult::NoMaps);
    EXPECT_TRUE(rendered.empty());
    EXPECT_EQ(at(58, 34), fill(0, 3));

    form = PrintForm::builtIn();
    form.leftMargin = RealField::fromText("150");
    form.rightMargin = RealField::fromText("100");
    makeDocument(1);
    EXPECT_EQ(print(1), PageResult::NoMaps);
    EXPECT_TRUE(rendered.empty());
}

TEST_F(PrintPageTest, APageWithoutSpeciesDrawsNothing)
{
    makeDocument(5);
    EXPECT_EQ(print(3), PageResult::NoSpecies);
    CQuelnaDoc empty;
    document = empty;
    EXPECT_EQ(print(1), PageResult::NoSpecies);
    for (int y = 0; y < sheet.height(); y += 7)
        for (int x = 0; x < sheet.width(); x += 7)
            ASSERT_EQ(at(x, y), kWhite) << x << "," << y;
}

TEST(PageContext, NumbersTheHeaderFromTheFullGridAndNamesThePagesFirstSpecies)
{
    // Two genera on a 2 x 2 form with paging level 1: page 1 ends after two
    // species, yet the header of page 3 counts 2 x 2 x 2 + 1 = 9.
    test::TestFolder folder("page_context_groups");
    PhyleticTable groups;
    groups.load(folder.write("groups.csv", "11,X,0,,\r\n12,Y,0,,\r\n"), 10);
    PrintForm form = PrintForm::builtIn();
    form.rows = PrintForm::countFromText("2");
    form.columns = PrintForm::countFromText("2");
    form.pagingLevel = IntegerField::fromText("1");
    std::vector<SpeciesRecord> species(7);
    for (size_t i = 0; i < species.size(); ++i) {
        species[i].code = 101 + static_cast<int>(i);
        species[i].phyleticCode = i < 2 ? 11 : 12;
    }
    CQuelnaDoc document;
    document.setPrintForm(form);
    document.setSpecies(species, groups);
    ASSERT_EQ(document.pageCount(), 3);

    ScriptContext third = pageContext(document, 3);
    EXPECT_EQ(third.sequenceNumber, 9);
    EXPECT_EQ(third.pageCount, 3);
    ASSERT_EQ(third.species.size(), 1u);
    EXPECT_EQ(third.species[0]->code, 107);
    EXPECT_EQ(pageContext(document, 2).species[0]->code, 103);
}

} // namespace
} // namespace tavik
