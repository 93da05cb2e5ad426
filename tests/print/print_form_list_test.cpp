#include "viewer/print/print_form_list.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

const std::string kData = TAVIK_TEST_DATA "/print/";

using test::readBytes;

// A file of one form whose page-form body is given; the rest is valid.
std::string oneForm(const std::string& title, const std::string& rows, const std::string& mapTitle,
    const std::string& leftMargin = "30.0")
{
    return "<print-form>\n<page-form title=\"" + title + "\">\n<num-of-rows value=\"" + rows
        + "\"/>\n<num-of-cols value=\"1\"/>\n<paging level=\"0\"/>\n<left-marginmm value=\"" + leftMargin
        + "\"/>\n<right-marginmm value=\"1\"/>\n<top-marginmm value=\"0.0\"/>\n<bottom-marginmm value=\"1\"/>\n"
          "<hor-gap-ratio value=\"1\"/>\n<ver-gap-ratio value=\"1\"/>\n"
        + mapTitle
        + "\n<page-header><script></script><top-marginmm value=\"0\"/><left-protrusionmm value=\"0\"/>"
          "<right-protrusionmm value=\"0\"/></page-header>\n"
          "<page-footer><script></script><top-marginmm value=\"0\"/><left-protrusionmm value=\"0\"/>"
          "<right-protrusionmm value=\"0\"/></page-footer>\n</page-form>\n</print-form>\n";
}

std::string titleBlock(const std::string& arrange)
{
    return "<map-title" + arrange
        + "><script></script><top-marginpc value=\"10\"/><left-protrusionpc value=\"0\"/>"
          "<right-protrusionpc value=\"0\"/></map-title>";
}

TEST(PrintFormList, ReadsFormsWithTheirNumbersAndScripts)
{
    PrintFormList list;
    MessageLog log;
    ASSERT_TRUE(list.load(kData + "forms.cfg", log));
    EXPECT_TRUE(log.messages.empty()) << (log.messages.empty() ? "" : log.utf8Texts()[0]);
    ASSERT_EQ(list.forms().size(), 3u);
    EXPECT_EQ(list.currentIndex(), 0);

    const PrintForm& atlas = list.forms()[0];
    EXPECT_EQ(cp932ToUtf8(atlas.title), "図鑑 2x3");
    EXPECT_EQ(atlas.rows.value, 2);
    EXPECT_EQ(atlas.columns.value, 3);
    EXPECT_EQ(atlas.pagingLevel.value, 1);
    EXPECT_EQ(atlas.rightMargin.text, "020.5");
    EXPECT_DOUBLE_EQ(atlas.rightMargin.value, 20.5);
    EXPECT_DOUBLE_EQ(atlas.topMargin.value, 0.0);
    EXPECT_DOUBLE_EQ(atlas.bottomMargin.value, 15.0);
    EXPECT_DOUBLE_EQ(atlas.verticalGap.value, 2.5);
    EXPECT_TRUE(atlas.mapTitle.bottom);
    EXPECT_DOUBLE_EQ(atlas.mapTitle.rightProtrusion.value, 5.0);
    EXPECT_DOUBLE_EQ(atlas.pageFooter.topOffset.value, 7.5);
    EXPECT_DOUBLE_EQ(atlas.pageFooter.leftProtrusion.value, 1.0);

    ASSERT_EQ(atlas.pageHeader.script.size(), 3u);
    const TagNode& font = atlas.pageHeader.script[0];
    EXPECT_EQ(font.name, "font");
    EXPECT_EQ(cp932ToUtf8(font.attribute("facename")->value), "ＭＳ 明朝");
    const TagNode& center = font.children.at(0);
    ASSERT_EQ(center.children.size(), 3u);
    EXPECT_EQ(center.children[1].text, " ");
    EXPECT_EQ(atlas.mapTitle.script.at(0).name, "left");
    EXPECT_TRUE(atlas.mapTitle.script.at(0).children.empty());
    EXPECT_EQ(atlas.mapTitle.script.at(1).attribute("format")->value, "No.\"0");
    EXPECT_TRUE(list.forms()[1].pageHeader.script.empty());
    EXPECT_FALSE(list.forms()[1].mapTitle.bottom);

    // Copies are deep: the editor's copy can change without touching the list.
    PrintForm copy = atlas;
    copy.pageHeader.script[0].children.clear();
    EXPECT_EQ(list.forms()[0].pageHeader.script[0].children.size(), 1u);
}

TEST(PrintFormList, SavesFormsByteForByteAsTheyWereRead)
{
    test::TestFolder folder("print_forms");
    PrintFormList list;
    MessageLog log;
    ASSERT_TRUE(list.load(kData + "forms.cfg", log));
    const std::string original = readBytes(kData + "forms.cfg");
    EXPECT_EQ(list.text(), original);

    const std::string path = folder.file("print_forms_roundtrip.cfg");
    ASSERT_TRUE(list.save(path));
    EXPECT_EQ(readBytes(path), original);
    PrintFormList again;
    ASSERT_TRUE(again.load(path, log));
    EXPECT_EQ(again.text(), original);
    std::remove(path.c_str());

    // The built-in form in the written format.
    PrintFormList builtIn;
    EXPECT_EQ(builtIn.text(),
        "<print-form>\r\n\t<page-form title=\"default\">\r\n\t\t<num-of-rows value=\"1\"/>\r\n"
        "\t\t<num-of-cols value=\"1\"/>\r\n\t\t<paging level=\"-1\"/>\r\n\t\t<left-marginmm value=\"30.0\"/>\r\n"
        "\t\t<right-marginmm value=\"30.0\"/>\r\n\t\t<top-marginmm value=\"30.0\"/>\r\n"
        "\t\t<bottom-marginmm value=\"30.0\"/>\r\n\t\t<hor-gap-ratio value=\"30.0\"/>\r\n"
        "\t\t<ver-gap-ratio value=\"30.0\"/>\r\n\t\t<page-header>\r\n\t\t\t<script></script>\r\n"
        "\t\t\t<top-marginmm value=\"5.0\"/>\r\n\t\t\t<left-protrusionmm value=\"0.0\"/>\r\n"
        "\t\t\t<right-protrusionmm value=\"0.0\"/>\r\n\t\t</page-header>\r\n\t\t<map-title arrange=\"top\">\r\n"
        "\t\t\t<script></script>\r\n\t\t\t<top-marginpc value=\"10.0\"/>\r\n\t\t\t<left-protrusionpc "
        "value=\"0.0\"/>\r\n"
        "\t\t\t<right-protrusionpc value=\"0.0\"/>\r\n\t\t</map-title>\r\n\t\t<page-footer>\r\n"
        "\t\t\t<script></script>\r\n\t\t\t<top-marginmm value=\"5.0\"/>\r\n\t\t\t<left-protrusionmm value=\"0.0\"/>\r\n"
        "\t\t\t<right-protrusionmm value=\"0.0\"/>\r\n\t\t</page-footer>\r\n\t</page-form>\r\n</print-form>\r\n");
}

TEST(PrintFormList, FallsBackToTheBuiltInFormAtStartUp)
{
    test::TestFolder folder("print_forms");
    PrintFormList list;
    MessageLog log;
    std::string now = "Atlas";
    const std::string path = folder.file("no_print_forms.cfg");
    EXPECT_FALSE(list.loadAtStartup(path, now, log));
    EXPECT_EQ(now, "default");
    ASSERT_EQ(list.forms().size(), 1u);
    const PrintForm& form = list.current();
    EXPECT_EQ(form.rows.value, 1);
    EXPECT_EQ(form.columns.value, 1);
    EXPECT_EQ(form.pagingLevel.value, -1);
    EXPECT_DOUBLE_EQ(form.leftMargin.value, 30.0);
    EXPECT_DOUBLE_EQ(form.horizontalGap.value, 30.0);
    EXPECT_DOUBLE_EQ(form.mapTitle.topOffset.value, 10.0);
    EXPECT_FALSE(form.mapTitle.bottom);
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.utf8Texts()[0], path + " 印刷書式読み込み　　エラー\n");
    EXPECT_EQ(log.utf8Texts()[1], "デフォルトの印刷書式を使用します\n");

    // A file without page-form elements gives no form either.
    log.messages.clear();
    EXPECT_FALSE(list.load(folder.write("print_forms_empty.cfg", "<print-form>\n</print-form>\n"), log));
    EXPECT_EQ(list.current().title, "default");
    EXPECT_EQ(log.utf8Texts().back(), "デフォルトの印刷書式を使用します\n");
}

TEST(PrintFormList, SelectsTheFirstFormOfATitle)
{
    PrintFormList list;
    MessageLog log;
    std::string now = cp932Literal("図鑑 2x3");
    ASSERT_TRUE(list.loadAtStartup(kData + "forms.cfg", now, log));
    EXPECT_EQ(list.currentIndex(), 0); // the first of the two forms of that title

    ASSERT_TRUE(list.select("Plain"));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_FALSE(list.select("plain"));
    EXPECT_EQ(list.currentIndex(), 1);

    now = "Nothing like it";
    ASSERT_TRUE(list.loadAtStartup(kData + "forms.cfg", now, log));
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(now, "Nothing like it");
}

TEST(PrintFormList, KeepsTheGridUsableWhateverTheFileSays)
{
    test::TestFolder folder("print_forms");
    PrintFormList list;
    MessageLog log;
    struct Case {
        const char* rows;
        int value;
    };
    for (const Case& c : {Case{"0", 1}, Case{"-5", 1}, Case{"x", 1}, Case{"1000", 32}, Case{" 7", 7}}) {
        SCOPED_TRACE(c.rows);
        log.messages.clear();
        ASSERT_TRUE(list.load(folder.write("print_forms_rows.cfg", oneForm("F", c.rows, titleBlock(""))), log));
        EXPECT_EQ(list.current().rows.value, c.value);
        EXPECT_EQ(list.current().rows.text, c.rows);
    }
    // Out-of-range rows are reported by the schema check all the same.
    ASSERT_TRUE(list.load(folder.write("print_forms_rows.cfg", oneForm("F", "0", titleBlock(""))), log));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.utf8Texts()[0].find("<num-of-rows .. value=\"0\" : 下限値を下回っています.  value < MIN 1\n"),
        std::string::npos);
}

TEST(PrintFormList, ChecksMarginsAndTitlePlacement)
{
    test::TestFolder folder("print_forms");
    PrintFormList list;
    MessageLog log;
    // The top margin of a form may be 0.0; the left one needs at least 0.1.
    ASSERT_TRUE(list.load(folder.write("print_forms_margin.cfg", oneForm("F", "1", titleBlock(""), "0.0")), log));
    ASSERT_EQ(log.messages.size(), 1u);
    const std::string text = log.utf8Texts()[0];
    EXPECT_NE(
        text.find("<left-marginmm .. value=\"0.0\" : 下限値を下回っています.  value < MIN 0.1\n"), std::string::npos);
    EXPECT_EQ(text.find("top-marginmm"), std::string::npos);
    EXPECT_FALSE(list.current().mapTitle.bottom);

    for (auto [arrange, bottom] :
        {std::pair{" arrange=\"bottom\"", true}, {" arrange=\"top\"", false}, {" arrange=\"Bottom\"", false}}) {
        ASSERT_TRUE(list.load(folder.write("print_forms_arrange.cfg", oneForm("F", "1", titleBlock(arrange))), log));
        EXPECT_EQ(list.current().mapTitle.bottom, bottom) << arrange;
    }
}

TEST(PrintFormList, StopsBuildingAtANumberWithoutItsValue)
{
    test::TestFolder folder("print_forms");
    std::string text = oneForm("First", "2", titleBlock(""));
    std::string second = oneForm("Second", "3", titleBlock(""));
    const std::string body
        = second.substr(second.find("<page-form"), second.find("</print-form>") - second.find("<page-form"));
    std::string broken = body;
    broken.replace(broken.find("<num-of-cols value=\"1\"/>"), 24, "<num-of-cols level=\"1\"/>");
    std::string third = body;
    third.replace(third.find("Second"), 6, "Third");
    text.insert(text.find("</print-form>"), broken + third);

    PrintFormList list;
    MessageLog log;
    ASSERT_TRUE(list.load(folder.write("print_forms_broken.cfg", text), log));
    // The second form keeps what came before the faulty element; the third is never built.
    ASSERT_EQ(list.forms().size(), 2u);
    EXPECT_EQ(list.forms()[1].title, "Second");
    EXPECT_EQ(list.forms()[1].rows.value, 3);
    EXPECT_EQ(list.forms()[1].columns.text, "");
    EXPECT_EQ(list.forms()[1].columns.value, 1);
    EXPECT_EQ(log.messages.size(), 1u); // the schema findings
}

TEST(PrintFormList, BuildsFormsFromAFileWithSyntaxErrors)
{
    test::TestFolder folder("print_forms");
    std::string text = oneForm("F", "2", titleBlock(""));
    text.replace(text.find("<page-header><script></script>"), 30, "<page-header><script><left></script>");
    PrintFormList list;
    MessageLog log;
    EXPECT_TRUE(list.load(folder.write("print_forms_syntax.cfg", text), log));
    ASSERT_GE(log.messages.size(), 1u);
    EXPECT_NE(
        log.utf8Texts()[0].find(
            "印刷書式読み込み　　エラー\nline: 13   column: 22   <left> \n 対応する終了タグが見つかりません。。\n"),
        std::string::npos);
    EXPECT_EQ(list.current().title, "F");
    EXPECT_EQ(list.current().rows.value, 2);
}

} // namespace
} // namespace tavik
