// The print form editor "印刷書式" driven as a user drives it, offscreen: what
// it shows on opening, save and close reaching the file, tavik.ini and the
// open documents, cancel reaching nothing, refused checks, the script tabs'
// buttons, fonts and context menu, adding and deleting forms.
#include "viewer/windows/print_form_dialog.h"

#include "platform/message_sink.h"
#include "tests/windows/viewer_driver.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/print/print_form_list.h"
#include "viewer/session/document_list.h"
#include "viewer/session/process_launcher.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/script_editor.h"
#include "viewer/windows/viewer_application.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace tavik {
namespace {

class NoLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string&, const std::vector<std::string>&) override { return false; }
};

QString utf8(const char* text) { return QString::fromUtf8(text); }

// Types text into a widget key by key, as the keyboard would.
void type(QWidget& widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
    }
}

class PrintFormDialogTest : public ::testing::Test {
protected:
    PrintFormDialogTest()
        : folder("print_form_dialog")
    {
        test::writeTwelveSpecies(folder);
        PrintForm single = PrintForm::builtIn();
        single.title = "1x1";
        PrintForm wide = single;
        wide.title = "2x1";
        wide.columns = PrintForm::countFromText("2");
        wide.pageHeader.script = {TagNode{TagNode::Kind::Single, "numofpage", {}, "", {}, 1, 1, 0}};
        PrintFormList forms;
        forms.replace({single, wide}, 0);
        folder.write("PrintForm.cfg", forms.text());
        folder.write("tavik.ini", folder.read("tavik.ini") + "[Print]\r\nNowPrintForm=2x1\r\nPrintFontSize=9\r\n");
    }

    MainWindow& start()
    {
        viewer = std::make_unique<ViewerApplication>(&log, &launcher);
        EXPECT_TRUE(viewer->start(folder.path())) << (log.messages.empty() ? "" : log.utf8Texts()[0]);
        return *viewer->mainWindow();
    }

    // Opens the editor from its command and acts in it.
    void edit(MainWindow& window, std::function<void(PrintFormDialog&)> act)
    {
        bool opened = false;
        test::onModal<PrintFormDialog>([&](PrintFormDialog& dialog) {
            opened = true;
            act(dialog);
            if (dialog.isVisible())
                dialog.reject();
        });
        window.action(Command::PrintForms)->trigger();
        EXPECT_TRUE(opened);
    }

    std::vector<int> pages(const CQuelnaDoc& document)
    {
        std::vector<int> p;
        for (int i = 0; i < document.speciesCount(); ++i)
            p.push_back(document.pageOf(i));
        return p;
    }

    test::TestFolder folder;
    MessageLog log;
    NoLauncher launcher;
    std::unique_ptr<ViewerApplication> viewer;
};

TEST_F(PrintFormDialogTest, OpensWithoutAMapOnTheCurrentFormAndTheFirstTab)
{
    MainWindow& window = start();
    edit(window, [](PrintFormDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), utf8("印刷書式"));
        ASSERT_EQ(dialog.formList()->count(), 2);
        EXPECT_EQ(dialog.formList()->currentText(), "2x1");
        EXPECT_EQ(dialog.tabs()->count(), 7);
        EXPECT_EQ(dialog.tabs()->tabText(3), utf8("余白/間隔"));
        EXPECT_EQ(dialog.tabs()->currentIndex(), 0);
        EXPECT_EQ(dialog.field(FormField::Title)->text(), "2x1");
        EXPECT_EQ(dialog.field(FormField::Columns)->text(), "2");
        EXPECT_EQ(dialog.field(FormField::TitleTop)->text(), "10.0");
        EXPECT_EQ(dialog.arrangeChoice()->currentText(), utf8("上端"));
        EXPECT_EQ(dialog.scriptEditor(FormScript::Header)->toPlainText(), "<numofpage/>\n");
        EXPECT_FALSE(dialog.scriptEditor(FormScript::Header)->changed());
        for (FormScript script : {FormScript::Header, FormScript::MapTitle, FormScript::Footer}) {
            EXPECT_EQ(dialog.sizeField(script)->text(), " 9.0");
            EXPECT_FALSE(dialog.faceList(script)->currentText().isEmpty());
        }
        for (QPushButton* button : {dialog.addButton(), dialog.deleteButton(), dialog.saveButton()})
            EXPECT_TRUE(button->isEnabled());
        EXPECT_EQ(dialog.saveButton()->text(), utf8("保存して閉じる"));
    });
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(PrintFormDialogTest, SaveAndCloseWritesTheFormsAndRepaginatesOpenDocuments)
{
    MainWindow& window = start();
    window.openSpecies({0, 1, 2, 3, 4, 5, 6}, false);
    window.openSpecies({0, 1, 2}, true);
    const auto& documents = viewer->documents().documents();
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0]->pageCount(), 4); // two maps a page

    edit(window, [](PrintFormDialog& dialog) {
        dialog.tabs()->setCurrentIndex(static_cast<int>(FormTab::Grid));
        dialog.field(FormField::Columns)->setText("3");
        dialog.field(FormField::Rows)->setText("2");
        dialog.tabs()->setCurrentIndex(static_cast<int>(FormTab::Header));
        ScriptEditor& header = *dialog.scriptEditor(FormScript::Header);
        header.moveCursor(QTextCursor::End);
        dialog.scriptButton(FormScript::Header, ScriptButton::Center)->click();
        type(header, "Atlas");
        EXPECT_TRUE(header.changed());
        dialog.saveButton()->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(log.messages.empty()) << log.utf8Texts()[0];

    const PrintForm& current = viewer->workspace().printForms().current();
    EXPECT_EQ(current.title, "2x1");
    EXPECT_EQ(PrintFormList::scriptText(current.pageHeader.script), "<numofpage/><center>Atlas</center>");
    EXPECT_EQ(folder.read("PrintForm.cfg"), viewer->workspace().printForms().text());
    EXPECT_NE(folder.read("tavik.ini").find("NowPrintForm=2x1\r\n"), std::string::npos);
    // Six maps a page: the ordinary document has two pages now; the overlay keeps its one.
    EXPECT_EQ(pages(*documents[0]), (std::vector<int>{1, 1, 1, 1, 1, 1, 2}));
    EXPECT_EQ(documents[0]->printForm().columns.value, 3);
    EXPECT_EQ(documents[1]->pageCount(), 1);
    EXPECT_EQ(documents[1]->printForm().rows.value, 2);
}

TEST_F(PrintFormDialogTest, CancelAfterEditsChangesNothing)
{
    MainWindow& window = start();
    window.openSpecies({0, 1, 2, 3, 4}, false);
    const CQuelnaDoc& document = *viewer->documents().documents()[0];
    const std::vector<int> before = pages(document);
    const std::string file = folder.read("PrintForm.cfg");
    const std::string ini = folder.read("tavik.ini");
    const std::string forms = viewer->workspace().printForms().text();

    edit(window, [](PrintFormDialog& dialog) {
        dialog.field(FormField::Title)->setText("renamed");
        dialog.field(FormField::Rows)->setText("4");
        dialog.formList()->activated(0); // applies to the working copy of 2x1, selects 1x1
        EXPECT_EQ(dialog.formList()->itemText(1), "renamed");
        dialog.scriptButton(FormScript::Footer, ScriptButton::Cr)->click();
        dialog.cancelButton()->click();
    });
    EXPECT_EQ(viewer->workspace().printForms().text(), forms);
    EXPECT_EQ(viewer->workspace().printForms().current().title, "2x1");
    EXPECT_EQ(viewer->workspace().settings().nowPrintForm, "2x1");
    EXPECT_EQ(folder.read("PrintForm.cfg"), file);
    EXPECT_EQ(folder.read("tavik.ini"), ini);
    EXPECT_EQ(pages(document), before);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(PrintFormDialogTest, RefusedChecksKeepTheDialogOpenOnTheOffendingTab)
{
    MainWindow& window = start();
    edit(window, [this](PrintFormDialog& dialog) {
        dialog.tabs()->setCurrentIndex(static_cast<int>(FormTab::Margins));
        dialog.field(FormField::Title)->setText("A=4");
        dialog.saveButton()->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.tabs()->currentIndex(), static_cast<int>(FormTab::Title));
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.utf8Texts()[0], "  書式名 :  文字に <>\"'= を含めることはできません。   ");
        EXPECT_EQ(log.messages[0].icon, MessageIcon::Stop);

        // A refused check keeps the list on the selected form.
        dialog.formList()->activated(0);
        EXPECT_EQ(dialog.formList()->currentIndex(), 1);
        EXPECT_EQ(dialog.editor().selected(), 1);

        dialog.field(FormField::Title)->setText("A4");
        dialog.scriptEditor(FormScript::Header)->fill(utf8("<left>\n<cr/>\n"));
        dialog.scriptEditor(FormScript::Header)->insertScript("x", 0);
        dialog.tabs()->setCurrentIndex(0);
        dialog.saveButton()->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.tabs()->currentIndex(), static_cast<int>(FormTab::Header));
        ASSERT_EQ(log.messages.size(), 3u);
        EXPECT_TRUE(log.utf8Texts()[2].starts_with("ヘッダ\n  line: 1   column: 2   \n  [<left>]"))
            << log.utf8Texts()[2];
    });
    EXPECT_EQ(viewer->workspace().printForms().current().title, "2x1");
}

// PrintForm.cfg is cp932: a character it lacks would be stored as "?". The
// field or script that holds one is named, and the forms are left as they
// were.
TEST_F(PrintFormDialogTest, ACharacterCp932LacksIsNamedAndNothingIsStored)
{
    MainWindow& window = start();
    edit(window, [this](PrintFormDialog& dialog) {
        dialog.field(FormField::Title)->setText(QStringLiteral("\U00020BB7田の蝶"));
        dialog.saveButton()->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.tabs()->currentIndex(), static_cast<int>(FormTab::Title));
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(
            log.utf8Texts()[0], "  書式名 :  シフト JIS で書けない文字 U+20BB7 があります。別の文字にして下さい。   ");

        // Choosing another form would store the text in the form left.
        dialog.formList()->activated(0);
        EXPECT_EQ(dialog.editor().selected(), 1);
        ASSERT_EQ(log.messages.size(), 2u);

        dialog.field(FormField::Title)->setText(QStringLiteral("髙﨑の蝶〜"));
        dialog.scriptEditor(FormScript::Footer)->insertScript("\xF0\x9F\xA6\x8B", 0);
        dialog.saveButton()->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.tabs()->currentIndex(), static_cast<int>(FormTab::Footer));
        ASSERT_EQ(log.messages.size(), 3u);
        EXPECT_TRUE(
            log.utf8Texts()[2].ends_with("\n  シフト JIS で書けない文字 U+1F98B があります。別の文字にして下さい。"))
            << log.utf8Texts()[2];
    });
    EXPECT_EQ(viewer->workspace().printForms().current().title, "2x1");
}

TEST_F(PrintFormDialogTest, ScriptButtonsInsertInBlueAndFontChoicesFollowTheTabs)
{
    MainWindow& window = start();
    edit(window, [this](PrintFormDialog& dialog) {
        dialog.tabs()->setCurrentIndex(static_cast<int>(FormTab::MapTitle));
        QComboBox& faces = *dialog.faceList(FormScript::MapTitle);
        faces.setCurrentIndex(faces.count() - 1);
        dialog.sizeField(FormScript::MapTitle)->setText("12.5");
        ScriptEditor& editor = *dialog.scriptEditor(FormScript::MapTitle);
        dialog.scriptButton(FormScript::MapTitle, ScriptButton::Font)->click();
        dialog.scriptButton(FormScript::MapTitle, ScriptButton::SpName)->click();
        const QString face = faces.currentText();
        EXPECT_EQ(editor.toPlainText(),
            "<font size=\"12.5\" facename=\"" + face
                + "\" italic=\"false\">\n<spname name=\"scientific\" order=\"1\"/>\n</font>\n");
        EXPECT_EQ(editor.textCursor().block().text(), "</font>"); // after the inserted line
        const QTextBlock first = editor.document()->firstBlock();
        EXPECT_EQ(first.begin().fragment().charFormat().foreground().color(), QColor(Qt::blue));

        // Leaving the tab gives its face and size to the other two.
        dialog.tabs()->setCurrentIndex(static_cast<int>(FormTab::Footer));
        EXPECT_EQ(dialog.faceList(FormScript::Header)->currentText(), face);
        EXPECT_EQ(dialog.sizeField(FormScript::Footer)->text(), "12.5");

        // The context menu: paste with text on the clipboard, one undo.
        QApplication::clipboard()->setText("<cr/>");
        std::unique_ptr<QMenu> menu(editor.makeContextMenu());
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), 4);
        EXPECT_EQ(actions[2]->text(), utf8("張り付け"));
        EXPECT_TRUE(actions[2]->isEnabled());
        EXPECT_TRUE(actions[3]->isEnabled());
        actions[3]->trigger();
        EXPECT_FALSE(editor.toPlainText().contains("spname"));
        menu.reset(editor.makeContextMenu());
        EXPECT_FALSE(menu->actions()[3]->isEnabled());

        // 4000 characters at most.
        editor.fill(QString(3995, QLatin1Char('x')));
        EXPECT_FALSE(editor.insertScript("<cr/>\n", 6));
        EXPECT_EQ(editor.toPlainText().size(), 3995);
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.utf8Texts()[0], "これ以上テキストを追加できません。");
        EXPECT_TRUE(editor.insertScript("<cr/>", 5));
    });
}

TEST_F(PrintFormDialogTest, AddAndDeleteAskFirstAndKeepTheListInStep)
{
    MainWindow& window = start();
    edit(window, [this](PrintFormDialog& dialog) {
        dialog.field(FormField::Rows)->setText("3");
        log.answer = false;
        dialog.addButton()->click();
        EXPECT_EQ(dialog.formList()->count(), 2);
        log.answer = true;
        dialog.addButton()->click();
        ASSERT_EQ(log.messages.size(), 2u);
        EXPECT_EQ(log.utf8Texts()[1], "以下の名前で新しい書式を追加します\n2x1(2)");
        EXPECT_EQ(log.messages[1].icon, MessageIcon::Exclamation);
        ASSERT_EQ(dialog.formList()->count(), 3);
        EXPECT_EQ(dialog.formList()->currentText(), "2x1(2)");
        EXPECT_EQ(dialog.field(FormField::Title)->text(), "2x1(2)");
        EXPECT_EQ(dialog.editor().forms()[2].rows.value, 3);
        EXPECT_EQ(dialog.editor().forms()[1].rows.value, 1);

        dialog.deleteButton()->click();
        EXPECT_EQ(log.utf8Texts()[2], "書式を削除します。よいですか。");
        ASSERT_EQ(dialog.formList()->count(), 2);
        EXPECT_EQ(dialog.formList()->currentText(), "2x1");
        EXPECT_EQ(dialog.field(FormField::Rows)->text(), "1");
        dialog.deleteButton()->click();
        dialog.deleteButton()->click();
        EXPECT_EQ(log.utf8Texts().back(), "書式を全て消すことはできません。");
        ASSERT_EQ(dialog.formList()->count(), 1);
        EXPECT_EQ(dialog.formList()->currentText(), "1x1");
        dialog.saveButton()->click();
    });
    EXPECT_EQ(viewer->workspace().printForms().forms().size(), 1u);
    EXPECT_EQ(viewer->workspace().printForms().current().title, "1x1");
}

} // namespace
} // namespace tavik
