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

TEST(UiCommon, FixedFontKeepsSpacePaddedColumns) {
    const QFont f = ui::suiteFixedFont(12);
    EXPECT_EQ(f.family(), QString::fromUtf8("ＭＳ ゴシック"));
    const QFontInfo info(f);
    EXPECT_EQ(info.pixelSize(), 12);
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(info.family()))
        << info.family().toStdString();
    // Labels padded to one width in half-width cells (a full-width letter
    // is two): the text after them starts in one column.
    const QFontMetrics m(f);
    const int width = m.horizontalAdvance(QString::fromUtf8(" 会社名        : "));
    for (const char* label : {" 会計年度      : ", " 会計期間      : ", " abcdefghijklm : "})
        EXPECT_EQ(m.horizontalAdvance(QString::fromUtf8(label)), width) << label;
}

TEST(UiCommon, Scaling) {
    EXPECT_EQ(ui::scaleByDpi(250, 120, 96), 312);
    EXPECT_EQ(ui::scaleByDpi(250, 96, 96), 250);
    EXPECT_EQ(ui::mulDiv(10, 115, 96), 12);
    EXPECT_EQ(ui::mulDiv(100, 115, 96), 120);
    EXPECT_EQ(ui::mulDiv(-3, 1, 2), -2); // halves away from zero
}
