#include "tests/support/tool_run.h"

#include "platform/cp932.h"
#include "platform/file_lock.h"
#include "tests/support/fault_injection.h"
#include "tests/support/scoped_environment.h"

namespace tavik {
namespace {

class Ludric : public ToolRun {
protected:
    void SetUp() override
    {
        write("species.csv",
            "12,Parnassius glacialis,Butler,1866,,0,,ウスバシロチョウ\r\n"
            "7,Papilio machaon,L.,1758,,0,,キアゲハ\r\n");
    }

    // Tables many/0.csv ... many/<count - 1>.csv of one row each.
    void writeTables(int count)
    {
        for (int i = 0; i < count; ++i)
            write("many/" + std::to_string(i) + ".csv", "Papilio machaon,,,\r\n");
    }
};

TEST_F(Ludric, FillsCodesByScientificAndJapaneseName)
{
    write("list.csv",
        "  Papilio machaon  ,,,101,\"L1, p.3\",A,,,\r\n"
        "　ウスバシロチョウ,,999,102,L2,B,,,\r\n"
        "Unknown bird,IVD,5,,,,,,, ,\r\n"); // empty fields beyond the ninth go
    Ludric::Result result = run("ludric", {"list.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "入力テーブル [list.csv]\n");
    EXPECT_EQ(cp932ToUtf8(read("list.csv")),
        "Papilio machaon,,7,101,\"L1, p.3\",A,,,\r\n"
        "ウスバシロチョウ,,12,102,L2,B,,,\r\n"
        "Unknown bird,IVD,5,,,,,,\r\n");
    EXPECT_EQ(files(), (std::vector<std::string>{"list.csv", "species.csv", "tavik.lock"}));

    // A table with CR-only line ends is filled row by row.
    write("cr.csv", "Papilio machaon,,,101,L1,A,,,\rウスバシロチョウ,,,102,L2,B,,,\r");
    result = run("ludric", {"cr.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(cp932ToUtf8(read("cr.csv")),
        "Papilio machaon,,7,101,L1,A,,,\r\n"
        "ウスバシロチョウ,,12,102,L2,B,,,\r\n");
}

TEST_F(Ludric, RefusesRowsItCannotFillAndLeavesTheTableAsItWas)
{
    struct Case {
        const char* row;
        const char* message;
        bool noInputTable; // found before any table is rewritten
    } cases[] = {
        {"Papilio xuthus,,,", "2行目の学名[Papilio xuthus]は種テーブルに見あたりません.", false},
        {"きあげは,,,", "2行目の和名[きあげは]は種テーブルに見あたりません.", false},
        {"ｷｱｹﾞﾊ,,,", "2行目の種名[ｷｱｹﾞﾊ]が異常です. 半角アルファベットか全角カタカナで書いて下さい", false},
        {"", "2行目の学名[]は種テーブルに見あたりません.", false},
        {"Papilio machaon,\"x", "2 行目: ２重引用符の使い方が間違っています\n\"x", true},
        {"Papilio machaon,,,,,,,,,note",
            "2行目の 10 番目の項目[note]は入力テーブルにない項目です.入力テーブルの項目は 9 個です.", true},
    };
    for (const Case& c : cases) {
        // a.csv comes first and is filled unless b.csv is no input table;
        // b.csv fails on its second row.
        write("a.csv", "Papilio machaon,,,\r\n");
        std::string original = cp932Literal(std::string("キアゲハ,,,\r\n") + c.row + "\r\nPapilio machaon,,,\r\n");
        write("b.csv", cp932ToUtf8(original));
        Ludric::Result result = run("ludric", {"?.csv"});
        EXPECT_EQ(result.status, 1) << c.row;
        EXPECT_EQ(result.err, std::string("b.csv\n") + c.message + "\n");
        EXPECT_EQ(read("a.csv"), c.noInputTable ? "Papilio machaon,,,\r\n" : "Papilio machaon,,7,,,,,,\r\n");
        EXPECT_EQ(read("b.csv"), original) << c.row;
    }
    EXPECT_EQ(files(), (std::vector<std::string>{"a.csv", "b.csv", "species.csv", "tavik.lock"}));
}

TEST_F(Ludric, APatternMatchingAReferenceTableChangesNoFile)
{
    write("dbase/species.csv",
        "12,Parnassius glacialis,Butler,1866,,0,Papilionidae,ウスバシロチョウ,アゲハチョウ科,,\r\n"
        "7,Papilio machaon,L.,1758,,0,Papilionidae,キアゲハ,アゲハチョウ科,,Swallowtail\r\n");
    write("dbase/list.csv", "Papilio machaon,,,101,L1,A,,,\r\n");
    write("tavik.ini", "[Path]\r\nSpeciesTable=dbase\\species.csv\r\n");
    const std::string species = read("dbase/species.csv"), list = read("dbase/list.csv");
    Ludric::Result result = run("ludric", {"dbase/*.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "dbase/species.csv\n2行目の 11 番目の項目[Swallowtail]は入力テーブルにない項目です."
        "入力テーブルの項目は 9 個です.\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(read("dbase/species.csv"), species);
    EXPECT_EQ(read("dbase/list.csv"), list);
}

TEST_F(Ludric, LeavesATableAloneThatIsWriteProtectedOrInUse)
{
    const test::ScopedEnvironment shortWait = test::shortLockWait();
    write("a.csv", "Papilio machaon,,,\r\n");
    write("b.csv", "Papilio machaon,,,\r\n");
    // 0444 marks a file read-only, for root too; a.csv comes first and stays too.
    std::filesystem::permissions(dir_ / "b.csv", std::filesystem::perms(0444));
    Ludric::Result result = run("ludric", {"?.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "b.csv\n新しいファイルを作れませんでした. (書き込み禁止のファイルです)\n");
    EXPECT_EQ(read("a.csv"), "Papilio machaon,,,\r\n");
    EXPECT_EQ(read("b.csv"), "Papilio machaon,,,\r\n");
    std::filesystem::permissions(dir_ / "b.csv", std::filesystem::perms(0644));

    // Another run holds the database: this one waits, then refuses.
    FileLock held;
    ASSERT_EQ(held.acquire((dir_ / "tavik.lock").string(), std::chrono::milliseconds(0)), FileLock::Status::Locked);
    result = run("ludric", {"?.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "tavik.lock\nほかのプログラム (samvel, ludric, norbek, dwcimport など) がこのデータベースを使用中です."
        "終わってからやり直して下さい.\n");
    EXPECT_EQ(read("a.csv"), "Papilio machaon,,,\r\n");
}

// An input table shared through a link is filled where the link leads; the
// link stays, so every database that links to it sees the codes.
TEST_F(Ludric, FillsALinkedTableWhereTheLinkLeads)
{
    write("shared/list.csv", "Papilio machaon,,,101,L1,A,,,\r\n");
    std::filesystem::create_directories(dir_ / "input");
    std::filesystem::create_symlink("../shared/list.csv", dir_ / "input" / "list.csv");
    Ludric::Result result = run("ludric", {"input/list.csv"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "input" / "list.csv"));
    EXPECT_EQ(read("shared/list.csv"), "Papilio machaon,,7,101,L1,A,,,\r\n");
    for (const char* folder : {"input", "shared"}) // no temporary file beside the link or its table
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / folder), {}), 1) << folder;
}

// A disk failing part-way through the table, while it is checked or while
// it is copied: the table is never replaced by the rows read before.
TEST_F(Ludric, AReadErrorLeavesTheTableAsItWas)
{
    if (!test::canInjectFaults())
        GTEST_SKIP() << "strace cannot inject faults here";
    std::string table;
    while (table.size() < (3 << 19)) // two reads of the reader (1 MiB each)
        table += "Papilio machaon,,,101,L1,A,,,\r\n";
    write("big.csv", table);
    // Reads 1 to 4 check the table (the last two find its end), 5 to 8 copy it.
    for (int when : {2, 6}) {
        test::ProcessCall call(test::builtProgram("ludric"), {"big.csv"}, dir_.string());
        Ludric::Result result = test::runProcess(test::withReadErrorInjected(call, (dir_ / "big.csv").string(), when));
        EXPECT_EQ(result.status, 1) << when;
        EXPECT_EQ(result.err, "big.csv\n33826 行目を読めません: 入出力エラーです\n") << when;
        EXPECT_EQ(read("big.csv"), table) << when;
        EXPECT_EQ(files(), (std::vector<std::string>{"big.csv", "species.csv", "tavik.lock"}));
    }
}

// The limit a user meets: 5,001 tables are refused (slow: 5,001 files).
TEST_F(Ludric, ManyTablesRefusesFiveThousandAndOne)
{
    writeTables(5001);
    Ludric::Result result = run("ludric", {"many/*.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "\n入力テーブルが多すぎます.処理出来ません.\n");
    EXPECT_EQ(read("many/0.csv"), "Papilio machaon,,,\r\n");
}

TEST_F(Ludric, RefusesRunsWithoutTablesToFill)
{
    Ludric::Result result = run("ludric", {});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.substr(0, 10), "使用法\n");
    result = run("ludric", {"*.txt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "\n入力テーブルは１つもありません.\n");

    {
        // One table beyond the limit, which a test may lower: the run refuses
        // them all before it touches one.
        const test::ScopedEnvironment limit("TAVIK_LUDRIC_MAX_TABLES", "3");
        writeTables(4);
        result = run("ludric", {"many/*.csv"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "\n入力テーブルが多すぎます.処理出来ません.\n");
        EXPECT_EQ(read("many/0.csv"), "Papilio machaon,,,\r\n");
        std::filesystem::remove(dir_ / "many/3.csv");
        EXPECT_EQ(run("ludric", {"many/*.csv"}).status, 0);
    }

    std::filesystem::remove(dir_ / "species.csv");
    result = run("ludric", {"many/1.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "\n種テーブル species.csv が見つかりません.\n");
}

} // namespace
} // namespace tavik
