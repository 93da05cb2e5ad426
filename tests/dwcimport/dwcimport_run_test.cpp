// dwcimport run on the sample downloads (examples/dwc) in a copy of the
// sample database, and its table taken on by ludric and samvel.
#include "tests/dwcimport/dwc_import_run.h"

#include "platform/cp932.h"
#include "tools/dwcimport/zip_archive.h"

#include <sys/resource.h>

#include <cstdlib>
#include <fstream>

namespace tavik {
namespace {

namespace fs = std::filesystem;

const std::string samples = TAVIK_SOURCE_DIR "/examples/dwc/";

// The rows of the sample downloads as the sample database takes them: every
// record that may become a mark, in download order.
const char* const sampleRows = "Papilio xuthus,,,,S01,B,35.681236,139.767125,\r\n"
                               "Papilio xuthus,,,,S01,A,34.6937,135.5023,\r\n"
                               "Papilio xuthus,,,,S01,B,35.681236,139.767125,\r\n"
                               "Papilio machaon,,,,S01,B,36.6513,138.181,\r\n"
                               "Papilio protenor,,,,S01,A,33.5597,133.5311,\r\n"
                               "Papilio bianor,,,,S01,B,32.8031,130.7079,\r\n"
                               "Papilio maackii,,,,S01,B,39.7036,141.1527,\r\n"
                               "Graphium sarpedon,,,,S01,B,33.8416,132.7657,\r\n"
                               "Luehdorfia japonica,,,,S01,A,35.4233,136.7607,\r\n"
                               "Luehdorfia japonica,,,,S01,B,37.9026,139.0232,\r\n"
                               "Parnassius glacialis,,,,S01,B,36.238,137.972,\r\n"
                               "Pieris rapae,,,,S01,B,33.5904,130.4017,\r\n"
                               "Anthocharis scolymus,,,,S01,A,35.0116,135.7681,\r\n"
                               "Zizeeria maha,,,,S01,B,31.5966,130.5571,\r\n"
                               "Lampides boeticus,,,,S01,B,26.2124,127.6809,\r\n"
                               "Curetis acuta,,,,S01,C,34.226,135.1675,\r\n"
                               "Sasakia charonda,,,,S01,A,35.8617,139.6455,\r\n"
                               "Hestina assimilis,,,,S01,B,35.4437,139.638,\r\n"
                               "Parantica sita,,,,S01,C,36.3895,139.0634,\r\n"
                               "Argyreus hyperbius,,,,S01,B,34.3853,132.4553,\r\n"
                               "Parnara guttata,,,,S01,B,38.2682,140.8694,\r\n"
                               "Sericinus montela,,,,S01,B,35.1815,136.9066,\r\n"
                               "Sericinus montela,,,,S01,B,35.36,136.62,\r\n"
                               "Papilio maackii,,,1,S01,A,,,\r\n"
                               "Choaspes benjaminii,,,26,S01,A,,,\r\n"
                               "Neptis sappho,,,46,S01,B,,,\r\n"
                               "Papilio xuthus,,,,S01,B,35.6,139.7,\r\n"; // its no-break space made a plain one

TEST_F(DwcImportRun, EachFormOfTheSampleGivesTheSameRowsAndCountsEveryReason)
{
    // The archive unpacked into a folder is a fourth way to hand it over.
    ZipArchive zip;
    ASSERT_TRUE(zip.open(samples + "gbif-dwca.zip"));
    for (std::string name, bytes; zip.nextFile(name);) {
        ASSERT_TRUE(zip.readWhole(bytes, 1 << 20));
        writeBytes("unpacked/" + name, bytes);
    }
    for (const std::string& download : {samples + "gbif-dwca.zip", samples + "gbif-simple.zip",
             samples + "occurrences.csv", std::string("unpacked")}) {
        Result result
            = run("dwcimport", {"--literature", "S01", "--max-uncertainty", "10000", download, "input/gbif.csv"});
        ASSERT_EQ(result.status, 0) << download << "\n" << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(read("input/gbif.csv"), sampleRows) << download;
        std::string summary = result.out.substr(result.out.find("\n") + 1);
        EXPECT_EQ(summary,
            "  読んだ記録    40\n"
            "  書いた行      27 (緯度経度 24、地域メッシュ 0、地域 3)\n"
            "  除いた記録    13\n"
            "    列の数が見出し (meta.xml) と合わない            0\n"
            "    occurrenceStatus が absent (不在)               2\n"
            "    名前がない (species も scientificName もない)   1\n"
            "    species が種小名だけで属名がない                0\n"
            "    名前に制御文字 (改行、タブなど) がある          0\n"
            "    名前に cp932 で書けない文字がある               1\n"
            "    GBIF が座標に誤りの印 (issue) を付けた          2\n"
            "    座標がなく、その名の地域もない                  2\n"
            "    座標が数でないか ±90/±180 を超える              2\n"
            "    座標がちょうど 0,0                              1\n"
            "    座標の不確かさがメートルの数でない              0\n"
            "    座標の不確かさが上限を超える                    2\n"
            "    換算できない測地系                              0\n"
            "    地域メッシュの範囲外                            0\n"
            "緯度経度は世界測地系 (WGS84。JGD2000 と JGD2011 は 1 m 以内で一致します) で書きました.\n"
            "種テーブルにない名前 (種テーブルに加えるか、その行に IVD を付けてから ludric を実行して下さい):\n"
            "  Sericinus montela                        2 行\n"
            "cp932 で書けない文字のある名前 (その記録は書いていません):\n"
            "  Vanessa cardu<U+0131>                    1 行\n"
            "--> input/gbif.csv\n")
            << download;
    }
}

TEST_F(DwcImportRun, SquaresReplaceCoordinatesWhenAskedOnTheDatabasesDatum)
{
    // The sample database keeps squares on the Tokyo datum (MeshGeodetic=JGS):
    // Tokyo station, 11.604" south and 11.471" east on it (the shift of 5339),
    // falls in the half square 5339-46-11-2 there and in 5339-46-11-3 on the
    // world datum (worked out in exact fractions of a degree).
    writeBytes("dl.txt",
        "species\tdecimalLatitude\tdecimalLongitude\tbasisOfRecord\n"
        "Papilio xuthus\t35.681236\t139.767125\tPRESERVED_SPECIMEN\n"
        "Papilio xuthus\t-33.9\t151.2\tPRESERVED_SPECIMEN\n");
    Result result = run("dwcimport", {"--literature", "S01", "--grid", "half", "dl.txt", "input/gbif.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/gbif.csv"), "Papilio xuthus,,,,S01,A,,,533946112\r\n");
    EXPECT_NE(result.out.find("    地域メッシュの範囲外                            1\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("地域メッシュ (half) は MeshGeodetic のとおり日本測地系で求めました"), std::string::npos)
        << result.out;

    settings("MeshGeodetic=JGS", "MeshGeodetic=wgs", "");
    result = run("dwcimport", {"--literature", "S01", "--grid", "half", "dl.txt", "input/gbif.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/gbif.csv"), "Papilio xuthus,,,,S01,A,,,533946113\r\n");
}

// The [Dwc] section sets what the options set; an option wins.
TEST_F(DwcImportRun, TheDwcSectionSetsTheConversionAndOptionsWin)
{
    writeBytes("dl.csv",
        "scientificName,basisOfRecord,decimalLatitude,decimalLongitude,coordinateUncertaintyInMeters\r\n"
        "\"Papilio xuthus Linnaeus, 1767\",HumanObservation,35.681236,139.767125,800\r\n"
        "Pieris rapae,FossilSpecimen,33.5904,130.4017,\r\n");
    const std::string section = "[Dwc]\r\nLiterature=S02\r\nRank=HumanObservation:C,*:Z\r\nMaxUncertainty=500\r\n";
    settings("", "", section + "Grid=3\r\n");
    Result result = run("dwcimport", {"dl.csv", "input/gbif.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/gbif.csv"), "Pieris rapae,,,,S02,Z,,,50303302\r\n");

    result = run("dwcimport",
        {"--literature", "S03", "--grid", "none", "--max-uncertainty", "none", "--rank", "*:B", "dl.csv",
            "input/gbif.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/gbif.csv"),
        "Papilio xuthus,,,,S03,C,35.681236,139.767125,\r\n"
        "Pieris rapae,,,,S03,B,33.5904,130.4017,\r\n");

    settings("", "", section + "Grid=ninth\r\n");
    result = run("dwcimport", {"dl.csv", "input/gbif.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "\ntavik.ini の [Dwc] Grid: \"ninth\" は 1, 2, 3, half, quarter, eighth, none のどれでもありません.\n");
}

TEST_F(DwcImportRun, WithoutAKnownLiteratureCodeTheCitationIsSuggested)
{
    writeBytes("input/gbif.csv", "old rows\r\n");
    Result result = run("dwcimport", {samples + "gbif-dwca.zip", "input/gbif.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
        ".\\dbase\\litera.csv\n"
        "文献コードが指定されていません: --literature CODE (または tavik.ini の [Dwc] に Literature=CODE) "
        "で文献テーブルの"
        "コードを指定して下さい.\n"
        "このダウンロードの引用: GBIF.org (7 December 2026) GBIF Occurrence Download (synthetic sample) "
        "https://doi.org/10.5555/tavik-sample-0001\n"
        "文献テーブルに加える行 (加えてから --literature でそのコードを指定して下さい):\n"
        "GBIF-tavik-sample-0001,GBIF.org,2026,GBIF Occurrence Download (synthetic sample) "
        "https://doi.org/10.5555/tavik-sample-0001\n");
    result = run("dwcimport", {"--literature", "GBIF-1", samples + "gbif-simple.zip", "input/gbif.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.substr(0, result.err.find("\n文献テーブルに加える行")),
        ".\\dbase\\litera.csv\n"
        "文献コード [GBIF-1] は文献テーブルにありません.\n"
        "このダウンロードの引用: GBIF.org (7 December 2026) GBIF Occurrence Download 0000001-261207000000000");
    EXPECT_EQ(read("input/gbif.csv"), "old rows\r\n");
}

TEST_F(DwcImportRun, AFaultyDownloadLeavesTheTableAsItWas)
{
    std::string zip = test::readBytes(samples + "gbif-dwca.zip");
    writeBytes("cut.zip", zip.substr(0, zip.size() / 2));
    writeBytes("open.csv", "species,decimalLatitude,decimalLongitude\nPieris rapae,33.5,130.4\n\"Pieris rapae,1,2\n");
    writeBytes("nothing.txt", "gbifID\tlocality\n1\tTokyo\n");
    writeBytes("event/meta.xml",
        "<archive><core rowType=\"http://rs.tdwg.org/dwc/terms/Event\"><files><location>e.txt</location></files>"
        "</core></archive>");
    writeBytes("input/gbif.csv", "old rows\r\n");
    struct Case {
        const char* download;
        const char* report; // the two lines (the rest of the second cut)
    } cases[] = {
        {"cut.zip", "cut.zip\n壊れた zip です: "},
        {"open.csv", "open.csv\n3 行目: 引用符 (\") で始まる項目がファイルの終わりまで閉じていません.\n"},
        {"nothing.txt",
            "nothing.txt\n見出しの行に種の列 (species か scientificName) がありません: 出現記録のファイルではないよう"
            "です.\n"},
        {"event",
            "event/meta.xml\nイベント (Event) のコアに出現記録 (Occurrence) の拡張がありません: "
            "読む記録がありません.\n"},
        {"missing.zip", "missing.zip\nダウンロードのファイルがありません.\n"},
    };
    for (const Case& c : cases) {
        Result result = run("dwcimport", {"--literature", "S01", c.download, "input/gbif.csv"});
        EXPECT_EQ(result.status, 1) << c.download;
        EXPECT_EQ(result.err.substr(0, std::string(c.report).size()), c.report) << c.download;
        EXPECT_EQ(read("input/gbif.csv"), "old rows\r\n") << c.download;
    }
    std::vector<std::string> inputs;
    for (const std::string& name : files())
        if (name.rfind("input/", 0) == 0)
            inputs.push_back(name);
    EXPECT_EQ(inputs,
        (std::vector<std::string>{
            "input/gbif.csv", "input/kanto_chubu.csv", "input/north.csv", "input/west_south.csv"}));
}

// ludric fills the table and samvel takes it on unchanged; a second
// conversion of the same download imported on top adds nothing.
TEST_F(DwcImportRun, LudricAndSamvelTakeTheTableAndASecondImportAddsNothing)
{
    writeBytes("dl.txt",
        "species\tdecimalLatitude\tdecimalLongitude\tbasisOfRecord\tstateProvince\n"
        "Papilio xuthus\t35.681236\t139.767125\tPRESERVED_SPECIMEN\t\n"
        "Papilio xuthus\t35.6812360\t139.767125\tHUMAN_OBSERVATION\t\n"
        "Luehdorfia japonica\t-35.5\t-139.25\tHUMAN_OBSERVATION\t\n"
        "Parnassius glacialis\t\t\tPRESERVED_SPECIMEN\tAomori-ken\n");
    ASSERT_EQ(run("dwcimport", {"--literature", "S05", "dl.txt", "input/gbif.csv"}).status, 0);
    ASSERT_EQ(run("ludric", {"input/*.csv"}).status, 0);
    EXPECT_EQ(read("input/gbif.csv"),
        "Papilio xuthus,,101,,S05,A,35.681236,139.767125,\r\n"
        "Papilio xuthus,,101,,S05,B,35.681236,139.767125,\r\n"
        "Luehdorfia japonica,,108,,S05,B,-35.5,-139.25,\r\n"
        "Parnassius glacialis,,109,2,S05,A,,,\r\n");
    Result samvel = run("samvel", {"-rebuild", "input/*.csv"});
    ASSERT_EQ(samvel.status, 0) << samvel.err;
    std::string distribution = read("dbase/ta_vik.csv");
    std::string literature = read("dbase/split.csv");
    EXPECT_NE(distribution.find("N35.681236E139.767125,A"), std::string::npos);
    EXPECT_NE(distribution.find("S35.5W139.25,B"), std::string::npos);

    ASSERT_EQ(run("dwcimport", {"--literature", "S05", "dl.txt", "again.csv"}).status, 0);
    ASSERT_EQ(run("ludric", {"again.csv"}).status, 0);
    samvel = run("samvel", {"again.csv"});
    ASSERT_EQ(samvel.status, 0) << samvel.err;
    EXPECT_EQ(read("dbase/ta_vik.csv"), distribution);
    EXPECT_EQ(read("dbase/split.csv"), literature);
}

// A million records stream through: the memory of the run does not grow with them.
TEST_F(DwcImportRun, AMillionRecordsConvertInBoundedMemory)
{
    {
        std::ofstream out(dir_ / "big.txt", std::ios::binary);
        out << "gbifID\tspecies\tbasisOfRecord\tdecimalLatitude\tdecimalLongitude\tlocality\n";
        std::string locality(120, 'x');
        for (int i = 0; i < 1000000; ++i)
            out << i << "\tPapilio xuthus\tHUMAN_OBSERVATION\t35." << i % 1000 << "\t139." << i % 997 << "\t"
                << locality << "\n";
    }
#if defined(__SANITIZE_ADDRESS__)
    // The address sanitizer keeps freed blocks in a quarantine of up to
    // 256 MB; with a small one the run's own memory shows.
    ::setenv("ASAN_OPTIONS", "detect_leaks=1:quarantine_size_mb=1", 1);
#endif
    Result result = run("dwcimport", {"--literature", "S01", "big.txt", "input/big.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("  書いた行      1000000 (緯度経度 1000000、"), std::string::npos) << result.out;
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    // Some 150 MB went through; the reader holds a block of 1 MiB and one record.
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's shadow and allocator add their own tens of MB (41 MB
    // were seen); still far below what went through.
    const long limitKb = 80 * 1024;
#else
    const long limitKb = 40 * 1024;
#endif
    EXPECT_LT(usage.ru_maxrss, limitKb) << "kB";
}

} // namespace
} // namespace tavik
