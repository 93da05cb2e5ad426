#include "viewer/session/workspace.h"

#include "platform/message_sink.h"
#include "tests/support/sample_files.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tavik {
namespace {

// A small working folder with the default table paths.
class WorkspaceTest : public ::testing::Test {
protected:
    WorkspaceTest()
        : folder("workspace")
    {
        folder.write("dbase/area.csv", "1301,,,Tokyo,N35.41',E139.41',500,400,F\r\n");
        folder.write("dbase/WGS_JGS.csv", "5339,x,11.7,-10.8\r\n");
        folder.write("dbase/ta_vik.csv", "1,1301,A\r\n");
        folder.write("dbase/species.csv", "1,Papilio xuthus,Linnaeus,1767,,0,Papilionidae\r\n");
        folder.write("Painter.cfg", test::kPainterCfg);
        folder.write("PrintForm.cfg", PrintFormList().text());
    }

    bool start()
    {
        log.messages.clear();
        return workspace.loadSettings(folder.path(), log);
    }
    std::string firstMessage() const { return log.messages.empty() ? "" : log.utf8Texts()[0]; }

    test::TestFolder folder;
    Workspace workspace;
    MessageLog log;
};

TEST_F(WorkspaceTest, LoadsTheTablesOfTheWorkingFolder)
{
    ASSERT_TRUE(start()) << firstMessage();
    EXPECT_EQ(workspace.areas().rows().size(), 1u);
    EXPECT_EQ(workspace.datumShifts().rows().size(), 1u);
    EXPECT_EQ(workspace.distribution().entries().size(), 1u);
    EXPECT_EQ(workspace.settings().areaTable, folder.path() + "/dbase/area.csv");
    ASSERT_TRUE(workspace.loadSpeciesTable(log));
    ASSERT_EQ(workspace.species().rows().size(), 1u);
    EXPECT_EQ(workspace.species().rows()[0].phyleticCode, 1);
}

TEST_F(WorkspaceTest, EachTableFailureEndsTheStartWithItsMessage)
{
    struct Case {
        std::string file, content, ini, message;
    } cases[] = {
        {"dbase/area.csv", "", "[Path]\nAreaTable=.\\dbase\\none.csv\n",
            ".\\dbase\\none.csv\nファイルを読めません。確認してください。"},
        {"dbase/area.csv", "1\n2\n", "[Capacity]\nAreaMax=1\n",
            "Area Table が溢れました\n\ntavik.ini の AreaMax の値を増やして下さい"},
        {"dbase/WGS_JGS.csv", "5339,x,1,1\n-4,x,1,1\n", "",
            ".\\dbase\\WGS_JGS.csv\nファイルの地域メッシュコードが異常です。確認してください。"},
        {"dbase/WGS_JGS.csv", "1\n2\n", "[Capacity]\nWgsJgsMax=1\n",
            "WgsJgs Table が溢れました\n\ntavik.ini の WgsJgsMax の値を増やして下さい"},
        {"dbase/ta_vik.csv", "1\n2\n", "[Capacity]\nSpeciesMax=1\n",
            "Species map table が溢れました\n\ntavik.ini の SpeciesMax の値を増やして下さい"},
        {"dbase/ta_vik.csv", "", "[Path]\nTaVikDB=gone.csv\n", "/gone.csv\nファイルを読めません。確認して下さい。"},
        {"Painter.cfg", "<painter>", "", "色塗り情報が読めません"},
        {"maps/japan.cfg", " <blank-map></blank-map>\n", "[Path]\nBlankMap=maps\\japan.png\n",
            "白地図情報が読めません"},
        {"x", "", "[Capacity]\nPointMaxPerSpecies=100000001\n",
            "tavik.ini の PointMaxPerSpecies の値 100000001 が大きすぎます。\n\n100000000 以下にして下さい"},
        // Values that read as a number would draw one record, or none.
        {"x", "", "[Capacity]\nPointMaxPerSpecies=1,000\n",
            "tavik.ini の PointMaxPerSpecies の値 \"1,000\" は正の整数ではありません。\n\n"
            "1 から 100000000 までの整数（桁区切りのカンマなし）にして下さい"},
        {"x", "", "[Capacity]\nPointMaxPerSpecies=all\n", "（桁区切りのカンマなし）にして下さい"},
        {"x", "", "[Capacity]\nPointMaxPerSpecies=-1\n", "（桁区切りのカンマなし）にして下さい"},
        {"x", "", "[Capacity]\nPointMaxPerSpecies=\n", "（桁区切りのカンマなし）にして下さい"},
        // A faulty line ends each table with its file and line; a folder
        // named as a table is a table that cannot be read.
        {"dbase/area.csv", "1301,,,Tokyo,N35,E139,5,4,F\r\n1302,\"x,,,Kanagawa\r\n1303,,,A,N35,E139,5,4,F\r\n", "",
            "/dbase/area.csv\n 2 行目: 構文エラー。文字列が \"\" で囲まれていません。"},
        {"dbase/WGS_JGS.csv", "5339,x,1,1\n5340,\"a\"b\",1,1\n", "",
            "/dbase/WGS_JGS.csv\n 2 行目: ２重引用符の使い方が間違っています。"},
        {"dbase/phyletic.csv", "1,A,0\n2,\"B\n", "",
            "/dbase/phyletic.csv\n 2 行目: 構文エラー。文字列が \"\" で囲まれていません。"},
        {"x", "", "[Path]\nAreaTable=.\\dbase\\\n", ".\\dbase\\\nファイルを読めません。確認してください。"},
        {"x", "", "[Path]\nWgsJgsTable=.\\dbase\n", ".\\dbase\nファイルを読めません。確認してください。"},
        {"x", "", "[Path]\nTaVikDB=.\\dbase\\\n", "/dbase/\nファイルを読めません。確認して下さい。"},
    };
    for (const Case& c : cases) {
        WorkspaceTest::SetUp();
        std::string saved = folder.read(c.file);
        folder.write(c.file, c.content);
        folder.write("tavik.ini", c.ini);
        EXPECT_FALSE(start()) << c.message;
        ASSERT_FALSE(log.messages.empty()) << c.message;
        // A configuration file's own parse errors come first; the start-up's
        // message is the last.
        std::string text = log.utf8Texts().back();
        // The distribution table's path is absolute: compare its end.
        EXPECT_TRUE(text.size() >= c.message.size()
            && text.compare(text.size() - c.message.size(), std::string::npos, c.message) == 0)
            << text;
        folder.write(c.file, saved);
        folder.write("tavik.ini", "");
    }
}

TEST_F(WorkspaceTest, ReadsTheConfigurationFilesFirst)
{
    folder.write("maps/japan.cfg",
        "<blank-map>\n<map-block comment=\"main\">\n<projection>\n"
        "<lambert-e-a lon0=\"E135\" lat0=\"35\" magnification=\"1000\"/>\n</projection>\n"
        "<polygon><vertex x=\"0\" y=\"0\"/><vertex x=\"9\" y=\"0\"/><vertex x=\"9\" y=\"9\"/></polygon>\n"
        "</map-block>\n</blank-map>\n");
    folder.write("tavik.ini", "[Path]\nBlankMap=maps\\japan.png\n");
    ASSERT_TRUE(start()) << firstMessage();
    ASSERT_EQ(workspace.blankMap().blocks().size(), 1u);
    EXPECT_EQ(workspace.blankMap().blocks()[0].comment, "main");
    EXPECT_EQ(workspace.painter().overlapShiftX, 4);
    EXPECT_EQ(workspace.printForms().currentIndex(), 0);
    EXPECT_TRUE(log.messages.empty()) << firstMessage();
}

// Longitude-latitude lines that no map could show are not drawn, and the
// start-up says why; the maps are drawn all the same.
TEST_F(WorkspaceTest, LinesNoMapCouldShowAreRefusedWithAMessage)
{
    struct Case {
        const char* ini;
        const char* message;
    } cases[] = {
        {"[Display]\nGeoLine=mesh\nGeoSouth=24\nGeoNorth=46\nGeoLatSpan=0.00025\n",
            "緯線が 88001 本になります。緯線の間隔 0.00025 を広げて、1000 本以下にして下さい。"},
        {"[Display]\nGeoLine=mesh\nGeoWest=122\nGeoEast=E99999\nGeoLonSpan=2\n",
            "経緯線の範囲（西 122、東 E99999）が -180 度から 180 度を越えています。"},
        {"[Display]\nGeoLine=cross\nGeoSouth=24\nGeoNorth=N99\n",
            "経緯線の範囲（南 24、北 N99）が -90 度から 90 度を越えています。"},
    };
    for (const Case& c : cases) {
        folder.write("tavik.ini", c.ini);
        ASSERT_TRUE(start()) << c.ini;
        ASSERT_EQ(log.messages.size(), 1u) << c.ini;
        EXPECT_EQ(log.utf8Texts()[0], std::string("tavik.ini\n") + c.message + "\n経緯線は描きません。");
        EXPECT_EQ(log.messages[0].icon, MessageIcon::Exclamation);
    }
    folder.write("tavik.ini", "[Display]\nGeoLine=mesh\nGeoSouth=24\nGeoNorth=46\nGeoLatSpan=0.5\n");
    ASSERT_TRUE(start());
    EXPECT_TRUE(log.messages.empty()) << firstMessage();
}

// samvel replaces the distribution table while the viewer runs: the next map
// opened indexes it anew, while renderers made before keep reading the file
// they had.
TEST_F(WorkspaceTest, ADistributionTableReplacedUnderTheViewerIsIndexedAnew)
{
    folder.write("dbase/ta_vik.csv", "1,1301,A\r\n2,1301,B\r\n");
    ASSERT_TRUE(start()) << firstMessage();
    const RenderSources before = workspace.renderSources();
    EXPECT_FALSE(workspace.refreshDistributionIndex(log));
    const std::string replacement = folder.write("new.csv", "2,1301,C\r\n1,1301,Z\r\n");
    ASSERT_EQ(std::rename(replacement.c_str(), folder.file("dbase/ta_vik.csv").c_str()), 0);
    const auto revision = workspace.revision();
    EXPECT_TRUE(workspace.refreshDistributionIndex(log));
    EXPECT_GT(workspace.revision(), revision);
    EXPECT_TRUE(log.messages.empty()) << firstMessage();

    RecordSet set;
    ASSERT_TRUE(workspace.distribution().readSpeciesRecords(1, workspace.settings(), set, log));
    EXPECT_EQ(set.records.at(0).rank, 3); // Z, from the new file
    ASSERT_TRUE(before.distribution->readSpeciesRecords(1, workspace.settings(), set, log));
    EXPECT_EQ(set.records.at(0).rank, 0); // A, from the file indexed before
    EXPECT_FALSE(workspace.refreshDistributionIndex(log));
}

TEST_F(WorkspaceTest, MissingGroupTableIsNotAnError)
{
    folder.write("tavik.ini", "[Path]\nPhyleticTable=none.csv\n");
    EXPECT_TRUE(start());
    EXPECT_TRUE(log.messages.empty());
    EXPECT_TRUE(workspace.phyletic().rows().empty());
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

// Every change of what maps are drawn from is counted by the workspace
// itself, so that no writer can forget it: a display switch or the name mode
// changed from the menus made maps out of date without a count before. What
// only tavik.ini keeps (window sizes, the save folder) changes no map.
TEST(WorkspaceChanges, WhatMapsDrawFromIsCountedAndWindowSizesAreNot)
{
    Workspace workspace;
    std::uint64_t revision = workspace.revision();
    auto changed = [&] {
        const bool counted = workspace.revision() > revision;
        revision = workspace.revision();
        return counted;
    };
    workspace.changeSettings([](Settings& settings) { settings.dispScientificName = true; });
    EXPECT_TRUE(changed());
    EXPECT_TRUE(workspace.settings().dispScientificName);
    workspace.setNameMode(NameMode::Alias1Name);
    EXPECT_TRUE(changed());
    EXPECT_EQ(workspace.settings().spNameMode, NameMode::Alias1Name);
    workspace.setPainter(PainterConfig());
    EXPECT_TRUE(changed());
    workspace.changePrintForms([](PrintFormList&) {});
    EXPECT_TRUE(changed());

    workspace.keepMapWindowSize(640, 480);
    workspace.keepMainWindowSize(1024, 768);
    workspace.keepSaveFolder("/maps");
    EXPECT_FALSE(changed());
    EXPECT_EQ(workspace.settings().childFrameWidth, 640);
    EXPECT_EQ(workspace.settings().frameHeight, 768);
    EXPECT_EQ(workspace.settings().savePath, "/maps");
}

} // namespace
} // namespace tavik
