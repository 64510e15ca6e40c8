#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextCodec, Cp932BytesSurviveRoundTrip) {
    // NEC specials, the contested wave dash / minus / parallel, half-width
    // katakana, a kanji, ASCII.
    const std::string bytes = "\x87\x40\x87\x54\x87\x8A\x81\x60\x81\x7C\x81\x61\xB1\xDE\x8A\xBF" "abc";
    std::string utf8 = fromCp932(bytes);
    EXPECT_EQ(utf8, "①Ⅰ㈱～－∥ｱﾞ漢abc");
    EXPECT_EQ(toCp932(utf8), bytes);
}

TEST(TextCodec, UnmappableCharacterIsAnErrorNotAQuestionMark) {
    EXPECT_THROW(toCp932("a\xF0\x9F\x98\x80"), EncodingError); // emoji
    EXPECT_FALSE(isCp932Encodable("한국"));
    EXPECT_THROW(fromCp932("\x81"), EncodingError); // cut double-byte character
}

TEST(TextCodec, WidthsAreCp932Bytes) {
    struct Case { const char* text; size_t width; };
    for (auto c : {Case{"", 0}, Case{"abc", 3}, Case{"ｱｲｳ", 3}, Case{"漢字", 4}, Case{"a漢ｱ", 4}})
        EXPECT_EQ(cp932Width(c.text), c.width) << c.text;
}

TEST(TextCodec, WidthsMatchTheBytesWritten) {
    // Yen sign and overline take their single-byte forms; a width that counts
    // them as two would cut fixed-width fields short.
    for (const char* text : {"\xC2\xA5" "100", "\xE2\x80\xBE", "a\xC2\xA5漢ｱ\xE2\x80\xBE~\\", "①～－∥"}) {
        EXPECT_EQ(cp932Width(text), toCp932(text).size()) << text;
    }
    EXPECT_EQ(cutToCp932Width("\xC2\xA5\xC2\xA5\xC2\xA5\xE2\x80\xBE", 3), "\xC2\xA5\xC2\xA5\xC2\xA5");
    EXPECT_EQ(cp932CharWidth(U'\u00A5'), 1u);
    EXPECT_EQ(cp932CharWidth(U'\u203E'), 1u);
}

TEST(TextCodec, CutNeverSplitsADoubleByteCharacter) {
    struct Case { const char* text; size_t max; const char* want; };
    for (auto c : {Case{"abc", 2, "ab"}, Case{"a漢字", 2, "a"}, Case{"a漢字", 3, "a漢"}, Case{"漢字", 0, ""},
                   Case{"ｱ漢", 2, "ｱ"}, Case{"漢字", 10, "漢字"}})
        EXPECT_EQ(cutToCp932Width(c.text, c.max), c.want) << c.text << " " << c.max;
}
