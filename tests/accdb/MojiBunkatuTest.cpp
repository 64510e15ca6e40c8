#include <gtest/gtest.h>

#include "accdb/MojiBunkatu.h"
#include "platform/TextCodec.h"

using Items = std::vector<std::string>;

TEST(MojiBunkatuTest, SplitInBothModes) {
    struct Case {
        unsigned char mode;
        char delim;
        const char* text;
        Items items;
    };
    const Case cases[] = {
        {0, ',', "", {""}},
        {0, '.', "14.0.0", {"14", "0", "0"}},
        {0, ',', "a b,c", {"a", "b", "c"}},
        {1, ',', "a b,c", {"a b", "c"}},
        {1, ',', " x , y ", {"x", "y"}},
        {1, ',', "a,", {"a", ""}},
        {0, ',', "a,", {"a", ""}},
        {0, ',', "\"a,b\",c", {"a,b", "c"}},
        {1, ',', "\"a,b\",c", {"a,b", "c"}},
        {0, ',', "\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {0, ',', ",x", {"", "x"}},
        {1, '/', "data/株式会社 東京/", {"data", "株式会社 東京", ""}},
    };
    for (const auto& c : cases) {
        TMojiBunkatu m;
        m.Mode = c.mode;
        m.Delimiter = c.delim;
        m.Split(c.text);
        EXPECT_EQ(m.Items, c.items) << int(c.mode) << " [" << c.text << "]";
        EXPECT_EQ(m.Count, static_cast<int>(c.items.size()));
    }
}

TEST(MojiBunkatuTest, GetItemAndClear) {
    TMojiBunkatu m;
    m.Split("");
    EXPECT_EQ(m.Count, 1);
    EXPECT_EQ(m.GetItem(0), "");
    EXPECT_EQ(m.GetItem(1), "");
    m.Split("a,b");
    EXPECT_EQ(m.GetItem(1), "b");
    EXPECT_EQ(m.GetItem(-1), "");
    m.Clear();
    EXPECT_EQ(m.Count, 0);
    EXPECT_EQ(m.GetItem(0), "");
}

TEST(MojiBunkatuTest, SplitByLengthNeverCutsACharacter) {
    TMojiBunkatu m;
    // 15 ASCII bytes, then a double-byte character on bytes 16-17.
    m.SplitByLength("123456789012345漢字abc", 16);
    ASSERT_EQ(m.Count, 2);
    EXPECT_EQ(m.Items[0], "123456789012345");
    EXPECT_EQ(m.Items[1], "漢字abc");
    m.SplitByLength("", 16);
    EXPECT_EQ(m.Count, 1);
    EXPECT_EQ(m.Items[0], "");
    m.SplitByLength("漢字", 1); // too narrow: one character per piece, never an endless loop
    EXPECT_EQ(m.Count, 2);
}
