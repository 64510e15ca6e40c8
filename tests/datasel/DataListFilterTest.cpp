#include <gtest/gtest.h>

#include "datasel/DataListFilter.h"
#include "datasel/ZenkakuMap.h"

using namespace datasel;

namespace {

TEST(ZenkakuMap, WidthAndCase)
{
    struct Case {
        const char* in;
        const char* full;
    } cases[] = {
        {"abc XYZ 09", "ａｂｃ\u3000ＸＹＺ\u3000０９"},
        {"!~\\", "！～＼"},
        {"ｶﾞｷﾞﾊﾟﾎﾟｳﾞ", "ガギパポヴ"},
        {"ｱﾞﾊﾟﾏﾟ", "ア゛パマ゜"},      // marks that cannot join stay marks
        {"ｯﾄｰ｡｢｣､･ｦﾝ", "ットー。「」、・ヲン"},
        {"カナかな漢字ＡＢ", "カナかな漢字ＡＢ"},
        {"ﾊﾞ", "バ"},
        {"ｿﾞ", "ゾ"},
        {"ﾂﾞ", "ヅ"},
        {"ｯﾞ", "ッ゛"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapFullWidth(c.in), c.full) << c.in;
    EXPECT_EQ(ToFullWidthUpper("ａｂｚ a ＡＢ"), "ＡＢＺ a ＡＢ");
    EXPECT_EQ(ToFullWidthUpper(MapFullWidth("abz")), "ＡＢＺ");
}

TEST(DataListSort, OrderByLinesAndTieBreaks)
{
    EXPECT_EQ(NamedRowsOrderBy(2, false, ""), "ORDER BY ENTTEXT,NENDO DESC,REC");
    EXPECT_EQ(NamedRowsOrderBy(2, true, ""), "ORDER BY ENTTEXT DESC,NENDO DESC,REC DESC");
    EXPECT_EQ(NamedRowsOrderBy(7, false, ""), "ORDER BY DATACODE,NENDO DESC,REC");
    EXPECT_EQ(NamedRowsOrderBy(0, true, "ORDER BY X"), "ORDER BY X");
    EXPECT_EQ(NamedRowsOrderBy(8, false, "ORDER BY X"), "");
    EXPECT_EQ(FreeSlotsOrderBy(5, false), "ORDER BY PASNAME,REC");
    EXPECT_EQ(FreeSlotsOrderBy(3, true), "ORDER BY REC DESC");
    const std::uint8_t keys[] = {1, 7, 1, 2, 3, 4, 5, 6, 1, 1};
    for (int col = 0; col < 10; ++col)
        EXPECT_EQ(SortKeyOfGridColumn(col), keys[col]) << col;
}

TDataSentakuRec row(int rec, int type, int code, int major, int minor1, const char* name = "",
                    const char* dataCode = "", int tantou = 0)
{
    TDataSentakuRec r;
    r.REC = rec;
    r.DATATYPE = type;
    r.CODETYPE = code;
    r.VER_MAJOR = major;
    r.VER_MINOR1 = minor1;
    r.ENTTEXT = name;
    r.DATACODE = dataCode;
    r.TANTOU = tantou;
    return r;
}

std::string shown(const TDataSentakuRecArray& rows, const TDataKensakuRec& c)
{
    std::string s;
    for (int i : BuildDisplayIndex(rows, c))
        s += (s.empty() ? "" : ",") + std::to_string(rows[i].REC);
    return s;
}

TEST(DataListFilter, ConditionsTable)
{
    const TDataSentakuRecArray rows = {
        row(1, 1, 1, 14, 0, "ABC商事", "AB01", 10001),
        row(2, 3, 1, 14, 2, "医療法人ｶﾞｲｱ", "ab", 10002),
        row(3, 2, 1, 13, 9, "個人一般", "XAB"),
        row(4, 2, 4, 13, 5, "農業", "AB"),
        row(5, 2, 3, 13, 4, "クリニック"),
        row(6, 1, 1, 15, 0, "新しい版"),
        row(7, 0, 0, 0, 0),
    };
    struct Case {
        const char* what;
        TDataKensakuRec cond;
        const char* expected;
    };
    auto c = [](auto set) {
        TDataKensakuRec k;
        set(k);
        return k;
    };
    const Case cases[] = {
        {"no condition", {}, "1,2,3,4,5,6,7"},
        {"converter: -13 and major 14",
         c([](auto& k) { k.DATATYPE = -13; k.DATAVER = "14"; k.VerMatch = 1; }), "1,2"},
        {"-13 ignores the code system", c([](auto& k) { k.DATATYPE = -13; k.CODETYPE = 3; }), "1,2,6"},
        {"individuals", c([](auto& k) { k.DATATYPE = 2; }), "3,4,5"},
        {"agriculture", c([](auto& k) { k.DATATYPE = 2; k.CODETYPE = 4; }), "4"},
        {"other negative kind sets nothing", c([](auto& k) { k.DATATYPE = -1; }), "1,2,3,4,5,6,7"},
        {"exact major.minor", c([](auto& k) { k.DATAVER = "13.5"; }), "4"},
        {"at or above 13.5", c([](auto& k) { k.DATAVER = "13.5"; k.VerMatch = 2; }), "1,2,3,4,6"},
        {"unparsable version counts 0", c([](auto& k) { k.DATAVER = "x"; k.VerMatch = 1; }), "7"},
        {"code prefix case-insensitive", c([](auto& k) { k.DATACODE = " ab "; }), "1,2,4"},
        {"name in half-width kana", c([](auto& k) { k.DATANAME = "ｶﾞｲｱ"; }), "2"},
        {"name lower case", c([](auto& k) { k.DATANAME = "abc"; }), "1"},
        {"person in charge", c([](auto& k) { k.TANTO = 10002; }), "2"},
    };
    for (const auto& cs : cases)
        EXPECT_EQ(shown(rows, cs.cond), cs.expected) << cs.what;
    EXPECT_TRUE(BuildDisplayIndex({}, {}).empty());
}

} // namespace
