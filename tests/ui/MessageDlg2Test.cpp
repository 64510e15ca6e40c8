#include "ui/MessageDlg2.h"

#include "ui/KeyStyles.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// Every character 7 pixels wide: enough to check the arithmetic.
int fixedWidth(const std::string& s) {
    return 7 * static_cast<int>(QString::fromStdString(s).size());
}

TMessage2InfoRec info(int kind) {
    TMessage2InfoRec i;
    InitMessage2Info(static_cast<std::uint8_t>(kind), i);
    return i;
}

} // namespace

TEST(MessageDlg2, InitGivesKindButtonsAndTitle) {
    struct Case {
        int in;
        int kind;
        MsgButtons buttons;
        const char* title;
    };
    const Case cases[] = {
        {0, 0, mbOK, "警告"}, {1, 1, mbOK, "エラー"}, {2, 2, mbOK, "情報"},
        {3, 3, mbOK | mbCancel, "確認"}, {7, 4, mbOK, ""},
    };
    for (const auto& c : cases) {
        TMessage2InfoRec i;
        i.Lines[3].Text = "left over";
        i.AgreeMode = 1;
        i.Agreed = true;
        InitMessage2Info(static_cast<std::uint8_t>(c.in), i);
        EXPECT_EQ(i.Kind, c.kind) << c.in;
        EXPECT_EQ(i.Buttons, c.buttons) << c.in;
        EXPECT_EQ(i.Title, c.title) << c.in;
        EXPECT_TRUE(i.Lines[3].Text.empty());
        EXPECT_EQ(i.AgreeMode, 0);
        EXPECT_FALSE(i.Agreed);
    }
    EXPECT_EQ(layoutMessageBox2(info(7), fixedWidth).kind, 4); // no icon
}

TEST(MessageDlg2, ButtonsTakeThreeSlotsInTableOrder) {
    auto i = info(2);
    i.Buttons = mbYes | mbNo | mbOK | mbCancel;
    const auto l = layoutMessageBox2(i, fixedWidth);
    ASSERT_TRUE(l.buttonSlots[2].visible);
    EXPECT_EQ(l.buttonSlots[0].caption, "はい(&Y)");
    EXPECT_EQ(l.buttonSlots[1].caption, "いいえ(&N)");
    EXPECT_EQ(l.buttonSlots[2].caption, "OK(&O)");
    EXPECT_EQ(l.buttonSlots[0].result, mrYes);
    EXPECT_EQ(l.buttonSlots[2].result, mrOk);
    // Client 530 wide, gap 10: the middle button centred, the others 10 away.
    EXPECT_EQ(l.buttonSlots[1].left, (530 - 75) / 2);
    EXPECT_EQ(l.buttonSlots[0].left, l.buttonSlots[1].left - 10 - 75);
    EXPECT_EQ(l.buttonSlots[2].left, l.buttonSlots[1].left + 75 + 10);

    i.Buttons = mbOK | mbCancel;
    const auto two = layoutMessageBox2(i, fixedWidth);
    EXPECT_EQ(two.buttonSlots[0].left + 75, 265 - 10);
    EXPECT_EQ(two.buttonSlots[1].left, 265 + 10);
    EXPECT_EQ(two.buttonSlots[1].caption, "ｷｬﾝｾﾙ(&C)");
}

TEST(MessageDlg2, CaptionOverrideWidensOnlyWhenLonger) {
    auto i = info(3);
    i.ButtonCaption[0] = "とても長いボタンの表題です"; // 13 chars → 91 px → 118
    i.ButtonCaption[1] = "止";
    const auto l = layoutMessageBox2(i, fixedWidth);
    EXPECT_EQ(l.buttonSlots[0].caption, i.ButtonCaption[0]);
    EXPECT_EQ(l.buttonSlots[0].width, 118);
    EXPECT_EQ(l.buttonSlots[1].caption, "止");
    EXPECT_EQ(l.buttonSlots[1].width, 75);
}

TEST(MessageDlg2, WidthAndHeightFollowTheLines) {
    auto i = info(2);
    i.Lines[0].Text = "短い";
    auto l = layoutMessageBox2(i, fixedWidth);
    EXPECT_EQ(l.clientWidth, 530);

    i.Lines[0].Text = std::string(100, 'x'); // 700 px from left 80
    l = layoutMessageBox2(i, fixedWidth);
    EXPECT_EQ(l.clientWidth, 80 + 700 + 30);

    // Height: bottom panel 38 plus where the text area ends.
    struct Case {
        int lines;
        int height;
    };
    const Case cases[] = {{0, 38 + 72}, {1, 38 + 72}, {2, 38 + 96}, {5, 38 + 168}, {9, 38 + 264}, {10, 38 + 265}};
    for (const auto& c : cases) {
        auto j = info(2);
        for (int k = 0; k < c.lines; ++k) j.Lines[static_cast<size_t>(k)].Text = "行";
        EXPECT_EQ(layoutMessageBox2(j, fixedWidth).clientHeight, c.height) << c.lines;
    }
}

TEST(MessageDlg2, AgreementBox) {
    auto i = info(3);
    i.AgreeMode = 1;
    i.AgreeCaption = "   ";
    auto l = layoutMessageBox2(i, fixedWidth);
    EXPECT_FALSE(l.agreeVisible);
    EXPECT_TRUE(l.buttonSlots[0].enabled);

    i.AgreeCaption = "内容を確認しました";
    l = layoutMessageBox2(i, fixedWidth);
    EXPECT_TRUE(l.agreeVisible);
    EXPECT_FALSE(l.buttonSlots[0].enabled);
    EXPECT_TRUE(l.focusAgree);
    EXPECT_EQ(l.clientHeight, 38 + 72 + 32);

    i.AgreeMode = 2;
    l = layoutMessageBox2(i, fixedWidth);
    EXPECT_TRUE(l.agreeVisible);
    EXPECT_TRUE(l.buttonSlots[0].enabled);
}

TEST(MessageDlg2, Catalogue) {
    auto i = info(0);
    i.Lines[0].Text = "caller's own";
    SetMessage2Catalogue(0x12345, i);
    EXPECT_EQ(i.Kind, 2);
    EXPECT_EQ(i.Buttons, mbOK);
    EXPECT_EQ(i.Title, "情報");
    EXPECT_TRUE(i.Lines[0].Text.empty());

    SetMessage2Catalogue(0x10002011, i);
    EXPECT_EQ(i.MessageId, 0x10002011);
    EXPECT_EQ(i.Kind, 3);
    EXPECT_EQ(i.Buttons, mbOK | mbCancel);
    EXPECT_EQ(i.Lines[1].Text, "よろしいですか？");
    EXPECT_EQ(i.Lines[2].Color, clRedColor);
    EXPECT_EQ(i.Lines[0].Color, 0u);

    SetMessage2Catalogue(0x10003012, i);
    EXPECT_EQ(i.Title, "内訳書の削除");
    EXPECT_EQ(i.Lines[1].Text,
              "注意）削除を行うと、内訳に記述してある借入先などの情報は科目情報を取り込んでも記述されません。");
    EXPECT_EQ(i.Lines[3].Text, "入れてください。");
}

TEST(MessageDlg2, ClipboardTextHasRuleTitleAndTenLines) {
    auto i = info(2);
    i.Lines[0].Text = "一行目";
    i.Lines[1].Text = "二行目";
    const std::string rule(27, '-');
    std::string want = rule + "\r\n情報\r\n" + rule + "\r\n一行目\r\n二行目\r\n";
    for (int k = 0; k < 8; ++k) want += "\r\n";
    EXPECT_EQ(messageBox2ClipboardText(i), want);
}

TEST(MessageDlg2, ShowGoesThroughThePrompt) {
    ScriptedPrompt sp;
    sp.answer(mrCancel);
    sp.onShow = [](PromptMessage& m) { m.agreed = true; };
    auto i = info(2);
    i.MessageId = 0x1010;
    i.AgreeMode = 1;
    EXPECT_EQ(ShowMessageBox2(i), mrCancel);
    ASSERT_EQ(sp.messages.size(), 1u);
    const auto& m = sp.messages[0];
    EXPECT_EQ(m.source, "TMessageBox2");
    EXPECT_EQ(m.title, "確認");
    EXPECT_EQ(m.buttons, mbOK | mbCancel);
    EXPECT_EQ(m.lines.size(), 4u);
    EXPECT_EQ(m.messageId, 0x1010);
    EXPECT_TRUE(i.Agreed);
    EXPECT_EQ(i.MessageId, 0x1010); // the caller's request keeps its own content
}

TEST(MessageDlg2Window, AgreementEscAndCopy) {
    TMessageBox2 box;
    InitMessage2Info(3, box.Info);
    box.Info.Lines[0].Text = "保存しますか？";
    box.Info.Lines[1].Text = "二行目";
    box.Info.AgreeMode = 1;
    box.Info.AgreeCaption = "同意する";
    box.Setup(1);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("確認"));
    EXPECT_EQ(box.label(0)->text(), QString::fromUtf8("保存しますか？"));
    EXPECT_EQ(box.width(), 530);
    EXPECT_FALSE(box.button(0)->isEnabled());
    EXPECT_TRUE(box.agreeBox()->hasFocus() || QApplication::focusWidget() == nullptr);
    box.agreeBox()->setChecked(true);
    EXPECT_TRUE(box.button(0)->isEnabled());
    box.agreeBox()->setChecked(false);
    EXPECT_FALSE(box.button(0)->isEnabled());
    box.agreeBox()->setChecked(true);

    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("---------------------------\r\n")));

    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), mrCancel);
    EXPECT_TRUE(box.agreed());
}

TEST(MessageDlg2Window, ButtonGivesItsResult) {
    TMessageBox2 box;
    InitMessage2Info(2, box.Info);
    box.Info.Buttons = mbYes | mbNo | mbHelp;
    box.Setup(1);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.button(2)->text(), QString::fromUtf8("ヘルプ(&H)"));
    box.button(2)->click(); // help does not close
    EXPECT_TRUE(box.isVisible());
    box.button(1)->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), mrNo);
}
