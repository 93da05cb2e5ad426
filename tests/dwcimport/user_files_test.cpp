// dwcimport on files as users have them: shifted columns, control
// characters, encodings, prefectures, layouts, macOS zips, pipes and
// compressed text, hostile meta.xml, huge metadata, signals, the database
// lock, a full disk and memory running out.
#include "tests/dwcimport/dwc_import_run.h"
#include "tests/support/kill_window.h"
#include "tests/support/scoped_environment.h"

#include "platform/cp932.h"
#include "platform/file_lock.h"

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

namespace tavik {
namespace {

namespace fs = std::filesystem;

using Strings = std::vector<std::string>;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The files of a folder whose names hold ".tavik-": temporaries of a replacement.
Strings temporaries(const fs::path& folder)
{
    Strings names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (contains(entry.path().filename().string(), ".tavik-"))
            names.push_back(entry.path().filename().string());
    return names;
}

using UserFiles = DwcImportRun;

TEST_F(UserFiles, RowsWithShiftedColumnsAreSkippedAndTheirLinesNamed)
{
    // A stray tab, a missing field, a line feed inside a field (the record
    // splits in two lines, neither whole), and a good row after them.
    writeBytes("shifted.txt",
        "gbifID\tspecies\tlocality\tindividualCount\tdecimalLatitude\tdecimalLongitude\tbasisOfRecord\n"
        "1\tPieris rapae\tpark\t3\t35.625\t139.5\tHUMAN_OBSERVATION\n"
        "2\tPieris rapae\tpark\t\t3\t35.625\t139.5\tHUMAN_OBSERVATION\n"
        "3\tPapilio xuthus\tpark\t1\t34.5\t135.5\n"
        "4\tPapilio xuthus\tby the\nriver\t1\t34.5\t135.5\tPRESERVED_SPECIMEN\n"
        "5\tPapilio xuthus\triver\t1\t34.5\t135.5\tPRESERVED_SPECIMEN\n");
    Result result = run("dwcimport", {"--literature", "S01", "shifted.txt", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"),
        "Pieris rapae,,,,S01,B,35.625,139.5,\r\n"
        "Papilio xuthus,,,,S01,A,34.5,135.5,\r\n");
    EXPECT_TRUE(contains(result.out, "  読んだ記録    6\n")) << result.out;
    EXPECT_TRUE(contains(result.out, "    列の数が見出し (meta.xml) と合わない            4 (3, 4, 5, 6 行目)\n"))
        << result.out;

    // An archive without a header line: the first record shows the count.
    std::string meta = "<archive><core rowType=\"http://rs.tdwg.org/dwc/terms/Occurrence\" fieldsTerminatedBy=\"\\t\" "
                       "fieldsEnclosedBy=\"\"><files><location>occurrence.txt</location></files><id index=\"0\"/>"
                       "<field index=\"1\" term=\"dwc:species\"/><field index=\"2\" term=\"dwc:decimalLatitude\"/>"
                       "<field index=\"3\" term=\"dwc:decimalLongitude\"/></core></archive>";
    writeZip(path("dwca.zip"),
        {{"meta.xml", meta},
            {"occurrence.txt",
                "1\tPieris rapae\t35.5\t139.5\n2\tPieris rapae\t\t35.5\t139.5\n3\tPieris rapae\t35.5\n"
                "4\tPapilio xuthus\t34.5\t135.5\n"}});
    result = run("dwcimport", {"--literature", "S01", "dwca.zip", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"),
        "Pieris rapae,,,,S01,C,35.5,139.5,\r\n"
        "Papilio xuthus,,,,S01,C,34.5,135.5,\r\n");
    EXPECT_TRUE(contains(result.out, "と合わない            2 (2, 3 行目)\n")) << result.out;
}

TEST_F(UserFiles, ControlCharactersNeverReachTheTableOrTheTerminal)
{
    writeBytes("controls.csv",
        "species,stateProvince,decimalLatitude,decimalLongitude\r\n"
        "\"Papilio\nxuthus\",,35.6,139.7\r\n"
        "\"Papilio\txuthus\",,35.6,139.7\r\n"
        "\"Papilio\x1B[2Jxuthus\",,35.6,139.7\r\n"
            + std::string("\"Pieris\0rapae\",,35.6,139.7\r\n", 28)
            + "\"Pieris rapae\xC2\x85\",,35.6,139.7\r\n"
              "Pieris rapae,\"Tokyo\x1B\",,\r\n"
              "Pieris rapae,,\"35.6\r\",139.7\r\n");
    Result result = run("dwcimport", {"--literature", "S01", "controls.csv", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"),
        "Pieris rapae,,,13,S01,C,,,\r\n"
        "Pieris rapae,,,,S01,C,35.6,139.7,\r\n");
    EXPECT_TRUE(contains(result.out, "    名前に制御文字 (改行、タブなど) がある          5\n")) << result.out;

    // What the reports quote is escaped and cut, whatever it holds.
    result = run("dwcimport", {"--literature", "S\x1B]0;title\x07" + std::string(300, 'x'), "controls.csv", "x.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err, "文献コード [S\\x1B]0;title\\x07xxxx")) << result.err;
    EXPECT_TRUE(contains(result.err, "xxx…] は文献テーブルにありません.")) << result.err;
    EXPECT_LT(result.err.find('\n', result.err.find("文献コード")) - result.err.find("文献コード"), 160u);
    for (const std::string* text : {&result.out, &result.err})
        for (char c : *text)
            EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << static_cast<int>(c);
}

TEST_F(UserFiles, EveryEncodingIsReadOrRefusedNamingTheOptionToGive)
{
    // An Excel CSV saved in Japan: cp932, CR LF, Japanese names and prefectures.
    const std::string excel = cp932Literal("species,stateProvince\r\nアゲハ,東京都\r\nキアゲハ,大阪府\r\n");
    const char* const rows = "アゲハ,,,13,S01,C,,,\r\nキアゲハ,,,27,S01,C,,,\r\n";
    writeBytes("excel.csv", excel);
    Result result = run("dwcimport", {"--literature", "S01", "excel.csv", "input/dl.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "excel.csv\n2 行目: UTF-8 として読めない文字があります (0x83 0x41 0x83 0x51). cp932 (Shift_JIS) で書かれた"
        "ファイルのようです: --encoding cp932 を付けるか、tavik.ini の [Dwc] に Encoding=cp932 と書いて、やり直して"
        "下さい.\n");
    EXPECT_EQ(read("input/dl.csv"), "");
    result = run("dwcimport", {"--literature", "S01", "--encoding", "cp932", "excel.csv", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), cp932Literal(rows));
    EXPECT_TRUE(contains(result.out, "カンマ区切り (引用符 \")、cp932 (Shift_JIS))")) << result.out;

    settings("", "", "[Dwc]\r\nEncoding=Shift_JIS\r\n");
    result = run("dwcimport", {"--literature", "S01", "excel.csv", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), cp932Literal(rows));
    settings("", "", "");

    // Excel's "Unicode text": UTF-16 little-endian with its mark, tab-separated.
    std::string unicode = "\xFF\xFE";
    for (char16_t c : std::u16string(u"species\tstateProvince\r\nアゲハ\t東京都\r\nキアゲハ\t大阪府\r\n")) {
        unicode += static_cast<char>(c & 0xFF);
        unicode += static_cast<char>(c >> 8);
    }
    writeBytes("unicode.txt", unicode);
    result = run("dwcimport", {"--literature", "S01", "unicode.txt", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), cp932Literal(rows));

    // Latin-1 is refused as UTF-8 rather than passed, and read when named.
    writeBytes(
        "latin.txt", "species\tlocality\tdecimalLatitude\tdecimalLongitude\nPieris rapae\tM\xFCnchen\t48.1\t11.5\n");
    result = run("dwcimport", {"--literature", "S01", "latin.txt", "input/dl.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err,
        "2 行目: UTF-8 として読めない文字があります (0xFC 0x6E 0x63 0x68). Latin-1 "
        "(windows-1252) で書かれたファイルのようです: --encoding latin1 を付けるか"))
        << result.err;
    result = run("dwcimport", {"--literature", "S01", "--encoding", "latin1", "latin.txt", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), "Pieris rapae,,,,S01,C,48.1,11.5,\r\n");

    // meta.xml names the encoding of its core; --encoding wins over it.
    std::string meta = "<archive><core encoding=\"windows-31j\" rowType=\"http://rs.tdwg.org/dwc/terms/Occurrence\" "
                       "fieldsTerminatedBy=\",\" ignoreHeaderLines=\"1\"><files><location>occurrence.csv</location>"
                       "</files><field index=\"0\" term=\"dwc:species\"/><field index=\"1\" "
                       "term=\"dwc:stateProvince\"/></core></archive>";
    writeZip(path("cp932.zip"), {{"meta.xml", meta}, {"occurrence.csv", excel}});
    result = run("dwcimport", {"--literature", "S01", "cp932.zip", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), cp932Literal(rows));
    result = run("dwcimport", {"--literature", "S01", "--encoding", "utf-8", "cp932.zip", "input/dl.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err, "cp932.zip:occurrence.csv\n2 行目: UTF-8 として読めない")) << result.err;
}

TEST_F(UserFiles, TheStateNamesThePrefectureAndItsSpellingsAreAllFound)
{
    // A ward of Osaka city bears the name of Fukushima prefecture, one of
    // Kawasaki that of Miyazaki: the state decides. Then the spellings of
    // prefectures found in real downloads.
    std::string text = "species\tstateProvince\tcounty\n"
                       "Papilio xuthus\tOsaka\tFukushima\n"
                       "Papilio xuthus\tKanagawa\tMiyazaki\n"
                       "Papilio xuthus\t\tMiyazaki\n"
                       "Papilio xuthus\tKanto\tYokohama\n";
    const Strings spellings = {"Tokyo Metropolis", "Tokyo-to", "TOKYO TO", "Tōkyō", "Tôkyô", "Toukyou", "ＴＯＫＹＯ",
        "東京", "東京都", "とうきょう", "ﾄｳｷｮｳ", "Gunma Pref.", "Gumma", "Gunma-ken", "群馬", "ｸﾞﾝﾏ", "Hokkai-do",
        "Hokkaidō", "Ōsaka-fu", "Oosaka", "Ohsaka", "Kyoto Prefecture", "Kouchi", "Hyougo"};
    for (const std::string& spelling : spellings)
        text += "Pieris rapae\t" + spelling + "\t\n";
    writeBytes("prefectures.txt", text);
    Result result = run("dwcimport", {"--literature", "S01", "prefectures.txt", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::string expected = "Papilio xuthus,,,27,S01,C,,,\r\nPapilio xuthus,,,14,S01,C,,,\r\n"
                           "Papilio xuthus,,,45,S01,C,,,\r\n";
    for (const char* code : {"13", "13", "13", "13", "13", "13", "13", "13", "13", "13", "13", "10", "10", "10", "10",
             "10", "1", "1", "27", "27", "27", "26", "39", "28"})
        expected += std::string("Pieris rapae,,,") + code + ",S01,C,,,\r\n";
    EXPECT_EQ(read("input/dl.csv"), expected);
    EXPECT_TRUE(contains(result.out, "    座標がなく、その名の地域もない                  1\n")) << result.out;
}

// One file of each kind a user sends, and the rows it gives.
TEST_F(UserFiles, ValuesAsUsersWriteThemBecomeTheRightRows)
{
    struct Case {
        const char* what;
        const char* file;
        std::string text;
        Strings options;
        std::string rows;
        std::string summary; // a line the summary holds
    } cases[] = {
        {"datum spellings", "datum.txt",
            "species\tdecimalLatitude\tdecimalLongitude\tgeodeticDatum\n"
            "Pieris rapae\t35.1\t139.1\tWGS 1984\n"
            "Pieris rapae\t35.2\t139.2\tWorld Geodetic System 1984\n"
            "Pieris rapae\t35.3\t139.3\tEPSG:4326\n"
            "Pieris rapae\t35.4\t139.4\tITRF2014\n"
            "Pieris rapae\t35.5\t139.5\tnot recorded\n"
            "Pieris rapae\t35.6\t139.6\tJGD 2011\n"
            "Pieris rapae\t35.7\t139.7\tNAD27\n",
            {},
            "Pieris rapae,,,,S01,C,35.1,139.1,\r\nPieris rapae,,,,S01,C,35.2,139.2,\r\n"
            "Pieris rapae,,,,S01,C,35.3,139.3,\r\nPieris rapae,,,,S01,C,35.4,139.4,\r\n"
            "Pieris rapae,,,,S01,C,35.5,139.5,\r\nPieris rapae,,,,S01,C,35.6,139.6,\r\n",
            "    換算できない測地系                              1\n"},
        {"a legacy species column of epithets", "legacy.txt",
            "genus\tspecies\tscientificName\tdecimalLatitude\tdecimalLongitude\n"
            "Papilio\txuthus\t\t35.1\t139.1\n"
            "\tasplenioides\tAsplenium asplenioides Hook.\t35.2\t139.2\n"
            "\tasplenioides\t\t35.3\t139.3\n",
            {}, "Papilio xuthus,,,,S01,C,35.1,139.1,\r\nAsplenium asplenioides,,,,S01,C,35.2,139.2,\r\n",
            "    species が種小名だけで属名がない                1\n"},
        {"uncertainties that are no numbers", "uncertain.txt",
            "species\tdecimalLatitude\tdecimalLongitude\tcoordinateUncertaintyInMeters\n"
            "Pieris rapae\t35.1\t139.1\t20 km\n"
            "Pieris rapae\t35.2\t139.2\tinf\n"
            "Pieris rapae\t35.3\t139.3\t-5\n"
            "Pieris rapae\t35.4\t139.4\t250.5\n"
            "Pieris rapae\t35.5\t139.5\t\n",
            {"--max-uncertainty", "1000"}, "Pieris rapae,,,,S01,C,35.4,139.4,\r\nPieris rapae,,,,S01,C,35.5,139.5,\r\n",
            "    座標の不確かさがメートルの数でない              3\n"},
        {"blanks of every width in names", "blanks.txt",
            "species\tdecimalLatitude\tdecimalLongitude\n"
            "Pieris\xC2\xA0rapae\t35.1\t139.1\n"
            "Pieris\xE3\x80\x80rapae\t35.2\t139.2\n"
            " Pieris   rapae \t35.3\t139.3\n",
            {},
            "Pieris rapae,,,,S01,C,35.1,139.1,\r\nPieris rapae,,,,S01,C,35.2,139.2,\r\n"
            "Pieris rapae,,,,S01,C,35.3,139.3,\r\n",
            "  書いた行      3 "},
        {"a European spreadsheet's semicolons, CR-only line ends", "semicolons.csv",
            "species;locality;decimalLatitude;decimalLongitude\r\"Pieris rapae\";\"a; b\";35,1;139\r"
            "Pieris rapae;x;35.1;139.1\r",
            {}, "Pieris rapae,,,,S01,C,35.1,139.1,\r\n", "    座標が数でないか ±90/±180 を超える              1\n"},
    };
    for (const Case& c : cases) {
        writeBytes(c.file, c.text);
        Strings arguments = c.options;
        for (const std::string& word :
            {std::string("--literature"), std::string("S01"), std::string(c.file), std::string("input/dl.csv")})
            arguments.push_back(word);
        Result result = run("dwcimport", arguments);
        ASSERT_EQ(result.status, 0) << c.what << "\n" << result.err;
        EXPECT_EQ(read("input/dl.csv"), c.rows) << c.what;
        EXPECT_TRUE(contains(result.out, c.summary)) << c.what << "\n" << result.out;
    }
}

TEST_F(UserFiles, QuotedSimpleDownloadsAndZipsMadeOnMacOSAreRead)
{
    // GBIF's simple download of 2016 quoted every field.
    std::string quoted = "\"gbifID\"\t\"species\"\t\"locality\"\t\"decimalLatitude\"\t\"decimalLongitude\"\n"
                         "\"1\"\t\"Pieris rapae\"\t\"by the \"\"old\"\" mill\tpond\nwest\"\t\"35.5\"\t\"139.5\"\n";
    writeZip(path("0012345-160412000000000.zip"), {{"0012345-160412000000000.csv", quoted}});
    Result result = run("dwcimport", {"0012345-160412000000000.zip", "input/dl.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err,
        "\nこのダウンロードの引用: GBIF.org (12 April 2016) GBIF Occurrence Download 0012345-160412000000000\n"
        "文献テーブルに加える行 (加えてから --literature でそのコードを指定して下さい):\n"
        "GBIF0012345-160412000000000,GBIF.org,2016,GBIF Occurrence Download 0012345-160412000000000\n"))
        << result.err;
    result = run("dwcimport", {"--literature", "S01", "0012345-160412000000000.zip", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), "Pieris rapae,,,,S01,C,35.5,139.5,\r\n");
    EXPECT_TRUE(contains(result.out, "タブ区切り (引用符 \")")) << result.out;

    // The same zipped on macOS: its attribute copies and the Finder's file.
    writeZip(path("mac.zip"),
        {{"0012345-160412000000000.csv", quoted}, {"__MACOSX/._0012345-160412000000000.csv", "\x00\x05\x16\x07"},
            {".DS_Store", "Bud1"}});
    result = run("dwcimport", {"--literature", "S01", "mac.zip", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), "Pieris rapae,,,,S01,C,35.5,139.5,\r\n");

    // An archive zipped as a folder on macOS.
    std::string meta = "<archive><core rowType=\"http://rs.tdwg.org/dwc/terms/Occurrence\" fieldsTerminatedBy=\"\\t\" "
                       "ignoreHeaderLines=\"1\"><files><location>occurrence.txt</location></files>"
                       "<field index=\"0\" term=\"dwc:species\"/><field index=\"1\" term=\"dwc:stateProvince\"/>"
                       "</core></archive>";
    writeZip(path("folder.zip"),
        {{"dwca/meta.xml", meta}, {"__MACOSX/dwca/._meta.xml", "\x00\x05\x16\x07"},
            {"dwca/occurrence.txt", "species\tstateProvince\nPieris rapae\tKyoto\n"},
            {"__MACOSX/dwca/._occurrence.txt", "\x00\x05\x16\x07"}, {"dwca/._eml.xml", "junk"}});
    result = run("dwcimport", {"--literature", "S01", "folder.zip", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), "Pieris rapae,,,26,S01,C,,,\r\n");
}

TEST_F(UserFiles, PipesStandardInputAndCompressedTextAreRead)
{
    const std::string text = "species\tdecimalLatitude\tdecimalLongitude\nPieris rapae\t35.5\t139.5\n";
    const char* const rows = "Pieris rapae,,,,S01,C,35.5,139.5,\r\n";
    Result result = run("dwcimport", {"--literature", "S01", "-", "input/dl.csv"}, text);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), rows);
    EXPECT_TRUE(contains(result.out, "dwcimport: (標準入力) (見出しの行のあるテキスト")) << result.out;

    for (const char* compression : {"gzip", "bzip2", "xz"}) {
        std::string name = std::string("0001234-240101120000000.csv.") + compression;
        writeCompressed(path(name), text, compression);
        result = run("dwcimport", {"--literature", "S01", name, "input/dl.csv"});
        ASSERT_EQ(result.status, 0) << compression << "\n" << result.err;
        EXPECT_EQ(read("input/dl.csv"), rows) << compression;
        EXPECT_TRUE(contains(result.out, std::string("、") + compression + " 圧縮)")) << result.out;
    }
    // Compressed text on standard input.
    result = run("dwcimport", {"--literature", "S01", "-", "input/dl.csv"},
        test::readBytes(path("0001234-240101120000000.csv.gzip")));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), rows);

    // A named pipe, written while dwcimport reads it; a zip cannot come so.
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    test::StartedProcess reader = start("dwcimport", {"--literature", "S01", "pipe", "input/dl.csv"});
    {
        std::ofstream pipe(path("pipe"), std::ios::binary);
        pipe << text;
    }
    result = reader.wait();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), rows);
    result = run("dwcimport", {"--literature", "S01", "-", "input/dl.csv"},
        test::readBytes(TAVIK_SOURCE_DIR "/examples/dwc/gbif-simple.zip"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "(標準入力)\nzip はパイプや標準入力からは読めません: ファイルに保存して、その名前を指定して下さい.\n");
}

TEST_F(UserFiles, AMetaXmlThatLeadsAstrayIsRefused)
{
    auto core = [](const std::string& location, const std::string& fields) {
        return "<archive><core rowType=\"http://rs.tdwg.org/dwc/terms/Occurrence\" fieldsTerminatedBy=\"\\t\" "
               "ignoreHeaderLines=\"1\"><files><location>"
            + location + "</location></files>" + fields + "</core></archive>";
    };
    const std::string fields
        = "<field index=\"0\" term=\"dwc:species\"/><field index=\"1\" term=\"dwc:decimalLatitude\"/>"
          "<field index=\"2\" term=\"dwc:decimalLongitude\"/>";
    const std::string data = "species\tdecimalLatitude\tdecimalLongitude\nPieris rapae\t35.5\t139.5\n";
    writeBytes("outside/secret.txt", data);
    fs::create_directories(dir_ / "linked");
    fs::create_symlink(dir_ / "outside/secret.txt", dir_ / "linked/occurrence.txt");
    writeBytes("linked/meta.xml", core("occurrence.txt", fields));
    writeBytes("escaping/meta.xml", core("../outside/secret.txt", fields));
    writeBytes("absolute/meta.xml", core(path("outside/secret.txt"), fields));
    writeBytes("shifted/meta.xml",
        core("occurrence.txt",
            "<field index=\"0\" term=\"dwc:species\"/><field index=\"2\" term=\"dwc:decimalLatitude\"/>"
            "<field index=\"1\" term=\"dwc:decimalLongitude\"/>"));
    writeBytes("shifted/occurrence.txt", data);
    writeBytes("beyond/meta.xml", core("occurrence.txt", fields + "<field index=\"7\" term=\"dwc:county\"/>"));
    writeBytes("beyond/occurrence.txt", data);
    writeBytes("twice/meta.xml", core("occurrence.txt", fields + "<field index=\"3\" term=\"dwc:species\"/>"));
    writeBytes("shared/meta.xml", core("occurrence.txt", fields + "<field index=\"2\" term=\"dwc:county\"/>"));
    writeZip(path("escaped.zip"),
        {{"dw\x1B]0;x\x07"
          "ca/meta.xml",
            "<meta/>"}});
    writeZip(path("nested.zip"),
        {{"meta.xml", core("occurrence.txt", fields)}, {"occurrence.txt", data},
            {"old/meta.xml", core("occurrence.txt", fields)}, {"old/occurrence.txt", data}});
    struct Case {
        const char* download;
        std::string report;
    } cases[] = {
        {"escaping",
            "escaping/meta.xml\n<location> の \"../outside/secret.txt\" はアーカイブの外を指しています: "
            "読みません.\n"},
        {"absolute", "absolute/meta.xml\n<location> の \"/"},
        {"linked", "linked/meta.xml\nmeta.xml が名指す occurrence.txt はフォルダの外にあります: 読みません.\n"},
        {"shifted",
            "shifted/occurrence.txt\nmeta.xml では列 2 (0 から数えて) が decimalLatitude ですが、"
            "occurrence.txt の見出しでは decimalLongitude です. meta.xml の index が違っています.\n"},
        {"beyond",
            "beyond/occurrence.txt\nmeta.xml の項目 county の列 7 (0 から数えて) が occurrence.txt にありません:"
            " 見出しの列は 3 個です. meta.xml の index が違っています.\n"},
        {"twice", "twice/meta.xml\n項目 \"dwc:species\" が二度記述されています: どちらの列を読むか決められません.\n"},
        {"shared",
            "shared/meta.xml\n列 2 に二つの項目 (\"dwc:decimalLongitude\" と \"dwc:county\") が割り当てられて"
            "います.\n"},
        {"escaped.zip", "escaped.zip:dw\\x1B]0;x\\x07ca/meta.xml\n最上位の要素が <archive> でなく <meta> です.\n"},
        {"nested.zip",
            "nested.zip\nzip に meta.xml が 2 個あります (meta.xml, old/meta.xml): どのアーカイブを読むか"
            "決められません. アーカイブを一つずつ別の zip にして下さい.\n"},
    };
    writeBytes("input/dl.csv", "old rows\r\n");
    for (const Case& c : cases) {
        Result result = run("dwcimport", {"--literature", "S01", c.download, "input/dl.csv"});
        EXPECT_EQ(result.status, 1) << c.download;
        EXPECT_EQ(result.err.substr(0, c.report.size()), c.report) << c.download;
        EXPECT_EQ(read("input/dl.csv"), "old rows\r\n") << c.download;
    }
}

// A download of many datasets holds one metadata document for each: only
// the one the citation needs is read, streamed, whatever their size. (Read
// whole, these took 199 MB.)
TEST_F(UserFiles, TheMetadataOfAHugeZipIsReadInLittleMemory)
{
    // Written piece by piece: the test holds none of it when dwcimport starts.
    std::vector<RepeatedZipFile> files = {
        {"meta.xml",
            "<archive metadata=\"metadata.xml\"><core rowType=\"http://rs.tdwg.org/dwc/terms/Occurrence\" "
            "fieldsTerminatedBy=\"\\t\" ignoreHeaderLines=\"1\"><files><location>occurrence.txt</location></files>"
            "<field index=\"0\" term=\"dwc:species\"/><field index=\"1\" term=\"dwc:stateProvince\"/></core>"
            "</archive>",
            "", 0, ""},
        {"occurrence.txt", "species\tstateProvince\nPieris rapae\tKyoto\n", "", 0, ""},
        {"metadata.xml",
            "<eml packageId=\"10.15468/dl.bomb01\"><dataset><title>GBIF Occurrence Download 0000001-230301000000000"
            "</title><pubDate>2023-03-01</pubDate><abstract>",
            std::string(4096, 'a'), 3072, "</abstract></dataset></eml>"},
    };
    for (int i = 0; i < 100; ++i)
        files.push_back({"dataset/" + std::to_string(i) + ".xml", "<eml><dataset><title>Constituent</title><abstract>",
            std::string(4096, ' '), 384, "</abstract></dataset></eml>"});
    writeRepeatedZip(path("bomb.zip"), files);
    ASSERT_LT(fs::file_size(dir_ / "bomb.zip"), size_t{3} << 20);
#if defined(__SANITIZE_ADDRESS__)
    // The address sanitizer keeps freed blocks in a quarantine of up to
    // 256 MB; with a small one the run's own memory shows.
    ::setenv("ASAN_OPTIONS", "detect_leaks=1:quarantine_size_mb=1", 1);
#endif
    Result result = run("dwcimport", {"--literature", "S01", "bomb.zip", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"), "Pieris rapae,,,26,S01,C,,,\r\n");
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 50 * 1024) << "kB";

    result = run("dwcimport", {"bomb.zip", "input/dl.csv"});
    EXPECT_TRUE(contains(result.err,
        "このダウンロードの引用: GBIF.org (1 March 2023) GBIF Occurrence Download "
        "https://doi.org/10.15468/dl.bomb01\n"))
        << result.err;
}

// Ctrl+C or SIGTERM part-way leaves the old table and no temporary file;
// a second run meanwhile is refused by the database lock.
TEST_F(UserFiles, ASignalLeavesNoTemporaryAndTheLockKeepsOthersOut)
{
    const test::ScopedEnvironment shortWait = test::shortLockWait();
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    writeBytes("input/dl.csv", "old rows\r\n");
    for (int signal : {SIGINT, SIGTERM}) {
        test::StartedProcess reader = start("dwcimport", {"--literature", "S01", "pipe", "input/dl.csv"});
        std::ofstream pipe(path("pipe"), std::ios::binary);
        pipe << "species\tstateProvince\n";
        for (int i = 0; i < 20000; ++i)
            pipe << "Pieris rapae\tKyoto\n";
        pipe.flush();
        // The conversion is under way once its temporary file is there.
        for (int wait = 0; wait < 500 && temporaries(dir_ / "input").empty(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(temporaries(dir_ / "input").size(), 1u);
        if (signal == SIGINT) {
            Result refused = run("ludric", {"input/*.csv"});
            EXPECT_EQ(refused.status, 1);
            EXPECT_TRUE(contains(refused.err,
                "ほかのプログラム (samvel, ludric, norbek, dwcimport など) がこのデータベースを使用中です"))
                << refused.err;
        }
        ASSERT_EQ(::kill(reader.id(), signal), 0);
        Result result = reader.wait();
        EXPECT_EQ(result.status, -1) << "ended by the signal";
        EXPECT_EQ(temporaries(dir_ / "input"), Strings{});
        EXPECT_EQ(read("input/dl.csv"), "old rows\r\n");
    }
}

TEST_F(UserFiles, UnderTheLockAKilledRunsTemporariesGoAndAHeldLockRefuses)
{
    const test::ScopedEnvironment shortWait = test::shortLockWait();
    writeBytes("dl.txt", "species\tstateProvince\nPieris rapae\tKyoto\n");
    writeBytes("input/dl.csv.tavik-Ab3dE9", "half a table");
    writeBytes("input/dl.csv.tavik-notours", "someone else's");
    writeBytes("input/other.csv.tavik-Xy7pQ2", "another table's");
    Result result = run("dwcimport", {"--literature", "S01", "dl.txt", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(fs::exists(dir_ / "input/dl.csv.tavik-Ab3dE9"));
    EXPECT_TRUE(fs::exists(dir_ / "input/dl.csv.tavik-notours"));
    EXPECT_TRUE(fs::exists(dir_ / "input/other.csv.tavik-Xy7pQ2"));

    FileLock held;
    ASSERT_EQ(held.acquire(path("tavik.lock"), std::chrono::milliseconds(0)), FileLock::Status::Locked);
    writeBytes("input/dl.csv", "old rows\r\n");
    result = run("dwcimport", {"--literature", "S01", "dl.txt", "input/dl.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "tavik.lock\nほかのプログラム (samvel, ludric, norbek, dwcimport など) がこのデータベースを使用中です."
        "終わってからやり直して下さい.\n");
    EXPECT_EQ(read("input/dl.csv"), "old rows\r\n");
}

// A full disk is reported with its reason; memory running out with the
// two-line report, never a crash.
TEST_F(UserFiles, AFullDiskAndMemoryRunningOutAreReportedInWords)
{
    writeBytes("dl.txt", "species\tstateProvince\nPieris rapae\tKyoto\n");
    writeBytes("input/dl.csv", "old rows\r\n");
    test::ProcessCall call(
        test::builtProgram("dwcimport"), {"--literature", "S01", "dl.txt", "input/dl.csv"}, dir_.string());
    call.environment = {"TAVIK_INJECT_FULL_DISK=1"};
    Result result = test::runProcess(call);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "input/dl.csv\n書けません: ディスクに空きがありません.\n");
    EXPECT_EQ(read("input/dl.csv"), "old rows\r\n");
    EXPECT_EQ(temporaries(dir_ / "input"), Strings{});

    // A disk that really fills while the rows are written, where the test may
    // mount a small one.
    fs::create_directories(dir_ / "small");
    if (::mount("tmpfs", path("small").c_str(), "tmpfs", 0, "size=1m") == 0) {
        struct Unmount {
            std::string at;
            ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
        } unmount{path("small")};
        std::string many = "species\tdecimalLatitude\tdecimalLongitude\n";
        for (int i = 0; i < 60000; ++i)
            many += "Pieris rapae\t35.5\t139.5\n";
        writeBytes("many.txt", many);
        writeBytes("small/dl.csv", "old rows\r\n");
        result = run("dwcimport", {"--literature", "S01", "many.txt", "small/dl.csv"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "small/dl.csv\n書けません: ディスクに空きがありません.\n");
        EXPECT_EQ(read("small/dl.csv"), "old rows\r\n");
        EXPECT_EQ(temporaries(dir_ / "small"), Strings{});
    }

#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit that lets memory run out";
#endif
    // A record of 15 MiB under an address space a little larger than a
    // small run takes: the record's buffer cannot grow.
    writeBytes("big.txt",
        "species\tstateProvince\tlocality\nPieris rapae\tKyoto\t" + std::string(size_t{15} << 20, 'x') + "\n");
    auto limited = [&](long kilobytes) {
        test::ProcessCall shell("/bin/sh",
            {"-c", "ulimit -v " + std::to_string(kilobytes) + " && exec \"$0\" --literature S01 big.txt input/dl.csv",
                test::builtProgram("dwcimport")},
            dir_.string());
        return test::runProcess(shell);
    };
    Result fits = limited(1 << 20);
    ASSERT_EQ(fits.status, 0) << fits.err;
    for (long kilobytes = 30000; kilobytes <= 120000; kilobytes += 10000) {
        result = limited(kilobytes);
        if (result.status == 1 && contains(result.err, "メモリが足りません"))
            break;
    }
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.err, "\nメモリが足りません.\n");
}

// dwcimport killed at random moments, by SIGKILL or SIGTERM, a hundred times:
// the input table is the old one or the new one, whole; a SIGTERM leaves no
// temporary file of its own, and the next run removes what a SIGKILL left.
TEST_F(UserFiles, KilledAtRandomTheTableIsOldOrNewAndTheNextRunClearsUp)
{
    std::string text = "species\tdecimalLatitude\tdecimalLongitude\n";
    for (int i = 0; i < 200000; ++i)
        text += "Pieris rapae\t35." + std::to_string(i) + "\t139." + std::to_string(i % 997) + "\n";
    writeBytes("big.txt", text);
    text.clear();
    text.shrink_to_fit();
    const Strings arguments = {"--literature", "S01", "big.txt", "input/big.csv"};
    writeBytes("input/big.csv", "old rows\r\n");
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(run("dwcimport", arguments).status, 0);
    auto usual = std::chrono::steady_clock::now() - started;
    const std::string newTable = read("input/big.csv");
    std::mt19937 random(28);
    test::KillWindow window(usual);
    int replaced = 0;
    for (int i = 0; i < 100; ++i) {
        writeBytes("input/big.csv", "old rows\r\n");
        const Strings before = temporaries(dir_ / "input"); // what a SIGKILL before left
        test::StartedProcess process = start("dwcimport", arguments);
        std::this_thread::sleep_for(window.next(random));
        int signal = i % 2 == 0 ? SIGTERM : SIGKILL;
        ::kill(process.id(), signal);
        process.wait();
        std::string table = read("input/big.csv");
        ASSERT_TRUE(table == "old rows\r\n" || table == newTable) << "kill " << i << ", " << table.size() << " bytes";
        replaced += table == newTable;
        window.record(table == newTable);
        if (signal == SIGTERM) {
            for (const std::string& name : temporaries(dir_ / "input"))
                ASSERT_NE(std::find(before.begin(), before.end(), name), before.end()) << "kill " << i << ": " << name;
        }
    }
    EXPECT_GT(replaced, 0);
    EXPECT_LT(replaced, 100);
    ASSERT_EQ(run("dwcimport", arguments).status, 0);
    EXPECT_EQ(temporaries(dir_ / "input"), Strings{});
    EXPECT_EQ(read("input/big.csv"), newTable);
}

} // namespace
} // namespace tavik
