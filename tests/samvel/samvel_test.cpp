#include "tests/support/tool_run.h"

#include "platform/cp932.h"

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
        {"x,\"y,10", "2 行目: CSV syntax error  \n\"y,10"},
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
    EXPECT_EQ(files().size(), 9u); // the lock file, and no temporary file left behind
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
    rebuild();
    // The first run reads its input table from a pipe, so that it holds the
    // database until the rows are written into the pipe.
    ASSERT_EQ(::mkfifo((dir_ / "first.csv").c_str(), 0644), 0);
    write("second.csv", "Papilio,,10,104,L1,A,,,\r\n");
    test::StartedProcess first = start("samvel", {"first.csv"});
    int pipe = -1;
    for (int wait = 0; pipe < 0 && wait < 1000; ++wait) {
        pipe = ::open((dir_ / "first.csv").c_str(), O_WRONLY | O_NONBLOCK); // once the first run reads it
        if (pipe < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(pipe, 0);
    Result second = run("samvel", {"second.csv"});
    const std::string rows = cp932Literal("Luehdorfia,,30,103,L2,B,,,\r\n");
    ::fcntl(pipe, F_SETFL, 0);
    EXPECT_EQ(::write(pipe, rows.data(), rows.size()), static_cast<ssize_t>(rows.size()));
    ::close(pipe);
    Result result = first.wait();
    EXPECT_EQ(result.status, 0) << result.err;

    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err,
        "tavik.lock\nほかの samvel、ludric か dwcimport "
        "がこのデータベースを更新中です.終わってからやり直して下さい.\n");
    EXPECT_EQ(second.out, "");
    // Both tables hold the first run's records, and only those.
    std::string distribution = expectedDistribution;
    distribution.replace(distribution.find("30,104,A"), 8, "30,103,B,104,A");
    EXPECT_EQ(read("tavik.csv"), distribution);
    std::string literature = expectedSpeciesLiterature;
    literature.replace(literature.find("30,104,L1"), 9, "30,103,L2\r\n30,104,L1");
    EXPECT_EQ(read("split.csv"), literature);
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
    // 0444 marks a file read-only, for root too.
    for (const char* table : {"tavik.csv", "split.csv"}) {
        std::filesystem::permissions(dir_ / table, std::filesystem::perms(0444));
        Result result = run("samvel", {"more.csv"});
        EXPECT_EQ(result.status, 1) << table;
        EXPECT_EQ(result.err, std::string(table) + "\ncan't open " + table + "\n");
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
    Result result = run("samvel", {"in.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(files(),
        (std::vector<std::string>{"area.csv", "in.csv", "litera.csv", "species.csv", "split.csv", "tavik.csv",
            "tavik.csv.backup", "tavik.lock"}));
}

} // namespace
} // namespace tavik
