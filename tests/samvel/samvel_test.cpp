#include "tests/support/tool_run.h"

#include "platform/cp932.h"
#include "platform/file_lock.h"
#include "tests/support/fault_injection.h"
#include "tests/support/scoped_environment.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace tavik {
namespace {

class Samvel : public ToolRun {
protected:
    void SetUp() override
    {
        write(
            "species.csv", "10,Papilio machaon\r\n20,Parnassius glacialis\r\n30,Luehdorfia japonica\r\n40,Unseen\r\n");
        write("area.csv",
            "101,,,港区,,,,,,ミナト,,\r\n102,,,湊町,,,,,,ミナト,,\r\n103,,,渋谷,,,,,,シブヤ,,\r\n"
            "104,,,新宿,,,,,,シンジュク,,\r\n");
        write("litera.csv", "L1,Abe,1990,Birds of Japan\r\nL2,Ono,1991,日本の蝶\r\n");
        write("in.csv",
            "Papilio,,10,101,L1,B,,,\r\n"
            "Papilio,,10,101,L1,A,,,\r\n"
            "Papilio,,10,しぶや,L1,A,,,\r\n" // hiragana finds the katakana name
            "Papilio,,10,103,L2,Z,,,\r\n"
            "Parnassius,,20,,日本の蝶,C,35.5,139.5,\r\n" // literature by its title
            "Parnassius,,20,,L2,C,35.50,139.5,\r\n"
            "Parnassius,,20,どこにもない,L1,A,,,5339-45-12\r\n" // the mesh wins; the area is not checked
            "Parnassius,,20,,L1,B,-35.5,+139.5,\r\n"
            "x,IVD,bad,bad,bad,bad,bad,bad,\r\n"
            "Luehdorfia,,30,104,L1,A,,,\r\n"
            "Luehdorfia,,30,104,L1,D,,,\r\n"
            "Luehdorfia,,30,,L1,A,\"35.30'15\"\"\",\"139.45'30\"\"\",\r\n"); // seconds marks need quotes
    }

    void rebuild()
    {
        Result result = run("samvel", {"-rebuild", "in.csv"});
        ASSERT_EQ(result.status, 0) << result.err;
    }
};

const char* const expectedDistribution = "10,101,A,103,Z\r\n"
                                         "20,JP53394512,A,N35.5E139.5,C,N35.50E139.5,C,S35.5E139.5,B\r\n"
                                         "30,104,A,\"N35.30'15\"\"E139.45'30\"\"\",A\r\n"
                                         "40\r\n";
const char* const expectedSpeciesLiterature = "10,101,L1\r\n10,103,L1\r\n10,103,L2\r\n"
                                              "20,JP53394512,L1\r\n20,N35.5E139.5,L2\r\n20,N35.50E139.5,L2\r\n"
                                              "20,S35.5E139.5,L1\r\n"
                                              "30,104,L1\r\n30,\"N35.30'15\"\"E139.45'30\"\"\",L1\r\n"
                                              "40\r\n";

TEST_F(Samvel, RebuildMergesRecordsIntoBothFactTables)
{
    Result result = run("samvel", {"-rebuild", "in.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
        "Rebuild 指定されました.しばらくお待ち下さい.\n入力テーブル [in.csv]\n"
        "--> tavik.csv\n--> split.csv\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(read("tavik.csv"), expectedDistribution);
    EXPECT_EQ(read("split.csv"), expectedSpeciesLiterature);
}

TEST_F(Samvel, ImportingTheSameTableAgainChangesNothing)
{
    rebuild();
    Result result = run("samvel", {"in.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("tavik.csv"), expectedDistribution);
    EXPECT_EQ(read("split.csv"), expectedSpeciesLiterature);
    EXPECT_EQ(files(),
        (std::vector<std::string>{
            "area.csv", "in.csv", "litera.csv", "species.csv", "split.csv", "tavik.csv", "tavik.lock"}));
}

TEST_F(Samvel, ANormalImportMergesWithTheFactTables)
{
    rebuild();
    write("more.csv", "Luehdorfia,,30,103,L2,B,,,\r\nLuehdorfia,,30,104,L1,Z,,,\r\n");
    Result result = run("samvel", {"more.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    std::string distribution = expectedDistribution;
    distribution.replace(distribution.find("30,104,A"), 8, "30,103,B,104,Z");
    EXPECT_EQ(read("tavik.csv"), distribution);
    std::string literature = expectedSpeciesLiterature;
    literature.replace(literature.find("30,104,L1"), 9, "30,103,L2\r\n30,104,L1");
    EXPECT_EQ(read("split.csv"), literature);

    // Rebuild starts again from the input tables alone.
    rebuild();
    EXPECT_EQ(read("tavik.csv"), expectedDistribution);
}

TEST_F(Samvel, ALiteratureCodeOfTheFactTableIsReadAsTheLiteratureTableReadsIt)
{
    rebuild();
    // Typed by hand with blanks around it, full-width ones too.
    std::string literature = read("split.csv");
    literature.replace(literature.find("10,101,L1"), 9, "10,101,\"L1 \"");
    literature.replace(literature.find("30,104,L1"), 9, "30,104,　L1");
    write("split.csv", literature);
    Result result = run("samvel", {"in.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("split.csv"), expectedSpeciesLiterature);
}

TEST_F(Samvel, EachRowFaultStopsTheRunAndLeavesTheFactTablesAlone)
{
    rebuild();
    const std::string distribution = read("tavik.csv"), literature = read("split.csv");
    struct Case {
        const char* row;
        const char* message;
    } cases[] = {
        {"x,,99,101,L1,A,,,", "2 行目の種コード[99]は種テーブルに登録されていません"},
        {"", "2 行目の種コード[]は種テーブルに登録されていません"},
        {"x,,10,999,L1,A,,,", "2 行目の地域コード[999]は地域テーブルに登録されていません."},
        {"x,,10,どこか,L1,A,,,", "2 行目の地域名[どこか]は地域テーブルに登録されていません."},
        {"x,,10,みなと,L1,A,,,", "2 行目の地域名[みなと]は地域テーブルに複数(2件)あるため地域を特定できません."},
        {"x,,10,,L1,A,,,", "2 行目  地域名、緯度経度、メッシュコードいずれも記述されていません"},
        {"x,,10,,L1,A,,139.45,", "2 行目  緯度が記述されていません"},
        {"x,,10,,L1,A,35.5,,", "2 行目  経度が記述されていません"},
        {"x,,10,,L1,A,35'30',,", "2 行目: 35'30'  分が重複記述されています\n2 行目  経度が記述されていません"},
        {"x,,10,,L1,A,35.5N,139,", "2 行目: 35.5N  文字順序不正"},
        {"x,,10,,L1,A,91,139,", "2 行目: 91  値が大きすぎます   0 <= degree <= 90"},
        {"x,,10,,L1,A,35,E181,", "2 行目: E181  値が大きすぎます   0 <= degree <= 180"},
        {"x,,10,101,L9,A,,,", "2 行目の文献[L9]は文献テーブルに登録されていません."},
        {"x,,10,101,,A,,,", "2 行目の文献[]は文献テーブルに登録されていません."},
        {"x,,10,101,L1,a,,,", "2 行目 信頼度異常[a]"},
        {"x,,10,101,L1,A,,,5339-45-12-345678",
            "2 行目のメッシュコード[5339-45-12-345678]が長すぎます.数字は 13 桁までです."},
        // Codes no map can draw: fewer digits than a first-order square.
        {"x,,10,101,L1,A,,,abc", "2 行目のメッシュコード[abc]が短すぎます.数字は 4 桁以上です."},
        {"x,,10,101,L1,A,,,-", "2 行目のメッシュコード[-]が短すぎます.数字は 4 桁以上です."},
        {"x,,10,101,L1,A,,,53", "2 行目のメッシュコード[53]が短すぎます.数字は 4 桁以上です."},
        // Codes the maps would draw coarser or elsewhere than they say.
        {"x,,10,101,L1,A,,,5339-4",
            "2 行目のメッシュコード[5339-4]は数字が 5 桁です.地域メッシュのコードは 4 桁か 6 から 11 桁です."},
        {"x,,10,101,L1,A,,,5339-45-12-1234",
            "2 行目のメッシュコード[5339-45-12-1234]は数字が 12 桁です.地域メッシュのコードは 4 桁か 6 から 11 "
            "桁です."},
        {"x,,10,101,L1,A,,,5339-48",
            "2 行目のメッシュコード[5339-48]の 6 桁目の数字 8 は地域メッシュのコードとして範囲外です."},
        {"x,,10,101,L1,A,,,5339-45-0",
            "2 行目のメッシュコード[5339-45-0]の 7 桁目の数字 0 は地域メッシュのコードとして範囲外です."},
        {"x,,10,101,L1,A,,,5339-45-12-0",
            "2 行目のメッシュコード[5339-45-12-0]の 9 桁目の数字 0 は地域メッシュのコードとして範囲外です."},
        {"x,,10,101,L1,A,,,5339-45-23-5",
            "2 行目のメッシュコード[5339-45-23-5]の 8 桁目の数字 3 は地域メッシュのコードとして範囲外です."},
        {"x,\"y,10", "2 行目: CSV syntax error  \n\"y,10"},
        // Text from a table reaches the report cut short, and what a
        // terminal would take for a command is shown instead.
        {"x,,10,\x1B]0;title\x07,L1,A,,,", "2 行目の地域名[\\x1B]0;title\\x07]は地域テーブルに登録されていません."},
        {"x,,10,101,L1,\"a\x1B[2J\rb", "2 行目: CSV syntax error  \n\"a\\x1B[2J\\rb"},
    };
    // The first table is accepted, the second fails on its second row.
    write("b1.csv", "Luehdorfia,,30,101,L1,A,,,\r\n");
    for (const Case& c : cases) {
        write("b2.csv", std::string("Luehdorfia,,30,102,L1,A,,,\r\n") + c.row + "\r\nLuehdorfia,,30,103,L1,A,,,\r\n");
        Result result = run("samvel", {"b*.csv"});
        EXPECT_EQ(result.status, 1) << c.row;
        EXPECT_EQ(result.err, std::string("b2.csv\n") + c.message + "\n");
        EXPECT_EQ(result.out, "入力テーブル [b1.csv]\n入力テーブル [b2.csv]\n");
        EXPECT_EQ(read("tavik.csv"), distribution) << c.row;
        EXPECT_EQ(read("split.csv"), literature) << c.row;
    }
    // A long field, or a line of a megabyte, makes a report of a line.
    write("b2.csv", "Luehdorfia,,30,101,L1," + std::string(300, 'a') + ",,,\r\n");
    Result result = run("samvel", {"b*.csv"});
    EXPECT_EQ(result.err, "b2.csv\n1 行目 信頼度異常[" + std::string(80, 'a') + "…]\n");
    write("b2.csv", "Luehdorfia,,30,101,L1," + std::string(1 << 20, 'a') + ",,,\r\n");
    result = run("samvel", {"b*.csv"});
    EXPECT_EQ(result.err, "b2.csv\n1 行目: CSV syntax error  \n" + std::string(80, 'a') + "…\n");
    EXPECT_EQ(files().size(), 9u); // the lock file, and no temporary file left behind
}

// A folder named with a character cp932 folds into another ("〜" U+301C comes
// back as "～" U+FF5E) has no cp932 path: samvel still reads the tavik.ini in
// it, since it opens every file relative to the folder it runs in. An input
// table named with such a character is refused by name, not read as another.
TEST_F(Samvel, RunsInAFolderWhoseNameHasNoCp932FormAndRefusesSuchATableName)
{
    const std::string sub = "調査\xE3\x80\x9C"
                            "2026";
    for (const char* table : {"species.csv", "area.csv", "litera.csv", "in.csv"})
        write(sub + "/" + table, cp932ToUtf8(read(table)));
    write(sub + "/tavik.ini", "[Path]\r\nTaVikDB=facts.csv\r\n");
    test::ProcessCall call(test::builtProgram("samvel"), {"-rebuild", "in.csv"}, (dir_ / sub).string());
    Result result = test::runProcess(call);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read(sub + "/facts.csv"), expectedDistribution);

    call.arguments = {"\xE3\x80\x9C.csv"};
    result = test::runProcess(call);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.substr(0, result.err.find("シフト JIS")), "\n\xEF\xBD\x9E.csv\nこの名前には") << result.err;
}

TEST_F(Samvel, FaultsOutsideTheInputTablesAreReported)
{
    struct Case {
        const char* args;
        const char* err;
    } cases[] = {
        {"in.csv", "\n種別分布テーブル tavik.csv が見つかりません.\n"},
        {"-rebuild none*.csv", "\n入力テーブルは１つもありません.\n"},
        {"-x in.csv", "無効なパラメータ -x\n使用法\n"},
        {"", "使用法\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args;
        std::string text = c.args;
        for (size_t at = 0; at < text.size();) {
            size_t end = std::min(text.find(' ', at), text.size());
            args.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        Result result = run("samvel", args);
        EXPECT_EQ(result.status, 1) << c.args;
        EXPECT_EQ(result.err.substr(0, std::string(c.err).size()), c.err) << c.args;
    }

    // A distribution table naming a species the species table lacks.
    write("tavik.csv", "10,101,A\r\n77,101,A\r\n");
    write("split.csv", "10\r\n");
    Result result = run("samvel", {"in.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tavik.csv\n2 行目: 種コード[77]は種テーブルに登録されていません\n");
    EXPECT_EQ(read("tavik.csv"), "10,101,A\r\n77,101,A\r\n");
}

TEST_F(Samvel, FactTablesAreReplacedWhereTheSettingsPutThem)
{
    write("tavik.ini", "[Path]\r\nTaVikDB=db\\ta_vik.csv\r\nSpLitDB=db\\sp_lit.csv\r\n");
    write("db/ta_vik.csv", "old");
    Result result = run("samvel", {"-rebuild", "in.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("db/ta_vik.csv"), expectedDistribution);
    EXPECT_EQ(read("db/sp_lit.csv"), expectedSpeciesLiterature);
    // Normal mode reads them back from there.
    EXPECT_EQ(run("samvel", {"in.csv"}).status, 0);
    EXPECT_EQ(read("db/ta_vik.csv"), expectedDistribution);
    EXPECT_EQ(files().size(), 8u); // with the lock file beside tavik.ini
}

TEST_F(Samvel, ASecondImportAtOnceWaitsAndThenRefusesChangingNothing)
{
    const test::ScopedEnvironment shortWait = test::shortLockWait();
    rebuild();
    const std::string distribution = read("tavik.csv"), literature = read("split.csv");
    write("second.csv", "Papilio,,10,104,L1,A,,,\r\n");
    Result second;
    {
        // Another run holds the database.
        FileLock held;
        ASSERT_EQ(held.acquire((dir_ / "tavik.lock").string(), std::chrono::seconds(0)), FileLock::Status::Locked);
        second = run("samvel", {"second.csv"});
    }
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err,
        "tavik.lock\nほかのプログラム (samvel, ludric, norbek, dwcimport など) がこのデータベースを使用中です."
        "終わってからやり直して下さい.\n");
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(read("tavik.csv"), distribution);
    EXPECT_EQ(read("split.csv"), literature);
    // Once it is free the import goes ahead.
    EXPECT_EQ(run("samvel", {"second.csv"}).status, 0);
    EXPECT_NE(read("tavik.csv"), distribution);
}

// Only regular files are tables: a folder would read as an empty table, a
// device would never end, and a FIFO would hold the run until someone
// writes into it.
TEST_F(Samvel, TablesThatAreNoRegularFilesAreRefused)
{
    rebuild();
    const std::string distribution = read("tavik.csv");
    std::filesystem::create_directories(dir_ / "folder.csv");
    ASSERT_EQ(::mkfifo((dir_ / "fifo.csv").c_str(), 0644), 0);
    struct Case {
        const char* settings;
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {"", {"fifo.csv"}, "fifo.csv\nopen error. (パイプ (FIFO) です)\n"},
        {"[Path]\r\nTaVikDB=folder.csv\r\n", {"in.csv"},
            "\n種別分布テーブル folder.csv が読めませんでした (フォルダです).\n"},
        {"[Path]\r\nAreaTable=/dev/zero\r\n", {"in.csv"},
            "\n地域テーブル /dev/zero が読めませんでした (装置ファイルです).\n"},
        {"[Path]\r\nSpeciesTable=/dev/urandom\r\n", {"in.csv"},
            "\n種テーブル /dev/urandom が読めませんでした (装置ファイルです).\n"},
    };
    for (const Case& c : cases) {
        write("tavik.ini", c.settings);
        Result result = run("samvel", c.args);
        EXPECT_EQ(result.status, 1) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(read("tavik.csv"), distribution);
    }
    // A settings file that cannot be read is no file of defaults: they
    // would lead to other tables than the ones it names.
    std::filesystem::remove(dir_ / "tavik.ini");
    std::filesystem::create_directories(dir_ / "tavik.ini");
    Result result = run("samvel", {"in.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, (dir_ / "tavik.ini").string() + "\n初期設定ファイルを読めません (フォルダです).\n");
}

// A disk failing part-way through a table (EIO injected into one read of
// it): taken for the end of the file, the rest of the table would be lost
// from the tables written.
TEST_F(Samvel, AReadErrorInAnyTableStopsTheRunAndWritesNothing)
{
    if (!test::canInjectFaults())
        GTEST_SKIP() << "strace cannot inject faults here";
    rebuild();
    // Tables larger than one read of the reader (1 MiB), so that the
    // second read of each falls in the middle.
    std::string big;
    while (big.size() < (3 << 19))
        big += "Papilio,,10,101,L1,A,,,\r\n";
    write("big.csv", big);
    ASSERT_EQ(run("samvel", {"big.csv"}).status, 0);
    const std::string distribution = read("tavik.csv"), literature = read("split.csv");
    std::string points = "10";
    while (points.size() < (3 << 19))
        points += ",101,A";
    write("tavik.csv", points + "\r\n20\r\n30\r\n40\r\n");
    const std::string bigDistribution = read("tavik.csv");

    struct Case {
        const char* file;
        const char* err;
    } cases[] = {
        {"big.csv", "big.csv\n41944 行目を読めません: 入出力エラーです\n"},
        {"tavik.csv", "tavik.csv\n1 行目を読めません: 入出力エラーです\n"},
        {"species.csv", "species.csv\n1 行目を読めません: 入出力エラーです\n"},
    };
    for (const Case& c : cases) {
        test::ProcessCall call(test::builtProgram("samvel"), {"big.csv"}, dir_.string());
        Result result = test::runProcess(test::withReadErrorInjected(call, (dir_ / c.file).string(), 2));
        EXPECT_EQ(result.status, 1) << c.file;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(read("tavik.csv"), bigDistribution) << c.file;
        EXPECT_EQ(read("split.csv"), literature) << c.file;
    }
    EXPECT_EQ(files(),
        (std::vector<std::string>{
            "area.csv", "big.csv", "in.csv", "litera.csv", "species.csv", "split.csv", "tavik.csv", "tavik.lock"}));
}

TEST_F(Samvel, TablesWithLinesEndedByACarriageReturnAloneAreReadRowByRow)
{
    // An input table saved with CR-only line ends imports as its CR LF twin.
    std::string input = read("in.csv");
    for (size_t at; (at = input.find("\r\n")) != std::string::npos;)
        input.erase(at + 1, 1);
    std::filesystem::remove(dir_ / "in.csv");
    write("in_cr.csv", cp932ToUtf8(input));
    Result result = run("samvel", {"-rebuild", "in_cr.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("tavik.csv"), expectedDistribution);
    EXPECT_EQ(read("split.csv"), expectedSpeciesLiterature);

    // So do fact tables with CR-only line ends: each line keeps its species.
    for (const char* table : {"tavik.csv", "split.csv"}) {
        std::string text = read(table);
        for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
            text.erase(at + 1, 1);
        write(table, cp932ToUtf8(text));
    }
    result = run("samvel", {"in_cr.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("tavik.csv"), expectedDistribution);
    EXPECT_EQ(read("split.csv"), expectedSpeciesLiterature);
}

TEST_F(Samvel, AWriteProtectedFactTableIsLeftAsItWas)
{
    rebuild();
    const std::string distribution = read("tavik.csv"), literature = read("split.csv");
    write("more.csv", "Luehdorfia,,30,103,L2,B,,,\r\n");
    // 0444 marks a file read-only, for root too. The report says so, and no
    // arrow claims a table was written.
    struct Case {
        const char* table;
        const char* err;
    } cases[] = {
        {"tavik.csv", "tavik.csv\n種別分布テーブル tavik.csv に書き込めません (書き込み禁止のファイルです).\n"},
        {"split.csv", "split.csv\n種別文献テーブル split.csv に書き込めません (書き込み禁止のファイルです).\n"},
    };
    for (const auto& [table, err] : cases) {
        std::filesystem::permissions(dir_ / table, std::filesystem::perms(0444));
        Result result = run("samvel", {"more.csv"});
        EXPECT_EQ(result.status, 1) << table;
        EXPECT_EQ(result.err, err);
        EXPECT_EQ(result.out, "入力テーブル [more.csv]\n");
        EXPECT_EQ(read("tavik.csv"), distribution) << table;
        EXPECT_EQ(read("split.csv"), literature) << table;
        EXPECT_EQ(std::filesystem::status(dir_ / table).permissions(), std::filesystem::perms(0444));
        std::filesystem::permissions(dir_ / table, std::filesystem::perms(0644));
    }
    EXPECT_EQ(files().size(), 8u); // no temporary file left behind
}

TEST_F(Samvel, TemporaryFilesOfAKilledRunGoBeforeTheTablesAreRead)
{
    rebuild();
    write("tavik.csv.tavik-Ab12Cd", "half a table");
    write("split.csv.tavik-000000", "half a table");
    write("tavik.csv.backup", "the user's own copy");
    // A killed ludric's half-written input table is no input table.
    write("input/in.csv", cp932ToUtf8(read("in.csv")));
    write("input/in.csv.tavik-x1Y2z3", "Papilio,,10,101,L1,A,,,53");
    Result result = run("samvel", {"input/*"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "入力テーブル [input/in.csv]\n--> tavik.csv\n--> split.csv\n");
    EXPECT_EQ(read("tavik.csv"), expectedDistribution);
    EXPECT_EQ(files(),
        (std::vector<std::string>{"area.csv", "in.csv", "input/in.csv", "input/in.csv.tavik-x1Y2z3", "litera.csv",
            "species.csv", "split.csv", "tavik.csv", "tavik.csv.backup", "tavik.lock"}));
}

// The two fact tables go in place together, only once both reached the
// disk: a failure with the second (its sync fails here) leaves the first as
// it was too, instead of holding records the second lacks.
TEST_F(Samvel, BothFactTablesAreReplacedOrNeither)
{
    if (!test::canInjectFaults())
        GTEST_SKIP() << "strace cannot inject faults here";
    rebuild();
    const std::string distribution = read("tavik.csv"), literature = read("split.csv");
    write("more.csv", "Luehdorfia,,30,103,L2,B,,,\r\n");
    for (const char* when : {"1+", "2+"}) {
        test::ProcessCall call(test::builtProgram("samvel"), {"more.csv"}, dir_.string());
        Result result = test::runProcess(test::withSystemCallFailing(call, "fsync", "EIO", when));
        EXPECT_EQ(result.status, 1) << when;
        EXPECT_EQ(result.err,
            std::string(when) == "1+" ? "tavik.csv\n種別分布テーブル tavik.csv を書き込めませんでした "
                                        "(ディスクに書き込めません: 入出力エラーです).\n"
                                      : "split.csv\n種別文献テーブル split.csv を書き込めませんでした "
                                        "(ディスクに書き込めません: 入出力エラーです).\n");
        EXPECT_EQ(result.out, "入力テーブル [more.csv]\n");
        EXPECT_EQ(read("tavik.csv"), distribution) << when;
        EXPECT_EQ(read("split.csv"), literature) << when;
    }
    EXPECT_EQ(files().size(), 8u); // no temporary file left behind
}

// Fact tables shared through links are replaced where the links lead.
TEST_F(Samvel, LinkedFactTablesAreReplacedWhereTheLinksLead)
{
    write("tavik.ini", "[Path]\r\nTaVikDB=db\\ta_vik.csv\r\nSpLitDB=db\\split.csv\r\n");
    write("shared/ta_vik.csv", "");
    write("shared/split.csv", "");
    std::filesystem::create_directories(dir_ / "db");
    std::filesystem::create_symlink("../shared/ta_vik.csv", dir_ / "db" / "ta_vik.csv");
    std::filesystem::create_symlink("../shared/split.csv", dir_ / "db" / "split.csv");
    Result result = run("samvel", {"-rebuild", "in.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "db" / "ta_vik.csv"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "db" / "split.csv"));
    EXPECT_EQ(read("shared/ta_vik.csv"), expectedDistribution);
    EXPECT_EQ(read("shared/split.csv"), expectedSpeciesLiterature);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "shared"), {}), 2);
}

} // namespace
} // namespace tavik
