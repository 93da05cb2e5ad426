// The print form editor without its window: the checks and their messages,
// apply, switching, the add naming rule, delete, the insert buttons and save.
#include "viewer/print/print_form_editor.h"

#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "viewer/print/print_form_list.h"
#include "viewer/print/script_insertion.h"
#include "viewer/settings/settings.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

PrintForm titled(const std::string& utf8Title)
{
    PrintForm form = PrintForm::builtIn();
    form.title = cp932Literal(utf8Title);
    return form;
}

PrintFormList listOf(const std::vector<std::string>& utf8Titles, int current = 0)
{
    std::vector<PrintForm> forms;
    for (const std::string& title : utf8Titles)
        forms.push_back(titled(title));
    PrintFormList list;
    list.replace(forms, current);
    return list;
}

// The entries of the built-in form with one field or script changed.
PrintFormEntries entriesWith(FormField field, const std::string& utf8Text)
{
    PrintFormEntries entries = PrintFormEntries::of(PrintForm::builtIn());
    entries.field(field) = cp932Literal(utf8Text);
    return entries;
}

PrintFormEntries entriesWithScript(FormScript script, const std::string& text)
{
    PrintFormEntries entries = PrintFormEntries::of(PrintForm::builtIn());
    entries.script(script) = text;
    entries.scriptChanged[static_cast<std::size_t>(script)] = true;
    return entries;
}

TEST(PrintFormEditorChecks, RefuseForbiddenCharactersAndOutOfRangeNumbersWithTheFieldsLabel)
{
    struct Case {
        FormField field;
        const char* text;
        FormTab tab;
        const char* message; // UTF-8
    } cases[] = {
        {FormField::Title, "Atlas \"A4\"", FormTab::Title, "  書式名 :  文字に <>\"'= を含めることはできません。   "},
        {FormField::Title, "a=b", FormTab::Title, "  書式名 :  文字に <>\"'= を含めることはできません。   "},
        {FormField::Rows, "<2", FormTab::Grid, "  行数(rows) :  文字に <>\"'= を含めることはできません。   "},
        {FormField::Columns, "0", FormTab::Grid,
            "  列数(columns) :  0   \n  Out of range!   \n  Please input     1.0 <   列数(columns)   <   32.0   "},
        {FormField::Columns, "33", FormTab::Grid,
            "  列数(columns) :  33   \n  Out of range!   \n  Please input     1.0 <   列数(columns)   <   32.0   "},
        {FormField::PagingLevel, "257", FormTab::Paging,
            "  paging level :  257   \n  Out of range!   \n  Please input    -1.0 <   paging level   <  256.0   "},
        // The editor asks at least 0.1 of the top margin, which the file allows at 0.0.
        {FormField::TopMargin, "0.0", FormTab::Margins,
            "  C 上　余白 :  0.0   \n  Out of range!   \n  Please input     0.1 <   C 上　余白   <  999.0   "},
        {FormField::VerticalGap, "", FormTab::Margins,
            "  F 縦　間隔  :     \n  Out of range!   \n  Please input     0.1 <   F 縦　間隔    <  999.0   "},
        {FormField::FooterTop, "1000", FormTab::Margins,
            "  M ページフッター :  1000   \n  Out of range!   \n  Please input     0.1 <   M ページフッター   <  999.0 "
            "  "},
    };
    for (const Case& c : cases) {
        std::optional<EntryFault> fault = checkEntries(entriesWith(c.field, c.text));
        ASSERT_TRUE(fault) << c.text;
        EXPECT_EQ(fault->tab, c.tab) << c.text;
        EXPECT_EQ(fault->field, c.field) << c.text;
        EXPECT_EQ(cp932ToUtf8(fault->message), c.message);
    }
    // Bounds are inclusive, protrusions may be 0, and a number field is read as a real.
    for (auto [field, text] :
        {std::pair{FormField::Columns, "32"}, {FormField::Rows, "1.5"}, {FormField::PagingLevel, "-1"},
            {FormField::HeaderLeft, "0"}, {FormField::LeftMargin, "0.1"}, {FormField::Title, "図鑑（A4）"}})
        EXPECT_FALSE(checkEntries(entriesWith(field, text))) << text;
}

TEST(PrintFormEditorChecks, GoTabByTabAndReportTheFirstFault)
{
    PrintFormEntries entries = entriesWith(FormField::FooterRight, "-1");
    entries.field(FormField::Rows) = "40";
    entries.script(FormScript::Header) = "<left>";
    EXPECT_EQ(checkEntries(entries)->field, FormField::Rows);
    entries.field(FormField::Rows) = "4";
    EXPECT_EQ(checkEntries(entries)->field, FormField::FooterRight);
    entries.field(FormField::FooterRight) = "0";
    EXPECT_EQ(checkEntries(entries)->tab, FormTab::Header);
}

TEST(PrintFormEditorChecks, ReportScriptParseErrorsAndSchemaFindingsUnderTheirTab)
{
    // An unclosed left in the header: the reader's line, column and token.
    std::optional<EntryFault> fault = checkEntries(entriesWithScript(FormScript::Header,
        "<center>\r\n<spname name=\"scientific\"/>\r\n<left>\r\n"
        "Page\r\n</center>\r\n"));
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->tab, FormTab::Header);
    EXPECT_FALSE(fault->field);
    const std::string text = cp932ToUtf8(fault->message);
    EXPECT_TRUE(text.starts_with("ヘッダ\n  line: 3   column: 1   \n  [<left>] \n  ")) << text;

    // A legend without its required draw attribute, in the footer.
    fault = checkEntries(entriesWithScript(FormScript::Footer, "<legend order=\"1\"/>\n"));
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->tab, FormTab::Footer);
    EXPECT_TRUE(cp932ToUtf8(fault->message).starts_with("フッタ  \nline: 1   column: 1   <legend"))
        << cp932ToUtf8(fault->message);

    // A page element where a script may not hold it.
    fault = checkEntries(entriesWithScript(FormScript::MapTitle, "<page-header>\n</page-header>\n"));
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->tab, FormTab::MapTitle);
}

TEST(PrintFormEditorApply, StoresTextsWithinTheirCapacitiesAndReparsesOnlyChangedScripts)
{
    PrintForm form = PrintForm::builtIn();
    form.pageFooter.script = {TagNode{TagNode::Kind::Single, "cr", {}, "", {}, 1, 1, 0}};
    PrintFormEntries entries = PrintFormEntries::of(form);
    // 70 two-byte characters: cut to 63 of them (126 bytes), never inside one.
    std::string longTitle;
    for (int i = 0; i < 70; ++i)
        longTitle += "図";
    entries.field(FormField::Title) = cp932Literal(longTitle);
    entries.field(FormField::Columns) = "3";
    entries.field(FormField::Rows) = "02";
    entries.field(FormField::HorizontalGap) = "1.25000000000000000000000000000000000000";
    entries.titleBelow = true;
    entries.script(FormScript::Header) = "<center>\r\n<page start=\"1\"/>\r\n</center>\r\n";
    entries.scriptChanged[0] = true;
    entries.script(FormScript::MapTitle) = "<cr/>"; // shown but not changed: kept as it was
    entries.script(FormScript::Footer) = "\r\n";
    entries.scriptChanged[2] = true;
    ASSERT_FALSE(checkEntries(entries));
    applyEntries(entries, form);

    EXPECT_EQ(form.title.size(), 126u);
    EXPECT_EQ(cp932ToUtf8(form.title), longTitle.substr(0, 63 * 3));
    EXPECT_EQ(form.columns.value, 3);
    EXPECT_EQ(form.rows.text, "02");
    EXPECT_EQ(form.rows.value, 2);
    EXPECT_EQ(form.horizontalGap.text.size(), RealField::TextLimit);
    EXPECT_DOUBLE_EQ(form.horizontalGap.value, 1.25);
    EXPECT_TRUE(form.mapTitle.bottom);
    EXPECT_EQ(PrintFormList::scriptText(form.pageHeader.script), "<center><page start=\"1\"/></center>");
    EXPECT_TRUE(form.mapTitle.script.empty());
    EXPECT_TRUE(form.pageFooter.script.empty()); // a parse that yields nothing empties it
    EXPECT_EQ(entries.scriptChanged, (std::array<bool, 3>{false, false, false}));
}

TEST(PrintFormEditorApply, TheEditorTextOfAScriptHasOneNodeALineAndReadsBackTheSame)
{
    const std::string script = "<font size=\"12.0\" facename=\"IPAGothic\" italic=\"false\"><left>"
                               "Atlas <numofpage/></left><right><spcount start=\"1\" format=\"No. 0\"/></right>"
                               "</font><cr/><center></center>";
    PrintForm form = PrintForm::builtIn();
    PrintFormEntries entries = entriesWithScript(FormScript::Header, script);
    applyEntries(entries, form);
    const std::string text = scriptEditorText(form.pageHeader.script);
    EXPECT_EQ(text,
        "<font size=\"12.0\" facename=\"IPAGothic\" italic=\"false\">\r\n<left>\r\nAtlas \r\n"
        "<numofpage/>\r\n</left>\r\n<right>\r\n<spcount start=\"1\" format=\"No. 0\"/>\r\n</right>\r\n"
        "</font>\r\n<cr/>\r\n<center>\r\n</center>\r\n");
    PrintForm again = PrintForm::builtIn();
    PrintFormEntries shown = entriesWithScript(FormScript::Header, text);
    applyEntries(shown, again);
    EXPECT_EQ(PrintFormList::scriptText(again.pageHeader.script), script);
}

TEST(PrintFormEditorSwitching, AppliesBeforeSwitchingAndFindsTheFirstFormOfATitle)
{
    PrintFormEditor editor(listOf({"A4", "A3", "B5"}, 1));
    EXPECT_EQ(editor.selected(), 1);
    PrintFormEntries entries = PrintFormEntries::of(editor.selectedForm());

    // A refused check keeps the selection and the form.
    entries.field(FormField::Rows) = "0";
    ASSERT_TRUE(editor.choose(entries, "B5"));
    EXPECT_EQ(editor.selected(), 1);
    EXPECT_EQ(editor.forms()[1].rows.text, "1");

    // Renaming the form to the first one's title: choosing that title picks
    // the first form with it.
    entries.field(FormField::Rows) = "4";
    entries.field(FormField::Title) = "A4";
    ASSERT_FALSE(editor.choose(entries, "A4"));
    EXPECT_EQ(editor.selected(), 0);
    EXPECT_EQ(editor.titles(), (std::vector<std::string>{"A4", "A4", "B5"}));
    EXPECT_EQ(editor.forms()[1].rows.value, 4);
    EXPECT_EQ(editor.forms()[0].rows.value, 1);
}

TEST(PrintFormEditorAdding, NamesTheNewFormByTheNextFreeNumber)
{
    std::vector<std::string> upTo32;
    for (int n = 3; n <= 32; ++n)
        upTo32.push_back("Atlas(" + std::to_string(n) + ")");
    const std::string longName(124, 'x');
    struct Case {
        std::vector<std::string> titles;
        const char* field;
        std::string name;
    } cases[] = {
        {{"Atlas"}, "Atlas", "Atlas(2)"},
        {{"Atlas", "Atlas(2)"}, "Atlas", "Atlas(3)"},
        {{"Atlas(3)"}, "Atlas(3)", "Atlas(4)"},
        {upTo32, "Atlas(3)", "Atlas(2)"}, // (4) to (32) taken: round to (2)
        {{"Atlas(32)"}, "Atlas(32)", "Atlas(2)"},
        {{"Atlas (A4)"}, "Atlas (A4)", "Atlas (A4)(3)"}, // another bracket: from 3 on the whole name
        {{"Atlas(0)"}, "Atlas(0)", "Atlas(0)(3)"},
        {{"Atlas(33)"}, "Atlas(33)", "Atlas(33)(3)"},
        {{"Atlas"}, "New", "New"}, // a free name is kept
        {{longName}, longName.c_str(), longName}, // "(2)" would pass 126 bytes
        {{"図鑑"}, "図鑑", "図鑑(2)"},
    };
    for (const Case& c : cases) {
        PrintFormEditor editor(listOf(c.titles));
        EXPECT_EQ(cp932ToUtf8(editor.newFormName(cp932Literal(c.field))), c.name) << c.field;
    }
}

TEST(PrintFormEditorAdding, CopiesTheLastApplyGivesTheNewFormTheEditsAndStopsAt32)
{
    PrintFormEditor editor(listOf({"A4", "A3"}));
    PrintFormEntries entries = PrintFormEntries::of(editor.selectedForm());
    entries.field(FormField::Columns) = "2";
    editor.apply(entries);
    entries.field(FormField::Rows) = "3"; // not applied yet
    EXPECT_FALSE(editor.addRefusal());
    const std::string name = editor.newFormName(entries.field(FormField::Title));
    EXPECT_EQ(name, "A4(2)");
    EXPECT_EQ(cp932ToUtf8(PrintFormEditor::addQuestion(name)), "以下の名前で新しい書式を追加します\nA4(2)");
    ASSERT_FALSE(editor.add(name, entries));
    EXPECT_EQ(editor.titles(), (std::vector<std::string>{"A4", "A3", "A4(2)"}));
    EXPECT_EQ(editor.selected(), 2);
    EXPECT_EQ(entries.field(FormField::Title), "A4(2)");
    EXPECT_EQ(editor.forms()[2].columns.value, 2);
    EXPECT_EQ(editor.forms()[2].rows.value, 3);
    EXPECT_EQ(editor.forms()[0].columns.value, 2);
    EXPECT_EQ(editor.forms()[0].rows.value, 1);

    // Faulty entries: the new form is the plain copy and the fault comes back.
    entries.field(FormField::Rows) = "99";
    std::optional<EntryFault> fault = editor.add("A4(3)", entries);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->field, FormField::Rows);
    EXPECT_EQ(editor.forms()[3].rows.value, 3);

    std::vector<std::string> many(PrintFormList::MaxForms, "form");
    PrintFormEditor full(listOf(many));
    ASSERT_TRUE(full.addRefusal());
    EXPECT_EQ(cp932ToUtf8(*full.addRefusal()), "Over 32\n  これ以上書式を追加できません。");
}

TEST(PrintFormEditorDeleting, RefusesTheLastFormAndSelectsTheFormBefore)
{
    PrintFormEditor editor(listOf({"A", "B", "C"}, 2));
    EXPECT_FALSE(editor.deleteRefusal());
    EXPECT_EQ(cp932ToUtf8(PrintFormEditor::deleteQuestion()), "書式を削除します。よいですか。");
    editor.removeSelected();
    EXPECT_EQ(editor.titles(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(editor.selected(), 1);
    PrintFormEntries entries = PrintFormEntries::of(editor.selectedForm());
    ASSERT_FALSE(editor.choose(entries, "A"));
    editor.removeSelected();
    EXPECT_EQ(editor.titles(), (std::vector<std::string>{"B"}));
    EXPECT_EQ(editor.selected(), 0);
    ASSERT_TRUE(editor.deleteRefusal());
    EXPECT_EQ(cp932ToUtf8(*editor.deleteRefusal()), "書式を全て消すことはできません。");
    editor.removeSelected();
    EXPECT_EQ(editor.forms().size(), 1u);
}

TEST(ScriptButtons, InsertTheirElementsWithTheCaretInsideContainersOrAfterElements)
{
    struct Case {
        ScriptButton button;
        const char* text;
        std::size_t caret;
    } cases[] = {
        {ScriptButton::Font, "<font size=\"10.0\" facename=\"IPAGothic\" italic=\"false\">\r\n</font>\r\n", 56},
        {ScriptButton::Left, "<left>\r\n</left>\r\n", 8},
        {ScriptButton::Center, "<center>\r\n</center>\r\n", 10},
        {ScriptButton::Right, "<right>\r\n</right>\r\n", 9},
        {ScriptButton::Cr, "<cr/>\r\n", 7},
        {ScriptButton::Page, "<page start=\"1\"/>\r\n", 19},
        {ScriptButton::NumOfPage, "<numofpage/>\r\n", 14},
        {ScriptButton::Node, "<node level=\"1\" name=\"scientific\" order=\"1\"/>\r\n", 47},
        {ScriptButton::SpCount, "<spcount start=\"1\" format=\"0000\"/>\r\n", 36},
        {ScriptButton::SpName, "<spname name=\"scientific\" order=\"1\"/>\r\n", 39},
        {ScriptButton::Nomenclator, "<nomenclator wrap=\"false\" indent=\"0\" order=\"1\"/>\r\n", 50},
        {ScriptButton::Legend, "<legend draw=\"mark\" rank=\"a\" order=\"1\"/>\r\n", 42},
    };
    for (const Case& c : cases) {
        const ScriptInsertion insertion = scriptInsertion(c.button, "10.0", "IPAGothic");
        EXPECT_EQ(insertion.text, c.text);
        EXPECT_EQ(insertion.caret, c.caret) << c.text;
        // Every insertion passes the script check.
        EXPECT_FALSE(checkEntries(entriesWithScript(FormScript::MapTitle, insertion.text))) << c.text;
    }
    EXPECT_TRUE(insertionFits(3990, 0, 10));
    EXPECT_FALSE(insertionFits(3991, 0, 10));
    EXPECT_TRUE(insertionFits(4000, 5, 5));
}

class PrintFormEditorSaving : public ::testing::Test {
protected:
    PrintFormEditorSaving()
        : folder("print_form_editor")
    {
        folder.write("tavik.ini", "[Display]\r\nFrameWidth=900\r\n[Print]\r\nNowPrintForm=A4\r\nPrintFontSize=9\r\n");
        settings.startupDirectory = folder.path();
        settings.printFormCfg = folder.file("PrintForm.cfg");
        settings.nowPrintForm = "A4";
    }

    test::TestFolder folder;
    Settings settings;
    MessageLog log;
};

TEST_F(PrintFormEditorSaving, WritesTheFormsThatLoadBackEqualAndRecordsTheCurrentTitle)
{
    PrintFormList list = listOf({"A4", "A3"});
    PrintFormEditor editor(list);
    PrintFormEntries entries = PrintFormEntries::of(editor.selectedForm());
    ASSERT_FALSE(editor.choose(entries, "A3"));
    entries = PrintFormEntries::of(editor.selectedForm());
    entries.field(FormField::Title) = cp932Literal("図鑑 3x2");
    entries.field(FormField::Columns) = "2";
    entries.field(FormField::Rows) = "3";
    entries.field(FormField::LeftMargin) = "012.50";
    entries.titleBelow = true;
    entries.script(FormScript::Header) = "<right>\r\n<page start=\"1\"/>\r\n</right>\r\n";
    entries.scriptChanged[0] = true;
    ASSERT_FALSE(checkEntries(entries));
    editor.apply(entries);
    ASSERT_TRUE(editor.save(list, settings, log));
    EXPECT_TRUE(log.messages.empty());

    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(cp932ToUtf8(settings.nowPrintForm), "図鑑 3x2");
    const std::string ini = folder.read("tavik.ini");
    EXPECT_EQ(
        cp932ToUtf8(ini), "[Display]\r\nFrameWidth=900\r\n[Print]\r\nNowPrintForm=図鑑 3x2\r\nPrintFontSize=9\r\n");

    PrintFormList loaded;
    std::string now = settings.nowPrintForm;
    ASSERT_TRUE(loaded.loadAtStartup(settings.printFormCfg, now, log));
    EXPECT_TRUE(log.messages.empty()) << log.utf8Texts()[0];
    EXPECT_EQ(loaded.text(), list.text());
    EXPECT_EQ(loaded.currentIndex(), 1);
    const PrintForm& atlas = loaded.current();
    EXPECT_EQ(atlas.leftMargin.text, "012.50");
    EXPECT_EQ(atlas.columns.value * atlas.rows.value, 6);
    EXPECT_TRUE(atlas.mapTitle.bottom);
}

TEST_F(PrintFormEditorSaving, AFileThatCannotBeWrittenIsReportedAndNowPrintFormStays)
{
    settings.printFormCfg = folder.file("missing/PrintForm.cfg");
    PrintFormList list = listOf({"A4"});
    PrintFormEditor editor(list);
    PrintFormEntries entries = PrintFormEntries::of(editor.selectedForm());
    entries.field(FormField::Title) = "A5";
    editor.apply(entries);
    EXPECT_FALSE(editor.save(list, settings, log));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_TRUE(log.utf8Texts()[0].starts_with("書式のファイル保存に失敗しました。\n" + settings.printFormCfg));
    EXPECT_EQ(log.messages[0].icon, MessageIcon::Stop);
    // The new list stays in memory; the settings keep the old title.
    EXPECT_EQ(list.current().title, "A5");
    EXPECT_EQ(settings.nowPrintForm, "A4");
    EXPECT_EQ(IniFile::load(folder.file("tavik.ini")).value("Print", "NowPrintForm", ""), "A4");
}

} // namespace
} // namespace tavik
