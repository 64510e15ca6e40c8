#include <gtest/gtest.h>

#include "accdb/AppInfo.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

using testsupport::writeFileBytes;

TEST(AppInfoTest, ReadsEveryKeyAndKeepsMissingOnesEmpty) {
    testsupport::TempDir dir;
    writeFileBytes(dir / "AppInfo.ini",
                   platform::toCp932("[Application]\r\nOEM=-\r\nVerMajorDiff=2\r\nRiredozaBlind=x\r\n"
                                     "[Dovoz]\r\nAppTitle=タヴリン財務\r\nHomeDir=brevan\\tavrinzaimu\r\n"
                                     "[Menu]\r\nDataConVux02=ＶｕＸ復元\r\n"));
    TAppInfoRec rec;
    EXPECT_EQ(LoadAppInfo((dir / "zorute").string(), rec), 1);
    EXPECT_EQ(rec.OEM, "-");
    EXPECT_EQ(rec.VerMajorDiff, 2);
    EXPECT_EQ(rec.RiredozaBlind, 0);
    EXPECT_EQ(rec.AppTitle, "タヴリン財務");
    EXPECT_EQ(rec.HomeDir, "brevan/tavrinzaimu");
    EXPECT_EQ(rec.MenuDataConVux02, "ＶｕＸ復元");
    EXPECT_EQ(rec.AppName, "");   // missing keys are empty, not built in
    EXPECT_EQ(rec.DataListCnt, 120);
}

TEST(AppInfoTest, MissingEmptyOemAndUnreadableFiles) {
    testsupport::TempDir dir;
    TAppInfoRec rec;
    rec.AppName = "kept";
    EXPECT_EQ(LoadAppInfo((dir / "zorute").string(), rec), 0);
    EXPECT_EQ(rec.AppName, "kept");

    writeFileBytes(dir / "AppInfo.ini", "[Application]\r\nOEM=\r\n[Dovoz]\r\nAppName=other\r\n");
    EXPECT_EQ(LoadAppInfo((dir / "zorute").string(), rec), -1);
    EXPECT_EQ(rec.AppName, "tvzaimu");
    EXPECT_EQ(rec.Since, "2009-2019");

    // A value that is not CP932 reads as empty; the rest of the file still counts.
    writeFileBytes(dir / "AppInfo.ini", "[Application]\r\nOEM=-\r\nSince=\x81\r\n[Dovoz]\r\nAppName=ok\r\n");
    EXPECT_EQ(LoadAppInfo((dir / "zorute").string(), rec), 1);
    EXPECT_EQ(rec.Since, "");
    EXPECT_EQ(rec.AppName, "ok");
}
