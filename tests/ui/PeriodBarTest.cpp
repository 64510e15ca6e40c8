#include "ui/PeriodBar.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

TDateTime D(int y, int m, int d) { return datecore::encodeDate(y, m, d); }

std::string texts(const KikanBarModel& m) {
    std::string out;
    for (int i = 0; i < m.cellCount(); ++i) {
        if (i) out += ' ';
        out += m.cell(i).text.empty() ? "_" : m.cell(i).text;
    }
    return out;
}

std::vector<int> periods(const KikanBarModel& m) {
    std::vector<int> out;
    for (int i = 0; i < m.cellCount(); ++i) out.push_back(m.cell(i).periodNo);
    return out;
}

KikanBarModel bar16() { return KikanBarModel(KikanKind::Bar16, D(2024, 6, 1)); }

TEST(KikanBar16, StartsOnTheCalendarYear) {
    const KikanBarModel m = bar16();
    EXPECT_EQ(texts(m), "1 2 3 ・ 4 5 6 ・ 7 8 9 ・ 10 11 12 決");
    EXPECT_EQ(m.Stno(), 0);
    EXPECT_EQ(m.Edno(), 15);
    EXPECT_EQ(m.LastNo(), 15);
    EXPECT_EQ(m.lastUsable(), 15);
}

TEST(KikanBar16, LaysOutFiscalYears) {
    struct Case {
        const char* name;
        int closingDay;
        TDateTime start, end, entry;
        const char* texts;
        int lastNo, firstUsable, lastUsable;
    } cases[] = {
        {"April to March", 99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 4, 1),
         "4 5 6 ・ 7 8 9 ・ 10 11 12 ・ 1 2 3 決", 15, 0, 15},
        {"calendar year", 99, D(2024, 1, 1), D(2024, 12, 31), D(2024, 1, 1),
         "1 2 3 ・ 4 5 6 ・ 7 8 9 ・ 10 11 12 決", 15, 0, 15},
        {"seven months", 99, D(2023, 9, 1), D(2024, 3, 31), D(2023, 9, 1),
         "9 10 11 ・ 12 1 2 ・ 3 決 _ _ _ _ _ _", 9, 0, 9},
        {"six months: settlement on a quarter place", 99, D(2023, 10, 1), D(2024, 3, 31), D(2023, 10, 1),
         "10 11 12 ・ 1 2 3 決 _ _ _ _ _ _ _ _", 7, 0, 7},
        {"closing day 20 from 25 April", 20, D(2023, 4, 25), D(2024, 4, 20), D(2023, 4, 25),
         "5 6 7 ・ 8 9 10 ・ 11 12 1 ・ 2 3 4 決", 15, 0, 15},
        {"entry from the fourth month", 99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 7, 10),
         "4 5 6 ・ 7 8 9 ・ 10 11 12 ・ 1 2 3 決", 15, 4, 15},
        // Fifteen months: the months past the twelfth have no cell, the
        // settlement cell stays the last one.
        {"fifteen months", 99, D(2023, 1, 1), D(2024, 3, 31), D(2023, 1, 1),
         "1 2 3 ・ 4 5 6 ・ 7 8 9 ・ 10 11 12 決", 15, 0, 15},
        {"end before start", 99, D(2024, 4, 1), D(2024, 3, 31), D(2024, 4, 1),
         "4 5 6 ・ 7 8 9 ・ 10 11 12 ・ 1 2 3 決", 15, 0, 15},
    };
    for (const auto& c : cases) {
        KikanBarModel m = bar16();
        m.SetKikan(c.closingDay, c.start, c.end, c.entry);
        EXPECT_EQ(texts(m), c.texts) << c.name;
        EXPECT_EQ(m.LastNo(), c.lastNo) << c.name;
        EXPECT_EQ(m.firstUsable(), c.firstUsable) << c.name;
        EXPECT_EQ(m.lastUsable(), c.lastUsable) << c.name;
        EXPECT_EQ(m.Stno(), c.firstUsable) << c.name;
        EXPECT_EQ(m.Edno(), c.lastUsable) << c.name;
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(m.cell(i).enabled, i >= c.firstUsable && i <= c.lastUsable) << c.name << " cell " << i;
    }
}

TEST(KikanBar16, PeriodNumbersAndTheSettlementSwitch) {
    KikanBarModel m = bar16();
    m.SetKikan(99, D(2023, 9, 1), D(2024, 3, 31), D(2023, 9, 1));
    EXPECT_EQ(periods(m), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 15, -1, -1, -1, -1, -1, -1}));
    m.setStno(9);
    EXPECT_EQ(m.StMonthNo(), 15);

    m.SetKikan(99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 4, 1));
    m.setKESSAN(false);
    EXPECT_EQ(m.lastUsable(), 14);
    EXPECT_EQ(m.LastNo(), 15);
    EXPECT_FALSE(m.cell(15).enabled);
    EXPECT_EQ(m.cell(15).text, "");
    m.setEdno(20);
    EXPECT_EQ(m.Edno(), 15);
    m.setKESSAN(true);
    EXPECT_EQ(m.lastUsable(), 15);
    EXPECT_EQ(m.cell(15).text, "決");

    KikanBarModel off = bar16();
    off.setKESSAN(false);
    off.SetKikan(99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 4, 1));
    EXPECT_EQ(off.lastUsable(), 14);
    EXPECT_EQ(off.Edno(), 14);
    EXPECT_EQ(off.cell(15).text, "");
}

TEST(KikanBar16, AnInvalidClosingDayBeepsAndKeepsTheStartMonth) {
    KikanBarModel m = bar16();
    int beeps = 0;
    m.onBeep = [&] { ++beeps; };
    m.SetKikan(30, D(2023, 4, 1), D(2024, 3, 31), D(2023, 4, 1));
    EXPECT_GT(beeps, 0);
    EXPECT_EQ(texts(m), "4 4 4 ・ 4 4 4 ・ 4 4 4 ・ 4 4 4 決");
}

TEST(KikanBar16, MouseAndKeySelection) {
    KikanBarModel m = bar16();
    m.SetKikan(99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 7, 1)); // cells 0-3 closed
    m.mouseDown(6, true);
    m.mouseMove(9);
    m.mouseMove(2); // a closed cell leaves the current cell
    EXPECT_EQ(m.current(), 9);
    EXPECT_TRUE(m.mouseUp(true));
    EXPECT_EQ(m.Stno(), 6);
    EXPECT_EQ(m.Edno(), 9);

    // Shift+Left past the anchor: unordered until Shift is released.
    m.keyLeft(true);
    m.keyLeft(true);
    m.keyLeft(true);
    m.keyLeft(true);
    EXPECT_EQ(m.Stno(), 6);
    EXPECT_EQ(m.Edno(), 5);
    m.keyLeft(true);
    m.keyLeft(true); // stops at the first usable cell
    EXPECT_EQ(m.Edno(), 4);
    m.shiftReleased();
    EXPECT_EQ(m.Stno(), 4);
    EXPECT_EQ(m.Edno(), 6);

    m.keyRight(false);
    EXPECT_EQ(m.Stno(), 7);
    EXPECT_EQ(m.Edno(), 7);

    m.setKikanMove(false);
    m.keyRight(true); // behaves like Right
    EXPECT_EQ(m.Stno(), 8);
    EXPECT_EQ(m.Edno(), 8);
    m.mouseDown(10, true);
    m.mouseMove(12);
    m.mouseUp(true);
    EXPECT_EQ(m.Stno(), 10);
    EXPECT_EQ(m.Edno(), 10);
}

TEST(KikanBar16, Colours) {
    KikanBarModel m = bar16();
    m.SetKikan(99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 4, 1));
    m.setStno(5);
    m.setEdno(6);
    m.setKakuteiMNo(3);
    m.setKakuteiMode(true);
    for (int i : {0, 1, 2}) {
        EXPECT_EQ(m.cell(i).back, m.KakuteiBackColor());
        EXPECT_EQ(m.cell(i).font, m.KakuteiFontColor());
    }
    EXPECT_EQ(m.cell(3).back, clBtnFace);
    EXPECT_EQ(m.cell(5).back, 0x800000u);
    EXPECT_EQ(m.cell(5).font, 0xFFFFFFu);
    m.setStno(1);
    EXPECT_EQ(m.cell(1).back, 0x800000u); // selected cells keep the selection colour

    m.setBarEnabled(false);
    EXPECT_EQ(m.cell(2).back, 0xC0C0C0u);
    EXPECT_EQ(m.cell(8).back, clBtnFace);
    EXPECT_EQ(m.cell(8).font, clBarGrayText);
    EXPECT_EQ(m.cell(2).font, clBarGrayText);
}

TEST(KikanBar16, OwedMouseUpAfterArrowKeys) {
    KikanBarModel m = bar16();
    m.focusEntered();
    m.KBDMOUSE = true; // an arrow key arrived
    m.keyRight(false);
    EXPECT_TRUE(m.focusLeft());
    EXPECT_FALSE(m.focusLeft());
    m.KBDMOUSE = true;
    EXPECT_TRUE(m.enterPressed());
    EXPECT_FALSE(m.focusLeft());

    KikanBarModel m12(KikanKind::Bar12, D(2024, 6, 1));
    m12.KBDMOUSE = true;
    m12.enterPressed();
    EXPECT_TRUE(m12.focusLeft()); // the 12-cell bar owes a second one
}

TEST(KikanBar12, MonthsAndClampedSelection) {
    KikanBarModel m(KikanKind::Bar12, D(2024, 6, 1));
    EXPECT_EQ(m.Stno(), 0);
    EXPECT_EQ(m.Edno(), 11);
    m.SetKikan(99, D(2023, 9, 1), D(2024, 3, 31), D(2023, 9, 1));
    EXPECT_EQ(texts(m), "9 10 11 12 1 2 3 _ _ _ _ _");
    EXPECT_EQ(m.LastNo(), 6);
    EXPECT_EQ(m.Edno(), 6);
    m.setEdno(20);
    EXPECT_EQ(m.Edno(), 6);
    m.setStno(9);
    m.setEdno(2);
    EXPECT_EQ(m.Stno(), 2);
    EXPECT_EQ(m.Edno(), 6);
    EXPECT_EQ(m.StMonthNo(), 2);
    EXPECT_EQ(m.EdMonthNo(), 8);

    m.SetKikan(99, D(2023, 1, 1), D(2024, 6, 30), D(2023, 1, 1)); // 18 months fold onto the last cell
    EXPECT_EQ(texts(m), "1 2 3 4 5 6 7 8 9 10 11 12");
    EXPECT_EQ(m.lastUsable(), 11);
}

TEST(KikanBar4, QuartersHalvesAndTheLeftBound) {
    KikanBarModel m(KikanKind::Bar4, D(2024, 6, 1));
    EXPECT_EQ(texts(m), "1 2 3 4");
    EXPECT_EQ(m.Stno(), 0);
    EXPECT_EQ(m.Edno(), 3);
    m.keyLeft(false);
    EXPECT_EQ(m.Stno(), 0);
    m.keyRight(false);
    m.keyRight(false);
    m.keyRight(false);
    m.keyRight(false);
    EXPECT_EQ(m.Stno(), 3);
    m.keyLeft(false);
    EXPECT_EQ(m.Stno(), 2);

    m.SetKikan(99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 7, 15));
    EXPECT_EQ(m.Stno(), 1);
    EXPECT_EQ(m.Edno(), 3);
    EXPECT_FALSE(m.cell(0).enabled);
    m.keyLeft(false);
    EXPECT_EQ(m.Stno(), 1); // the closed first quarter is not entered
    m.keyLeft(true);
    EXPECT_EQ(m.Edno(), 1);

    m.setBtnCnt(3); // refused
    EXPECT_EQ(m.BtnCnt(), 4);
    m.setBtnCnt(2);
    EXPECT_EQ(texts(m), "上 下 _ _");
    EXPECT_FALSE(m.cell(2).visible);
    EXPECT_EQ(m.lastUsable(), 1);
    m.SetKikan(99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 11, 1));
    EXPECT_EQ(m.Stno(), 1);
    EXPECT_EQ(m.Edno(), 1);
}

TEST(TxKikanPanel16, ShowsTheYearAndReportsArrowKeySelectionOnce) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* bar = new TxKikanPanel16(&form);
    auto* next = new QLineEdit(&form);
    layout->addWidget(bar);
    layout->addWidget(next);
    bar->SetKikan(99, D(2023, 4, 1), D(2024, 3, 31), D(2023, 4, 1));
    EXPECT_EQ(bar->cellWidget(0)->text(), "4");
    EXPECT_EQ(bar->cellWidget(15)->text(), "決");
    EXPECT_EQ(bar->cellWidget(15)->objectName(), "No16");
    int ups = 0;
    bar->OnMouseUp = [&] { ++ups; };
    form.show();
    QApplication::setActiveWindow(&form);
    bar->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(bar->Stno(), 2);
    EXPECT_EQ(bar->Edno(), 2);
    next->setFocus();
    EXPECT_EQ(ups, 1);

    bar->setFocus();
    const QRect cell = bar->cellWidget(4)->geometry();
    QTest::mousePress(bar, Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(bar->Stno(), 4);
    EXPECT_EQ(ups, 2);
    EXPECT_EQ(bar->width() % 16, 8 % 16);
}

} // namespace
