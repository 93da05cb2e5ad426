#include "platform/cp932.h"
#include "platform/message_sink.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <type_traits>

namespace tavik {
namespace {

TEST(Cp932, RoundTripsJapaneseAndAscii)
{
    const std::string utf8 = "表示 ソ abc 〜 ＡＢ";
    std::string cp932 = utf8ToCp932(utf8);
    // 表 is 0x95 0x5C: its second byte is a backslash in ASCII.
    EXPECT_EQ(cp932.substr(0, 2), "\x95\x5C");
    EXPECT_EQ(cp932ToUtf8(cp932), "表示 ソ abc ～ ＡＢ");
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters)
{
    // 0xFF is no cp932 byte; a lead byte at the end has no second byte.
    EXPECT_EQ(cp932ToUtf8("a\xFF"
                          "b\x82"),
        "a\xEF\xBF\xBD"
        "b\xEF\xBF\xBD");
    EXPECT_EQ(cp932ToUtf8("\x82\xA0\x82"), "あ\xEF\xBF\xBD");
}

TEST(Cp932, CharactersOutsideCp932BecomeQuestionMarks)
{
    EXPECT_EQ(utf8ToCp932("a😀b"), "a?b");
    EXPECT_EQ(utf8ToCp932("a\xC3(b"), "a?(b");
}

TEST(Cp932, PrintfConvertsTheFormatAndKeepsArguments)
{
    std::string path = utf8ToCp932("地図.csv");
    std::string text = cp932Printf("%s\nファイルを読めません。%d", path.c_str(), 7);
    EXPECT_EQ(cp932ToUtf8(text), "地図.csv\nファイルを読めません。7");
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

TEST(Cp932, CuttingNeverSplitsATwoByteCharacter)
{
    std::string text = "ab" + utf8ToCp932("表示").bytes(); // 2 + 4 bytes
    EXPECT_EQ(cutCp932(text, 10), text);
    EXPECT_EQ(cutCp932(text, 4), "ab" + utf8ToCp932("表").bytes());
    EXPECT_EQ(cutCp932(text, 5), "ab" + utf8ToCp932("表").bytes());
    EXPECT_EQ(cutCp932(text, 1), "a");
    EXPECT_EQ(cutCp932(text, 0), "");
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

// A conversion the system cannot open stops the program with a message: the
// text would otherwise pass on unconverted into tables and maps.
// A message holds cp932 text, and UTF-8 text (a system's error text, Qt's
// strings, a literal of the source) becomes one only through a conversion:
// were a std::string or a literal taken as it is, its UTF-8 bytes would show
// as garbage in the message box and on the console.
TEST(Cp932Text, MessagesTakeOnlyConvertedText)
{
    static_assert(!std::is_convertible_v<std::string, Cp932Text>);
    static_assert(!std::is_convertible_v<const char*, Cp932Text>);
    static_assert(!std::is_constructible_v<Cp932Text, const char*>, "a literal is UTF-8: convert it");
    static_assert(!std::is_assignable_v<Cp932Text&, std::string>);
    static_assert(!std::is_constructible_v<Message, std::string, std::string>);
    static_assert(std::is_constructible_v<Message, Cp932Text, Cp932Text>);
    // Its bytes go wherever a table or a file takes bytes.
    static_assert(std::is_convertible_v<Cp932Text, std::string_view>);
    static_assert(std::is_convertible_v<Cp932Text, std::string>);

    const Cp932Text message = cp932Literal("表 ") + utf8ToCp932("エラー") + cp932Printf(" %d", 3);
    EXPECT_EQ(message, std::string_view("\x95\x5C \x83\x47\x83\x89\x81\x5B 3"));
    EXPECT_EQ(cp932ToUtf8(message), "表 エラー 3");
}

TEST(Cp932DeathTest, AConversionTheSystemLacksStopsTheProgram)
{
    requireConversion("UTF-8", "CP932");
    requireConversion("CP932", "UTF-8");
    EXPECT_EXIT(requireConversion("UTF-8", "NO-SUCH-ENCODING"), ::testing::ExitedWithCode(1),
        "文字コードを NO-SUCH-ENCODING から UTF-8 に変換できません");
}

} // namespace
} // namespace tavik
