#include "tests/support/golden_file.h"
#include "tests/support/tool_run.h"

#include "platform/cp932.h"
#include "tests/support/fault_injection.h"

#include <sys/mount.h>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// Runs of the real norbek on a small database of swallowtails.
class Norbek : public ToolRun {
protected:
    void SetUp() override
    {
        write("species.csv",
            "10,Papilio machaon,Linnaeus,1758,,1,,キアゲハ,,,\r\n"
            "20,Parnassius glacialis,Butler,1866,C,0,Parnassiinae,ウスバシロチョウ,ウスバシロチョウ亜科,,\r\n"
            "30,Luehdorfia japonica,Leech,1889,,0,Parnassiinae,ギフチョウ,ウスバシロチョウ亜科,,\r\n"
            "40,Luehdorfia puziloi,Erschoff,1872,,0,Parnassiinae,ヒメギフチョウ,ウスバシロチョウ亜科,,\r\n");
        write("phyletic.csv", "1,Papilionidae,0,アゲハチョウ科,\r\n");
        write("area.csv",
            "101,,,Tokyo,N35.41,E139.45,,,,東京,,,関東,本州\r\n"
            "102,,,Osaka,,,,,,大阪,,,近畿,\r\n");
        write("litera.csv",
            "L1,Abe,1990,Birds of Japan,B1,12,3-5,,,阿部,日本の鳥,,\r\n"
            "L2,Ono,1991,日本の蝶,,,,,,小野,,,\r\n"
            "L3,Abe,1985,Early notes,B9,,,,,,,,\r\n");
        write("book.csv", "B1,Journal of Lepidoptera,蝶類誌,\r\n");
        write("split.csv",
            "10,101,L1\r\n"
            "10,102,L2,L3\r\n"
            "10,JP53394512,L2\r\n"
            "10,N35.30'E139.45',L1\r\n"
            "20,101,L3\r\n"
            "20,JP5339451234,L1\r\n"
            "30,102,L2\r\n"
            "40\r\n");
        fs::create_directories(dir_ / "out");
    }

    // The golden copy of an output under tests/data/norbek (updated, with
    // the changes shown, under TAVIK_UPDATE_GOLDEN=1).
    static std::string golden(const std::string& name, const std::string& actual)
    {
        const std::string path = std::string(TAVIK_TEST_DATA) + "/norbek/" + name;
        std::string copy = test::goldenCopy(path, actual);
        EXPECT_FALSE(copy.empty()) << path;
        return copy;
    }

    // Compares a written file (cp932) with its golden copy, byte for byte.
    void expectGolden(const std::string& written, const std::string& name)
    {
        std::string actual = read(written), expected = golden(name, actual);
        EXPECT_EQ(cp932ToUtf8(actual), cp932ToUtf8(expected)) << name;
        EXPECT_EQ(actual, expected) << name << ": bytes differ";
    }
};

TEST_F(Norbek, HtmlPagesListLiteratureByAreaThenForAllAreasWithTheirMedia)
{
    write("tavik.ini",
        "[Norbek]\r\nOrderBy=AuthorStandard\r\nHtmlCharSet=Shift_JIS\r\nHtmlFont=IPAGothic, \"Times\"\r\n"
        "HtmlBackGroundColor=255,250,240\r\nHtmlImageURL1=../map/*.png\r\nHtmlImageList2=../image/list.txt\r\n"
        "HtmlImageURL3=notes/*.txt\r\nHtmlImageURL4=../sound/*.wav\r\n"
        "HtmlLitHeader=文献\r\nHtmlAllAreaHeader=全地域\r\nIndexHtmlSort=alias1\r\n");
    write("map/Papilio_machaon.png", "png"); // found through the "_" form of the name
    write("sound/Papilio-machaon.wav", "wav");
    write("out/notes/Papilio machaon.txt", "<I>Common in open country.</I>\nFlies from April.");
    write("image/list.txt",
        "../image/Parnassius_glacialis_1.jpg\r\n"
        "../image/ヒメギフチョウ.gif\r\n" // ギフチョウ occurs in it too; the longer name wins
        "../image/unknown.png\r\n");
    write("image/Parnassius_glacialis_1.jpg", "jpg");
    write("image/ヒメギフチョウ.gif", "gif");

    Result result = run("norbek", {"-sci", "-area", "-allarea", "-geo", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.find("out/Papilio machaon\nout/Parnassius glacialis\n"), 0u) << result.out;
    EXPECT_NE(result.out.find("out/../map/Parnassius glacialis.png  見つかりません\n"
                              "out/../map/Parnassius_glacialis.png  見つかりません\n"
                              "out/../map/Parnassius-glacialis.png  見つかりません\n"
                              "out/../map/ウスバシロチョウ.png  見つかりません\n"
                              "out/../map/20.png  見つかりません\n"),
        std::string::npos)
        << result.out;

    expectGolden("out/Papilio machaon.html", "html/Papilio machaon.html");
    expectGolden("out/Parnassius glacialis.html", "html/Parnassius glacialis.html");
    expectGolden("out/_index.html", "html/_index.html");
    expectGolden("out/_text.css", "html/_text.css");
    EXPECT_NE(read("out/Luehdorfia puziloi.html").find(cp932Literal("<IMG SRC=\"../image/ヒメギフチョウ.gif\">")),
        std::string::npos);
    EXPECT_EQ(read("out/Luehdorfia japonica.html").find("<IMG"), std::string::npos);
    // A species whose only line has no location gets an empty literature section.
    EXPECT_NE(
        read("out/Luehdorfia puziloi.html").find("<DIV CLASS=\"literature\"><PRE></PRE></DIV>"), std::string::npos);
}

TEST_F(Norbek, TextModeWritesHeaderAndLiteratureFilesAndKeepsTheUsersOwnFile)
{
    write("tavik.ini",
        "[Norbek]\r\nSpecies=alias1,Scientific\r\nLiterature=alias1\r\nBook=ALIAS1\r\nSmallRegionYN=no\r\n"
        "GeoDeticYN=no\r\nHtmlAllAreaHeader=全地域\r\nOtherTextFile=.exp\r\n");
    write("out/20.exp", "私の解説\r\n");

    Result result = run("norbek", {"-code", "-html", "-txt", "-allarea", "-area", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "out/10\nout/20\nout/30\nout/40\n");
    expectGolden("out/10.hdr", "text/10.hdr");
    expectGolden("out/10.lit", "text/10.lit");
    EXPECT_EQ(read("out/40.lit"), "");
    // Without -geo the literature of grid squares and points is in neither list.
    EXPECT_EQ(cp932ToUtf8(read("out/20.lit")),
        "全地域\r\n1985, Early notes\r\n\r\nTokyo  (,  関東)\r\n1985, Early notes\r\n");
    EXPECT_EQ(read("out/10.exp"), "");
    EXPECT_EQ(cp932ToUtf8(read("out/20.exp")), "私の解説\r\n");
    // Without -template text mode writes neither index nor style sheet.
    EXPECT_FALSE(fs::exists(dir_ / "out/_index.html"));
    EXPECT_FALSE(fs::exists(dir_ / "out/_text.css"));
}

TEST_F(Norbek, TemplateIndexRepeatsTheMarkedLineForEveryPage)
{
    write("tavik.ini", "[Norbek]\r\nIndexHtmlSort=scientific\r\n");
    write("_indexTemplate.html",
        "<HTML><BODY>\r\n<H1>アゲハチョウ科</H1>\r\n<UL>\r\n"
        "  <LI><!--<A HREF=\"@Norbek@.html\">@Norbek@</A>--> dropped\r\n"
        "</UL>\r\n<!-- an ordinary comment -->\r\n</BODY></HTML>");
    Result result = run("norbek", {"-alias1", "-allarea", "-template", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    expectGolden("out/_index.html", "template/_index.html");

    fs::remove(dir_ / "_indexTemplate.html");
    result = run("norbek", {"-alias1", "-allarea", "-template", "out"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "_indexTemplate.html\nテンプレートを読めません (見つかりません).\n");
    // A device in its place is refused at once, not read until memory ends.
    fs::create_symlink("/dev/zero", dir_ / "_indexTemplate.html");
    result = run("norbek", {"-alias1", "-allarea", "-template", "out"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "_indexTemplate.html\nテンプレートを読めません (装置ファイルです).\n");
}

TEST_F(Norbek, EachLineHasItsHeadingAndTheLinesOfASpeciesMakeOnePage)
{
    write("tavik.ini", "");
    write("split.csv", "10,101,L1\r\n20,101,L3\r\n10,101,L2\r\n30\r\n40\r\n");
    Result result = run("norbek", {"-code", "-area", "-txt", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "out/10\nout/20\nout/30\nout/40\n");
    const std::string tokyo = "Tokyo  (本州,  関東) (N35.41 E139.45)\r\n";
    EXPECT_EQ(cp932ToUtf8(read("out/10.lit")),
        tokyo + "Abe, 1990, Birds of Japan,Journal of Lepidoptera,12,3-5\r\n\r\n" + tokyo
            + "Ono, 1991, 日本の蝶\r\n\r\n");
}

// Pages are made per species of the species-literature table, whatever its
// order; a species it does not name gets none. The all-areas list holds each
// paper once, in author order; with both lists, a blank line parts them.
TEST_F(Norbek, PagesAtTheEdgesOfTheSpeciesLiteratureTable)
{
    write("tavik.ini", "[Norbek]\r\nHtmlAllAreaHeader=全地域\r\n");
    write("split.csv", "20,102,L2\r\n10,102,,L1\r\n10,JP53394512,L2\r\n10,101,L1,L3\r\n");
    const std::string early = "Abe, 1985, Early notes\r\n";
    const std::string birds = "Abe, 1990, Birds of Japan,Journal of Lepidoptera,12,3-5\r\n";
    const std::string butterflies = "Ono, 1991, 日本の蝶\r\n";

    // All areas alone: no header; the grid square's paper counts with -geo.
    Result result = run("norbek", {"-code", "-allarea", "-geo", "-txt", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "out/10\nout/20\n");
    EXPECT_EQ(cp932ToUtf8(read("out/10.lit")), early + birds + butterflies);
    EXPECT_EQ(cp932ToUtf8(read("out/20.lit")), butterflies);
    EXPECT_FALSE(fs::exists(dir_ / "out/30.lit"));

    // By area first; without -geo the grid square's line is passed over.
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");
    result = run("norbek", {"-code", "-area", "-allarea", "-txt", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string osaka = "Osaka  (,  近畿)\r\n", tokyo = "Tokyo  (本州,  関東) (N35.41 E139.45)\r\n";
    EXPECT_EQ(cp932ToUtf8(read("out/10.lit")),
        osaka + birds + "\r\n" + tokyo + early + birds + "\r\n全地域\r\n" + early + birds);
    EXPECT_EQ(cp932ToUtf8(read("out/20.lit")), osaka + butterflies + "\r\n全地域\r\n" + butterflies);
}

// Pages are written from where each species' lines lie in the table: lines
// in runs that come back to a species, past a 1 MiB read block, with every
// kind of line end, give the pages of the same lines sorted by species.
TEST_F(Norbek, PagesOfATableInRunsAreThoseOfTheSameTableSorted)
{
    write("tavik.ini", "");
    const char* const ends[] = {"\r\n", "\n", "\r"};
    const char* const tails[] = {",101,L1", ",102,L2,L3", ",JP53394512,L2", ",\"101\",L3,,L1"};
    const std::string padding(100, ',');
    std::string inRuns, bySpecies[3];
    for (int i = 0; i < 12000; ++i) {
        const int species = (i / 5 + i / 7) % 3;
        const std::string line = std::to_string(10 * (species + 1)) + tails[i % 4] + padding;
        inRuns += line + ends[i % 3];
        bySpecies[species] += line + "\r\n";
    }
    ASSERT_GT(inRuns.size(), 1u << 20);
    const std::vector<std::string> arguments = {"-code", "-area", "-allarea", "-geo", "-txt", "out"};
    write("split.csv", inRuns);
    Result result = run("norbek", arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "out/10\nout/20\nout/30\n");
    std::string pages[3];
    for (int species = 0; species < 3; ++species)
        pages[species] = read("out/" + std::to_string(10 * (species + 1)) + ".lit");

    write("split.csv", bySpecies[0] + bySpecies[1] + bySpecies[2]);
    result = run("norbek", arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "out/10\nout/20\nout/30\n");
    for (int species = 0; species < 3; ++species) {
        const std::string page = read("out/" + std::to_string(10 * (species + 1)) + ".lit");
        EXPECT_GT(page.size(), 10000u);
        EXPECT_TRUE(page == pages[species]) << "species " << 10 * (species + 1);
    }
}

TEST_F(Norbek, SettingsFaultsNameTheKeyAndWhatIsAllowed)
{
    struct Case {
        const char* line;
        const char* golden; // console text under tests/data/norbek/settings; null: accepted
    } cases[] = {
        {"OrderBy=AuthorAlias2", nullptr},
        {"OrderBy=author", "order_by.txt"},
        {"Species=alias1", nullptr},
        {"Species=scientific;alias1", "species_separator.txt"},
        {"HtmlBackGroundColor=0,128,255", nullptr},
        {"HtmlBackGroundColor=255,255", "background_missing.txt"},
        {"HtmlBackGroundColor=0,0,256", "background_range.txt"},
        {"HtmlImageURL1=C:\\maps\\*.png", "image_url_drive.txt"},
        {"HtmlImageList3=/srv/image/list.txt", "image_list_root.txt"},
        {"IndexHtmlSort=alias3", "index_sort.txt"},
    };
    const std::string settingsPath = (fs::canonical(dir_) / "tavik.ini").string();
    for (const Case& c : cases) {
        write("tavik.ini", std::string("[Norbek]\r\n") + c.line + "\r\n");
        fs::remove_all(dir_ / "out");
        fs::create_directories(dir_ / "out");
        Result result = run("norbek", {"-sci", "-area", "out"});
        if (!c.golden) {
            EXPECT_EQ(result.status, 0) << c.line << "\n" << result.err;
            EXPECT_TRUE(fs::exists(dir_ / "out/_index.html")) << c.line;
            continue;
        }
        EXPECT_EQ(result.status, 1) << c.line;
        std::string err = result.err;
        for (size_t at; (at = err.find(settingsPath)) != std::string::npos;)
            err.replace(at, settingsPath.size(), "<tavik.ini>");
        EXPECT_EQ(err, golden(std::string("settings/") + c.golden, err)) << c.line;
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << c.line;
    }
    write("tavik.ini", "[Norbek]\r\nHtmlBackGroundColor=0,128,255\r\n");
    ASSERT_EQ(run("norbek", {"-sci", "-area", "out"}).status, 0);
    EXPECT_NE(read("out/Parnassius glacialis.html").find("BGCOLOR=\"#0080FF\""), std::string::npos);
}

TEST_F(Norbek, CommandLineFaultsShowTheUsageAndWriteNothing)
{
    write("tavik.ini", "");
    write("file", "");
    std::string usage = cp932ToUtf8(cp932Literal("使用法\n"));
    struct Case {
        std::vector<std::string> arguments;
        const char* complaint;
    } cases[] = {
        {{"-area", "out"}, "require \"-sci\",\"-alias1\",\"-alias2\" or \"-code\" parameter\n"},
        {{"-sci", "-x", "out"}, " [-x] parameter error !\n"},
        {{"-sci", "-area", "missing"}, "missing   no such directory !\n"},
        {{"-sci", "-area", "file"}, "file   not directory !\n"},
    };
    for (const Case& c : cases) {
        Result result = run("norbek", c.arguments);
        EXPECT_EQ(result.status, 1) << c.complaint;
        EXPECT_EQ(result.err.find(std::string(c.complaint) + usage), 0u) << result.err;
    }
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(Norbek, QuestionsAreAnsweredFromStandardInput)
{
    write("tavik.ini", "");
    // No list: pages without literature, in HTML whatever was asked.
    Result result = run("norbek", {"-code", "-txt", "out"}, "no\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "地域指定なし、文献は省略、HTML出力します。Yes / No :");
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));

    result = run("norbek", {"-code", "-txt", "out"}, "yes\n");
    ASSERT_EQ(result.status, 0) << result.err;
    // Four pages, the index and the style sheet.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator()), 6);
    std::string page = read("out/30.html");
    EXPECT_NE(page.find("</PRE>\r\n<BR>\r\n<BR>\r\n</BODY>\r\n</HTML>\r\n"), std::string::npos) << page;
    EXPECT_NE(read("out/_index.html").find("<LI><A HREF=\"40.html\">"), std::string::npos);

    // A list without an output path writes into the current folder once agreed.
    result = run("norbek", {"-sci", "-area"}, "N\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "Papilio machaon.html"));
    result = run("norbek", {"-sci", "-area"}, "Y\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.find("カレントディレクトリに出力します。Yes / No :Papilio machaon\n"), 0u) << result.out;
    EXPECT_TRUE(fs::exists(dir_ / "Papilio machaon.html"));
}

TEST_F(Norbek, FaultsStopTheRunWithTheirLineAndStatus1)
{
    write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n"); // a missing book table is no fault
    struct Case {
        const char* file;
        const char* content;
        const char* report;
    } cases[] = {
        {"split.csv", "10,101,L1\r\n99,101,L1\r\n",
            "split.csv\n2 行目: 種コード[99]は種テーブルに登録されていません\n"},
        {"split.csv", "10,101,L1\r\n\r\n", "split.csv\n2 行目: 種コードがありません\n"},
        {"split.csv", "10,999,L1\r\n", "split.csv\n1 行目: 地域コード[999]は地域テーブルに登録されていません.\n"},
        {"split.csv", "10,101,L1,L7\r\n", "split.csv\n1 行目: 文献コード[L7]は文献テーブルに登録されていません.\n"},
        {"split.csv", "10,\"101\r\n", "split.csv\n1 行目: 文字列が \"\" で囲まれていません。\n"},
        {"area.csv", "101\r\n0,,,Nowhere\r\n", "area.csv\n 2 行目: 地域テーブルの地域コードが異常です [0]\n"},
        {"litera.csv", "L1\r\n\"a\" \"b\"\r\n", "litera.csv\n2 行目: デリミタ不正\n"},
        {"litera.csv", ",Anon\r\n", "litera.csv\n 1 行目: 文献テーブルの文献コードが異常です []\n"},
    };
    for (const Case& c : cases) {
        SetUp();
        write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n[Capacity]\r\nAreaMax=2\r\n");
        write(c.file, c.content);
        Result result = run("norbek", {"-sci", "-area", "out"});
        EXPECT_EQ(result.status, 1) << c.content;
        EXPECT_EQ(result.err, c.report);
    }
    SetUp();
    write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n[Capacity]\r\nAreaMax=1\r\n");
    Result result = run("norbek", {"-sci", "-area", "out"});
    EXPECT_EQ(result.err, "area.csv\n地域テーブルの地域数が多すぎます.上限: 1\n");
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));

    // The species-literature table is checked whole before any page is written.
    SetUp();
    write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n");
    write("split.csv", "10,101,L1\r\n20,101,L9\r\n");
    result = run("norbek", {"-sci", "-area", "out"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
    // A species left out by SpeciesMax is a capacity fault, not an unknown one.
    for (const char* capacity : {"0", "1"}) {
        SetUp();
        write(
            "tavik.ini", std::string("[Path]\r\nBookTable=none.csv\r\n[Capacity]\r\nSpeciesMax=") + capacity + "\r\n");
        result = run("norbek", {"-sci", "-area", "out"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(
            result.err, std::string("species.csv\n種テーブルの種数が多すぎます.上限は ") + capacity + " 種です.\n");
    }

    // A page marked read-only (0444, which holds for root too) is not replaced.
    SetUp();
    write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n");
    write("out/Papilio machaon.html", "mine");
    fs::permissions(dir_ / "out/Papilio machaon.html", fs::perms(0444));
    result = run("norbek", {"-sci", "-area", "out"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        result.err, "out/Papilio machaon.html\nout/Papilio machaon.html を書けません (書き込み禁止のファイルです).\n");
    EXPECT_EQ(read("out/Papilio machaon.html"), "mine");
    fs::permissions(dir_ / "out/Papilio machaon.html", fs::perms(0644));
}

// Pages of a killed run leave temporary files; the next run, holding the
// database lock, removes those of pages and keeps everything else.
TEST_F(Norbek, TemporaryPagesOfAKilledRunGo)
{
    write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n");
    write("out/Papilio machaon.html.tavik-Ab12Cd", "half a page");
    write("out/_text.css.tavik-000000", "half a style sheet");
    write("out/notes.txt.tavik-Ab12Cd", "the user's own");
    Result result = run("norbek", {"-sci", "-area", "out"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(fs::exists(dir_ / "out/Papilio machaon.html.tavik-Ab12Cd"));
    EXPECT_FALSE(fs::exists(dir_ / "out/_text.css.tavik-000000"));
    EXPECT_TRUE(fs::exists(dir_ / "out/notes.txt.tavik-Ab12Cd"));
}

// The file or folder that cannot be written is named, with the reason.
TEST_F(Norbek, AnOutputFolderThatCannotBeWrittenIsNamedWithTheReason)
{
    write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n");
    // Folder permissions do not hold for root: a read-only file system does.
    if (::mount("tmpfs", (dir_ / "out").c_str(), "tmpfs", MS_RDONLY, "size=64k") != 0)
        GTEST_SKIP() << "no right to mount a read-only file system";
    Result result = run("norbek", {"-sci", "-area", "out"});
    ::umount2((dir_ / "out").c_str(), MNT_DETACH);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "out\nout/Papilio machaon.html を書けません "
        "(フォルダに新しいファイルを作れません: 読み込み専用のファイルシステムです).\n");
}

// A disk failing part-way through the species-literature table: the pages
// would list a part of the literature, so none is written.
TEST_F(Norbek, AReadErrorInATableWritesNoPage)
{
    if (!test::canInjectFaults())
        GTEST_SKIP() << "strace cannot inject faults here";
    write("tavik.ini", "[Path]\r\nBookTable=none.csv\r\n");
    std::string table;
    while (table.size() < (3 << 19)) // two reads of the reader (1 MiB each)
        table += "10,101,L1\r\n";
    write("split.csv", table);
    for (const char* file : {"split.csv", "area.csv"}) {
        test::ProcessCall call(test::builtProgram("norbek"), {"-sci", "-area", "out"}, dir_.string());
        Result result = test::runProcess(test::withReadErrorInjected(call, (dir_ / file).string(), 2));
        EXPECT_EQ(result.status, 1) << file;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), file);
        EXPECT_NE(result.err.find("行目を読めません: 入出力エラーです"), std::string::npos) << result.err;
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << file;
    }
    // The settings too: their defaults would name other tables.
    test::ProcessCall call(test::builtProgram("norbek"), {"-sci", "-area", "out"}, dir_.string());
    Result result = test::runProcess(test::withReadErrorInjected(call, (dir_ / "tavik.ini").string(), 1));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "\n" + (dir_ / "tavik.ini").string()
            + "  初期設定ファイルを読めません (読み込み中にエラーが起きました: 入出力エラーです).\n");
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(Norbek, PageNamesStayInTheOutputFolderAndOverwritesAreReported)
{
    write("tavik.ini", "");
    write("species.csv",
        "10,Aus/bus,,,,,,../x,,,\r\n"
        "20,Cus dus,,,,,,同名,,,\r\n"
        "30,Eus fus,,,,,,同名,,,\r\n"
        "40,Gus hus,,,,,,同名,,,\r\n");
    write("split.csv", "10,101,L1\r\n20\r\n30\r\n40\r\n");
    Result result = run("norbek", {"-sci", "-area", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(dir_ / "out/Aus_bus.html"));
    EXPECT_NE(read("out/_index.html").find("<A HREF=\"Aus_bus.html\">"), std::string::npos);

    result = run("norbek", {"-alias1", "-area", "out"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "out/.._x\nout/同名\nout/同名\nout/同名\n同名  既に存在、上書きしました。\n");
    EXPECT_TRUE(fs::exists(dir_ / "out/.._x.html"));
    EXPECT_FALSE(fs::exists(dir_ / "x.html"));
}

} // namespace
} // namespace tavik
