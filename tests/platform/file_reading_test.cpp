#include "platform/file_reading.h"

#include "platform/report_text.h"
#include "tests/support/fault_injection.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace tavik {
namespace {

namespace fs = std::filesystem;

TEST(FileReading, OnlyRegularFilesAreReadAndEverythingElseSaysWhy)
{
    test::TestFolder folder("file_reading");
    folder.write("table.csv", "a,b\r\n");
    fs::create_directories(folder.file("folder"));
    fs::create_symlink(folder.file("table.csv"), folder.file("link.csv"));
    fs::create_symlink(folder.file("gone.csv"), folder.file("dangling.csv"));
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0644), 0);

    struct Case {
        std::string path;
        FileReadStatus status;
        const char* reason;
    } cases[] = {
        {folder.file("table.csv"), FileReadStatus::Ok, ""},
        {folder.file("link.csv"), FileReadStatus::Ok, ""}, // a link to a table reads as the table
        {folder.file("missing.csv"), FileReadStatus::Missing, "見つかりません"},
        {folder.file("dangling.csv"), FileReadStatus::Missing, "見つかりません"},
        {"C:\\dbase\\table.csv", FileReadStatus::Missing, "見つかりません"},
        {folder.file("folder"), FileReadStatus::NotAFile, "フォルダです"},
        // Without the check these never end (the zeros make one endless line)
        // or wait for a writer that never comes.
        {"/dev/zero", FileReadStatus::NotAFile, "装置ファイルです"},
        {"/dev/urandom", FileReadStatus::NotAFile, "装置ファイルです"},
        {folder.file("fifo"), FileReadStatus::NotAFile, "パイプ (FIFO) です"},
    };
    for (const Case& c : cases) {
        std::string bytes = "old";
        FileReadResult result = readFileBytes(c.path, 1 << 20, bytes);
        EXPECT_EQ(result.status, c.status) << c.path;
        EXPECT_EQ(fileReadFailureText(result), c.reason) << c.path;
        EXPECT_EQ(bytes, c.status == FileReadStatus::Ok ? "a,b\r\n" : "") << c.path;
    }
}

TEST(FileReading, AFailedReadOrATooLargeFileIsNeverTakenAsTheWholeFile)
{
    const std::string text(100000, 'x');
    // The disk fails part-way, and where the file would end anyway.
    for (size_t failAfter : {size_t(70000), text.size() - 1}) {
        std::FILE* stream = test::failingStream(text, failAfter, EIO);
        std::string bytes;
        FileReadResult result = readStream(stream, 1 << 20, bytes);
        std::fclose(stream);
        EXPECT_EQ(result.status, FileReadStatus::ReadError) << failAfter;
        EXPECT_EQ(result.error, EIO);
        EXPECT_EQ(fileReadFailureText(result), "読み込み中にエラーが起きました: 入出力エラーです");
    }

    test::TestFolder folder("too_large");
    folder.write("big.cfg", text);
    std::string bytes;
    FileReadResult result = readFileBytes(folder.file("big.cfg"), 4096, bytes);
    EXPECT_EQ(result.status, FileReadStatus::TooLarge);
    EXPECT_EQ(fileReadFailureText(result), "ファイルが大きすぎます (上限 4096 バイト)");
    EXPECT_TRUE(readFileBytes(folder.file("big.cfg"), text.size(), bytes).ok());
    EXPECT_EQ(bytes, text);
}

TEST(ReportText, QuotedTextIsCutAtACharacterAndShowsItsControlCharacters)
{
    // "\x1B]0;title\x07" sets a terminal's title; "\x1B[2J" clears the screen.
    EXPECT_EQ(quotedForReport("a\x1B]0;x\x07\tb\r"), "a\\x1B]0;x\\x07\\tb\\r");
    EXPECT_EQ(quotedForReport(std::string(200, 'x')), std::string(80, 'x') + "\x81\x63"); // "…" in cp932
    // Two-byte characters are never split: 40 of them fill 80 bytes, one
    // more byte of room is not enough for the next.
    const std::string so = "\x83\x5C"; // katakana so, whose second byte is a backslash
    std::string many;
    for (int i = 0; i < 41; ++i)
        many += so;
    std::string cut = quotedForReport("x" + many);
    EXPECT_EQ(cut.size(), 1 + 39 * 2 + 2u);
    EXPECT_EQ(cut.substr(cut.size() - 4), so + "\x81\x63");
    EXPECT_EQ(quotedForReport("short"), "short");
    EXPECT_EQ(withControlsEscaped("line one\x1B[2J\nline two\n"), "line one\\x1B[2J\nline two\n");
    // A lead byte never takes a control character for its second byte: the
    // pair is no cp932 character, and the control would reach the terminal.
    EXPECT_EQ(withControlsEscaped("\x81\x1B[2J"), "\x81\\x1B[2J");
    EXPECT_EQ(quotedForReport("\x81\x07"), "\x81\\x07");
}

TEST(ReportText, Utf8TextShowsTheSameEscapesAndIsCutAtACharacter)
{
    EXPECT_EQ(withControlsEscapedUtf8("地域\x1B]0;x\x07\tb\r\x7F\nnext"), "地域\\x1B]0;x\\x07\\tb\\r\\x7F\nnext");
    EXPECT_EQ(withControlsEscapedUtf8("a\nb", false), "a\\nb");
    // A broken sequence is shown byte by byte and keeps the control
    // character after it apart; a C1 control (U+009B is a terminal's CSI)
    // is shown by its code point.
    EXPECT_EQ(withControlsEscapedUtf8("\xE5\x1B[2J"), "\\xE5\\x1B[2J");
    EXPECT_EQ(withControlsEscapedUtf8("a\xC2\x9B"
                                      "2Jb"),
        "a\\u009B2Jb");

    EXPECT_EQ(quotedForReportUtf8("x\ny\x1B"), "x\\ny\\x1B");
    // "日" takes three bytes: 26 of them fill 78, the 27th does not fit in 80.
    std::string many;
    for (int i = 0; i < 30; ++i)
        many += "日";
    const std::string cut = quotedForReportUtf8(many);
    EXPECT_EQ(cut, many.substr(0, 78) + "…");
    EXPECT_EQ(quotedForReportUtf8(many.substr(0, 78)), many.substr(0, 78));
}

} // namespace
} // namespace tavik
