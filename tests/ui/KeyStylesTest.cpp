#include "ui/KeyStyles.h"

#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using ui::FocusMove;
using ui::KeyControl;

TEST(KeyStylesRules, MoveDecisions) {
    const TKeyStyles all = keyStylesFrom(0xFF);
    EXPECT_EQ(all, 0x1F);
    EXPECT_EQ(kDefaultKeyStyles, 5);
    struct Case {
        const char* what;
        KeyControl control;
        TKeyStyles styles;
        int key; // 0 = Enter
        Qt::KeyboardModifiers mods;
        ui::KeyState state;
        FocusMove move;
    };
    auto edit = [](int caret, int sel, int len) {
        ui::KeyState s;
        s.caret = caret;
        s.selLength = sel;
        s.textLength = len;
        return s;
    };
    ui::KeyState dropped;
    dropped.listDropped = true;
    ui::KeyState alone;
    alone.onForm = false;
    const Case cases[] = {
        {"no styles: Enter", KeyControl::CheckBox, 0, 0, {}, {}, FocusMove::None},
        {"Enter next", KeyControl::CheckBox, kDefaultKeyStyles, 0, {}, {}, FocusMove::Next},
        {"Up previous", KeyControl::RadioButton, kDefaultKeyStyles, Qt::Key_Up, {}, {}, FocusMove::Previous},
        {"Down needs ksDown", KeyControl::RadioButton, kDefaultKeyStyles, Qt::Key_Down, {}, {}, FocusMove::None},
        {"Shift+Up", KeyControl::CheckBox, all, Qt::Key_Up, Qt::ShiftModifier, {}, FocusMove::None},
        {"edit Left in text", KeyControl::Edit, all, Qt::Key_Left, {}, edit(1, 0, 3), FocusMove::None},
        {"edit Left at 0", KeyControl::Edit, all, Qt::Key_Left, {}, edit(0, 0, 3), FocusMove::Previous},
        {"edit Left all selected", KeyControl::Edit, all, Qt::Key_Left, {}, edit(0, 3, 3), FocusMove::Previous},
        {"edit Left part selected", KeyControl::Edit, all, Qt::Key_Left, {}, edit(0, 2, 3), FocusMove::None},
        {"edit Right all selected", KeyControl::Edit, all, Qt::Key_Right, {}, edit(3, 3, 3), FocusMove::Next},
        {"edit Right at end", KeyControl::Edit, all, Qt::Key_Right, {}, edit(3, 0, 3), FocusMove::None},
        {"edit Right empty", KeyControl::Edit, all, Qt::Key_Right, {}, edit(0, 0, 0), FocusMove::Next},
        {"edit alone", KeyControl::Edit, all, 0, {}, alone, FocusMove::None},
        {"combo dropped Enter", KeyControl::ComboBox, all, 0, {}, dropped, FocusMove::None},
        {"combo dropped Down", KeyControl::ComboBox, all, Qt::Key_Down, {}, dropped, FocusMove::None},
        {"combo closed Down", KeyControl::ComboBox, all, Qt::Key_Down, {}, {}, FocusMove::Next},
    };
    for (const auto& c : cases) {
        const FocusMove m = c.key == 0 ? ui::enterMove(c.control, c.styles, c.state)
                                       : ui::arrowMove(c.control, c.styles, c.key, c.mods, c.state);
        EXPECT_EQ(m, c.move) << c.what;
    }
}

TEST(KeyStylesRules, ComboCodePart) {
    EXPECT_EQ(ui::comboCodePart(QString::fromUtf8("02:預金"), 2, QStringLiteral(":")), QStringLiteral("02"));
    EXPECT_EQ(ui::comboCodePart(QStringLiteral("1:abc"), 3, QStringLiteral(":")), QStringLiteral("1"));
    EXPECT_EQ(ui::comboCodePart(QStringLiteral("ABCD"), 2, QStringLiteral(":")), QStringLiteral("AB"));
    EXPECT_EQ(ui::comboCodePart(QStringLiteral("AB:CD"), 0, QStringLiteral(":")), QString());
}

namespace {
struct Form {
    QDialog dlg;
    TxEdit* e1 = new TxEdit(&dlg);
    TxEdit* e2 = new TxEdit(&dlg);
    TxCheckBox* cb = new TxCheckBox(&dlg);
    QPushButton* ok = new QPushButton(QStringLiteral("OK"), &dlg);
    Form() {
        e1->setGeometry(0, 0, 80, 20);
        e2->setGeometry(0, 30, 80, 20);
        cb->setGeometry(0, 60, 80, 20);
        ok->setGeometry(0, 90, 80, 20);
        ok->setDefault(true);
        dlg.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
    }
};
} // namespace

TEST(KeyStylesWidgets, EnterAndArrowsMoveTheFocus) {
    Form f;
    f.e1->setFocus();
    QTest::keyClick(f.e1, Qt::Key_Return);
    EXPECT_TRUE(f.e2->hasFocus());
    QTest::keyClick(f.e2, Qt::Key_Up);
    EXPECT_TRUE(f.e1->hasFocus());
    QTest::keyClick(f.e1, Qt::Key_Down); // not in the default styles
    EXPECT_TRUE(f.e1->hasFocus());
    f.e1->SetKeyStyles(0x1F);
    QTest::keyClick(f.e1, Qt::Key_Down);
    EXPECT_TRUE(f.e2->hasFocus());

    // Caret inside the text: Left moves the caret, not the focus.
    f.e2->SetKeyStyles(0x1F);
    f.e2->setText(QStringLiteral("123"));
    f.e2->deselect();
    f.e2->setCursorPosition(1);
    QTest::keyClick(f.e2, Qt::Key_Left);
    EXPECT_TRUE(f.e2->hasFocus());
    EXPECT_EQ(f.e2->cursorPosition(), 0);
    QTest::keyClick(f.e2, Qt::Key_Left);
    EXPECT_TRUE(f.e1->hasFocus());
    // Entering with cpAllSel: Right moves on at once.
    QTest::keyClick(f.e1, Qt::Key_Return);
    EXPECT_TRUE(f.e2->hasFocus());
    EXPECT_EQ(f.e2->selectedText(), QStringLiteral("123"));
    QTest::keyClick(f.e2, Qt::Key_Right);
    EXPECT_TRUE(f.cb->hasFocus());
    // ... and so does Left.
    QTest::keyClick(f.e1, Qt::Key_Return);
    ASSERT_TRUE(f.e2->hasFocus());
    ASSERT_EQ(f.e2->selectedText(), QStringLiteral("123"));
    QTest::keyClick(f.e2, Qt::Key_Left);
    EXPECT_TRUE(f.e1->hasFocus());
}

TEST(KeyStylesWidgets, CheckBoxWithoutStylesLetsEnterReachTheDefaultButton) {
    Form f;
    int clicks = 0;
    QObject::connect(f.ok, &QPushButton::clicked, [&] { ++clicks; });
    f.cb->setFocus();
    QTest::keyClick(f.cb, Qt::Key_Return);
    EXPECT_TRUE(f.ok->hasFocus());
    EXPECT_EQ(clicks, 0);
    f.cb->setFocus();
    f.cb->SetKeyStyles(0);
    QTest::keyClick(f.cb, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
}

TEST(KeyStylesWidgets, EditNumberViews) {
    TxEdit e;
    e.setText(QStringLiteral("45"));
    e.SetLong(0);
    EXPECT_EQ(e.text(), QStringLiteral("45"));
    e.SetCurr(0);
    EXPECT_EQ(e.text(), QStringLiteral("45"));
    EXPECT_EQ(e.Long(), 45);
    e.setText(QStringLiteral("4a"));
    EXPECT_EQ(e.Long(), 0);
    EXPECT_EQ(e.Curr(), 0.0);
    e.SetCurr(12.5);
    EXPECT_EQ(e.text(), QStringLiteral("12.5"));
}

TEST(KeyStylesWidgets, ComboCodeChoice) {
    QDialog dlg;
    auto* combo = new TxComboBox(&dlg);
    combo->setEditable(true);
    combo->KeyLen = 2;
    combo->addItem(QString::fromUtf8("01:現金"));
    combo->addItem(QString::fromUtf8("02:預金"));
    combo->setGeometry(0, 0, 150, 24);
    auto* other = new TxEdit(&dlg);
    other->setGeometry(0, 40, 80, 20);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    combo->setFocus();
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("02"));
    other->setFocus();
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->currentText(), QString::fromUtf8("02:預金"));

    combo->setFocus();
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("09"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("09"));
    EXPECT_EQ(combo->currentIndex(), -1);
    other->setFocus();
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->currentText(), QString::fromUtf8("02:預金"));

    combo->setFocus();
    combo->lineEdit()->setCursorPosition(0);
    QTest::keyClick(combo, Qt::Key_Delete);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->lastValidChoice(), 0);
}

TEST(KeyStylesWidgets, FunctionKeyPanelButtonSetsTheOwnersTag) {
    QWidget owner;
    auto* f4 = new TxPFbtn(&owner);
    f4->setObjectName(QStringLiteral("F4"));
    f4->setGeometry(0, 0, 60, 30);
    owner.setProperty("Tag", 99);
    owner.show();
    QTest::mouseClick(f4, Qt::RightButton);
    EXPECT_EQ(owner.property("Tag").toInt(), 99);
    QTest::mouseClick(f4, Qt::LeftButton);
    EXPECT_EQ(owner.property("Tag").toInt(), 4);
    EXPECT_EQ(TxPFbtn::keyNumber(QStringLiteral("ESC")), 0);
    EXPECT_EQ(TxPFbtn::keyNumber(QStringLiteral("F10")), 10);
    EXPECT_EQ(TxPFbtn::keyNumber(QStringLiteral("F11")), -1);
    EXPECT_EQ(TxPFbtn::keyNumber(QStringLiteral("F04")), -1);
}

TEST(KeyStylesWidgets, EditCollectsTheReadingAsHalfWidthKatakana) {
    QDialog dlg;
    auto* e = new TxEdit(&dlg);
    e->KanaSw = true;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    e->setFocus();
    QInputMethodEvent preedit(QString::fromUtf8("やまだ"), {});
    QApplication::sendEvent(e, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("山田"));
    QApplication::sendEvent(e, &commit);
    EXPECT_EQ(e->text(), QString::fromUtf8("山田"));
    EXPECT_EQ(e->kana(), QString::fromUtf8("ﾔﾏﾀﾞ"));
    e->setKana(QString());
    EXPECT_EQ(e->kana(), QString::fromUtf8("ﾔﾏﾀﾞ")); // an empty value is ignored
}
