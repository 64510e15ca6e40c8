#include <gtest/gtest.h>

#include <climits>

#include "platform/IntText.h"

TEST(IntTextTest, OnlyWholeDecimalNumbersWithinIntRead) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0}, {"+5", 5}, {" \t-7", -7}, {"007", 7}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        // a second sign, blanks after the sign, trailing text
        {"--5", -1}, {"+-5", -1}, {"- 7", -1}, {"12 ", -1}, {"1e3", -1}, {"0x10", -1},
        // out of range, including values that would wrap to a small number
        {"2147483648", -1}, {"-2147483649", -1}, {"4294967301", -1}, {"--9999999999", -1},
        {"", -1}, {"-", -1}, {" ", -1},
    };
    for (auto [text, want] : cases) EXPECT_EQ(platform::strToIntDef(text, -1), want) << '"' << text << '"';
    EXPECT_EQ(platform::parseDecimalInt("-1"), -1);
    EXPECT_FALSE(platform::parseDecimalInt("x").has_value());
}
