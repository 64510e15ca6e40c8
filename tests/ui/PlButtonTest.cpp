#include "ui/PlButton.h"
#include "ui/SDI.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

TEST(PlButtonRules, CaptionTops) {
    struct Case {
        int height, h1, h2;
        bool hasA, hasB, centre;
        int captionTop, topA, topB, stored;
    };
    const Case cases[] = {
        {26, 12, 12, true, false, true, 0, 8, 24, 8},
        {40, 12, 12, true, true, true, 0, 6, 22, 6},
        {40, 12, 12, false, true, true, 0, 6, 14, 14},
        {40, 12, 12, true, true, false, 3, 3, 19, 3},
        {40, 12, 12, false, true, false, 3, 3, 3, 3},
    };
    for (const auto& c : cases) {
        const auto t = plbtn::captionTops(c.height, c.h1, c.h2, c.hasA, c.hasB, 4, c.centre, c.captionTop);
        EXPECT_EQ(t.topA, c.topA) << c.height << c.hasA << c.hasB;
        EXPECT_EQ(t.topB, c.topB) << c.height << c.hasA << c.hasB;
        EXPECT_EQ(t.captionTop, c.stored);
    }
}

TEST(PlButtonRules, GradientAndEvenSpacing) {
    const QColor white(255, 255, 255), silver(192, 192, 192);
    EXPECT_EQ(plbtn::gradientColor(white, silver, 0, 26), white);
    EXPECT_EQ(plbtn::gradientColor(white, silver, 25, 26), silver);
    EXPECT_EQ(plbtn::gradientColor(white, silver, 0, 1), white);
    EXPECT_EQ(plbtn::gradientColor(white, silver, 12, 26).red(), 255 + 12 * (192 - 255) / 25);

    // "OK" on a 100-pixel button: first letter at the left margin, the
    // second ends at the right margin.
    auto xs = plbtn::evenPositions(100, 0, 0, {10, 8});
    ASSERT_EQ(xs.size(), 2u);
    EXPECT_EQ(xs[0], 2);
    EXPECT_EQ(xs[1] + 8, 98);
    // Remainder spread one pixel per gap from the left: free 100-4-40 = 56 over 3 gaps.
    xs = plbtn::evenPositions(100, 0, 0, {10, 10, 10, 10});
    EXPECT_EQ(xs, (std::vector<int>{2, 2 + 10 + 19, 2 + 20 + 38, 2 + 30 + 56}));
    // Too narrow: negative gaps, still ending at the right margin.
    xs = plbtn::evenPositions(30, 0, 0, {10, 10, 10});
    EXPECT_EQ(xs.back() + 10, 28);
}

namespace {
class CancelForm : public TBSDI {
public:
    CancelForm() : TBSDI(nullptr, bsDialog) {
        resize(200, 100);
        other = new TxPlButton(this);
        other->setGeometry(10, 60, 75, 26);
        other->ModalResult = platform::mrOk;
        cancel = new TxPlButton(this);
        cancel->setGeometry(100, 60, 75, 26);
        cancel->Cancel = true;
        cancel->ModalResult = platform::mrCancel;
        FormCreate();
        InitOK = true;
        KeepAlive = true;
    }
    TxPlButton* other;
    TxPlButton* cancel;
};
} // namespace

TEST(PlButtonWidget, EscClicksTheCancelButtonAndEnterTheFocusedOne) {
    CancelForm f;
    int cancelClicks = 0;
    QObject::connect(f.cancel, &TxPlButton::clicked, [&] { ++cancelClicks; });
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.other->setFocus();
    QTest::keyPress(f.other, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), platform::mrCancel);

    CancelForm g;
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    g.other->setFocus();
    QTest::keyClick(g.other, Qt::Key_Return);
    EXPECT_FALSE(g.isVisible());
    EXPECT_EQ(g.result(), platform::mrOk);
}

TEST(PlButtonWidget, ShiftEnterClicksWithoutAModalResult) {
    CancelForm f;
    int clicks = 0;
    QObject::connect(f.other, &TxPlButton::clicked, [&] { ++clicks; });
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.other->setFocus();
    QTest::keyClick(f.other, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.modalResult(), 0);
}

TEST(PlButtonWidget, WithoutHasFocusNoFocusAndNoDialogKeys) {
    CancelForm f;
    f.cancel->SetHasFocus(false);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.other->setFocus();
    QTest::mouseClick(f.cancel, Qt::LeftButton);
    EXPECT_FALSE(f.cancel->hasFocus());
    EXPECT_FALSE(f.isVisible()); // the click itself still works
    CancelForm g;
    g.cancel->SetHasFocus(false);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    g.other->setFocus();
    QTest::keyPress(g.other, Qt::Key_Escape); // no Cancel click; the form's own Esc closes it
    EXPECT_EQ(g.modalResult(), 0);
}

TEST(PlButtonWidget, PictureKindsAndRoundShape) {
    TxPlButton b;
    QPixmap pm(16, 16);
    pm.fill(Qt::red);
    b.Image()->SetPicture(PictureKind::Metafile, pm);
    EXPECT_TRUE(b.Image()->isEmpty());
    b.Image()->SetPicture(PictureKind::Icon, pm);
    EXPECT_FALSE(b.Image()->isEmpty());
    b.Image()->SetLeft(3);
    EXPECT_FALSE(b.Image()->HorzCenter());
    b.SetCaptionTop(5);
    EXPECT_FALSE(b.CaptionVertCenter());

    EXPECT_TRUE(b.mask().isEmpty());
    b.SetButtonStyle(bsRoundRect);
    EXPECT_FALSE(b.mask().isEmpty());
    EXPECT_FALSE(b.mask().contains(QPoint(0, 0))); // the corner is cut away
    b.SetButtonStyle(bsFlat);
    EXPECT_TRUE(b.mask().isEmpty());
}

TEST(PlButtonWidget, PaintCentresTheCaption) {
    TxPlButton b;
    b.resize(75, 26);
    b.CaptionA()->SetCaption(QString::fromUtf8("実行"));
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    b.repaint();
    const int h = QFontMetrics(b.font()).height();
    EXPECT_EQ(b.lastCaptionTops().topA, (26 - h) / 2 + 1);
    EXPECT_EQ(b.CaptionTop(), (26 - h) / 2 + 1);
}
