#include "common/text_helpers.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(TextHelpers, TrimsAsciiAndFullWidthBlanksAtCharacterBoundaries)
{
    struct Case {
        std::string text, trimmed;
    } cases[] = {
        {"  abc  ", "abc"},
        {cp932Literal("　 種名　 "), cp932Literal("種名")},
        {cp932Literal("　"), ""},
        {"", ""},
        // 0x88 0x81 is one character; the "@" (0x40) after it is no blank.
        {"\x88\x81\x40", "\x88\x81\x40"},
        {cp932Literal("a　b"), cp932Literal("a　b")},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(trimText(text), c.trimmed.size());
        EXPECT_EQ(text, c.trimmed) << cp932ToUtf8(c.text);
    }
}

TEST(TextHelpers, FoldsTheWholeHiraganaBlockToKatakana)
{
    std::string hiragana
        = cp932Literal("ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬねの"
                       "はばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをん");
    std::string katakana
        = cp932Literal("ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノ"
                       "ハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲン");
    ASSERT_EQ(hiragana.size(), 83u * 2);
    foldKana(hiragana);
    EXPECT_EQ(cp932ToUtf8(hiragana), cp932ToUtf8(katakana));

    std::string others = cp932Literal("ミナト区ー・ｱ abc").bytes() + "\x82";
    std::string expected = others;
    foldKana(others);
    EXPECT_EQ(others, expected);
}

TEST(TextHelpers, ExtractsTheDigitsOfACodeWrittenWithSeparators)
{
    struct Case {
        std::string text, digits;
    } cases[] = {
        {"5339-45-12", "53394512"},
        {"5339 45", "5339"},
        {"5339.45/12a3", "533945123"},
        {cp932Literal("東京都"), ""},
        {cp932Literal("12区34"), "12"},
        {"12,34", "12"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(extractDigits(c.text), c.digits) << cp932ToUtf8(c.text);
}

TEST(TextHelpers, CutsTextWithoutSplittingACharacter)
{
    std::string text = cp932Literal("aあい");
    EXPECT_EQ(cutText(text, 4), cp932Literal("aあ"));
    EXPECT_EQ(cutText(text, 3), cp932Literal("aあ"));
    EXPECT_EQ(cutText(text, 2), "a");
    EXPECT_EQ(cutText(text, 100), text);
    EXPECT_EQ(cutText("ab\x82", 100), "ab");
}

} // namespace
} // namespace tavik
