#include "platform/text_numbers.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace tavik {
namespace {

TEST(TextNumbers, IntegersReadLikeAtoiAndSaturate)
{
    struct Case {
        const char* text;
        std::int64_t value;
    } cases[] = {
        {"  42abc", 42},
        {"-17", -17},
        {"+8", 8},
        {"", 0},
        {"x1", 0},
        {"- 1", 0},
        {"99999999999999999999999", std::numeric_limits<std::int64_t>::max()},
        {"-99999999999999999999999", std::numeric_limits<std::int64_t>::min()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseInteger64(c.text), c.value) << c.text;
    EXPECT_EQ(parseInteger("5000000000"), std::numeric_limits<int>::max());
    EXPECT_EQ(parseInteger("-5000000000"), std::numeric_limits<int>::min());
}

TEST(TextNumbers, RealsStopAtTheFirstCharacterThatCannotContinue)
{
    EXPECT_DOUBLE_EQ(parseReal(" 10.5pt"), 10.5);
    EXPECT_DOUBLE_EQ(parseReal("-.25"), -0.25);
    EXPECT_DOUBLE_EQ(parseReal("1e2"), 100.0);
    EXPECT_DOUBLE_EQ(parseReal("abc"), 0.0);
    EXPECT_DOUBLE_EQ(parseReal("nan"), 0.0);
    EXPECT_DOUBLE_EQ(parseReal("1e999"), 0.0);
}

TEST(TextNumbers, RealsWithoutAFiniteValueAreTold)
{
    const std::string longNumber(400, '9');
    for (const char* text : {"nan", "NaN", "-nan", " inf", "+Infinity", "1e400", "-1e999", "2e308", longNumber.c_str()})
        EXPECT_TRUE(isNonFiniteReal(text)) << text;
    for (const char* text : {"", "abc", "99", "-1e308", "1e-400", "0.00000001e-320", "n", "in"})
        EXPECT_FALSE(isNonFiniteReal(text)) << text;
}

} // namespace
} // namespace tavik
