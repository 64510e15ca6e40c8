#include <gtest/gtest.h>

#include "datasel/DataListFilter.h"
#include "datasel/KensakuJyoken.h"

using namespace datasel;

namespace {

TEST(KensakuJyoken, DataKindAndSortColumnConversions)
{
    EXPECT_EQ(DataKbnIndexOf(2, 4), 6);
    EXPECT_EQ(DataKbnIndexOf(3, 1), 4);
    EXPECT_EQ(DataKbnIndexOf(2, 9), 0);
    EXPECT_EQ(DataKbnIndexOf(0, 0), 0);
    const int gridOf[] = {0, 3, 4, 5, 6, 7, 1, 0};
    for (int s = 0; s < 8; ++s)
        EXPECT_EQ(GridColumnOfSortCol(s), gridOf[s]) << s;
    EXPECT_EQ(GridColumnOfSortCol(-1), 0);
    for (int s = 0; s < 7; ++s)
        EXPECT_EQ(SortColOfGridColumn(GridColumnOfSortCol(s)), s);
    EXPECT_EQ(SortColOfGridColumn(2), 0);
}

TEST(KensakuJyoken, DialogChoicesRoundTrip)
{
    TDataListKensakuModel m;
    m.TantoChoices.push_back({10003, "0003 山田"});
    m.DataVerChoices.push_back({13, 5, "タヴリン財務１９"});
    m.DataVerChoices.push_back({0, 0, "不明"});

    m.DataKbnIndex = 6; // 個人(農業)
    m.CodeText = "AB";
    m.TantoIndex = 1;
    m.DataVerIndex = 1;
    m.Yukou = true;
    m.TakeControls();
    EXPECT_EQ(m.Rec.DATATYPE, 2);
    EXPECT_EQ(m.Rec.CODETYPE, 4);
    EXPECT_EQ(m.Rec.TANTO, 10003);
    EXPECT_EQ(m.Rec.DATAVER, "13.5");
    EXPECT_EQ(m.Rec.SEIHINNAME, "タヴリン財務１９");
    EXPECT_EQ(m.Rec.JYOKENUSE, 1);

    // A version chosen as 13.5 matches every 13.5.y data set.
    TDataSentakuRec r;
    r.VER_MAJOR = 13;
    r.VER_MINOR1 = 5;
    r.VER_MINOR2 = 7;
    r.DATATYPE = 2;
    r.CODETYPE = 4;
    r.DATACODE = "ab12";
    r.TANTOU = 10003;
    EXPECT_TRUE(RowMatchesConditions(r, m.Rec));

    TDataListKensakuModel again = m;
    again.DataKbnIndex = again.TantoIndex = again.DataVerIndex = 0;
    again.Yukou = false;
    again.SetMode(1);
    EXPECT_EQ(again.DataKbnIndex, 6);
    EXPECT_EQ(again.TantoIndex, 1);
    EXPECT_EQ(again.DataVerIndex, 1);
    EXPECT_TRUE(again.Yukou);

    // An entry whose version is 0.0 gives no version condition.
    m.DataVerIndex = 2;
    m.DataKbnIndex = 0;
    m.TakeControls();
    EXPECT_EQ(m.Rec.DATAVER, "");
    EXPECT_EQ(m.Rec.DATATYPE, 0);
    EXPECT_EQ(m.Rec.CODETYPE, 0);
}

} // namespace
