// Runs the real tavik program on a small database: the command line, the
// start-up and the saving of maps.
#include "platform/cp932.h"
#include "tests/support/tavik_run.h"
#include "tests/support/viewer_database.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace tavik {
namespace {

using test::runTavik;
using test::TavikRun;

QRgb pixel(const std::string& path, int x, int y)
{
    QImage image(QString::fromStdString(path));
    return image.isNull() ? 0x12345678u : image.pixel(x, y) & 0xFFFFFFu;
}

class SaveJobTest : public ::testing::Test {
protected:
    SaveJobTest()
        : folder("save_job")
    {
        test::writeViewerDatabase(folder, "101,1,A,N35E135,A\r\n102,2,B,N35E135,A\r\n");
        std::filesystem::create_directories(folder.file("out"));
    }
    test::TestFolder folder;
};

TEST_F(SaveJobTest, WritesOneFilePerSpeciesWithWildcardNames)
{
    TavikRun run = runTavik(folder, {"--save", "out/%C_%S.png", "--all"});
    ASSERT_EQ(run.status, 0) << run.errors;
    std::string first = folder.file("out/101_Papilio xuthus.png");
    // The west island is filled pink, the point (E135, N35) is a red mark.
    EXPECT_EQ(pixel(first, 50, 60), qRgb(255, 160, 160) & 0xFFFFFFu);
    EXPECT_EQ(pixel(first, 150, 100), qRgb(255, 0, 0) & 0xFFFFFFu);
    EXPECT_EQ(pixel(first, 220, 60), qRgb(255, 255, 255) & 0xFFFFFFu);
    std::string second = folder.file("out/102_Papilio machaon.png");
    EXPECT_EQ(pixel(second, 220, 60), qRgb(200, 120, 120) & 0xFFFFFFu); // rank B fill of slot 1
    EXPECT_NE(run.errors.find("(2/2)  102_Papilio machaon.png"), std::string::npos) << run.errors;
}

TEST_F(SaveJobTest, AnOverlayIsOneMapWithEverySpeciesInItsSlot)
{
    TavikRun run = runTavik(folder, {"--save", "out/overlay.bmp", "--depth", "8", "--overlay", "101", "102"});
    ASSERT_EQ(run.status, 0) << run.errors;
    std::string map = folder.file("out/overlay.bmp");
    // Slot 2 fills the east island light blue, mapped to the standard palette.
    QRgb east = pixel(map, 220, 60);
    EXPECT_GT(qBlue(east), 200);
    EXPECT_LT(qRed(east), 200);
    // Both marks sit on (E135, N35): slot 1's red circle stays, slot 2's blue
    // cross steps one overlap shift (4, -3) away.
    EXPECT_EQ(pixel(map, 146, 100), qRgb(255, 0, 0) & 0xFFFFFFu);
    EXPECT_EQ(pixel(map, 154, 97), qRgb(0, 0, 255) & 0xFFFFFFu);
}

TEST_F(SaveJobTest, RefusalsAndFailuresExitNonZeroAndKeepEarlierFiles)
{
    TavikRun unknown = runTavik(folder, {"--save", "out/x.png", "101", "999"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.errors.find("種コード 999"), std::string::npos) << unknown.errors;

    TavikRun plain = runTavik(folder, {"--save", "out/plain.png", "101", "102"});
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.errors.find("ワイルドカードを使って"), std::string::npos) << plain.errors;

    // The second species' file name is a folder: the first file stays.
    std::filesystem::create_directories(folder.file("out/m_102.png"));
    TavikRun blocked = runTavik(folder, {"--save", "out/m_%C.png", "101", "102"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.errors.find("out/m_102.png に書き込みできませんでした。"), std::string::npos) << blocked.errors;
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.file("out/m_101.png")));

    // An overlay holds ten species; the eleventh is refused, not dropped.
    const std::vector<std::string> eleven
        = {"--overlay", "101", "102", "101", "102", "101", "102", "101", "102", "101", "102", "101"};
    for (const std::vector<std::string>& job :
        {std::vector<std::string>{"--save", "out/o.png"}, std::vector<std::string>{"--print", "out/o.pdf"}}) {
        std::vector<std::string> arguments = job;
        arguments.insert(arguments.end(), eleven.begin(), eleven.end());
        TavikRun crowded = runTavik(folder, arguments);
        EXPECT_EQ(crowded.status, 1) << job[0];
        EXPECT_NE(crowded.errors.find("11 > MAX 10 \n選択数が多すぎます。"), std::string::npos) << crowded.errors;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/o.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/o.pdf")));

    TavikRun missing = runTavik(folder, {"--save", "nowhere/x.png", "101"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("nowhere/x.png に書き込みできませんでした。"), std::string::npos);

    TavikRun empty = runTavik(folder, {"--save", "", "101"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.errors.find("ファイル名が空です。"), std::string::npos) << empty.errors;

    // A map file marked read-only (0444, which holds for root too) stays.
    folder.write("out/w_101.png", "mine");
    std::filesystem::permissions(folder.file("out/w_101.png"), std::filesystem::perms(0444));
    TavikRun protectedFile = runTavik(folder, {"--save", "out/w_%C.png", "101"});
    EXPECT_EQ(protectedFile.status, 1);
    EXPECT_NE(protectedFile.errors.find("out/w_101.png は書き込み保護されてます。"), std::string::npos)
        << protectedFile.errors;
    EXPECT_EQ(folder.read("out/w_101.png"), "mine");
}

TEST_F(SaveJobTest, AFaultyDistributionLineFailsThatMapAndTheRun)
{
    // A broken quote in the first species' line; a field too long for the
    // reader, which leaves out the records after it, in the second's.
    test::writeViewerDatabase(
        folder, "101,1,A,\"N35E135,A\r\n102,2,B," + std::string(300, '9') + ",A,N35E135,A\r\n103,1,A\r\n");
    folder.write("dbase/species.csv",
        "101,Papilio xuthus,Linnaeus,1767,,0,Papilionidae\r\n"
        "102,Papilio machaon,Linnaeus,1758,,0,Papilionidae\r\n"
        "103,Papilio maackii,Menetries,1859,,0,Papilionidae\r\n");
    TavikRun run = runTavik(folder, {"--save", "out/%C.png", "--all"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("構文エラー。文字列が \"\" で囲まれていません。"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("トークンの長さが 256 を越えました。"), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/101.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/102.png")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("out/103.png")));

    // A printed document with such a map is not written either.
    TavikRun print = runTavik(folder, {"--print", "out/atlas.pdf", "--all"});
    EXPECT_EQ(print.status, 1);
    EXPECT_NE(print.errors.find("構文エラー。"), std::string::npos) << print.errors;
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/atlas.pdf")));
}

TEST_F(SaveJobTest, StartUpFailuresEndTheRunWithTheirMessage)
{
    folder.write("tavik.ini", "[Path]\r\nBlankMap=.\\BlankMap\\t\\none.png\r\n");
    TavikRun run = runTavik(folder, {"--save", "out/x.png", "101"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("地図画像("), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/x.png")));

    // A species-table field too long for the reader would leave out the
    // species after it: --all would save fewer maps.
    test::writeViewerDatabase(folder, "101,1,A\r\n102,2,B\r\n");
    folder.write("dbase/species.csv",
        "101,Papilio xuthus,Linnaeus,1767,,0,Papilionidae\r\n"
        "102,Papilio machaon,"
            + std::string(300, 'L') + ",1758,,0,Papilionidae\r\n");
    run = runTavik(folder, {"--save", "out/%C.png", "--all"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("dbase/species.csv\n 2 行目: トークンの長さが 256 を越えました。"), std::string::npos)
        << run.errors;
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/101.png")));
}

// The viewer holds a database's paths as cp932 text. A folder or a target
// whose name has no cp932 form that leads back to it ("〜" U+301C comes back
// as "～" U+FF5E) is refused by name: read as another path, the tables would
// not be found, or the maps would be written under another name.
TEST_F(SaveJobTest, APathWithNoCp932FormIsRefusedByName)
{
    TavikRun run = runTavik(folder, {"--save", "out/\xE3\x80\x9C%C.png", "101"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("out/\xEF\xBD\x9E%C.png\nこの名前にはシフト JIS で書けない文字"), std::string::npos)
        << run.errors;
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("out")));

    test::TestFolder odd("\xE5\x9C\xB0\xE5\x9B\xB3\xE3\x80\x9C");
    test::writeViewerDatabase(odd, "101,1,A,N35E135,A\r\n");
    run = runTavik(odd, {"--save", "x.png", "101"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("この名前にはシフト JIS で書けない文字"), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(odd.file("x.png")));
}

} // namespace
} // namespace tavik
