// The two-line report every console tool prints when it fails: the file,
// then the message, with nothing of a file reaching the terminal as a
// command.
#include "common/tool_error.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/report_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace tavik {
namespace {

// What a print function wrote to its stream.
template <typename Print> std::string printed(Print print)
{
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = ::open_memstream(&buffer, &size);
    print(stream);
    std::fclose(stream);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

TEST(ToolReport, TheFileLineAndTheMessageShowTheirControlCharactersEscaped)
{
    // The message keeps the line feeds that separate its lines; a file name
    // with one in it stays on the first line.
    EXPECT_EQ(printed([](std::FILE* stream) {
        printReport("in\nput/bad\x1B[2J.csv", "2 行目: 地域\x1B]0;x\x07\nnext\t\x7F", stream);
    }),
        "in\\nput/bad\\x1B[2J.csv\n2 行目: 地域\\x1B]0;x\\x07\nnext\\t\\x7F\n");
    EXPECT_EQ(
        printed([](std::FILE* stream) { printReport("", "メモリが足りません.", stream); }), "\nメモリが足りません.\n");

    // cp932 faults print the same, in UTF-8. A lead byte before a control
    // character is no character: the conversion shows it as U+FFFD and the
    // control stays escaped.
    const ToolError error{
        cp932Literal("入力/表.csv"), Cp932Text(cp932Literal("1 行目 信頼度異常[").bytes() + "\x81\x1B[2J]")};
    EXPECT_EQ(printed([&](std::FILE* stream) { printToolError(error, stream); }),
        "入力/表.csv\n1 行目 信頼度異常[\xEF\xBF\xBD\\x1B[2J]\n");
}

// tavik's messages on the command line are the same two lines: a message of
// several lines names its file first, one of one line names none.
TEST(ToolReport, TheViewersMessagesPrintAsTheSameTwoLines)
{
    auto shown = [](const Message& message) {
        return printed([&](std::FILE* stream) { StderrMessageSink(stream).show(message); });
    };
    EXPECT_EQ(shown({{}, cp932Literal("dbase/species.csv\n 2 行目: トークンの長さが 256 を越えました。\n")}),
        "dbase/species.csv\n 2 行目: トークンの長さが 256 を越えました。\n");
    EXPECT_EQ(shown({{}, cp932Literal("種コード 7 は種テーブル species.csv にありません。")}),
        "\n種コード 7 は種テーブル species.csv にありません。\n");
    EXPECT_EQ(shown({{}, cp932Literal("a.cfg\n印刷書式 \"x\" はありません。印刷書式:\n  default")}),
        "a.cfg\n印刷書式 \"x\" はありません。印刷書式:\n  default\n");
    EXPECT_EQ(shown({cp932Literal("題"), Cp932Text(std::string("x\x1B]0;\r\ny\x07"))}), "x\\x1B]0;\\r\n題: y\\x07\n");
}

} // namespace
} // namespace tavik
