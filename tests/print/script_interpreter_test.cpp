// Scripts of headers, titles and footers: what each element puts on a line,
// and where the line layout places the runs.
#include "viewer/print/script_interpreter.h"

#include "tests/support/print_script.h"
#include "tests/support/test_folder.h"
#include "viewer/print/print_form_list.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>

namespace tavik {
namespace {

using test::printScript;

class ScriptTest : public ::testing::Test {
protected:
    ScriptTest()
        : device(10, 10, QImage::Format_RGB32)
    {
        // 300 dots per inch, like the printer: a 10-point font is 42 dots high.
        device.setDotsPerMeterX(11811);
        device.setDotsPerMeterY(11811);
        settings.printFontFace = "DejaVu Sans";
        settings.printFontSize = 10.0;
        painter.slots[0].size = 10.0f;
        painter.slots[1].size = 20.0f;

        test::TestFolder folder("script_groups");
        groups.load(folder.write("groups.csv", "1,Papilionidae,0,Ageha-ka,A2\r\n11,Papilio,1,Ageha-zoku,P2\r\n"), 10);

        xuthus.code = 101;
        xuthus.scientificName = "Papilio xuthus";
        xuthus.author = "Linnaeus";
        xuthus.year = "1767";
        xuthus.alias1 = "Namiageha";
        xuthus.alias2 = "Asian swallowtail";
        xuthus.phyleticCode = 11;
        machaon = xuthus;
        machaon.code = 102;
        machaon.scientificName = "Papilio machaon";
        machaon.year = "1758";
        machaon.parenthesis = true;
        machaon.phyleticCode = 99; // no such group
        context.species = {&xuthus};
    }

    std::vector<TextRun> layout(const std::string& text, double boxWidth = 3000.0)
    {
        ScriptInterpreter interpreter(ScriptSources{settings, painter, groups}, device, scales, boxWidth);
        return interpreter.layout(printScript(text), context);
    }

    // The runs' texts joined by "|", legend samples as [mark] and [fill].
    std::string texts(const std::string& text)
    {
        std::string joined;
        for (const TextRun& run : layout(text)) {
            if (!joined.empty())
                joined += "|";
            joined += run.kind == TextRun::Kind::Text ? run.text
                : run.kind == TextRun::Kind::Mark     ? "[mark]"
                                                      : "[fill]";
        }
        return joined;
    }

    int width(const TextRun& run)
    {
        return QFontMetrics(run.font, &device).horizontalAdvance(QString::fromStdString(run.text));
    }

    QImage device;
    Settings settings;
    PainterConfig painter;
    PhyleticTable groups;
    SpeciesRecord xuthus, machaon;
    ScriptContext context;
    PrintScales scales;
};

TEST(ScriptCount, FormatsFillTheBlanksOfTheRightAlignedNumber)
{
    const std::string zeros = "0000", letters = "No. 0", two = "00", empty;
    struct Case {
        std::int64_t value;
        const std::string* format;
        const char* text;
    } cases[] = {
        {7, &zeros, "0007"},
        {12, &letters, "No.12"}, // the format's blank keeps the digit 1
        {5, &letters, "No. 5"}, // a blank of the format stays blank
        {123, &two, "123"}, // a longer number is kept whole
        {12, nullptr, "12"},
        {12, &empty, "12"},
        {-3, &zeros, "00-3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScriptInterpreter::countText(c.value, c.format), c.text) << c.text;
}

TEST_F(ScriptTest, ElementsAppendPageNumbersCountersAndNames)
{
    context.pageNumber = 1;
    context.pageCount = 2;
    context.sequenceNumber = 12;
    struct Case {
        const char* script;
        const char* text;
    } cases[] = {
        {"<page start=\"5\"/>", "5"},
        {"p. <page/>/<numofpage/>", "p. 1/2"},
        {"<spcount/>", "12"},
        {"<spcount start=\"100.9\" format=\"No. 0000\"/>", "No. 0111"},
        {"<spname name=\"scientific\"/>, <spname name=\"alias1\"/>, <spname name=\"alias2\"/>",
            "Papilio xuthus, Namiageha, Asian swallowtail"},
        {"<nomenclator/>", "Linnaeus 1767"},
        {"<node name=\"scientific\"/> <node name=\"alias1\" level=\"-1\"/>", "Papilio Ageha-zoku"},
        {"<node name=\"scientific\" level=\"2\"/> <node name=\"alias2\" level=\"2\"/>", "Papilionidae A2"},
        {"[<node name=\"scientific\" level=\"3\"/>]", "[]"},
        {"[<spname name=\"scientific\" order=\"2\"/>]", "[]"}, // one species in an ordinary cell
        {"[<legend draw=\"mark\" order=\"2\"/>]", "[]"},
        {"<legend draw=\"mark\"/><legend draw=\"fill\" rank=\"z\"/>", "[mark]|[fill]"},
        {"a<font size=\"20\">b</font>c", "a|b|c"},
        {"a<font size=\"20\"></font>c", "a|c"}, // an empty font element only ends the run
        {"a<center></center>c", "ac"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts(c.script), c.text) << c.script;
}

TEST_F(ScriptTest, SpeciesBeyondTheFirstComeFromTheOverlay)
{
    context.species = {&xuthus, &machaon};
    EXPECT_EQ(texts("<spname name=\"scientific\" order=\"2\"/> <nomenclator order=\"2\"/>"),
        "Papilio machaon (Linnaeus 1758)");
    EXPECT_EQ(texts("[<node name=\"scientific\" order=\"2\"/>]"), "[]");
    std::vector<TextRun> runs = layout("<legend draw=\"mark\" order=\"2\" rank=\"b\"/>");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].slot, 1);
    EXPECT_EQ(runs[0].rank, 1);
}

TEST_F(ScriptTest, FontsTakeSizeFaceAndItalicFromTheElement)
{
    std::vector<TextRun> runs
        = layout("a<font size=\"20\" italic=\"true\">b<font facename=\"IPAGothic\">c</font></font>"
                 "<font size=\"120\">d</font>");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].fontHeight, 42); // 10 points at 300 dots per inch
    EXPECT_EQ(runs[1].fontHeight, 83);
    EXPECT_TRUE(runs[1].font.italic());
    EXPECT_EQ(runs[2].fontHeight, 83); // the size in effect
    EXPECT_EQ(runs[2].font.family(), "IPAGothic");
    EXPECT_FALSE(runs[2].font.italic()); // italic only where the element asks for it
    EXPECT_EQ(runs[3].fontHeight, 42); // 120 points is out of range
}

TEST_F(ScriptTest, RunsFollowEachOtherByTextWidthLessAQuarterHeight)
{
    std::vector<TextRun> runs = layout("Papilio <font size=\"20\">xuthus</font> 1767");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].x, 0);
    EXPECT_EQ(runs[1].x, width(runs[0]) - 42 / 4);
    EXPECT_EQ(runs[2].x, runs[1].x + width(runs[1]) - 83 / 4);
    for (const TextRun& run : runs)
        EXPECT_EQ(run.y, 0);

    // A fill sample takes one font height; a mark sample 1.2 x s x d with
    // s = mark size x sx + 0.5.
    scales.sx = 2.0;
    scales.digitFactor = 0.8;
    runs = layout("<legend draw=\"fill\"/><legend draw=\"mark\"/>x");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].x, 42);
    EXPECT_EQ(runs[2].x, 42 + static_cast<int>(1.2 * 20.5f * 0.8));
}

TEST_F(ScriptTest, AlignmentBlocksWithoutCrShareOneLine)
{
    const double box = 2001.0;
    std::vector<TextRun> runs = layout("<center>Middle</center><right>End</right>", box);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].y, runs[1].y);
    EXPECT_EQ(runs[0].x, 2001 / 2 - (width(runs[0]) - 42 / 4) / 2);
    EXPECT_EQ(runs[1].x, 2001 - (width(runs[1]) - 42 / 4));

    runs = layout("Start<right>End</right>", box);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].x, 0);
    EXPECT_EQ(runs[1].x, 2001 - (width(runs[1]) - 42 / 4));
    EXPECT_EQ(runs[1].y, 0);

    // The same alignment again is no block: the text joins the run.
    EXPECT_EQ(texts("a<left>b</left>c"), "abc");
}

TEST_F(ScriptTest, CrAdvancesByTheFontInEffect)
{
    std::vector<TextRun> runs = layout("<font size=\"20\">A<cr/>B</font>C<cr/>D");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].y, 0);
    const int twentyPoint = static_cast<int>(1.1 * 83); // 83 dots high at 300 dots per inch
    EXPECT_EQ(runs[1].y, twentyPoint);
    EXPECT_EQ(runs[1].x, 0);
    EXPECT_EQ(runs[2].y, twentyPoint); // C joins B's line
    EXPECT_EQ(runs[3].y, twentyPoint + static_cast<int>(1.1 * 42));

    // A cr inside a right block lays out that line on the right.
    runs = layout("<right>A<cr/>B</right>", 1000.0);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].x, 1000 - (width(runs[0]) - 42 / 4));
    EXPECT_EQ(runs[1].y, static_cast<int>(1.1 * 42));
}

TEST_F(ScriptTest, NomenclatorWrapsToAnIndentedLineWhenItDoesNotFit)
{
    const std::string text = "<spname name=\"scientific\"/> <nomenclator wrap=\"true\" indent=\"4\"/>";
    std::vector<TextRun> wide = layout(text, 3000.0);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].text, "Papilio xuthus Linnaeus 1767");

    std::vector<TextRun> narrow = layout(text, 400.0);
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_EQ(narrow[0].text, "Papilio xuthus ");
    EXPECT_EQ(narrow[1].text, "    Linnaeus 1767");
    EXPECT_EQ(narrow[1].x, 0);
    EXPECT_EQ(narrow[1].y, static_cast<int>(1.1 * 42));

    // Only a left-aligned nomenclator with wrap "true" wraps.
    EXPECT_EQ(layout("<spname name=\"scientific\"/> <nomenclator/>", 400.0).size(), 1u);
    EXPECT_EQ(layout("<center><spname name=\"scientific\"/> <nomenclator wrap=\"true\"/></center>", 400.0).size(), 1u);
}

} // namespace
} // namespace tavik
