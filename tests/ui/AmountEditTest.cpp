#include "ui/AmountEdit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

TEST(AmountFormat, FormatFloatPatterns) {
    struct Case {
        const char* pattern;
        const char* value;
        const char* expected;
    } cases[] = {
        {"#,##0", "1234567", "1,234,567"},
        {"#,##0", "-1234", "-1,234"},
        {"#,##0", "0", "0"},
        {"#,##0", "", "0"},           // not a number reads as 0
        {"#,##0", "abc", "0"},
        {"#,##0", "0.5", "1"},        // half away from zero
        {"#,##0", "-0.4", "0"},
        {"#,##0", "999.5", "1,000"},
        {"#,##0", "123456789012345678901234", "123,456,789,012,345,678,901,234"},
        {"#,##0.00", "1234.5", "1,234.50"},
        {"0.##", "2.345", "2.35"},
        {"0.##", "2", "2"},
        {"#,##0;(#,##0)", "-5", "(5)"},
        {"#,##0;-#,##0;\"なし\"", "0", "なし"},
        {"\\#,##0円", "1200", "\\1,200円"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(amount::formatFloat(QString::fromUtf8(c.pattern), amount::valueOf(QString::fromUtf8(c.value))),
                  QString::fromUtf8(c.expected))
            << c.pattern << " " << c.value;
}

TEST(AmountEditModel, KeyFiltersZeroKeysAndSignFlip) {
    struct Case {
        TEditStyle style;
        TZeroKey zero2, zero3;
        const char* typed;
        const char* expected;
    } cases[] = {
        {esNumeric, zkNone, zkNone, "1a-.2\b3", "13"},
        {esFloat, zkNone, zkNone, ".1.2", "1.2"},
        {esFloat, zkNone, zkNone, "1..2", "1.2"},
        {esNumericMinus, zkNone, zkNone, "-5", "-5"},   // "-" on a zero value is typed
        {esNumericMinus, zkNone, zkNone, "-5-", "5"},   // and flips a non-zero value
        {esNumericMinus, zkNone, zkNone, "12-", "-12"},
        {esFloatMinus, zkNone, zkNone, "1.50-", "-1.5"},
        {esNone, zkNone, zkNone, "ab-.", "ab-."},
        {esNumeric, zkNone, zkDot, "1.", "1000"},
        {esFloat, zkNone, zkDot, "1.", "1."},          // "." keeps its meaning in a float style
        {esNumeric, zkPlus, zkNone, "5+", "500"},
        {esNumericMinus, zkMinus, zkNone, "5-", "-5"},  // minus key stays the sign key
        {esNone, zkPlus, zkNone, "5+", "5+"},
        {esNumeric, zkNone, zkNone, "12\x1b", "12"},    // Esc types nothing
    };
    for (const auto& c : cases) {
        AmountEditModel m;
        m.EditStyle = c.style;
        m.Zero2Key = c.zero2;
        m.Zero3Key = c.zero3;
        m.type(QString::fromLatin1(c.typed));
        EXPECT_EQ(m.text(), QString::fromLatin1(c.expected)) << c.typed << " style " << c.style;
    }
}

TEST(AmountEditModel, MinusOnAFormattedAmountLeavesTheCaretAtTheEnd) {
    AmountEditModel m;
    m.EditStyle = esNumericMinus;
    m.setState("1,200", 2, 0);
    m.type("-");
    EXPECT_EQ(m.text(), "-1200");
    EXPECT_EQ(m.caret(), 5);
}

TEST(AmountEditModel, OutputFormatOnEntryAndExit) {
    AmountEditModel m;
    m.EditStyle = esNumeric;
    m.OutputFormat = "#,##0";
    m.setState("1,200", 0, 0);
    m.enter();
    EXPECT_EQ(m.text(), "1200");
    EXPECT_EQ(m.selLength(), 4);
    m.exit();
    EXPECT_EQ(m.text(), "1,200");

    m.setState("", 0, 0);
    m.exit();
    EXPECT_EQ(m.text(), "0");
    m.AllowBlank = true;
    m.setState("", 0, 0);
    m.exit();
    EXPECT_EQ(m.text(), "");

    m.EditStyle = esNone; // names are never formatted
    m.setState("12", 0, 0);
    m.exit();
    EXPECT_EQ(m.text(), "12");
}

TEST(AmountEditModel, CommaWhileTypingKeepsTheCaretBehindTheTypedDigit) {
    AmountEditModel m;
    m.EditStyle = esNumeric;
    m.OutputFormat = "#,##0";
    m.setComma(true);
    m.type("1234");
    EXPECT_EQ(m.text(), "1,234");
    EXPECT_EQ(m.caret(), 5);
    m.type("5");
    EXPECT_EQ(m.text(), "12,345");
    EXPECT_EQ(m.caret(), 6);
    m.setCaret(1);
    m.type("9");
    EXPECT_EQ(m.text(), "192,345");
    EXPECT_EQ(m.caret(), 2);
    m.setState("1,234", 5, 0);
    m.type("\b");
    EXPECT_EQ(m.text(), "123");
    EXPECT_EQ(m.caret(), 3);
    m.setState("1", 1, 0);
    m.type("\b");
    EXPECT_EQ(m.text(), "0"); // an emptied amount reads 0
}

TEST(AmountEditModel, MaxLengthCountsDigitsNotCommas) {
    AmountEditModel m;
    m.EditStyle = esNumeric;
    m.OutputFormat = "#,##0";
    m.setComma(true);
    m.setMaxLength(5);
    m.AutoNextCtls = ac(acMaxLength);
    EXPECT_EQ(m.type("1234"), FocusStep::None);
    EXPECT_EQ(m.type("5"), FocusStep::Next);
    EXPECT_EQ(m.text(), "12,345");
    EXPECT_EQ(m.charLimit(), 6);
    m.type("6"); // full: nothing more is typed
    EXPECT_EQ(m.text(), "12,345");

    AmountEditModel s;
    s.EditStyle = esNumeric;
    s.setMaxLength(5);
    s.AutoNextCtls = ac(acMaxLength) | ac(acSendEnter);
    EXPECT_EQ(s.type("12345"), FocusStep::None);
    EXPECT_EQ(s.text(), "12345");
    EXPECT_EQ(s.AutoNextCtls_Result, ac(acMaxLength) | ac(acSendEnter));
    s.type("\b");
    EXPECT_EQ(s.AutoNextCtls_Result, 0);

    AmountEditModel z; // "000" is cut to the room left
    z.EditStyle = esNumeric;
    z.Zero3Key = zkDot;
    z.setMaxLength(4);
    z.type("12.");
    EXPECT_EQ(z.text(), "1200");
}

TEST(AmountEditModel, FocusKeys) {
    AmountEditModel m;
    m.KeyStyles = ks(ksEnter) | ks(ksLeft) | ks(ksRight) | ks(ksUp);
    m.setState("12", 0, 0);
    EXPECT_EQ(m.keyDown(Qt::Key_Return, false).move, FocusStep::Next);
    EXPECT_EQ(m.keyDown(Qt::Key_Left, false).move, FocusStep::Previous);
    EXPECT_EQ(m.keyDown(Qt::Key_Right, false).move, FocusStep::None); // caret not at the end
    m.setCaret(2);
    EXPECT_EQ(m.keyDown(Qt::Key_Right, false).move, FocusStep::Next);
    EXPECT_EQ(m.keyDown(Qt::Key_Up, false).move, FocusStep::Previous);
    EXPECT_EQ(m.keyDown(Qt::Key_Tab, true).move, FocusStep::Previous);
    m.AutoNextCtls = ac(acDownKey) | ac(acTabKey);
    const auto down = m.keyDown(Qt::Key_Down, false);
    EXPECT_TRUE(down.consumed);
    EXPECT_EQ(down.move, FocusStep::None);
    EXPECT_EQ(m.AutoNextCtls_Result, ac(acDownKey) | ac(acSendEnter));
    EXPECT_FALSE(m.keyDown(Qt::Key_Tab, false).consumed); // Tab handled by the edit itself
}

TEST(TTavrinEdit, TypingShowsFormattedAmountsAndEnterMovesOn) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* edit = new TTavrinEdit(&form);
    auto* next = new QLineEdit(&form);
    layout->addWidget(edit);
    layout->addWidget(next);
    edit->setEditStyle(esNumericMinus);
    edit->setOutputFormat("#,##0");
    edit->setComma(true);
    form.show();
    QApplication::setActiveWindow(&form);
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QTest::keyClicks(edit, "12a34");
    EXPECT_EQ(edit->text(), "1,234");
    EXPECT_EQ(edit->cursorPosition(), 5);
    QTest::keyClick(edit, Qt::Key_Minus);
    EXPECT_EQ(edit->text(), "-1,234");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "-123");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(edit->text(), "-123");

    edit->setComma(false);
    edit->setAmountText("5000");
    edit->setFocus();
    EXPECT_EQ(edit->text(), "5000");
    EXPECT_EQ(edit->selectedText(), "5000");
    next->setFocus();
    EXPECT_EQ(edit->text(), "5,000");
}

} // namespace

namespace {

TEST(AmountEditModel, CollectsTheReadingAsKatakana) {
    struct Case {
        TKanaMode mode;
        const char* pieces[3];
        const char* kana;
    } cases[] = {
        {kmZenkaku, {"やまだ", "たろう", nullptr}, "ヤマダタロウ"},
        {kmHankaku, {"がっこう", "ぱん", nullptr}, "ｶﾞｯｺｳﾊﾟﾝ"},
        {kmHankaku, {"ＡＢ１", "ヴ", nullptr}, "AB1ｳﾞ"},
        {kmNone, {"やまだ", nullptr, nullptr}, ""},
    };
    for (const auto& c : cases) {
        AmountEditModel m;
        m.KanaMode = c.mode;
        for (const char* p : c.pieces)
            if (p) m.collectKana(QString::fromUtf8(p));
        EXPECT_EQ(m.Kana, QString::fromUtf8(c.kana)) << c.kana;
    }
    AmountEditModel m;
    m.KanaMode = kmZenkaku;
    m.collectKana(QString(600, QChar(0x3042)));
    EXPECT_EQ(m.Kana.size(), 512); // 1025 bytes hold 512 double-byte characters
}

TEST(TTavrinEdit, ImeCompositionGivesTheReading) {
    TTavrinEdit edit;
    edit.setKanaMode(kmHankaku);
    int changes = 0;
    edit.OnImeStatusChange = [&] { ++changes; };
    QInputMethodEvent preedit(QString::fromUtf8("やまだ"), {});
    QApplication::sendEvent(&edit, &preedit);
    EXPECT_TRUE(edit.ImeOnFlg);
    QInputMethodEvent converted(QString::fromUtf8("山田"), {});
    QApplication::sendEvent(&edit, &converted);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("山田"));
    QApplication::sendEvent(&edit, &commit);
    EXPECT_FALSE(edit.ImeOnFlg);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit.text(), QString::fromUtf8("山田"));
    EXPECT_EQ(edit.kana(), QString::fromUtf8("ﾔﾏﾀﾞ"));
}

} // namespace
