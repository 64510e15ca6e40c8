#include <gtest/gtest.h>

#include "accdb/AccRecord.h"

TEST(AccRecordTest, StartStateAndReset) {
    ResetAccRecordGlobals();
    EXPECT_FALSE(MenuRequestHook);
    EXPECT_FALSE(ProcessLauncherHook);
    EXPECT_EQ(DbLostFlag, 0);
    EXPECT_EQ(DataInitFile24, "acc24.gbk");
    EXPECT_EQ(DataListCnt, 120);
    EXPECT_EQ(DefStyleColor3, 0x246BFFu);
    EXPECT_EQ(FormatSettings.ShortDateFormat, "yyyy/MM/dd");
    EXPECT_EQ(FormatSettings.ShortTimeFormat, "hh:mm");

    // Without a menu shell the program answers every request with 0, so forms
    // that refuse to open beside other processes always open.
    MenuRequestHook = NullMenuRequest;
    EXPECT_EQ(MenuRequestHook(10, ""), 0);
    HomeDir = "changed";
    DbLostFlag = 1;
    SystemDef.DataDir = "/data";
    ResetAccRecordGlobals();
    EXPECT_FALSE(MenuRequestHook);
    EXPECT_EQ(HomeDir, "brevan/tavrinzaimu");
    EXPECT_EQ(DbLostFlag, 0);
    EXPECT_EQ(SystemDef.DataDir, "");
}

TEST(AccRecordTest, FrameExtra) {
    const std::pair<int, int> cases[] = {{4, 0}, {3, 0}, {5, 2}, {8, 8}};
    for (auto [frame, extra] : cases) EXPECT_EQ(FrameExtraOf(frame), extra) << frame;
}
