#include "accdb/DateText.h"
#include "accdb/AccRecord.h"
#include "accdb/Gengo.h"

#include <gtest/gtest.h>

using datecore::encodeDate;

namespace {

struct DateTextFixture : ::testing::Test {
    void SetUp() override { InitGengoTable(); }
};

} // namespace

TEST_F(DateTextFixture, FormatDateExLayouts) {
    const TDateTime reiwa = encodeDate(2019, 5, 1);
    const TDateTime d = encodeDate(2005, 3, 4);  // 平成17
    struct Case { const char* format; int style; TDateTime date; bool era; const char* want; } cases[] = {
        {"yyyy/mm/dd", 2, reiwa, true, "R 01/05/01"},
        {"yyyy/mm/dd", 0, reiwa, true, "01/05/01"},
        {"yyyy/mm/dd", 1, reiwa, true, "令和 01/05/01"},
        {"yyyy/mm/dd", 3, reiwa, true, "R01/05/01"},
        {"yyyy/mm/dd", 7, reiwa, true, "令和 01/05/01"},
        {"yy/mm", 2, d, true, "H 17/03"},
        {"yyyy", 2, d, true, "H 17"},
        {"yyyy/m/d", 2, d, true, "H 17/ 3/ 4"},
        {"y/m/d", 3, d, true, "H17/3/4"},
        {"yyyy/m", 0, d, true, "17/ 3"},
        {"y", 1, d, true, "平成 17"},
        {"yy2/mm/dd", 2, d, true, "H17/03/04"},
        {"dd.mm.yyyy", 2, d, true, ""},
        {"yyyy/mm/dd", 2, d, false, "2005/03/04"},
        {"yy/mm/dd", 2, d, false, "05/03/04"},
        {"yyyy/m/d", 2, d, false, "2005/ 3/ 4"},
        {"yy/m/d", 2, d, false, " 5/ 3/ 4"},
        {"yyyy/m", 2, d, false, "2005/ 3"},
        {"y/m", 2, d, false, " 5/ 3"},
        {"y", 2, d, false, "05"},
        {"yy2/mm/dd", 2, d, false, "05/03/04"},
        {"dd.mm.yyyy", 2, d, false, "04.03.2005"},
    };
    for (const auto& c : cases) {
        std::string text = "stale";
        FormatDateEx(c.format, c.style, text, c.date, c.era);
        EXPECT_EQ(text, c.want) << c.format << " style " << c.style << " era " << c.era;
    }
}

TEST_F(DateTextFixture, FormatDateKanjiLayouts) {
    const TDateTime d = encodeDate(2005, 3, 4);
    struct Case { const char* format; int style; bool era; const char* want; } cases[] = {
        {"yyyy年mm月dd日", 1, true, "平成 17年03月04日"},
        {"yyyy年mm月dd日", 0, true, "17年03月04日"},
        {"yyyy年mm月dd日", 3, true, "平成 17年03月04日"},
        {"yyyy年mm月dd日", 2, true, "H 17年03月04日"},
        {"yy年mm月", 1, true, "平成 17年03月"},
        {"yyyy年m月d日", 1, true, "平成 17年 3月 4日"},
        {"y年", 1, true, "平成 17年"},
        {"y", 1, true, "平成 17年"},
        {"yy年 m月 d日", 1, true, "平成 17年 3月 4日"},
        {"yyyy年 mm月", 1, true, "平成 17年 03月"},
        {"yyyy/mm/dd", 1, true, ""},
        {"yyyy年mm月dd日", 1, false, "2005年03月04日"},
        {"yyyy年m月d日", 1, false, "2005年 3月 4日"},
        {"yy年m月d日", 1, false, " 5年 3月 4日"},
        {"yy年m月", 1, false, "05年 3月"},
        {"y年", 1, false, "2005年"},
        {"y", 1, false, "2005年"},
        {"yyyy年 m月 d日", 1, false, "2005年 3月 4日"},
        {"y年 m月 d日", 1, false, "05年 3月 4日"},
        {"yy年 m月", 1, false, "05年 3月"},
        {"yyyy年 mm月 dd日", 1, false, "2005年 03月 04日"},
    };
    for (const auto& c : cases) {
        std::string text = "stale";
        FormatDateKanji(c.format, c.style, text, d, c.era);
        EXPECT_EQ(text, c.want) << c.format << " style " << c.style << " era " << c.era;
    }
}

TEST_F(DateTextFixture, KikanText) {
    std::string text;
    FormatKikanText(encodeDate(2023, 4, 1), encodeDate(2024, 3, 31), text, false);
    EXPECT_EQ(text, "2023/04/01 ～ 2024/03/31");
    FormatKikanText(encodeDate(2019, 4, 1), encodeDate(2020, 3, 31), text, true);
    EXPECT_EQ(text, "H 31/04/01 ～ R 02/03/31");
}

TEST(DateTextTest, StrToDateTimeStd) {
    TDateTime t1 = 0, t2 = 0;
    datecore::tryEncodeTime(13, 5, 0, 0, t1);
    datecore::tryEncodeTime(13, 5, 9, 0, t2);
    struct Case { const char* text; TDateTime want; } cases[] = {
        {"2024/03/31", encodeDate(2024, 3, 31)},
        {"2024/3/1", encodeDate(2024, 3, 1)},
        {" 2024/03/31 ", encodeDate(2024, 3, 31)},
        {"2024/03/31 13:05", encodeDate(2024, 3, 31) + t1},
        {"2024/03/31 13:05:09", encodeDate(2024, 3, 31) + t2},
        {"1868/09/08", encodeDate(1868, 9, 8)},
        {"03/31/2024", 0},
        {"31.03.2024", 0},
        {"2024-03-31", 0},
        {"2023/02/29", 0},
        {"2024/03/31 25:00", 0},
        {"2024/03/31x", 0},
        {"", 0},
        {"令和6年3月31日", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToDateTimeStd(c.text), c.want) << c.text;
}

TEST_F(DateTextFixture, FollowsOperatorsEraSetting) {
    const int saved = SystemDef.Settings.WarekiDisp;
    std::string text;
    SystemDef.Settings.WarekiDisp = 1;
    FormatDateEx("yyyy/mm/dd", 2, text, encodeDate(2019, 5, 1));
    EXPECT_EQ(text, "R 01/05/01");
    FormatDateKanji("yyyy年m月d日", 1, text, encodeDate(2019, 5, 1));
    EXPECT_EQ(text, "令和  1年 5月 1日");
    SystemDef.Settings.WarekiDisp = 0;
    FormatDateEx("yyyy/mm/dd", 2, text, encodeDate(2019, 5, 1));
    EXPECT_EQ(text, "2019/05/01");
    FormatKikanText(encodeDate(2023, 4, 1), encodeDate(2024, 3, 31), text);
    EXPECT_EQ(text, "2023/04/01 ～ 2024/03/31");
    SystemDef.Settings.WarekiDisp = saved;
}

TEST(VersionTextTest, ParseAndCompare) {
    struct Case { const char* text; int major, minor, release, build; } cases[] = {
        {"14.0.1.9", 14, 0, 1, 9}, {"11.1.0", 11, 1, 0, 0}, {"12.a.3", 12, 0, 3, 0},
        {"7", 7, 0, 0, 0},         {"", 0, 0, 0, 0},        {"1.2.3.4.5", 1, 2, 3, 4},
        {" 2 . 3 .4", 2, 3, 4, 0},
    };
    for (const auto& c : cases) {
        TVersionRec v;
        v.Major = v.Minor = v.Release = v.Build = 99;
        ParseVersion(c.text, v);
        EXPECT_EQ(v.Major, c.major) << c.text;
        EXPECT_EQ(v.Minor, c.minor) << c.text;
        EXPECT_EQ(v.Release, c.release) << c.text;
        EXPECT_EQ(v.Build, c.build) << c.text;
        EXPECT_EQ(v.Text, c.text);
    }
    struct Cmp { const char* a; const char* b; bool newer, orLater; } cmps[] = {
        {"14.0.1", "14.0.0", true, true},
        {"14.0.0.9", "14.0.0.1", false, true},  // the build never counts
        {"14.0.0", "14.0.0", false, true},
        {"11.0.5", "11.1.0", false, false},
        {"11.1.0", "11.0.255", true, true},
        {"10.300.0", "11.1.0", true, true},  // minor above 255 spills into the major, as the key does
    };
    for (const auto& c : cmps) {
        EXPECT_EQ(IsNewerVersion(c.a, c.b), c.newer) << c.a << " " << c.b;
        EXPECT_EQ(IsVersionOrLater(c.a, c.b), c.orLater) << c.a << " " << c.b;
    }
    EXPECT_EQ(VersionKey("14.2.3"), 14u * 65536 + 2 * 256 + 3);
}
