#include "accdb/EasyCode.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

TEasyEncodeInfo info(int total, int plain, std::string key, std::string text) {
    TEasyEncodeInfo i;
    i.TotalLength = total;
    i.PlainLength = plain;
    i.Key = std::move(key);
    i.PlainText = std::move(text);
    return i;
}

} // namespace

TEST(EasyCodeTest, EncodeTable) {
    struct Case { int total, plain; const char* key; const char* text; const char* encoded; } cases[] = {
        {3, 3, "A", "AAA", "DGJ"},              // sums 65, 130, 195 -> +3, +6, +9
        {8, 8, kDataPasswordKey, "pass1234", "1zHtFqjW"},
        {8, 2, kDataPasswordKey, "ab", "MAPCg1Ux"},  // padded with ABCDEF
        {3, 1, "", "x", "xAB"},                 // empty key: letters unchanged, padding shows
        {8, 8, kDataPasswordKey, "ab cd", "MA"}, // ends at the blank
        {0, 0, "", "", ""},
    };
    for (const auto& c : cases) {
        TEasyEncodeInfo i = info(c.total, c.plain, c.key, c.text);
        EXPECT_TRUE(EasyEncode(i));
        EXPECT_EQ(i.EncodedText, c.encoded) << c.text;
        EXPECT_EQ(i.PlainText, c.text);
    }
    // Padding past Z starts again at A.
    TEasyEncodeInfo p = info(28, 0, "", "");
    EasyEncode(p);
    EXPECT_EQ(p.EncodedText, "ABCDEFGHIJKLMNOPQRSTUVWXYZAB");
}

TEST(EasyCodeTest, DecodeRoundTripAndLimits) {
    for (const char* text : {"pass1234", "ab", "Zz09", "zzzzzzzz", ""}) {
        TEasyEncodeInfo i = info(8, static_cast<int>(std::string(text).size()), kDataPasswordKey, text);
        EasyEncode(i);
        TEasyEncodeInfo d = info(8, i.PlainLength, kDataPasswordKey, "junk");
        d.EncodedText = i.EncodedText;
        EXPECT_TRUE(EasyDecode(d));
        EXPECT_EQ(d.PlainText, text);
    }
    // Nothing is decoded with PlainLength 0; a foreign character ends it.
    TEasyEncodeInfo d = info(8, 0, "A", "x");
    d.EncodedText = "DGJ";
    EasyDecode(d);
    EXPECT_EQ(d.PlainText, "");
    d.PlainLength = 8;
    d.EncodedText = "DG-J";
    EasyDecode(d);
    EXPECT_EQ(d.PlainText, "AA");

    // Texts longer than the 255-character buffers are cut there.
    TEasyEncodeInfo big = info(300, 300, "", std::string(300, 'Q'));
    EasyEncode(big);
    EXPECT_EQ(big.EncodedText.size(), 255u);

    TEasyEncodeInfo init = info(8, 8, "k", "a");
    init.EncodedText = "b";
    InitEasyEncodeInfo(init);
    EXPECT_EQ(init.TotalLength, 0);
    EXPECT_EQ(init.PlainText, "");
    EXPECT_EQ(init.EncodedText, "");
    EXPECT_EQ(init.Key, "k");
}

TEST(ExternalTextTest, RoundTripAndRefusals) {
    for (const std::string& text : {std::string("1234-5678-9012"), std::string("山田　太郎"), std::string("a"), std::string(180, 'x')}) {
        std::string enc, dec;
        ExternalEncodeText(text, enc);
        ASSERT_FALSE(enc.empty()) << text;
        EXPECT_NE(enc, text);
        EXPECT_LE(enc.size(), 255u);
        ExternalDecodeText(enc, dec);
        EXPECT_EQ(dec, text);
    }
    std::string out = "stale";
    ExternalEncodeText("   ", out);
    EXPECT_EQ(out, "");
    // Too long for the 256-byte result.
    ExternalEncodeText(std::string(250, 'x'), out);
    EXPECT_EQ(out, "");
    // Text that the encoder did not make is refused, not decoded to rubbish.
    for (const char* bad : {"hello", "Z1", "Z1AAAA", "Z1!!"}) {
        out = "stale";
        ExternalDecodeText(bad, out);
        EXPECT_EQ(out, "") << bad;
    }
    std::string enc;
    ExternalEncodeText("secret", enc);
    enc[3] = enc[3] == 'A' ? 'B' : 'A';
    ExternalDecodeText(enc, out);
    EXPECT_EQ(out, "");

    std::array<char, kServiceBufferSize> res{}, work{};
    EXPECT_EQ(ExternalTextService("x", "999", res.data(), work.data()), 0);
    EXPECT_EQ(ExternalTextService("x", "160", res.data(), work.data()), 1);
}
