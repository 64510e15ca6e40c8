#include "ui/UiCommon.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>
#include <gtest/gtest.h>

TEST(UiCommon, SuiteFontNamesMapToAnInstalledJapaneseFont) {
    const QFont f = ui::suiteFont(13);
    const QFontInfo info(f);
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    ASSERT_FALSE(japanese.isEmpty());
    EXPECT_TRUE(japanese.contains(info.family())) << info.family().toStdString();
    EXPECT_TRUE(QFontMetrics(f).inFont(QChar(0x753B))); // 画
}

TEST(UiCommon, Scaling) {
    EXPECT_EQ(ui::scaleByDpi(250, 120, 96), 312);
    EXPECT_EQ(ui::scaleByDpi(250, 96, 96), 250);
    EXPECT_EQ(ui::mulDiv(10, 115, 96), 12);
    EXPECT_EQ(ui::mulDiv(100, 115, 96), 120);
    EXPECT_EQ(ui::mulDiv(-3, 1, 2), -2); // halves away from zero
}
