#include "platform/text_format.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(TextFormat, CutsCp932TextOnCharacterBoundaries)
{
    const std::string text = "ab" + cp932Literal("日本").bytes() + "c"; // a, b, two two-byte characters, c
    EXPECT_EQ(cutCp932(text, 3), "ab");
    EXPECT_EQ(cutCp932(text, 4), "ab" + cp932Literal("日").bytes());
    EXPECT_EQ(cutCp932(text, 100), text);
    EXPECT_EQ(tailCp932(text, 4), cp932Literal("本").bytes() + "c");
    EXPECT_EQ(tailCp932(text, 2), "c");
    // A trail byte that looks like a lead byte does not shift the cut.
    const std::string table = cp932Literal("表表"); // 0x95 0x5C twice
    EXPECT_EQ(cutCp932(table, 3), cp932Literal("表"));
}

TEST(TextFormat, FormatsRealsLikePrintfInTheCLocale)
{
    EXPECT_EQ(formatFixed(5.0, 4, 1), " 5.0");
    EXPECT_EQ(formatFixed(12.25, 4, 1), "12.2"); // ties of the binary value go to even, as printf does
    EXPECT_EQ(formatFixed(0.05, 4, 1), " 0.1");
    EXPECT_EQ(formatFixed(-0.04, 4, 1), "-0.0");
    EXPECT_EQ(formatFixed(123456.75, 4, 1), "123456.8");
}

} // namespace
} // namespace tavik
