#include "ui/AmountEdit.h"
#include "ui/InputDlg.h"
#include "ui/MessageBox.h"
#include "ui/PlButton.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

TEST(MessageBoxForm, ShowMessageBoxAsksThePrompt) {
    ScriptedPrompt sp;
    sp.answer(mrOk);
    TMessageInfoRec info;
    InitMessageInfo(info);
    EXPECT_EQ(info.TextColor, 255u);
    EXPECT_EQ(info.Position, 7);
    info.Kind = 1;
    info.Caption = "情報";
    info.Text = "現在、他のオペレータがシステムを利用中です。\rご連絡して下さい。";
    info.Lines = {"利用中のオペレータ", "", "0001 山田"};
    EXPECT_EQ(ShowMessageBox(info), mrOk);
    ASSERT_EQ(sp.messages.size(), 1u);
    const auto& m = sp.messages[0];
    EXPECT_EQ(m.source, "TMessageBox");
    EXPECT_EQ(m.title, "情報");
    EXPECT_EQ(m.text(), info.Text);
    EXPECT_EQ(m.lines[0].color, 255u);
    EXPECT_EQ(m.details, info.Lines);
    EXPECT_EQ(m.buttons, mbOK);
    EXPECT_EQ(m.agreeMode, 0);

    info.Kind = 2;
    info.CheckCaption = "確認しました";
    ShowMessageBox(info);
    EXPECT_EQ(sp.messages[1].buttons, mbOK | mbCancel);
    EXPECT_EQ(sp.messages[1].agreeMode, 1);
    EXPECT_EQ(sp.messages[1].agreeCaption, "確認しました");
}

TEST(MessageBoxForm, AgreementAndButtons) {
    TMessageBox box;
    box.KeepAlive = true;
    box.MsgKind = 2;
    box.MsgCaption = "確認";
    box.MsgText = "削除します。";
    box.SetLines({"一", "二"});
    box.Setup(1);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_TRUE(box.MessageArea->isVisible());
    EXPECT_TRUE(box.cboxAgree->isVisible());
    EXPECT_FALSE(box.btnOK->isEnabled());
    box.cboxAgree->setChecked(true);
    EXPECT_TRUE(box.btnOK->isEnabled());
    box.cboxAgree->setChecked(false);
    EXPECT_FALSE(box.btnOK->isEnabled());
    box.cboxAgree->setChecked(true);
    QTest::keyClick(box.btnCancel, Qt::Key_F12); // F12 clicks OK
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), mrOk);
    EXPECT_TRUE(box.agreed());
}

TEST(MessageBoxForm, NoLinesShortensTheFormAndKindOneHasOneOkButton) {
    TMessageBox withLines;
    withLines.SetLines({"行"});
    withLines.Setup(1);
    TMessageBox box;
    box.KeepAlive = true;
    box.MsgKind = 1;
    box.Setup(1);
    EXPECT_EQ(withLines.height() - box.height(), 156);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_FALSE(box.MessageArea->isVisible());
    EXPECT_FALSE(box.btnOK->isVisible());
    EXPECT_EQ(box.btnCancel->CaptionA()->Caption(), QStringLiteral("OK"));
    box.btnCancel->Click();
    EXPECT_EQ(box.result(), mrOk);
}

TEST(MessageBoxForm, EscCloses) {
    TMessageBox box;
    box.KeepAlive = true;
    box.Setup(1);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), mrCancel);
}

TEST(InputDlgRules, KeyFilter) {
    struct Case {
        int filter;
        char32_t ch;
        bool passes;
    };
    const Case cases[] = {
        {10, U'5', true},  {10, U'-', true},  {10, U'.', true},  {10, U'a', false}, {10, 0x08, true},
        {20, U'Z', true},  {20, U'1', false}, {30, U'1', true},  {30, U'b', true},  {30, U'-', false},
        {40, U':', false}, {40, U'\\', false}, {40, U'|', false}, {40, U'"', false}, {40, U'a', true},
        {40, U'9', true},  {40, U'漢', true}, {30, U'\r', true}, {0, U':', true},   {99, U'*', true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inputdlg::keyPasses(c.filter, c.ch), c.passes) << c.filter << " " << static_cast<int>(c.ch);
}

TEST(InputDlgRules, OkDecision) {
    struct Case {
        int mode;
        bool required;
        const char* text;
        bool accept;
        const char* value;
    };
    const Case cases[] = {
        {0, false, "", true, ""},
        {0, true, "　 　", false, ""},
        {0, true, "値", true, "値"},
        {2, true, " ", false, ""},
        {2, false, "", true, ""},
        {3, false, "  ", true, "0"},
        {3, false, "1,200", true, "1,200"},
        {7, true, "", false, ""},
    };
    for (const auto& c : cases) {
        const auto d = inputdlg::okDecision(c.mode, c.required, c.text);
        EXPECT_EQ(d.accept, c.accept) << c.mode << " '" << c.text << "'";
        if (d.accept) {
            EXPECT_EQ(d.value, c.value);
        }
    }
    EXPECT_EQ(inputdlg::okDecision(2, true, "").refusal, "入力または選択してから[OK]ボタンを押して下さい。");
    EXPECT_EQ(inputdlg::okDecision(1, true, "").refusal, "入力してから[OK]ボタンを押して下さい。");
}

TEST(InputDlgForm, ShowModalAsksThePrompt) {
    ScriptedPrompt sp;
    sp.answerInput("新しいフォルダ");
    TInputDlgBox dlg;
    dlg.InputCaption = "フォルダの作成";
    dlg.LabelText = "フォルダ名を入力して下さい。";
    dlg.SetKeyFilter(40);
    dlg.Setup(1);
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(dlg.InputValue, "新しいフォルダ");
    ASSERT_EQ(sp.inputs.size(), 1u);
    EXPECT_EQ(sp.inputs[0].title, "フォルダの作成");
    EXPECT_EQ(sp.inputs[0].keyFilter, 40);
    sp.cancelInput();
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

TEST(InputDlgForm, EmptyPasswordIsRefusedAndTheDialogStays) {
    ScriptedPrompt sp;
    TInputDlgBox dlg;
    dlg.KeepAlive = true;
    dlg.InputMode = 1;
    dlg.Setup(1);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(dlg.txtInput->echoMode(), QLineEdit::Password);
    dlg.btnFuseji->setChecked(true);
    EXPECT_EQ(dlg.txtInput->echoMode(), QLineEdit::Normal);
    dlg.btnOK->Click();
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(sp.messages.size(), 1u);
    EXPECT_EQ(sp.messages[0].text(), "入力してから[OK]ボタンを押して下さい。");
    dlg.txtInput->setText(QStringLiteral("secret"));
    dlg.btnOK->Click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), mrOk);
    EXPECT_EQ(dlg.InputValue, "secret");
}

TEST(InputDlgForm, KeyFilterAndPasteGuard) {
    TInputDlgBox dlg;
    dlg.KeepAlive = true;
    dlg.SetKeyFilter(40);
    dlg.InputImeMode = imDisable;
    dlg.Setup(1);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.txtInput->setFocus();
    QTest::keyClicks(dlg.txtInput, QStringLiteral("a:b\\c"));
    EXPECT_EQ(dlg.txtInput->text(), QStringLiteral("abc"));
    // Keys that type no character are not filtered (30: letters, digits,
    // Backspace).
    dlg.SetKeyFilter(30);
    dlg.txtInput->setCursorPosition(0);
    QTest::keyClick(dlg.txtInput, Qt::Key_Delete, Qt::NoModifier);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QApplication::sendEvent(dlg.txtInput, &del);
    EXPECT_EQ(dlg.txtInput->text(), QStringLiteral("c"));
    QTest::keyClick(dlg.txtInput, Qt::Key_Tab);
    EXPECT_FALSE(dlg.txtInput->hasFocus());
    dlg.txtInput->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(dlg.txtInput, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dlg.txtInput->text(), QStringLiteral("c"));
}

TEST(InputDlgForm, EmptyAmountBecomesZero) {
    TInputDlgBox dlg;
    dlg.KeepAlive = true;
    dlg.InputMode = 3;
    dlg.Setup(1);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_TRUE(dlg.pnlKingaku->isVisible());
    EXPECT_FALSE(dlg.pnlText->isVisible());
    dlg.btnOK->Click();
    EXPECT_EQ(dlg.result(), mrOk);
    EXPECT_EQ(dlg.InputValue, "0");
    // No length given: no limit.
    EXPECT_GT(dlg.txtKingaku->maxLength(), 15);
}

TEST(InputDlgForm, DatePairRoundTrip) {
    ScriptedPrompt sp;
    TInputDlgBox dlg;
    dlg.KeepAlive = true;
    dlg.InputMode = 4;
    dlg.Date1 = 45383; // 2024/04/01
    dlg.Date2 = 45747; // 2025/03/31
    dlg.Setup(1);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_TRUE(dlg.pnlDate->isVisible());
    dlg.btnOK->Click();
    EXPECT_EQ(dlg.result(), mrOk);
    EXPECT_EQ(dlg.Date1, 45383);
    EXPECT_EQ(dlg.Date2, 45747);
    EXPECT_TRUE(sp.messages.empty()) << (sp.messages.empty() ? "" : sp.messages[0].text());
}
