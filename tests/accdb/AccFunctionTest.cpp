#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <stdexcept>

#include <array>
#include <climits>
#include <cstdlib>

#include "accdb/AccFunction.h"
#include "platform/TextCodec.h"

TEST(AccFunctionTest, HasuuSyoriRoundsToWholeYen) {
    struct Case {
        int mode;
        std::int64_t amount, expected; // 1/10000 yen
    };
    const Case cases[] = {
        {0, 125000, 120000},  {2, 125000, 130000},   {1, 125000, 130000},  {0, -125000, -120000},
        {2, -125000, -130000}, {1, -125000, -130000}, {0, 124000, 120000},  {2, 124000, 130000},
        {1, 124000, 120000},  {3, 124999, 120000},    {2, 1000001, 1010000}, {2, -1, -10000},
        {2, 1000000, 1000000}, {1, 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(HasuuSyori(c.mode, c.amount), c.expected) << c.mode << " " << c.amount;
    // Rounding up the largest amounts has no whole-yen value.
    EXPECT_EQ(HasuuSyori(0, INT64_MAX), INT64_MAX / 10000 * 10000);
    EXPECT_THROW(HasuuSyori(2, INT64_MAX), std::overflow_error);
    EXPECT_THROW(HasuuSyori(1, INT64_MIN), std::overflow_error);
}

TEST(AccFunctionTest, BlanksAndFixedWidths) {
    EXPECT_EQ(TrimZen("\u3000 ＡＢ\u3000\t"), "ＡＢ");
    EXPECT_EQ(TrimZen("\u3000\u3000"), "");
    // A character whose CP932 trail byte is 0x81 followed by '@' is not a blank.
    EXPECT_EQ(TrimZen("ア@"), "ア@");
    EXPECT_EQ(DelAllSpace(" a\u3000b ＠"), "ab＠");
    EXPECT_EQ(SpaceStr(510).size(), 510u);
    EXPECT_EQ(SpaceStr(511), "");
    EXPECT_EQ(SpaceStr(0), "");

    struct Case {
        const char* text;
        int count;
        const char* left;
        const char* right;
    };
    const Case cases[] = {
        {"abc", 5, "abc  ", "  abc"},
        {"abcdef", 3, "abc", "def"},
        {"a漢字", 4, "a漢 ", "漢字"},
        {"漢字", 3, "漢 ", " 字"},         // a cut character becomes a blank
        {"ｱｲｳ漢", 4, "ｱｲｳ ", "ｲｳ漢"},   // half-width katakana are one byte wide
        {"漢字", 0, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixLeftStr(c.text, c.count), c.left) << c.text << " " << c.count;
        EXPECT_EQ(FixRightStr(c.text, c.count), c.right) << c.text << " " << c.count;
    }
    EXPECT_EQ(FixLeftStr("ab", 600), "ab"); // beyond 510 nothing is padded
}

TEST(AccFunctionTest, SplitStrArrayKeepsWithinTheArray) {
    std::vector<std::string> parts(4, "untouched");
    EXPECT_EQ(SplitStrArray("a,b//c,d", ',', parts), 1);
    EXPECT_EQ(parts[0], "a");
    EXPECT_EQ(parts[1], "b");
    EXPECT_EQ(parts[2], "untouched");

    EXPECT_EQ(SplitStrArray(",x", ',', parts), 1);
    EXPECT_EQ(parts[0], "");
    EXPECT_EQ(parts[1], "x");

    parts.assign(4, "untouched");
    EXPECT_EQ(SplitStrArray("", ',', parts), 0);
    EXPECT_EQ(parts[0], "untouched");
    EXPECT_EQ(SplitStrArray("one", ',', parts), 0);
    EXPECT_EQ(parts[0], "one");

    // More parts than the array holds: the last entry keeps the rest.
    std::array<std::string, 3> small;
    EXPECT_EQ(SplitStrArray("1|2|3|4|5", '|', small.data(), 2), 2);
    EXPECT_EQ(small[2], "3|4|5");
}

TEST(AccFunctionTest, TextsToAmountsAndDates) {
    const std::pair<const char*, int> ints[] = {
        {"42", 42}, {" -7", -7}, {"+5", 5}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"2147483648", -1}, {"-2147483649", -1}, {"4294967338", -1}, {"99999999999999999999", -1},
        {"", -1}, {" ", -1}, {"-", -1}, {"12 ", -1}, {"1.5", -1}, {"0x1A", -1}, {"１２", -1},
    };
    for (auto [text, want] : ints) EXPECT_EQ(StrToIntDef(text, -1), want) << text;

    const std::pair<const char*, std::int64_t> amounts[] = {
        {"123", 1230000}, {" -1.5 ", -15000}, {"0.00005", 1}, {"12.34567", 123457}, {"abc", 0}, {"", 0}, {"1,000", 0},
    };
    for (auto [text, want] : amounts) EXPECT_EQ(StrToKingaku(text), want) << text;

    TDateTime d = StrToDateZero("2024/02/29");
    EXPECT_EQ(DateToFmtStr(4, d), "2024/02/29");
    EXPECT_EQ(DateToFmtStr(2, d), "24/02/29");
    EXPECT_EQ(DateToFmtStr(0, d + 0.5), "2024/02/29 12:00");
    // Shown as the platform shows it: never rounded up into the next minute
    // or day; before 1899-12-30 the time runs from the date's start.
    EXPECT_EQ(DateToFmtStr(4, d + (86399.57 / 86400)), "2024/02/29");
    EXPECT_EQ(DateToFmtStr(0, d + (39599.6 / 86400)), "2024/02/29 10:59");
    EXPECT_EQ(DateToFmtStr(0, -1.25), "1899/12/29 06:00");
    EXPECT_EQ(StrToDateZero("2023/02/29"), 0);
    EXPECT_EQ(DateToFmtStr(4, StrToDateZero("2024/2/9")), "2024/02/09");
    EXPECT_EQ(DateToFmtStr(4, StrToDateZero("24/02/09")), "2024/02/09");
    EXPECT_EQ(StrToDateZero("2023-01-01"), 0);
    EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0);
    for (int kind : {0, 2, 4}) EXPECT_EQ(DateToFmtStr(kind, 0), "");
}

TEST(AccFunctionTest, Cp932ByteClasses) {
    std::string text = platform::toCp932("a漢b");
    EXPECT_FALSE(IsSjisLeadAt(text, 1));
    EXPECT_TRUE(IsSjisLeadAt(text, 2));
    EXPECT_FALSE(IsSjisLeadAt(text, 3)); // the trail byte
    EXPECT_FALSE(IsSjisLeadAt(text, 99));
    EXPECT_FALSE(IsSjisLeadAt("", 1));
    EXPECT_EQ(RepairKanjiTail("ab\x8A"), "ab ");
    EXPECT_EQ(RepairKanjiTail("\x8A\x20x"), "  x");
    EXPECT_EQ(RepairKanjiTail(text), text);
}

TEST(AccFunctionTest, PcNameInTerminalConnection) {
    ResetAccRecordGlobals();
    ConnectKind = 2;
    EXPECT_EQ(GetPCName(), "ANONYMOUS");
    SystemDef.ClientName = "CLIENT7";
    EXPECT_EQ(GetPCName(), "CLIENT7");
    ConnectKind = 0;
    setenv("ZR_COMPUTER_NAME", "HOST9", 1);
    EXPECT_EQ(GetPCName(), "HOST9");
    unsetenv("ZR_COMPUTER_NAME");
    ResetAccRecordGlobals();
}
