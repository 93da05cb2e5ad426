// Documents as the windows see them: opening, paging with its titles and
// enabling, the display order, and the commands of later parts.
#include "tests/support/workspace_access.h"
#include "viewer/session/document_list.h"

#include "platform/cp932.h"
#include "tests/session/session_tables.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/session/display_order.h"
#include "viewer/session/species_selection.h"
#include "viewer/session/viewer_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavik {
namespace {

// Records what the document list reports.
class Recorder : public DocumentList::Observer {
public:
    void documentOpened(CQuelnaDoc& d) override { events.push_back("open " + mapWindowTitle(d)); }
    void documentChanged(CQuelnaDoc& d, DocumentList::Change) override
    {
        events.push_back("change " + mapWindowTitle(d));
    }
    void documentClosing(CQuelnaDoc& d) override { events.push_back("close " + mapWindowTitle(d)); }
    std::vector<std::string> events;
};

// Genus X holds species 0 and 1; genus Y the other five.
class DocumentsTest : public ::testing::Test {
protected:
    DocumentsTest()
        : folder("documents")
        , documents(workspace)
    {
        test::loadSpeciesTables(workspace, folder, "1,X,0,,\r\n2,Y,0,,\r\n",
            "1,Aus a,,,,1\r\n2,Aus b,,,,1\r\n3,Bus c,,,,2\r\n4,Bus d,,,,2\r\n5,Bus e,,,,2\r\n6,Bus f,,,,2\r\n"
            "7,Bus g,,,,2\r\n");
        documents.setObserver(&recorder);
    }

    test::TestFolder folder;
    Workspace workspace;
    DocumentList documents;
    Recorder recorder;
};

TEST_F(DocumentsTest, PagingThreeSpeciesRetitlesAndEnablesByTheCurrentView)
{
    CQuelnaDoc& document = *documents.open({0, 1, 2}, false);
    EXPECT_EQ(mapWindowTitle(document), "(    1/   3 )");
    struct Step {
        Command command;
        const char* title;
        bool top, previous, next, last;
    } steps[] = {
        {Command::NextPage, "(    2/   3 )", true, true, true, true},
        {Command::NextPage, "(    3/   3 )", true, true, false, false},
        {Command::NextPage, "(    3/   3 )", true, true, false, false}, // disabled: nothing happens
        {Command::PreviousPage, "(    2/   3 )", true, true, true, true},
        {Command::TopPage, "(    1/   3 )", false, false, true, true},
        {Command::LastPage, "(    3/   3 )", true, true, false, false},
    };
    for (const Step& step : steps) {
        documents.turnPage(document, step.command);
        EXPECT_EQ(mapWindowTitle(document), step.title);
        EXPECT_EQ(commandEnabled(Command::TopPage, &document), step.top) << step.title;
        EXPECT_EQ(commandEnabled(Command::PreviousPage, &document), step.previous) << step.title;
        EXPECT_EQ(commandEnabled(Command::NextPage, &document), step.next) << step.title;
        EXPECT_EQ(commandEnabled(Command::LastPage, &document), step.last) << step.title;
    }
    EXPECT_EQ(document.currentSpecies()->scientificName, "Bus c");
    // Five turns reported, the refused one not.
    EXPECT_EQ(std::count_if(recorder.events.begin(), recorder.events.end(),
                  [](const std::string& e) { return e.starts_with("change"); }),
        5);
}

TEST_F(DocumentsTest, CommandsFollowTheActiveDocument)
{
    CQuelnaDoc& overlay = *documents.open({0, 1, 2}, true);
    CQuelnaDoc& one = *documents.open({3}, false);
    EXPECT_EQ(mapWindowTitle(overlay), "Overlay");
    for (Command paging : {Command::TopPage, Command::PreviousPage, Command::NextPage, Command::LastPage}) {
        EXPECT_FALSE(commandEnabled(paging, &overlay));
        EXPECT_FALSE(commandEnabled(paging, &one));
        EXPECT_FALSE(commandEnabled(paging, nullptr));
    }
    EXPECT_TRUE(commandEnabled(Command::DisplayOrder, &overlay));
    EXPECT_FALSE(commandEnabled(Command::DisplayOrder, &one));
    EXPECT_FALSE(commandEnabled(Command::DisplayOrder, nullptr));
    EXPECT_TRUE(commandEnabled(Command::Print, &one));
    EXPECT_FALSE(commandEnabled(Command::Print, nullptr));
    EXPECT_FALSE(commandEnabled(Command::PrintPreview, nullptr));
    for (Command always : {Command::OpenMap, Command::OpenOverlay, Command::SaveImage, Command::PrintForms,
             Command::Painter, Command::GeoLine, Command::Mesh, Command::DispScientificName, Command::Documentation})
        EXPECT_TRUE(commandEnabled(always, nullptr));
}

TEST_F(DocumentsTest, TheFirstOpenClosesTheEmptyStartUpWindowOnly)
{
    CQuelnaDoc& empty = documents.openEmpty();
    EXPECT_TRUE(documents.drawingSuppressed());
    EXPECT_EQ(documents.open({}, false), nullptr); // an empty selection opens nothing
    documents.prepareOpen(&empty);
    EXPECT_FALSE(documents.drawingSuppressed());
    CQuelnaDoc* first = documents.open({0, 1}, false);
    documents.prepareOpen(first);
    documents.open({2}, false);
    EXPECT_EQ(recorder.events,
        (std::vector<std::string>{"open Quelna1", "close Quelna1", "open (    1/   2 )", "open (    1/   1 )"}));
    EXPECT_EQ(documents.documents().size(), 2u);
}

TEST_F(DocumentsTest, ReorderingRepaginatesAndKeepsTheView)
{
    PrintForm form = PrintForm::builtIn();
    form.rows = PrintForm::countFromText("2");
    form.columns = PrintForm::countFromText("2");
    form.pagingLevel = IntegerField::fromText("1");
    WorkspaceAccess::printForms(workspace).replace({form}, 0);
    CQuelnaDoc& document = *documents.open({2, 0, 1, 3, 4, 5, 6}, false);
    documents.turnPage(document, Command::NextPage);
    // Y X X Y Y Y Y: each change of genus starts a page.
    auto pages = [&] {
        std::vector<int> p;
        for (int i = 0; i < document.speciesCount(); ++i)
            p.push_back(document.pageOf(i));
        return p;
    };
    EXPECT_EQ(pages(), (std::vector<int>{1, 2, 2, 3, 3, 3, 3}));
    // Into the order X, X, Y, Y, Y, Y, Y: a new genus, then a full page.
    std::vector<SpeciesRecord> order = document.species();
    std::rotate(order.begin(), order.begin() + 1, order.begin() + 3);
    documents.reorder(document, order);
    EXPECT_EQ(pages(), (std::vector<int>{1, 1, 2, 2, 2, 2, 3}));
    EXPECT_EQ(document.currentView(), 2);
    EXPECT_EQ(recorder.events.back(), "change (    2/   7 )");
}

TEST(DisplayOrder, MovesTheSelectedSpeciesWithTheUpDownControl)
{
    std::vector<SpeciesRecord> five(5);
    const char* names[] = {"A", "B", "C", "D", "E"};
    for (size_t i = 0; i < five.size(); ++i) {
        five[i].scientificName = names[i];
        five[i].alias1 = std::string("a") + names[i];
    }
    DisplayOrder order(five, NameMode::ScientificName);
    EXPECT_EQ(order.selected(), 0);
    EXPECT_EQ(order.spinPosition(), 4);
    order.select(2);
    EXPECT_EQ(order.spinPosition(), 2);
    order.move(1); // the up arrow on the third of five
    EXPECT_EQ(order.labels(), (std::vector<std::string>{"A", "C", "B", "D", "E"}));
    EXPECT_EQ(order.selected(), 1);
    EXPECT_EQ(order.spinPosition(), 3);
    order.select(4);
    order.move(-1); // at the bottom: stays
    EXPECT_EQ(order.labels(), (std::vector<std::string>{"A", "C", "B", "D", "E"}));
    order.setMode(NameMode::Alias1Name);
    EXPECT_EQ(order.labels(), (std::vector<std::string>{"aA", "aC", "aB", "aD", "aE"}));
    EXPECT_EQ(order.selected(), 4);

    DisplayOrder one({five[0]}, NameMode::ScientificName);
    one.move(1);
    EXPECT_EQ(one.selected(), 0);
    EXPECT_EQ(one.spinMaximum(), 0);
}

TEST(SpeciesSelection, RefusesNoneAndMoreThanAnOverlayHolds)
{
    EXPECT_EQ(cp932ToUtf8(checkSpeciesSelection(0, false)), "  種を選択して下さい  ");
    EXPECT_EQ(cp932ToUtf8(checkSpeciesSelection(0, true)), "  種を選択して下さい  ");
    EXPECT_EQ(cp932ToUtf8(checkSpeciesSelection(11, true)), "11 > MAX 10 \n選択数が多すぎます。");
    EXPECT_EQ(checkSpeciesSelection(10, true), "");
    EXPECT_EQ(checkSpeciesSelection(11, false), "");
    EXPECT_EQ(cp932ToUtf8(selectionDialogTexts(true).title), "種を選択し、重ね合わせて開く");
    EXPECT_EQ(cp932ToUtf8(selectionDialogTexts(false).openButton), "分布図を開く");
}

TEST(ViewerCommands, EveryCommandHasItsMenuText)
{
    for (const CommandInfo& info : commandTable())
        EXPECT_STRNE(info.text, "") << static_cast<int>(info.command);
    EXPECT_STREQ(commandInfo(Command::OpenMap).shortcut, "Ctrl+N");
    EXPECT_STREQ(commandInfo(Command::Print).shortcut, "Ctrl+P");
}

} // namespace
} // namespace tavik
